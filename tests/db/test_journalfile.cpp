#include "db/backup.h"
#include "db/connstring.h"
#include "db/journaldb.h"
#include "db/upgrade.h"
#include "history/writes.h"
#include "legacy/journalconversion.h"
#include "testsupport.h"

#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

using namespace movilibro;
using test::Journal;

namespace {

// The plain sqlite3 command, as a user runs it: its output, and its errors.
QString sqliteTool(const QStringList& args, const QByteArray& input = {})
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), args);
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
}

// Every row of the three tables, read by the program's own connection.
QString contents(const QString& path, const QString& accountOrder = QStringLiteral("cntId"))
{
    db::Connection conn = db::Connection::open(path, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(
        QStringLiteral(
            "SELECT (SELECT group_concat(cntId || cntNome) FROM (SELECT * FROM Conti ORDER BY %1)), "
            "(SELECT group_concat(mlId || mlData || mlConto || mlDescrizione || mlEntrate) FROM "
            "Movilibro), (SELECT group_concat(Chiave || Valore) FROM Parametri)")
            .arg(accountOrder));
    return st.step() ? st.text(0) + u';' + st.text(1) + u';' + st.text(2) : QString();
}

void fill(const Journal& j)
{
    for (const char* name : {"zeta", "Cassa", "Àncora", "banca"})
        j.addEntry(QDate(2010, 3, 1), j.addAccount(QString::fromUtf8(name)), QStringLiteral("voce"),
                   test::money(5), std::nullopt);
    j.setParameter(QStringLiteral("Periodo"), 2);
}

// Schema version 4 had no reconciliations and no daily totals.
const QString Version4 = QStringLiteral(
    "DROP TABLE Quadrature; DROP TABLE Riscontri; DROP TRIGGER trSaldiInserimento; DROP TRIGGER "
    "trSaldiEliminazione; DROP TRIGGER trSaldiModifica; DROP TABLE SaldiGiornalieri; PRAGMA user_version = "
    "4;");
// Version 3 had no bin and no change log.
const QString Version3 =
    Version4 +
    QStringLiteral(
        "DROP TABLE Cestino; DROP TABLE CestinoConti; DROP TABLE Cronologia; PRAGMA user_version = 3;");
// The accounts table as schema version 1 declared it.
const QString Version1 =
    Version3 +
    QStringLiteral(
        "DROP TABLE Conti; CREATE TABLE Conti (cntId INTEGER PRIMARY KEY AUTOINCREMENT, cntNome VARCHAR(255) "
        "COLLATE ITALIAN CHECK (length(cntNome) <= 255)); PRAGMA user_version = 1;");

int modeOf(const QString& path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

} // namespace

class TestJournalFile : public QObject
{
    Q_OBJECT
private:
    static int descriptionIndexes(const Journal& j)
    {
        return int(j.count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                                          "tbl_name = 'Movilibro' AND sql LIKE '%(mlDescrizione%'")));
    }
    QTemporaryDir m_dir;

