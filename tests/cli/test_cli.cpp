#include "app/journallock.h"
#include "app/prompt.h"
#include "csvreader.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/periods.h"
#include "report/arpschede.h"
#include "report/pdfexport.h"
#include "report/reportcommands.h"
#include "settings/registrywrappers.h"
#include "testsupport.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace movilibro;
using test::money;

namespace {

const QLocale Italian(QLocale::Italian, QLocale::Italy);
const QString SettingsKey = QStringLiteral("Software\\Marlenco\\Movilibro\\Settings");
const QString CurDb = QStringLiteral("appset_curdb");
const QDate Jan1(2010, 1, 1);
const QDate Dec31(2010, 12, 31);
const QStringList Year2010{QStringLiteral("--from"), QStringLiteral("01/01/2010"), QStringLiteral("--to"),
                           QStringLiteral("31/12/2010")};

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runProgram(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MOVILIBRO_EXE), arguments);
    if (!program.waitForFinished(120000))
        return {};
    const int status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    return {status, QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

Run runProgram(const QStringList& arguments)
{
    return runProgram(arguments, QProcessEnvironment::systemEnvironment());
}

QString pdfText(const QString& path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString lineWith(const QString& text, const QString& needle)
{
    for (const QString& line : text.split(u'\n')) {
        if (line.contains(needle))
            return line.simplified();
    }
    return {};
}

// The rows of the journal grid for a layout, as the main window arranges them.
struct GridEntry
{
    QString description;
    Currency balance;
};

QList<GridEntry> gridEntries(const test::Journal& journal, int kind, int layout)
{
    grid::GroupedGrid gex;
    JournalGrid grid(gex);
    grid.setUp();
    grid.load(journal.connString(), kind, {Jan1, Dec31});
    grid.arrange(layout);
    QList<GridEntry> entries;
    for (int p = 1; p <= gex.displayRowCount(); ++p) {
        if (gex.rowType(p) == grid::RowType::Entry) {
            const int k = gex.dataIndex(p);
            entries.append({gex.data().text(JournalColumn::Descrizione, k),
                            *gex.data().currency(JournalColumn::Saldo, k)});
        }
    }
    return entries;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void csvHoldsTheEntriesAsTheGridShowsThem();
    void csvFollowsTheGridForEveryLayout_data();
    void csvFollowsTheGridForEveryLayout();
    void pdfIsTheReportOfThePdfButton();
    void exportButtonOffersCsv_data();
    void exportButtonOffersCsv();
    void worksWithoutADisplay();
    void defaultsComeFromTheStoredJournal();
    void badOptionValues_data();
    void badOptionValues();
    void failures_data();
    void failures();
    void journalIsNeverTheTarget();
    void helpIsItalian();
    void importIntoAnEmptyFolderThenRefuseASecondTime();
    void importOfATruncatedFileLeavesNothing();
    void restoreKeepsTheCurrentJournal();
    void restoreRefusesADamagedCopy();
    void importAndRestoreWaitForTheLock();

private:
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }
    QStringList onKnown(QStringList arguments) const
    {
        return arguments << QStringLiteral("--db") << m_known->folder();
    }

    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_known;
    static constexpr int Kind = 2; // quarters
};

void TestCommandLine::initTestCase()
{
    test::pinItalianLocale();
    QVERIFY(QFileInfo::exists(QStringLiteral(MOVILIBRO_EXE)));
    QVERIFY2(QFileInfo(QStringLiteral(MOVILIBRO_LEGACY_FIXTURES)).isDir(), MOVILIBRO_LEGACY_FIXTURES);
    m_known = std::make_unique<test::Journal>(path(QStringLiteral("known")));
    const qint64 banca = m_known->addAccount(QStringLiteral("Banca"));
    const qint64 cassa = m_known->addAccount(QStringLiteral("Cassa"));
    m_known->addEntry(QDate(2010, 1, 15), cassa, QStringLiteral("Stipendio"), money(2234, 50), 0);
    m_known->addEntry(QDate(2010, 2, 10), banca, QStringLiteral("Affitto"), 0, money(800));
    m_known->addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("Caffè; \"doppio\"\nal bar"), 101234,
                      std::nullopt);
    m_known->addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("Pranzo"), std::nullopt, money(50));
    m_known->addEntry(QDate(2010, 4, 20), banca, QStringLiteral("Nota"), std::nullopt, std::nullopt);
    m_known->addEntry(QDate(2009, 12, 31), cassa, QStringLiteral("Anno prima"), money(1), 0);
    m_known->addEntry(QDate(2010, 7, 1), 99, QStringLiteral("Senza conto"), money(5), 0);
    m_known->setParameter(QStringLiteral("appset_dategrouping"), Kind);
    m_known->setParameter(QStringLiteral("appset_gexlayout"), 1);
}

