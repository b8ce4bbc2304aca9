#include "db/schema.h"

#include "db/connection.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

namespace movilibro::db::schema {

QString accountsTable(const QString& name)
{
    // NOCASE is known to every SQLite tool; the program's connections give it
    // the Italian rules (enginefunctions.h). No index may depend on it.
    return QStringLiteral(R"sql(
CREATE TABLE %1 (
    cntId INTEGER PRIMARY KEY AUTOINCREMENT,
    cntNome VARCHAR(%2) COLLATE NOCASE CHECK (length(cntNome) <= %2)
);
)sql")
        .arg(name)
        .arg(AccountNameSize);
}

QString createStatements()
{
    return accountsTable(QStringLiteral("Conti")) +
           QStringLiteral(R"sql(
CREATE TABLE Movilibro (
    mlId INTEGER PRIMARY KEY AUTOINCREMENT,
    mlData TEXT CHECK (mlData IS NULL OR (length(mlData) = 10 AND mlData GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]')),
    mlConto INTEGER,
    mlDescrizione VARCHAR(%1) CHECK (length(mlDescrizione) <= %1),
    mlEntrate INTEGER CHECK (mlEntrate IS NULL OR typeof(mlEntrate) = 'integer'),
    mlUscite INTEGER CHECK (mlUscite IS NULL OR typeof(mlUscite) = 'integer')
);
CREATE INDEX ixMovilibroData ON Movilibro (mlData);
CREATE INDEX ixMovilibroConto ON Movilibro (mlConto);
%4CREATE TABLE Parametri (
    Chiave VARCHAR(%2) CHECK (length(Chiave) <= %2),
    Valore INTEGER
);
CREATE INDEX ixParametriChiave ON Parametri (Chiave);
%5PRAGMA user_version = %3;
)sql")
               .arg(DescriptionSize)
               .arg(KeySize)
               .arg(Version)
               .arg(descriptionIndex(), historyTables()) +
           reconciliationTables() + dailyTotals();
}

QString historyTables()
{
    // Plain types and no collation of ours: any SQLite tool reads them. An
    // entry in the bin keeps its id, free for its return since ids are never
    // reused, its account's id and name, and its bank reference.
    return QStringLiteral(R"sql(
CREATE TABLE IF NOT EXISTS Cestino (
    mlId INTEGER PRIMARY KEY,
    mlData TEXT,
    mlConto INTEGER,
    mlDescrizione TEXT,
    mlEntrate INTEGER,
    mlUscite INTEGER,
    cntNome TEXT,
    rfRiferimento TEXT,
    ceEliminato TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS CestinoConti (
    cntId INTEGER PRIMARY KEY,
    cntNome TEXT,
    ceEliminato TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS Cronologia (
    crId INTEGER PRIMARY KEY AUTOINCREMENT,
    crQuando TEXT NOT NULL,
    crTipo TEXT NOT NULL,
    crInverte INTEGER,
    mlId INTEGER,
    cntId INTEGER,
    crPrimaDove TEXT,
    crPrimaData TEXT,
    crPrimaConto INTEGER,
    crPrimaNome TEXT,
    crPrimaDescrizione TEXT,
    crPrimaEntrate INTEGER,
    crPrimaUscite INTEGER,
    crDopoDove TEXT,
    crDopoData TEXT,
    crDopoConto INTEGER,
    crDopoNome TEXT,
    crDopoDescrizione TEXT,
    crDopoEntrate INTEGER,
    crDopoUscite INTEGER,
    crNota TEXT
);
CREATE INDEX IF NOT EXISTS ixCronologiaMovilibro ON Cronologia (mlId);
CREATE INDEX IF NOT EXISTS ixCronologiaConti ON Cronologia (cntId);
CREATE INDEX IF NOT EXISTS ixCronologiaQuando ON Cronologia (crQuando);
)sql");
}

QString reconciliationTables()
{
    // qdTipo 0: a statement's balance; 1: a cash count, whose difference
    // entry (if any) is qdDifferenza. Amounts in ten-thousandths, as the
    // journal's; qdRegistrata is when the user recorded it.
    return QStringLiteral(R"sql(
CREATE TABLE Quadrature (
    qdId INTEGER PRIMARY KEY AUTOINCREMENT,
    qdConto INTEGER NOT NULL,
    qdData TEXT NOT NULL CHECK (length(qdData) = 10 AND qdData GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]'),
    qdTipo INTEGER NOT NULL DEFAULT 0 CHECK (qdTipo IN (0, 1)),
    qdSaldoEstratto INTEGER NOT NULL CHECK (typeof(qdSaldoEstratto) = 'integer'),
    qdSaldoGiornale INTEGER NOT NULL CHECK (typeof(qdSaldoGiornale) = 'integer'),
    qdDifferenza INTEGER,
    qdRegistrata TEXT NOT NULL
);
CREATE INDEX ixQuadratureConto ON Quadrature (qdConto, qdData);
CREATE TABLE Riscontri (
    mlId INTEGER PRIMARY KEY,
    qdId INTEGER NOT NULL
);
CREATE INDEX ixRiscontriQuadratura ON Riscontri (qdId);
)sql");
}

// Every write of an entry, by this program or any other tool, moves its
// day's totals in the same transaction. An amount sum beyond the integer
// range turns into a real number there: readers then count the entries.
QString dailyTotals()
{
    const QString table = QLatin1String(DailyTotalsTable);
    const QString add =
        QStringLiteral(
            "INSERT INTO %1 (sgConto, sgData, sgEntrate, sgUscite, sgVoci) "
            "SELECT NEW.mlConto, NEW.mlData, ifnull(NEW.mlEntrate, 0), ifnull(NEW.mlUscite, 0), 1 "
            "WHERE NEW.mlConto IS NOT NULL AND NEW.mlData IS NOT NULL "
            "ON CONFLICT (sgConto, sgData) DO UPDATE SET sgEntrate = sgEntrate + excluded.sgEntrate, "
            "sgUscite = sgUscite + excluded.sgUscite, sgVoci = sgVoci + 1;\n")
            .arg(table);
    const QString remove =
        QStringLiteral(
            "UPDATE %1 SET sgEntrate = sgEntrate - ifnull(OLD.mlEntrate, 0), "
            "sgUscite = sgUscite - ifnull(OLD.mlUscite, 0), sgVoci = sgVoci - 1 "
            "WHERE sgConto = OLD.mlConto AND sgData = OLD.mlData;\n"
            "DELETE FROM %1 WHERE sgConto = OLD.mlConto AND sgData = OLD.mlData AND sgVoci <= 0;\n")
            .arg(table);
    return QStringLiteral(R"sql(
CREATE TABLE %1 (
    sgConto INTEGER NOT NULL,
    sgData TEXT NOT NULL,
    sgEntrate INTEGER NOT NULL,
    sgUscite INTEGER NOT NULL,
    sgVoci INTEGER NOT NULL,
    PRIMARY KEY (sgConto, sgData)
) WITHOUT ROWID;
)sql")
               .arg(table) +
           QStringLiteral("CREATE TRIGGER trSaldiInserimento AFTER INSERT ON Movilibro BEGIN\n") + add +
           QStringLiteral("END;\nCREATE TRIGGER trSaldiEliminazione AFTER DELETE ON Movilibro BEGIN\n") +
           remove +
           QStringLiteral("END;\nCREATE TRIGGER trSaldiModifica AFTER UPDATE OF mlData, mlConto, mlEntrate, "
                          "mlUscite ON Movilibro BEGIN\n") +
           remove + add + QStringLiteral("END;\n");
}

QString fillDailyTotals()
{
    // Entry by entry, as the triggers add them: a sum beyond the integer
    // range must not stop the file from opening.
    return QStringLiteral(
               "INSERT INTO %1 (sgConto, sgData, sgEntrate, sgUscite, sgVoci) "
               "SELECT mlConto, mlData, ifnull(mlEntrate, 0), ifnull(mlUscite, 0), 1 FROM Movilibro "
               "WHERE mlConto IS NOT NULL AND mlData IS NOT NULL "
               "ON CONFLICT (sgConto, sgData) DO UPDATE SET sgEntrate = sgEntrate + excluded.sgEntrate, "
               "sgUscite = sgUscite + excluded.sgUscite, sgVoci = sgVoci + 1;")
        .arg(QLatin1String(DailyTotalsTable));
}

QString dropDailyTotalTriggers()
{
    return QStringLiteral(
        "DROP TRIGGER IF EXISTS trSaldiInserimento; DROP TRIGGER IF EXISTS trSaldiEliminazione; "
        "DROP TRIGGER IF EXISTS trSaldiModifica;");
}

QString descriptionIndex()
{
    return QStringLiteral("CREATE INDEX %1 ON Movilibro (mlDescrizione, mlData);\n")
        .arg(DescriptionIndexName);
}

void createEmptyJournal(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("Il file esiste già: %1").arg(path));
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_close_v2(raw);
    if (rc != SQLITE_OK)
        throw DbError(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    Connection conn = Connection::open(path);
    conn.exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA page_size=4096;"));
    Transaction tx(conn);
    conn.exec(createStatements());
    tx.commit();
}

bool hasJournalTables(Connection& conn)
{
    Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                                               "name IN ('Movilibro','Conti','Parametri')"));
    return st.step() && st.int64(0) == 3;
}

int definedSize(Connection& conn, const QString& table, const QString& column)
{
    Statement st = conn.prepare(QStringLiteral("SELECT type FROM pragma_table_info(?) WHERE name = ?"));
    st.bind(0, table).bind(1, column);
    if (!st.step())
        return -1;
    static const QRegularExpression sized(QStringLiteral(R"(^\s*(?:N?VAR)?CHAR\s*\(\s*(\d+)\s*\)\s*$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto match = sized.match(st.text(0));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace movilibro::db::schema
