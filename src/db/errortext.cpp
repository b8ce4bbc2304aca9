#include "db/errortext.h"

#include "db/connection.h"

#include <sqlite3.h>

namespace movilibro::db {

namespace {

QString kindText(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Il database è in uso da un altro programma. Riprovare tra poco.");
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QStringLiteral("Il database non può essere modificato (file o cartella in sola lettura).");
    case SQLITE_FULL:
        return QStringLiteral("Spazio su disco esaurito: il database non è stato modificato.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Il file del database è danneggiato.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Impossibile aprire il file del database.");
    case SQLITE_IOERR:
        return QStringLiteral("Errore di lettura o scrittura del file del database.");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Il database non accetta il valore inserito.");
    default:
        return QStringLiteral("Errore del database.");
    }
}

} // namespace

QString userMessage(const DbError& error)
{
    if (error.code() == -1)
        return error.message();
    return kindText(error.code()) + QStringLiteral("\n(") + error.message() + u')';
}

} // namespace movilibro::db