private slots:
    void plainSqliteWorksOnTheJournal()
    {
        const Journal j(m_dir.path() + QStringLiteral("/plain"));
        fill(j);
        db::Connection conn = j.open();
        history::deleteEntry(conn, 3, QDateTime(QDate(2024, 3, 15), QTime(10, 30)));
        const QString bin =
            QStringLiteral("SELECT * FROM Cestino; SELECT * FROM CestinoConti; SELECT mlId, crTipo, "
                           "crPrimaDove, crDopoDove, crDopoNome, crDopoEntrate FROM Cronologia");
        QCOMPARE(sqliteTool({j.path(), bin}),
                 QStringLiteral("3|2010-03-01|3|voce|50000||Àncora||2024-03-15 10:30:00\n"
                                "3|eliminazione|giornale|cestino|Àncora|50000\n"));
        QCOMPARE(sqliteTool({j.path(), QStringLiteral("SELECT cntId FROM Conti WHERE cntNome = 'cassa'")}),
                 QStringLiteral("2\n"));
        QCOMPARE(sqliteTool({j.path(), QStringLiteral("SELECT cntNome FROM Conti ORDER BY cntNome")}),
                 QStringLiteral("banca\nCassa\nzeta\nÀncora\n"));
        // A dump restored into a new file gives back every row, and the
        // program still sorts the names by the Italian rules there.
        const QString restored = m_dir.path() + QStringLiteral("/restored.mdb");
        sqliteTool({restored}, sqliteTool({j.path(), QStringLiteral(".dump")}).toUtf8());
        QCOMPARE(contents(restored), contents(j.path()));
        QCOMPARE(sqliteTool({restored, bin}), sqliteTool({j.path(), bin}));
        QVERIFY(contents(restored, QStringLiteral("cntNome"))
                    .startsWith(QStringLiteral("3Àncora,4banca,2Cassa,1zeta;")));
    }

    // The schema is read from the file: user_version alone is lost by a dump.
    void upgradeDoesOnlyWhatTheFileLacks_data()
    {
        QTest::addColumn<QString>("older"); // run on a current journal
        QTest::addColumn<bool>("dumped");   // then restored by sqlite3 from its .dump
        QTest::addColumn<bool>("copied");
        const QString v2 =
            Version3 + QStringLiteral("DROP INDEX ixMovilibroDescrizione; PRAGMA user_version = 2;");
        QTest::newRow("version 1") << Version1 << false << true;
        QTest::newRow("version 1, user_version lost")
            << Version1 + "PRAGMA user_version = 0;" << false << true;
        QTest::newRow("version 2") << v2 << false << true;
        QTest::newRow("version 2, dumped") << v2 << true << true;
        QTest::newRow("version 3") << Version3 << false << true;
        QTest::newRow("version 3, dumped") << Version3 << true << true;
        QTest::newRow("version 4") << Version4 << false << false;
        QTest::newRow("version 4, dumped") << Version4 << true << false;
        QTest::newRow("current, dumped") << QString() << true << false;
        QTest::newRow("current") << QString() << false << false;
    }
    void upgradeDoesOnlyWhatTheFileLacks()
    {
        QFETCH(QString, older);
        QFETCH(bool, dumped);
        QFETCH(bool, copied);
        const QString folder = m_dir.path() + u'/' + QTest::currentDataTag();
        const Journal j(folder);
        j.open().exec(older);
        fill(j);
        const qint64 gone = j.addAccount(QStringLiteral("Chiuso"));
        j.open().exec(QStringLiteral("DELETE FROM Conti WHERE cntId = %1").arg(gone));
        const QString before = contents(j.path());
        QString path = j.path();
        if (dumped) {
            path = folder + QStringLiteral("/restored/movilibro.mdb");
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            sqliteTool({path}, sqliteTool({j.path(), QStringLiteral(".dump")}).toUtf8());
            QCOMPARE(sqliteTool({path, QStringLiteral("PRAGMA user_version")}), QStringLiteral("0\n"));
        }
        const QString accountsTable =
            sqliteTool({path, "SELECT rootpage || sql FROM sqlite_master WHERE name = 'Conti'"});

        const QString copy = db::upgradeJournal(path);
        QCOMPARE(db::JournalBackup(path).copies(), copied ? QStringList{copy} : QStringList());
        if (copied)
            QCOMPARE(contents(copy), before);
        if (!older.startsWith(Version1)) // not rebuilt
            QCOMPARE(sqliteTool({path, "SELECT rootpage || sql FROM sqlite_master WHERE name = 'Conti'"}),
                     accountsTable);
        QCOMPARE(contents(path), before);
        QCOMPARE(sqliteTool({path, QStringLiteral("PRAGMA user_version")}), QStringLiteral("5\n"));
        QCOMPARE(sqliteTool({path,
                             "SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master WHERE name "
                             "LIKE 'C%' ORDER BY name)"}),
                 QStringLiteral("Cestino CestinoConti Conti Cronologia\n"));
        // The daily totals are made from the entries already there.
        QCOMPARE(sqliteTool({path, "SELECT sgConto, sgData, sgEntrate, sgVoci FROM SaldiGiornalieri ORDER BY "
                                   "sgConto; SELECT count(*) FROM Quadrature NATURAL JOIN Riscontri"}),
                 QStringLiteral("1|2010-03-01|50000|1\n2|2010-03-01|50000|1\n3|2010-03-01|50000|1\n"
                                "4|2010-03-01|50000|1\n0\n"));
        QCOMPARE(sqliteTool({path, QStringLiteral("SELECT cntId FROM Conti WHERE cntNome = 'CASSA'")}),
                 QStringLiteral("2\n"));
        QCOMPARE(sqliteTool({path, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE sql LIKE "
                                                  "'%(mlDescrizione, mlData)%'")}),
                 QStringLiteral("1\n"));
        // Ids are never reused.
        QCOMPARE(
            sqliteTool({path, "INSERT INTO Conti (cntNome) VALUES ('Nuovo'); SELECT last_insert_rowid();"}),
            QString::number(gone + 1) + u'\n');
        QCOMPARE(db::upgradeJournal(path), QString());
        QCOMPARE(db::JournalBackup(path).copies().size(), copied ? 1 : 0);
    }

    // sqlite3 cannot make the accounts table of version 1 (it does not know
    // the collation): what it restores is no journal, and it is left alone.
    void restoredVersion1DumpLeftAlone()
    {
        const Journal j(m_dir.path() + QStringLiteral("/v1dump"));
        j.open().exec(Version1);
        fill(j);
        const QString folder = m_dir.path() + QStringLiteral("/v1dump/restored");
        QVERIFY(QDir().mkpath(folder));
        const QString restored = folder + QStringLiteral("/movilibro.mdb");
        sqliteTool({restored}, sqliteTool({j.path(), QStringLiteral(".dump")}).toUtf8());
        const QByteArray bytes = test::fileBytes(restored);
        QCOMPARE(db::upgradeJournal(restored), QString());
        QCOMPARE(test::fileBytes(restored), bytes);
        QVERIFY(db::ConnectionFails(db::connStringFor(folder)));
    }

    void newJournalsFollowTheUmaskCopiesArePrivate_data()
    {
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("journalMode");
        QTest::newRow("002") << 002 << 0664;
        QTest::newRow("027") << 027 << 0640;
    }
    void newJournalsFollowTheUmaskCopiesArePrivate()
    {
        QFETCH(int, umask);
        QFETCH(int, journalMode);
        const QString folder = m_dir.path() + QStringLiteral("/mode%1").arg(umask);
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/imported")));
        const mode_t previous = ::umask(mode_t(umask));
        QVERIFY(db::CreateDatabaseFromTemplate(QFileInfo(test::templatePath()).path(), folder));
        legacy::importIntoFolder(QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-small.mdb"),
                                 folder + QStringLiteral("/imported"), test::templatePath());
        const QString copy = db::JournalBackup(folder + QStringLiteral("/movilibro.mdb")).make();
        ::umask(previous);
        QCOMPARE(modeOf(folder + QStringLiteral("/movilibro.mdb")), journalMode);
        QCOMPARE(modeOf(folder + QStringLiteral("/imported/movilibro.mdb")), journalMode);
        QCOMPARE(modeOf(copy), 0600);
    }
};

QTEST_GUILESS_MAIN(TestJournalFile)
#include "test_journalfile.moc"