void TestCommandLine::csvHoldsTheEntriesAsTheGridShowsThem()
{
    const QString out = path(QStringLiteral("per-conto.csv"));
    const Run run = runProgram(onKnown(
        QStringList{QStringLiteral("--export-csv"), out, QStringLiteral("--layout"), QStringLiteral("2")}
        << Year2010));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QVERIFY(run.out.contains(QStringLiteral("Scritto il file CSV")));
    const QByteArray bytes = test::fileBytes(out);
    QVERIFY(bytes.contains("\"Caffè; \"\"doppio\"\"\nal bar\""));
    const QList<QStringList> expected{
        {"Data", "Conto", "Descrizione", "Entrate", "Uscite", "Saldo progressivo"},
        {"20/04/2010", "Banca", "Nota", "", "", "-800,00"},
        {"10/02/2010", "Banca", "Affitto", "", "800,00", "-800,00"},
        {"05/03/2010", "Cassa", "Pranzo", "", "50,00", "2194,6234"},
        {"05/03/2010", "Cassa", "Caffè; \"doppio\"\nal bar", "10,1234", "", "2244,6234"},
        {"15/01/2010", "Cassa", "Stipendio", "2234,50", "", "2234,50"},
    };
    QCOMPARE(test::readCsv(bytes), expected);
}

void TestCommandLine::csvFollowsTheGridForEveryLayout_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("no groups") << 0;
    QTest::newRow("by period") << 1;
    QTest::newRow("by account") << 2;
    QTest::newRow("period, account") << 3;
    QTest::newRow("account, period") << 4;
}

void TestCommandLine::csvFollowsTheGridForEveryLayout()
{
    QFETCH(int, layout);
    const QString out = path(QStringLiteral("layout%1.csv").arg(layout));
    const Run run = runProgram(onKnown(
        QStringList{QStringLiteral("--export-csv"), out, QStringLiteral("--layout"), QString::number(layout)}
        << Year2010));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QList<QStringList> rows = test::readCsv(test::fileBytes(out));
    QVERIFY(!rows.isEmpty());
    rows.removeFirst();
    const QList<GridEntry> grid = gridEntries(*m_known, Kind, layout);
    QCOMPARE(rows.size(), grid.size());
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].value(2), grid[i].description);
        QCOMPARE(Currency::parse(rows[i].value(5), Italian), std::optional<Currency>(grid[i].balance));
    }
}

void TestCommandLine::pdfIsTheReportOfThePdfButton()
{
    const QString out = path(QStringLiteral("rapporto.pdf"));
    const Run run = runProgram(onKnown(
        QStringList{QStringLiteral("--export-pdf"), out, QStringLiteral("--layout"), QStringLiteral("3")}
        << Year2010));
    QVERIFY2(run.status == 0, qPrintable(run.err));

    const QString inProcess = path(QStringLiteral("stesso-rapporto.pdf"));
    report::arpSchede report;
    report::setUpReport(report, {Jan1, Dec31, Kind, 3, m_known->connString()});
    report::exportPdf(report, inProcess);

    const QString text = pdfText(out);
    QCOMPARE(text, pdfText(inProcess));
    QCOMPARE(lineWith(text, QStringLiteral("Movilibro dal")),
             QStringLiteral("Movilibro dal 01/01/2010 al 31/12/2010 2.244,62 850,00 + 1.394,62"));
    QCOMPARE(lineWith(text, QStringLiteral("Affitto")),
             QStringLiteral("10/02/2010 Affitto Banca 800,00 - 800,00"));
    QVERIFY(text.contains(QStringLiteral("Primo Trimestre 2010")));
    QVERIFY(!text.contains(QStringLiteral("Anno prima")));
    QVERIFY(!text.contains(QStringLiteral("Senza conto")));
}

