#include "app/mainmod.h"
#include "db/backup.h"
#include "statement/statement.h"
#include "statement/values.h"
#include "testsupport.h"

#include <QDir>
#include <QtTest>

using namespace movilibro;
using namespace movilibro::statement;
using test::money;

namespace {

const QString Data = QStringLiteral(MOVILIBRO_TEST_DATA) + u'/';

struct FileCase
{
    const char* name;
    const char* file;
    int movements;       // refused ones included
    const char* refused; // their lines
    int leftOut;
    qint64 in, out;          // totals of the journal after the import
    const char* description; // one that must come through as written
};

const FileCase Files[] = {
    {"preamble, columns in and out, balances", "preambolo.csv", 6, "", 1, money(3345, 67), money(848, 30),
     "Rimborso spese città"},
    {"signed column, refusals", "importo.csv", 7, "5,6,7,8", 0, money(1234, 56), money(1321, 62) + 34,
     "Bolletta luce"},
    {"Windows-1252, quoted separators", "accenti-1252.csv", 3, "", 0, money(1020, 30), money(152, 40),
     "Caffè \"Città\"; bar"},
    {"comma separated, quoted amounts", "virgole.csv", 3, "", 0, money(1200), money(650, 1),
     "Rimborso \"IRPEF\"; 730"},
    {"two pages, decimal point, comma unquoted", "pagine.csv", 5, "7", 1, money(5000), money(1245, 30),
     "Spesa"},
    {"CAMT.053, pending entry left out", "camt053.xml", 4, "", 1, money(1500), money(82, 45) + 67,
     "Stipendio agosto 2024"},
};

QString refusedLines(const Statement& s)
{
    QStringList lines;
    for (const Movement& m : s.movements) {
        if (m.isRefused())
            lines << QString::number(m.line);
    }
    return lines.join(u',');
}

std::vector<Movement> accepted(const Statement& s)
{
    std::vector<Movement> out;
    std::copy_if(s.movements.begin(), s.movements.end(), std::back_inserter(out),
                 [](const Movement& m) { return !m.isRefused() && !m.duplicate; });
    return out;
}

int duplicateCount(const Statement& s)
{
    return int(
        std::count_if(s.movements.begin(), s.movements.end(), [](const Movement& m) { return m.duplicate; }));
}

} // namespace

