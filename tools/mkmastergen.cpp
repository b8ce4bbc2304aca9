// Writes the empty journal template from the schema definition.
#include "db/connection.h"
#include "db/schema.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkmastergen OUTPUT\n");
        return 2;
    }
    try {
        movilibro::db::schema::createEmptyJournal(QString::fromLocal8Bit(argv[1]));
    } catch (const movilibro::db::DbError& e) {
        std::fprintf(stderr, "mkmastergen: %s\n", e.what());
        return 1;
    }
    return 0;
}