void TestCommandLine::exportButtonOffersCsv_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare name") << "dati"
                               << "dati.csv";
    QTest::newRow("PDF suffix added by the dialog") << "dati.pdf"
                                                    << "dati.csv";
    QTest::newRow("CSV suffix") << "tabella.csv"
                                << "tabella.csv";
}

// The main window's "PDF" button writes the same CSV when its filter is chosen.
void TestCommandLine::exportButtonOffersCsv()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QTemporaryDir outDir;
    ScopedScriptedPrompt prompt;
    prompt.setNextSaveFile(outDir.path() + u'/' + chosen, QStringLiteral("Foglio di calcolo CSV (*.csv)"));
    QVERIFY(report::exportPdfCommand(nullptr, {Jan1, Dec31, Kind, 2, m_known->connString()}));
    QCOMPARE(prompt.saveFilters, (QList<QStringList>{{QStringLiteral("Acrobat reader (*.pdf)"),
                                                      QStringLiteral("Foglio di calcolo CSV (*.csv)")}}));
    QVERIFY(prompt.messages.isEmpty());
    QCOMPARE(QDir(outDir.path()).entryList(QDir::Files), QStringList{written});

    const QString fromCommandLine = outDir.path() + QStringLiteral("/riga-di-comando.csv");
    const Run run = runProgram(onKnown(QStringList{QStringLiteral("--export-csv"), fromCommandLine,
                                                   QStringLiteral("--layout"), QStringLiteral("2")}
                                       << Year2010));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(test::fileBytes(outDir.path() + u'/' + written), test::fileBytes(fromCommandLine));
}

void TestCommandLine::worksWithoutADisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    const QString csv = path(QStringLiteral("senza-schermo.csv"));
    const QString pdf = path(QStringLiteral("senza-schermo.pdf"));
    const Run run = runProgram(
        onKnown(QStringList{QStringLiteral("--export-csv"), csv, QStringLiteral("--export-pdf"), pdf}
                << Year2010),
        env);
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(test::readCsv(test::fileBytes(csv)).size(), 6);
    QVERIFY(test::fileBytes(pdf).startsWith("%PDF"));
}

// No --db and no dates: the stored folder's journal, its fiscal year around
// today and its stored layout, as the main window would open.
void TestCommandLine::defaultsComeFromTheStoredJournal()
{
    test::Journal stored(path(QStringLiteral("stored")));
    stored.setParameter(QStringLiteral("appset_esercizio_startingmonth"), 4);
    stored.setParameter(QStringLiteral("appset_gexlayout"), 2);
    const DateRange fiscal = fiscalYear(QDate::currentDate(), 4);
    const qint64 alfa = stored.addAccount(QStringLiteral("Alfa"));
    const qint64 beta = stored.addAccount(QStringLiteral("Beta"));
    stored.addEntry(fiscal.start.addDays(-1), alfa, QStringLiteral("prima"), money(1), 0);
    stored.addEntry(fiscal.start, alfa, QStringLiteral("inizio"), money(2), 0);
    stored.addEntry(fiscal.end, beta, QStringLiteral("fine"), money(3), 0);
    stored.addEntry(fiscal.end.addDays(1), beta, QStringLiteral("dopo"), money(4), 0);
    WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, stored.folder());

    const QString out = path(QStringLiteral("predefiniti.csv"));
    const Run run = runProgram({QStringLiteral("--export-csv"), out});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QList<QStringList> rows = test::readCsv(test::fileBytes(out));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[1].value(2), QStringLiteral("inizio")); // Alfa before Beta: by account
    QCOMPARE(rows[2].value(2), QStringLiteral("fine"));

    QVERIFY(runProgram(onKnown({QStringLiteral("--export-csv"), path(QStringLiteral("altro.csv"))})).status ==
            0);
    QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QString()).toString(),
             stored.folder());
}

