// Writes to a journal the way the program does, reporting each write only
// after it is committed, until the parent kills it.
//   fault_child save FOLDER FIRST   saves entries FIRST, FIRST+1, ... forever
//   fault_child purge FOLDER        purges every entry up to 31/12/2010
#include "db/connection.h"
#include "db/connstring.h"
#include "db/pendingrow.h"
#include "ui/dialogs/entrypurge.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

using namespace movilibro;

namespace {

int saveForever(const QString& connString, qint64 first)
{
    for (qint64 n = first;; ++n) {
        db::Connection conn = db::Connection::openConnString(connString);
        db::PendingRow row = db::PendingRow::addNew(conn, QStringLiteral("Movilibro"));
        row.setValue(QStringLiteral("mlData"), QStringLiteral("2012-05-05"));
        row.setValue(QStringLiteral("mlConto"), qint64(1));
        row.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("voce %1").arg(n));
        row.setValue(QStringLiteral("mlEntrate"), n * 100);
        row.setValue(QStringLiteral("mlUscite"), qint64(0));
        const qint64 id = row.save();
        std::printf("saved %lld %lld\n", static_cast<long long>(n), static_cast<long long>(id));
        std::fflush(stdout);
    }
}

int purge(const QString& connString)
{
    EntryPurge purge(connString, QDate(2010, 12, 31));
    const qint64 counted = purge.count();
    const int deleted = purge.deleteCounted();
    std::printf("purged %lld %d\n", static_cast<long long>(counted), deleted);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString connString = db::connStringFor(args[2]);
    try {
        if (args[1] == u"save" && args.size() == 4)
            return saveForever(connString, args[3].toLongLong());
        if (args[1] == u"purge")
            return purge(connString);
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 2;
}
