#include "db/upgrade.h"

#include "db/backup.h"
#include "db/connection.h"
#include "db/schema.h"

namespace movilibro::db {

namespace {

qint64 singleValue(Connection& conn, const QString& sql, qint64 none = -1)
{
    Statement st = conn.prepare(sql);
    return st.step() && !st.isNull(0) ? st.int64(0) : none;
}

int schemaVersion(const QString& path)
{
    Connection conn = Connection::open(path, Connection::Mode::ReadOnly);
    return int(singleValue(conn, QStringLiteral("PRAGMA user_version"), 0));
}

// SQLite cannot change a column's collation in place: the table is copied
// into a new one, which then takes the old one's name.
void rebuildAccounts(Connection& conn)
{
    const qint64 counter =
        singleValue(conn, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'Conti'"));
    conn.exec(schema::accountsTable(QStringLiteral("ContiNuovi")));
    conn.exec(QStringLiteral("INSERT INTO ContiNuovi (cntId, cntNome) SELECT cntId, cntNome FROM Conti "
                             "ORDER BY cntId"));
    conn.exec(QStringLiteral("DROP TABLE Conti; ALTER TABLE ContiNuovi RENAME TO Conti;"));
    // Ids are never reused: the counter survives accounts deleted at the top.
    if (counter >= 0) {
        conn.exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'Conti';"
                                 "INSERT INTO sqlite_sequence (name, seq) "
                                 "SELECT 'Conti', max(%1, ifnull(max(cntId), 0)) FROM Conti;")
                      .arg(counter));
    }
}

} // namespace

QString upgradeJournal(const QString& path)
{
    const int version = schemaVersion(path);
    if (version >= schema::Version)
        return {};
    // Adding an index changes no data: only a rebuild needs a way back.
    const QString copy = version < 2 ? JournalBackup(path).make() : QString();
    Connection conn = Connection::open(path);
    Transaction transaction(conn);
    if (version < 2)
        rebuildAccounts(conn);
    conn.exec(QStringLiteral("DROP INDEX IF EXISTS %1;").arg(schema::DescriptionIndexName) +
              schema::descriptionIndex());
    conn.exec(QStringLiteral("PRAGMA user_version = %1").arg(schema::Version));
    transaction.commit();
    return copy;
}

} // namespace movilibro::db