void TestCommandLine::badOptionValues_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT stands for the file that must not appear
    QTest::addColumn<QString>("message");
    const QString out = QStringLiteral("OUT");
    const QString csv = QStringLiteral("--export-csv");
    const QString pdf = QStringLiteral("--export-pdf");
    QTest::newRow("day 32") << QStringList{csv, out, "--from", "32/01/2010"} << "Data non valida per --from";
    QTest::newRow("ISO date") << QStringList{pdf, out, "--to", "2010-12-31"} << "Data non valida per --to";
    QTest::newRow("layout 5") << QStringList{csv, out, "--layout", "5"} << "Raggruppamento non valido";
    QTest::newRow("layout word") << QStringList{pdf, out, "--layout", "due"} << "Raggruppamento non valido";
    QTest::newRow("start after end") << QStringList{csv, out, "--from", "01/02/2010", "--to", "31/01/2010"}
                                     << "Il periodo non è valido";
    QTest::newRow("unknown option") << QStringList{csv, out, "--colori"} << "Opzione sconosciuta: --colori";
    QTest::newRow("stray argument") << QStringList{pdf, out, "altro"} << "Argomento non previsto";
    QTest::newRow("import with export")
        << QStringList{"--import-mdb", out, csv, out + ".csv"} << "non si usa insieme";
    QTest::newRow("period without export") << QStringList{"--from", "01/01/2010"} << "valgono solo con";
}

void TestCommandLine::badOptionValues()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir outDir;
    arguments.replaceInStrings(QStringLiteral("OUT"), outDir.path() + QStringLiteral("/uscita"));
    const QByteArray journal = test::fileBytes(m_known->path());
    const Run run = runProgram(onKnown(arguments));
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message) && run.err.contains(QStringLiteral("movilibro --help")),
             qPrintable(run.err));
    QCOMPARE(QDir(outDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(test::fileBytes(m_known->path()), journal);
}

void TestCommandLine::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("notWritten");
    const QString missing = path(QStringLiteral("manca"));
    const QString empty = path(QStringLiteral("vuota"));
    QDir().mkpath(empty);
    const QString old = path(QStringLiteral("vecchio"));
    QDir().mkpath(old);
    QFile::copy(QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-small.mdb"),
                old + QStringLiteral("/movilibro.mdb"));
    const QString csv = path(QStringLiteral("mai.csv"));
    QTest::newRow("no such folder") << QStringList{"--export-csv", csv, "--db", missing} << "La cartella"
                                    << csv;
    QTest::newRow("folder without journal")
        << QStringList{"--export-csv", csv, "--db", empty} << "Nessun giornale nella cartella" << csv;
    QTest::newRow("old-format journal")
        << QStringList{"--export-csv", csv, "--db", old} << "formato della versione precedente" << csv;
    QTest::newRow("CSV into a missing folder")
        << onKnown({"--export-csv", missing + "/a.csv"}) << "Impossibile salvare il file CSV" << missing;
    QTest::newRow("PDF into a missing folder")
        << onKnown({"--export-pdf", missing + "/a.pdf"}) << "Impossibile salvare il file PDF" << missing;
}

void TestCommandLine::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFETCH(QString, notWritten);
    const Run run = runProgram(arguments);
    QCOMPARE(run.status, 1);
    const QStringList lines = run.err.split(u'\n');
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [&](const QString& line) {
                             return line.startsWith(QStringLiteral("movilibro: ")) && line.contains(message);
                         }),
             qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(notWritten));
}

void TestCommandLine::journalIsNeverTheTarget()
{
    const QByteArray before = test::fileBytes(m_known->path());
    const Run run = runProgram(onKnown({QStringLiteral("--export-csv"), m_known->path()}));
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(QStringLiteral("è il giornale stesso")), qPrintable(run.err));
    QCOMPARE(test::fileBytes(m_known->path()), before);
}

void TestCommandLine::helpIsItalian()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    const Run run = runProgram({QStringLiteral("--help")}, env);
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.startsWith(QStringLiteral("Uso: movilibro [opzioni]")));
    for (const char* option : {"--import-mdb <file>", "--export-pdf <file>", "--export-csv <file>",
                               "--from <gg/mm/aaaa>", "--to <gg/mm/aaaa>", "--layout <n>", "--db <cartella>"})
        QVERIFY2(run.out.contains(QLatin1String(option)), option);
    QVERIFY(run.out.contains(QStringLiteral("Raggruppamento: 0 nessuno")));
}

