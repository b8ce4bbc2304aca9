#include "db/upgrade.h"

#include "db/backup.h"
#include "db/connection.h"
#include "db/schema.h"

#include <sqlite3.h>

#include <functional>
#include <vector>

namespace movilibro::db {

namespace {

// One thing a schema version has, as the file itself shows it.
struct Mark
{
    enum Kind
    {
        Table,     // name
        Column,    // table.name
        Collation, // the declared collation of table.name is `detail`
        Index,     // name, on table(detail)
        Trigger    // name, on table
    };
    Kind kind;
    const char* table;
    const char* name = nullptr;
    const char* detail = nullptr;
};

// What each version has beyond the one before, and how a file is brought to
// it. `copyFirst` steps get a copy of the journal first.
struct Version
{
    int number;
    std::vector<Mark> has;
    bool copyFirst;
    std::function<void(Connection&)> upgrade;
};

qint64 singleValue(Connection& conn, const QString& sql, qint64 none = -1)
{
    Statement st = conn.prepare(sql);
    return st.step() && !st.isNull(0) ? st.int64(0) : none;
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

// Version 3 added the description index; the others are made again here
// too, so a file that lost one gets it back.
void createIndexes(Connection& conn)
{
    conn.exec(QStringLiteral("DROP INDEX IF EXISTS %1;").arg(schema::DescriptionIndexName) +
              schema::descriptionIndex() +
              QStringLiteral("CREATE INDEX IF NOT EXISTS ixMovilibroData ON Movilibro (mlData);"
                             "CREATE INDEX IF NOT EXISTS ixMovilibroConto ON Movilibro (mlConto);"
                             "CREATE INDEX IF NOT EXISTS ixParametriChiave ON Parametri (Chiave);"));
}

// DDL that leaves alone what a file already has.
QString ifMissing(QString ddl)
{
    return ddl.replace(QLatin1String("CREATE TABLE "), QLatin1String("CREATE TABLE IF NOT EXISTS "))
        .replace(QLatin1String("CREATE INDEX "), QLatin1String("CREATE INDEX IF NOT EXISTS "));
}

// The daily totals are made again from the entries: only the user's entries
// are known to be right.
void addReconciliation(Connection& conn)
{
    conn.exec(ifMissing(schema::reconciliationTables()));
    conn.exec(schema::dropDailyTotalTriggers() +
              QStringLiteral("DROP TABLE IF EXISTS %1;").arg(QLatin1String(schema::DailyTotalsTable)));
    conn.exec(schema::dailyTotals());
    conn.exec(schema::fillDailyTotals());
}

const Version Versions[] = {
    {1,
     {{Mark::Table, "Movilibro"},
      {Mark::Column, "Movilibro", "mlId"},
      {Mark::Column, "Movilibro", "mlData"},
      {Mark::Column, "Movilibro", "mlConto"},
      {Mark::Column, "Movilibro", "mlDescrizione"},
      {Mark::Column, "Movilibro", "mlEntrate"},
      {Mark::Column, "Movilibro", "mlUscite"},
      {Mark::Table, "Conti"},
      {Mark::Column, "Conti", "cntId"},
      {Mark::Column, "Conti", "cntNome"},
      {Mark::Table, "Parametri"},
      {Mark::Column, "Parametri", "Chiave"},
      {Mark::Column, "Parametri", "Valore"}},
     false,
     nullptr},
    // Version 1 declared COLLATE ITALIAN, which other SQLite tools do not know.
    {2, {{Mark::Collation, "Conti", "cntNome", "NOCASE"}}, true, rebuildAccounts},
    {3,
     {{Mark::Index, "Movilibro", schema::DescriptionIndexName, "mlDescrizione,mlData"},
      {Mark::Index, "Movilibro", "ixMovilibroData", "mlData"},
      {Mark::Index, "Movilibro", "ixMovilibroConto", "mlConto"},
      {Mark::Index, "Parametri", "ixParametriChiave", "Chiave"}},
     false,
     createIndexes},
    {4,
     {{Mark::Column, "Cestino", "mlId"},
      {Mark::Column, "Cestino", "cntNome"},
      {Mark::Column, "Cestino", "rfRiferimento"},
      {Mark::Column, "Cestino", "ceEliminato"},
      {Mark::Column, "CestinoConti", "cntId"},
      {Mark::Column, "CestinoConti", "ceEliminato"},
      {Mark::Column, "Cronologia", "crId"},
      {Mark::Column, "Cronologia", "crPrimaDove"},
      {Mark::Column, "Cronologia", "crDopoUscite"},
      {Mark::Column, "Cronologia", "crNota"},
      {Mark::Index, "Cronologia", "ixCronologiaMovilibro", "mlId"}},
     true,
     [](Connection& conn) { conn.exec(schema::historyTables()); }},
    // Adds tables and totals derived from the entries, changing no row: no copy.
    {5,
     {{Mark::Table, "Quadrature"},
      {Mark::Table, "Riscontri"},
      {Mark::Index, "Quadrature", "ixQuadratureConto", "qdConto,qdData"},
      {Mark::Index, "Riscontri", "ixRiscontriQuadratura", "qdId"},
      {Mark::Table, schema::DailyTotalsTable},
      {Mark::Trigger, "Movilibro", "trSaldiInserimento"},
      {Mark::Trigger, "Movilibro", "trSaldiEliminazione"},
      {Mark::Trigger, "Movilibro", "trSaldiModifica"}},
     false,
     addReconciliation},
};
static_assert(sizeof(Versions) / sizeof(Versions[0]) == schema::Version, "one row per schema version");

bool tableExists(Connection& conn, const char* table)
{
    Statement st =
        conn.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    st.bind(0, QString::fromLatin1(table));
    return st.step();
}

// The declared collation of a column, from the file's own schema (not from
// the collations this connection defines).
QString declaredCollation(Connection& conn, const char* table, const char* column)
{
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(conn.handle(), "main", table, column, nullptr, &collation, nullptr,
                                      nullptr, nullptr) != SQLITE_OK ||
        !collation)
        return {};
    return QString::fromUtf8(collation);
}

QString indexedColumns(Connection& conn, const char* table, const char* index)
{
    Statement owner =
        conn.prepare(QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE type = 'index' AND name = ?"));
    owner.bind(0, QString::fromLatin1(index));
    if (!owner.step() || owner.text(0).compare(QLatin1String(table), Qt::CaseInsensitive) != 0)
        return {};
    Statement st = conn.prepare(QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"));
    st.bind(0, QString::fromLatin1(index));
    QStringList columns;
    while (st.step())
        columns << st.text(0);
    return columns.join(u',');
}

QString triggerTable(Connection& conn, const char* trigger)
{
    Statement st = conn.prepare(
        QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE type = 'trigger' AND name = ?"));
    st.bind(0, QString::fromLatin1(trigger));
    return st.step() ? st.text(0) : QString();
}

bool holds(Connection& conn, const Mark& mark)
{
    switch (mark.kind) {
    case Mark::Table:
        return tableExists(conn, mark.table);
    case Mark::Column:
        return sqlite3_table_column_metadata(conn.handle(), "main", mark.table, mark.name, nullptr, nullptr,
                                             nullptr, nullptr, nullptr) == SQLITE_OK;
    case Mark::Collation:
        return declaredCollation(conn, mark.table, mark.name)
                   .compare(QLatin1String(mark.detail), Qt::CaseInsensitive) == 0;
    case Mark::Index:
        return indexedColumns(conn, mark.table, mark.name)
                   .compare(QLatin1String(mark.detail), Qt::CaseInsensitive) == 0;
    case Mark::Trigger:
        return triggerTable(conn, mark.name).compare(QLatin1String(mark.table), Qt::CaseInsensitive) == 0;
    }
    return false;
}

} // namespace

int recogniseSchema(Connection& conn)
{
    int version = 0;
    for (const Version& v : Versions) {
        for (const Mark& mark : v.has) {
            if (!holds(conn, mark))
                return version;
        }
        version = v.number;
    }
    return version;
}

QString upgradeJournal(const QString& path)
{
    int stored = 0, found = 0;
    {
        Connection conn = Connection::open(path, Connection::Mode::ReadOnly);
        stored = int(singleValue(conn, QStringLiteral("PRAGMA user_version"), 0));
        found = recogniseSchema(conn);
    }
    // A later program's file, or no journal at all: not ours to change.
    if (stored > schema::Version || found == 0)
        return {};
    if (found == schema::Version && stored == schema::Version)
        return {};
    bool rewrites = false;
    for (const Version& v : Versions)
        rewrites = rewrites || (v.number > found && v.copyFirst);
    const QString copy = rewrites ? JournalBackup(path).make() : QString();
    Connection conn = Connection::open(path);
    Transaction transaction(conn);
    for (const Version& v : Versions) {
        if (v.number > found && v.upgrade)
            v.upgrade(conn);
    }
    conn.exec(QStringLiteral("PRAGMA user_version = %1").arg(schema::Version));
    transaction.commit();
    return copy;
}

} // namespace movilibro::db