class TestStatement : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::Journal> m_journal;
    qint64 m_bank = 0;

    // A fresh journal with the accounts "Banca" and "Cassa".
    test::Journal& journal()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_journal = std::make_unique<test::Journal>(m_dir->path());
        m_bank = m_journal->addAccount(QStringLiteral("Banca"));
        m_journal->addAccount(QStringLiteral("Cassa"));
        return *m_journal;
    }

    Statement imported(const QString& file)
    {
        Statement s = readStatement(Data + file);
        db::Connection conn = m_journal->open();
        markDuplicates(conn, m_bank, s.movements);
        importMovements(conn, m_journal->path(), m_bank, accepted(s), 0);
        return s;
    }

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        m_home = std::make_unique<test::TestHome>();
        db::Connection::setBusyTimeout(50);
    }

    void readAndImport_data() { test::addRows(Files); }
    void readAndImport()
    {
        const FileCase& c = test::currentCase(Files);
        test::Journal& j = journal();
        const Statement s = imported(QLatin1String(c.file));
        QCOMPARE(int(s.movements.size()), c.movements);
        QCOMPARE(refusedLines(s), QLatin1String(c.refused));
        QCOMPARE(s.leftOut, c.leftOut);
        const int refused = c.refused[0] ? int(QLatin1String(c.refused).count(u',')) + 1 : 0;
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), c.movements - refused);
        QCOMPARE(j.text("SELECT sum(mlEntrate) FROM Movilibro").toLongLong(), c.in);
        QCOMPARE(j.text("SELECT sum(mlUscite) FROM Movilibro").toLongLong(), c.out);
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro WHERE mlDescrizione = '" +
                         QString::fromUtf8(c.description).replace(u'\'', QStringLiteral("''")) + u'\''),
                 1);
        // The second import of the same file brings nothing new, and makes no copy for nothing.
        const Statement again = imported(QLatin1String(c.file));
        QCOMPARE(duplicateCount(again), c.movements - refused);
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), c.movements - refused);
        QCOMPARE(db::JournalBackup(j.path()).copies(db::CopyKind::BeforeStatement).size(), 1);
    }

    void longDescriptionCut()
    {
        const Statement s = readStatement(Data + QStringLiteral("virgole.csv"));
        const QString cut = s.movements.back().description;
        QCOMPARE(cut.size(), 255);
        QVERIFY(cut.startsWith(QStringLiteral("Bonifico Bonifico")));
        QCOMPARE(cut.back(), QChar(0x2026));
    }

    void valueDate()
    {
        QCOMPARE(
            readStatement(Data + QStringLiteral("preambolo.csv"), {}, DateChoice::Value).movements[0].date,
            QDate(2024, 2, 29));
        QCOMPARE(readStatement(Data + QStringLiteral("camt053.xml"), {}, DateChoice::Value).movements[0].date,
                 QDate(2024, 7, 31));
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("decimal");
        QTest::addColumn<qint64>("raw"); // -1: refused; 0: blank
        const QChar comma = u',', point = u'.';
        QTest::newRow("grouped thousand") << "1.000" << comma << money(1000);
        QTest::newRow("Italian negative") << "-1.234,56" << comma << -money(1234, 56);
        QTest::newRow("one decimal") << "1.234,5" << comma << money(1234, 50);
        QTest::newRow("trailing minus") << "1.234,56-" << comma << -money(1234, 56);
        QTest::newRow("parentheses") << "(12,50)" << comma << -money(12, 50);
        QTest::newRow("euro sign") << "€ 7,00" << comma << money(7);
        QTest::newRow("four decimals") << "0,0001" << comma << qint64(1);
        QTest::newRow("zeros past four decimals") << "12,500000" << comma << money(12, 50);
        QTest::newRow("five decimals") << "12,34567" << comma << qint64(-1);
        QTest::newRow("dot where comma is decimal") << "12.50" << comma << qint64(-1);
        QTest::newRow("bad grouping") << "1.23,4" << comma << qint64(-1);
        QTest::newRow("decimal point") << "-1234.56" << point << -money(1234, 56);
        QTest::newRow("largest") << "922337203685477,5807" << comma << std::numeric_limits<qint64>::max();
        QTest::newRow("beyond range") << "922337203685477,5808" << comma << qint64(-1);
        QTest::newRow("blank") << "  " << comma << qint64(0);
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(QChar, decimal);
        QFETCH(qint64, raw);
        const AmountValue v = readAmount(text, decimal);
        QCOMPARE(v.amount ? v.amount->raw() : v.refusal.isEmpty() ? 0 : -1, raw);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("slashes") << "29/02/2024" << QDate(2024, 2, 29);
        QTest::newRow("no such day") << "31/04/2024" << QDate();
        QTest::newRow("dashes") << "5-3-2024" << QDate(2024, 3, 5);
        QTest::newRow("dots, two-digit year") << "05.03.24" << QDate(2024, 3, 5);
        QTest::newRow("ISO with time") << "2024-03-05T10:00:00" << QDate(2024, 3, 5);
        QTest::newRow("mixed separators") << "05/03-2024" << QDate();
        QTest::newRow("before 1900") << "01/01/1899" << QDate();
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(readDate(text), date);
    }

    void duplicates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("description");
        QTest::addColumn<qint64>("in");
        QTest::addColumn<qint64>("out");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("otherAccount");
        QTest::addColumn<int>("expected");
        const QDate first(2024, 3, 1), fees(2024, 3, 15);
        QTest::newRow("case and blanks")
            << first << " STIPENDIO   Marzo" << money(2345, 67) << 0ll << 1 << false << 1;
        QTest::newRow("three days after")
            << first.addDays(3) << "stipendio marzo" << money(2345, 67) << 0ll << 1 << false << 1;
        QTest::newRow("four days after")
            << first.addDays(4) << "stipendio marzo" << money(2345, 67) << 0ll << 1 << false << 0;
        QTest::newRow("other direction")
            << first << "Stipendio marzo" << 0ll << money(2345, 67) << 1 << false << 0;
        QTest::newRow("other account")
            << first << "Stipendio marzo" << money(2345, 67) << 0ll << 1 << true << 0;
        QTest::newRow("accents") << QDate(2024, 3, 10) << "RIMBORSO SPESE CITTA" << money(1000) << 0ll << 1
                                 << false << 1;
        QTest::newRow("one entry for two same movements")
            << fees << "Commissioni" << 0ll << money(1, 50) << 1 << false << 1;
        QTest::newRow("two entries for two same movements")
            << fees << "Commissioni" << 0ll << money(1, 50) << 2 << false << 2;
    }
    void duplicates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, description);
        QFETCH(qint64, in);
        QFETCH(qint64, out);
        QFETCH(int, entries);
        QFETCH(bool, otherAccount);
        QFETCH(int, expected);
        test::Journal& j = journal();
        for (int i = 0; i < entries; ++i)
            j.addEntry(date, otherAccount ? m_bank + 1 : m_bank, description, in, out);
        Statement s = readStatement(Data + QStringLiteral("preambolo.csv"));
        db::Connection conn = j.open();
        markDuplicates(conn, m_bank, s.movements);
        QCOMPARE(duplicateCount(s), expected);
    }

    // A bank reference is exact: a movement whose entry was deleted comes in again,
    // two movements alike in all but their references are two.
    void references()
    {
        test::Journal& j = journal();
        imported(QStringLiteral("camt053.xml"));
        j.open().exec(
            QStringLiteral("DELETE FROM Movilibro WHERE mlDescrizione = 'Addebito SDD utenza gas'"));
        j.addEntry(QDate(2024, 8, 10), m_bank, QStringLiteral("Prelievo bancomat"), 0, money(10));
        const Statement again = imported(QStringLiteral("camt053.xml"));
        QCOMPARE(duplicateCount(again), 3);
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), 5);
    }

    void nothingWrittenOnFailure_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::newRow("another program writing") << false;
        QTest::newRow("another program reading") << true;
    }
    void nothingWrittenOnFailure()
    {
        QFETCH(bool, reading);
        test::Journal& j = journal();
        const Statement s = readStatement(Data + QStringLiteral("camt053.xml"));
        const QByteArray before = test::fileBytes(j.path());
        {
            test::HeldLock lock(j, reading);
            db::Connection conn = j.open();
            QVERIFY_THROWS_EXCEPTION(db::DbError, importMovements(conn, j.path(), m_bank, s.movements, 0));
        }
        QCOMPARE(test::fileBytes(j.path()), before);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("account");
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("entries");
        QTest::newRow("imported") << "preambolo.csv"
                                  << "banca" << false << 0 << 6;
        QTest::newRow("unknown account") << "preambolo.csv"
                                         << "Posta" << false << 1 << 0;
        QTest::newRow("missing file") << "nessuno.csv"
                                      << "Banca" << false << 1 << 0;
        QTest::newRow("columns not recognised") << "ignota.csv"
                                                << "Banca" << false << 1 << 0;
        QTest::newRow("no header row") << "senza-titoli.csv"
                                       << "Banca" << false << 1 << 0;
        QTest::newRow("columns confirmed before") << "ignota.csv"
                                                  << "Banca" << true << 0 << 2;
        QTest::newRow("no account named") << "preambolo.csv"
                                          << "" << false << 2 << 0;
    }
    void commandLine()
    {
        QFETCH(QString, file);
        QFETCH(QString, account);
        QFETCH(bool, remembered);
        QFETCH(int, status);
        QFETCH(int, entries);
        test::TestHome home;
        test::Journal& j = journal();
        if (remembered) {
            CsvLayout layout = readStatement(Data + file).layout;
            layout.roles = {ColumnRole::Date, ColumnRole::Description, ColumnRole::SignedAmount};
            rememberLayout(mainmod::DefaultSettingsKey, layout);
        }
        QStringList args{"--import-statement", Data + file, "--db", j.folder()};
        if (!account.isEmpty())
            args << "--account" << account;
        const test::ProgramRun run = test::runProgram(QStringLiteral(MOVILIBRO_EXE), args);
        QVERIFY2(run.status == status, qPrintable(run.out + run.err));
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), entries);
        QCOMPARE(QDir(j.folder() + QStringLiteral("/backup")).exists(), entries > 0);
    }
};

QTEST_GUILESS_MAIN(TestStatement)
#include "test_statement.moc"
