#include "db/journaldb.h"

#include "db/connection.h"
#include "db/connstring.h"
#include "db/filemodes.h"
#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace movilibro::db {

JournalFileKind journalFileKind(const QString& path)
{
    QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return JournalFileKind::Missing;
    if (info.size() == 0)
        return JournalFileKind::Empty;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return JournalFileKind::Unreadable;
    const QByteArray head = file.read(32);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return JournalFileKind::SQLite;
    if (head.size() >= 19 && head.mid(4, 15) == QByteArrayLiteral("Standard Jet DB"))
        return JournalFileKind::Jet;
    return JournalFileKind::Other;
}

namespace {

bool journalReadable(const QString& path)
{
    Connection conn = Connection::open(path, Connection::Mode::ReadOnly);
    if (!schema::hasJournalTables(conn))
        return false;
    conn.prepare(QStringLiteral("SELECT count(*) FROM Parametri")).step();
    return true;
}

} // namespace

bool ConnectionFails(const QString& connString)
{
    const QString path = databasePathFromConnString(connString);
    if (journalFileKind(path) != JournalFileKind::SQLite)
        return true;
    try {
        return !journalReadable(path);
    } catch (const DbError& e) {
        if (e.code() != SQLITE_READONLY_ROLLBACK && (e.code() & 0xff) != SQLITE_BUSY)
            return true;
    }
    // A crash left a transaction half done: a writable connection rolls it
    // back, then the file is tested again.
    try {
        Connection recover = Connection::open(path);
        recover.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master")).step();
    } catch (const DbError&) {
        return true;
    }
    try {
        return !journalReadable(path);
    } catch (const DbError&) {
        return true;
    }
}

bool JournalBusy(const QString& path)
{
    if (journalFileKind(path) != JournalFileKind::SQLite)
        return false;
    try {
        Connection conn = Connection::open(path, Connection::Mode::ReadOnly);
        conn.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master")).step();
        return false;
    } catch (const DbError& e) {
        return (e.code() & 0xff) == SQLITE_BUSY || (e.code() & 0xff) == SQLITE_LOCKED;
    }
}

bool CreateDatabaseFromTemplate(const QString& programFolder, const QString& dbFolder)
{
    const QString source = programFolder + QDir::separator() + QStringLiteral("master.gen");
    const QString target = dbFolder + QDir::separator() + QStringLiteral("movilibro.mdb");
    if (!QFileInfo::exists(source) || QFileInfo::exists(target))
        return false;
    // Copy under a temporary name first, so an interrupted copy never leaves
    // a half journal under the real name.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial))
        return false;
    QFile::setPermissions(partial, documentPermissions());
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

QString SqlDateLiteral(const QDate& date)
{
    return QStringLiteral("#%1/%2/%3#")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

namespace {
QString parameterQuery(const QString& key)
{
    return QStringLiteral("SELECT * FROM Parametri WHERE Chiave='") + key + QStringLiteral("'");
}
} // namespace

std::vector<AccountName> ReadAccountNames(const QString& connString)
{
    Connection conn = Connection::openConnString(connString, Connection::Mode::ReadOnly);
    Statement rows = conn.prepareJet(QStringLiteral("SELECT cntId, cntNome FROM Conti ORDER BY cntNome"));
    std::vector<AccountName> accounts;
    while (rows.step())
        accounts.push_back({rows.int64(0), rows.text(1)});
    return accounts;
}

int ReadParameter(const QString& connString, const QString& key, int defaultValue)
{
    Connection conn = Connection::openConnString(connString, Connection::Mode::ReadOnly);
    Statement st = conn.prepareJet(parameterQuery(key));
    if (!st.step())
        return defaultValue;
    int valueColumn = -1;
    for (int c = 0; c < st.columnCount(); ++c) {
        if (st.columnName(c).compare(QStringLiteral("Valore"), Qt::CaseInsensitive) == 0)
            valueColumn = c;
    }
    if (valueColumn < 0 || st.isNull(valueColumn))
        return defaultValue;
    bool ok = false;
    const qint64 value = st.text(valueColumn).trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return defaultValue;
    return int(value);
}

void WriteParameter(Connection& conn, const QString& key, int value)
{
    Statement find =
        conn.prepare(QStringLiteral("SELECT rowid FROM Parametri WHERE Chiave = ? ORDER BY rowid LIMIT 1"));
    find.bind(0, key);
    if (find.step()) {
        const qint64 rowid = find.int64(0);
        Statement update = conn.prepare(QStringLiteral("UPDATE Parametri SET Valore = ? WHERE rowid = ?"));
        update.bind(0, qint64(value)).bind(1, rowid).run();
        return;
    }
    Statement insert = conn.prepare(QStringLiteral("INSERT INTO Parametri (Chiave, Valore) VALUES (?, ?)"));
    insert.bind(0, key).bind(1, qint64(value)).run();
}

} // namespace movilibro::db