void TestCommandLine::importIntoAnEmptyFolderThenRefuseASecondTime()
{
    const QString folder = path(QStringLiteral("importato"));
    QDir().mkpath(folder);
    const QStringList arguments{QStringLiteral("--import-mdb"),
                                QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-textparams.mdb"),
                                QStringLiteral("--db"), folder};
    Run run = runProgram(arguments);
    QVERIFY2(run.status == 0, qPrintable(run.err));
    for (const char* line : {"Conti copiati: 6", "Registrazioni copiate: 25", "Parametri copiati: 3",
                             "Totale Entrate: 15536,64", "Totale Uscite: 39204,70"})
        QVERIFY2(run.out.contains(QLatin1String(line)), qPrintable(run.out));
    const QString journal = folder + QStringLiteral("/movilibro.mdb");
    const QByteArray imported = test::fileBytes(journal);
    QVERIFY(imported.startsWith("SQLite format 3"));

    run = runProgram(arguments);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("solo in un giornale vuoto")), qPrintable(run.err));
    QCOMPARE(test::fileBytes(journal), imported);
}

void TestCommandLine::importOfATruncatedFileLeavesNothing()
{
    const QString folder = path(QStringLiteral("mai-importato"));
    QDir().mkpath(folder);
    const QString cut = path(QStringLiteral("troncato.mdb"));
    const QByteArray whole = test::fileBytes(QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-small.mdb"));
    QFile file(cut);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(whole.left(whole.size() * 3 / 4));
    file.close();
    const Run run = runProgram({QStringLiteral("--import-mdb"), cut, QStringLiteral("--db"), folder});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("danneggiato o incompleto")), qPrintable(run.err));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

void TestCommandLine::restoreKeepsTheCurrentJournal()
{
    test::Journal journal(path(QStringLiteral("ripristino")));
    const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
    journal.addEntry(Jan1, cassa, QStringLiteral("prima"), money(1), 0);
    const QString copy = db::JournalBackup(journal.path()).make();
    journal.addEntry(Dec31, cassa, QStringLiteral("dopo"), money(2), 0);

    const Run run = runProgram({QStringLiteral("--restore"), copy, QStringLiteral("--db"), journal.folder()});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(journal.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 1);
    const QStringList copies = db::JournalBackup(journal.path()).copies();
    QCOMPARE(copies.size(), 2);
    QVERIFY2(run.out.contains(QFileInfo(copies.last()).fileName()), qPrintable(run.out));
    db::Connection kept = db::Connection::open(copies.last(), db::Connection::Mode::ReadOnly);
    db::Statement st = kept.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
    QVERIFY(st.step());
    QCOMPARE(st.int64(0), 2);
}

void TestCommandLine::restoreRefusesADamagedCopy()
{
    test::Journal journal(path(QStringLiteral("ripristino-rifiutato")));
    journal.addAccount(QStringLiteral("Cassa"));
    const QString damaged = path(QStringLiteral("copia-rovinata.mdb"));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(test::fileBytes(journal.path()).left(1000));
    file.close();
    const QByteArray before = test::fileBytes(journal.path());
    const Run run =
        runProgram({QStringLiteral("--restore"), damaged, QStringLiteral("--db"), journal.folder()});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("ripristino annullato")), qPrintable(run.err));
    QCOMPARE(test::fileBytes(journal.path()), before);
    QVERIFY(db::JournalBackup(journal.path()).copies().isEmpty());
}

void TestCommandLine::importAndRestoreWaitForTheLock()
{
    test::Journal journal(path(QStringLiteral("aperto")));
    const QString copy = db::JournalBackup(journal.path()).make();
    JournalLock open(journal.path()); // the program has it open
    QVERIFY(open.acquire());
    const QByteArray before = test::fileBytes(journal.path());
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--restore"), copy},
          QStringList{QStringLiteral("--import-mdb"),
                      QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-small.mdb")}}) {
        const Run run = runProgram(arguments + QStringList{QStringLiteral("--db"), journal.folder()});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("già aperto")), qPrintable(run.err));
    }
    QCOMPARE(test::fileBytes(journal.path()), before);
    // Exports may read a journal that is open.
    const Run exported = runProgram({QStringLiteral("--export-csv"), path(QStringLiteral("aperto.csv")),
                                     QStringLiteral("--db"), journal.folder()});
    QVERIFY2(exported.status == 0, qPrintable(exported.err));
}

QTEST_MAIN(TestCommandLine)
#include "test_cli.moc"
