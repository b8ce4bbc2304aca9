#include "app/journallock.h"
#include "db/backup.h"
#include "db/connection.h"
#include "settings/registrywrappers.h"
#include "testsupport.h"
#include "ui/prompt/prompt.h"
#include "ui/report/reportcommands.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace movilibro;
using test::money;

namespace {

const QString Data = QStringLiteral(MOVILIBRO_TEST_DATA);
const QString Legacy = Data + QStringLiteral("/legacy/journal-small.mdb");
const QStringList Year2010{"--from", "01/01/2010", "--to", "31/12/2010"};

using Run = test::ProgramRun;

// Runs the program as from a shell, without a display.
Run runProgram(const QStringList& arguments,
               QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    return test::runProgram(QStringLiteral(MOVILIBRO_EXE), arguments, env);
}

QString pdfLineWith(const QString& path, const QString& needle)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    tool.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n'))
        if (line.contains(needle))
            return line.simplified();
    return {};
}

QStringList contents(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

qint64 rows(const QString& journal, const char* table)
{
    db::Connection conn = db::Connection::open(journal, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table));
    return st.step() ? st.int64(0) : -1;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        QVERIFY(QFileInfo::exists(QStringLiteral(MOVILIBRO_EXE)));
        QVERIFY2(QFileInfo::exists(Legacy), qPrintable(Legacy));
        m_known = std::make_unique<test::Journal>(path("known"));
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
        m_known->setParameter(QStringLiteral("appset_dategrouping"), 2); // quarters
        m_known->setParameter(QStringLiteral("appset_gexlayout"), 1);
    }

    void csvMatchesTheExpectedFile_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("no groups") << 0;
        QTest::newRow("by account") << 2;
        QTest::newRow("quarter, account") << 3;
    }
    void csvMatchesTheExpectedFile()
    {
        QFETCH(int, layout);
        const QString out = path(QStringLiteral("layout%1.csv").arg(layout));
        const Run run = runProgram(
            onKnown(QStringList{"--export-csv", out, "--layout", QString::number(layout)} << Year2010));
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(test::fileBytes(out),
                 test::fileBytes(Data + QStringLiteral("/cli/layout%1.csv").arg(layout)));
    }

    void pdfHoldsTheReport()
    {
        const QString out = path("rapporto.pdf");
        const Run run = runProgram(onKnown(QStringList{"--export-pdf", out, "--layout", "3"} << Year2010));
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(pdfLineWith(out, "Movilibro dal"),
                 QStringLiteral("Movilibro dal 01/01/2010 al 31/12/2010 2.244,62 850,00 + 1.394,62"));
        QCOMPARE(pdfLineWith(out, "Affitto"), QStringLiteral("10/02/2010 Affitto Banca 800,00 - 800,00"));
        QCOMPARE(pdfLineWith(out, "Primo Trimestre"),
                 QStringLiteral("Primo Trimestre 2010 2.244,62 850,00 + 1.394,62"));
        QCOMPARE(pdfLineWith(out, "Anno prima"), QString());
        QCOMPARE(pdfLineWith(out, "Senza conto"), QString());
    }

    // The main window's export button writes the same CSV when its filter is chosen.
    void exportButtonWritesCsv()
    {
        QTemporaryDir outDir;
        ScopedScriptedPrompt prompt;
        prompt.setNextSaveFile(outDir.filePath("dati"), QStringLiteral("Foglio di calcolo CSV (*.csv)"));
        QVERIFY(report::exportPdfCommand(
            nullptr, {QDate(2010, 1, 1), QDate(2010, 12, 31), 2, 2, m_known->connString()}));
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(contents(outDir.path()), QStringList{"dati.csv"});
        QCOMPARE(test::fileBytes(outDir.filePath("dati.csv")),
                 test::fileBytes(Data + QStringLiteral("/cli/layout2.csv")));
    }

    // No --db and no dates: the stored folder's journal, its fiscal year around
    // today and its stored layout, as the main window would open.
    void defaultsComeFromTheStoredJournal()
    {
        test::Journal stored(path("stored"));
        stored.setParameter(QStringLiteral("appset_esercizio_startingmonth"), 4);
        stored.setParameter(QStringLiteral("appset_gexlayout"), 2);
        const qint64 alfa = stored.addAccount(QStringLiteral("Alfa"));
        const qint64 beta = stored.addAccount(QStringLiteral("Beta"));
        // Today 15/02/2011: the fiscal year from April runs 01/04/2010 to 31/03/2011.
        stored.addEntry(QDate(2010, 3, 31), alfa, QStringLiteral("prima"), money(1), 0);
        stored.addEntry(QDate(2011, 3, 31), alfa, QStringLiteral("fine"), money(2), 0);
        stored.addEntry(QDate(2010, 4, 1), beta, QStringLiteral("inizio"), money(3), 0);
        stored.addEntry(QDate(2011, 4, 1), beta, QStringLiteral("dopo"), money(4), 0);
        WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, stored.folder());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MOVILIBRO_TODAY"), QStringLiteral("2011-02-15"));
        const QString out = path("predefiniti.csv");
        const Run run = runProgram({"--export-csv", out}, env);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QList<QByteArray> lines = test::fileBytes(out).split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[1].contains(";\"Alfa\";\"fine\";")); // Alfa before Beta: by account
        QVERIFY(lines[2].contains(";\"Beta\";\"inizio\";"));
        // A --db of its own leaves the stored folder as it was.
        QCOMPARE(runProgram(onKnown({"--export-csv", path("altro.csv")})).status, 0);
        QCOMPARE(ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, CurDb, QString()).toString(),
                 stored.folder());
    }

    // Exit 0 done, 1 failed, 2 bad command line; a failure writes nothing and changes no journal.
    // KNOWN: a journal with entries; @name: a file in a fresh folder (aperto: a journal another
    // program has open, COPY its copy, esistente a file that must stay as it is).
    void exitCodes_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("help") << "--help" << 0;
        QTest::newRow("day 32") << "--db KNOWN --export-csv @uscita --from 32/01/2010" << 2;
        QTest::newRow("ISO date") << "--db KNOWN --export-pdf @uscita --to 2010-12-31" << 2;
        QTest::newRow("layout 5") << "--db KNOWN --export-csv @uscita --layout 5" << 2;
        QTest::newRow("layout word") << "--db KNOWN --export-pdf @uscita --layout due" << 2;
        QTest::newRow("start after end")
            << "--db KNOWN --export-csv @uscita --from 01/02/2010 --to 31/01/2010" << 2;
        QTest::newRow("unknown option") << "--db KNOWN --export-csv @uscita --colori" << 2;
        QTest::newRow("stray argument") << "--db KNOWN --export-pdf @uscita altro" << 2;
        QTest::newRow("import with export") << "--import-mdb LEGACY --export-csv @uscita" << 2;
        QTest::newRow("period without export") << "--db KNOWN --from 01/01/2010" << 2;
        QTest::newRow("the journal as target") << "--db KNOWN --export-csv KNOWN/movilibro.mdb" << 2;
        QTest::newRow("no such folder") << "--db @manca --export-csv @uscita" << 1;
        QTest::newRow("folder without journal") << "--db @vuota --export-csv @uscita" << 1;
        QTest::newRow("old-format journal") << "--db @vecchio --export-csv @uscita" << 1;
        QTest::newRow("CSV into a missing folder") << "--db KNOWN --export-csv @manca/a.csv" << 1;
        QTest::newRow("PDF into a missing folder")
            << "--db KNOWN --export-pdf @manca/a.pdf --from 01/01/2010 --to 31/12/2010" << 1;
        QTest::newRow("import into a journal with data") << "--db KNOWN --import-mdb LEGACY" << 1;
        QTest::newRow("import of a truncated file") << "--db @vuota --import-mdb @troncato.mdb" << 1;
        QTest::newRow("restore of a damaged copy") << "--db KNOWN --restore @rovinata.mdb" << 1;
        QTest::newRow("restore into an open journal") << "--db @aperto --restore COPY" << 1;
        QTest::newRow("import into an open journal") << "--db @aperto --import-mdb LEGACY" << 1;
        QTest::newRow("statement into an open journal")
            << "--db @aperto --import-statement STATEMENT --account Cassa" << 1;
        QTest::newRow("export of an open journal") << "--db @aperto --export-csv @uscita" << 0;
        QTest::newRow("workbook") << "--db KNOWN --export-xlsx @uscita --from 01/01/2010 --to 31/12/2010"
                                  << 0;
        QTest::newRow("workbook of an empty period")
            << "--db KNOWN --export-xlsx @uscita --from 01/01/1990 --to 31/12/1990" << 1;
        QTest::newRow("workbook of a search matching none")
            << "--db KNOWN --export-xlsx @esistente --search affitti --from 01/01/2010 --to 31/12/2010" << 1;
        QTest::newRow("workbook into a missing folder") << "--db KNOWN --export-xlsx @manca/a.xlsx" << 1;
        QTest::newRow("search matching none")
            << "--db KNOWN --export-csv @esistente --search affitti --from 01/01/2010 --to 31/12/2010" << 1;
        QTest::newRow("balance with an export") << "--db KNOWN --balance Cassa --export-csv @uscita" << 2;
        QTest::newRow("--at without --balance") << "--db KNOWN --at 01/01/2010" << 2;
        QTest::newRow("balance of no account") << "--db KNOWN --balance Posta" << 1;
    }
    void exitCodes()
    {
        QFETCH(QString, args);
        QFETCH(int, status);
        QStringList arguments = args.split(u' ');
        QTemporaryDir dir;
        const QString empty = dir.filePath("vuota"), old = dir.filePath("vecchio");
        QDir().mkpath(empty);
        QDir().mkpath(old);
        QVERIFY(QFile::copy(Legacy, old + QStringLiteral("/movilibro.mdb")));
        const QByteArray legacy = test::fileBytes(Legacy);
        writeFile(dir.filePath("troncato.mdb"), legacy.left(legacy.size() * 3 / 4));
        writeFile(dir.filePath("rovinata.mdb"), test::fileBytes(m_known->path()).left(1000));
        writeFile(dir.filePath("esistente"), "prima");
        test::Journal locked(dir.filePath("aperto"));
        const QString copy = db::JournalBackup(locked.path()).make();
        JournalLock lock(locked.path());
        QVERIFY(lock.acquire());
        for (QString& argument : arguments) {
            if (argument.startsWith(u'@'))
                argument = dir.filePath(argument.mid(1));
            argument.replace("KNOWN", m_known->folder()).replace("LEGACY", Legacy).replace("COPY", copy);
            argument.replace("STATEMENT", Data + QStringLiteral("/statement/importo.csv"));
        }
        const QByteArray known = test::fileBytes(m_known->path()), open = test::fileBytes(locked.path());

        const Run run = runProgram(arguments);
        QVERIFY2(run.status == status, qPrintable(run.err));
        QVERIFY(status == 0 || !run.err.isEmpty());
        // Refused at once, not waited for.
        if (status == 1 && args.contains(u"@aperto"))
            QVERIFY2(run.err.contains(QStringLiteral("già aperto")), qPrintable(run.err));
        QCOMPARE(QFileInfo::exists(dir.filePath("uscita")),
                 status == 0 && arguments.contains(dir.filePath("uscita")));
        QVERIFY(!QFileInfo::exists(dir.filePath("manca")));
        QCOMPARE(contents(empty), QStringList());
        QCOMPARE(test::fileBytes(dir.filePath("esistente")), QByteArray("prima"));
        QCOMPARE(test::fileBytes(m_known->path()), known);
        QCOMPARE(test::fileBytes(locked.path()), open);
    }

    // Files only: the program loads no platform plugin, so one that does not
    // exist changes nothing. The PDF paints and does need one.
    void filesNeedNoPlatform_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("made");
        QTest::newRow("CSV") << "--db KNOWN --export-csv @uscita.csv" << 0 << "uscita.csv";
        QTest::newRow("CSV of a search")
            << "--db KNOWN --export-csv @uscita.csv --search affitto --from 01/01/2010 --to 31/12/2010" << 0
            << "uscita.csv";
        QTest::newRow("workbook") << "--db KNOWN --export-xlsx @uscita.xlsx --from 01/01/2010 --to 31/12/2010"
                                  << 0 << "uscita.xlsx";
        QTest::newRow("statement") << "--db @copia --import-statement STATEMENT --account Banca" << 0
                                   << "copia/backup";
        QTest::newRow("old journal") << "--db @nuova --import-mdb LEGACY" << 0 << "nuova/movilibro.mdb";
        QTest::newRow("restore") << "--db @copia --restore @altra.mdb" << 0 << "copia/backup";
        QTest::newRow("balance") << "--db KNOWN --balance Cassa" << 0 << "";
        QTest::newRow("help") << "--help" << 0 << "";
        QTest::newRow("usage error") << "--db KNOWN --export-csv @uscita.csv --colori" << 2 << "";
        QTest::newRow("PDF") << "--db KNOWN --export-pdf @uscita.pdf" << -1 << "";
    }
    void filesNeedNoPlatform()
    {
        QFETCH(QString, args);
        QFETCH(int, status);
        QFETCH(QString, made);
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("copia"));
        QDir().mkpath(dir.filePath("nuova"));
        QVERIFY(QFile::copy(m_known->path(), dir.filePath("copia/movilibro.mdb")));
        QVERIFY(QFile::copy(m_known->path(), dir.filePath("altra.mdb")));
        QStringList arguments = args.split(u' ');
        for (QString& argument : arguments) {
            if (argument.startsWith(u'@'))
                argument = dir.filePath(argument.mid(1));
            argument.replace("KNOWN", m_known->folder()).replace("LEGACY", Legacy);
            argument.replace("STATEMENT", Data + QStringLiteral("/statement/preambolo.csv"));
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("nessuna"));
        const Run run = test::runProgram(QStringLiteral(MOVILIBRO_EXE), arguments, env);
        if (status < 0)
            QVERIFY2(run.status != 0, qPrintable(run.out));
        else
            QVERIFY2(run.status == status, qPrintable(run.err));
        if (!made.isEmpty())
            QVERIFY2(QFileInfo::exists(dir.filePath(made)), qPrintable(run.out + run.err));
    }

    // Every entry of the account up to the day, of any year; today when no day is given.
    void balanceAtADay_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("the day before the first of the year")
            << "--balance Cassa --at 14/01/2010" << 0 << "Saldo di Cassa al 14/01/2010: 1,00";
        QTest::newRow("today") << "--balance Cassa" << 0 << "Saldo di Cassa al 15/01/2010: 2.235,50";
        QTest::newRow("the day before two entries")
            << "--balance cassa --at 04/03/2010" << 0 << "Saldo di Cassa al 04/03/2010: 2.235,50";
        QTest::newRow("their day") << "--balance CASSA --at 5/3/2010" << 0
                                   << "Saldo di Cassa al 05/03/2010: 2.195,6234";
        QTest::newRow("negative") << "--balance Banca --at 31/12/2011" << 0
                                  << "Saldo di Banca al 31/12/2011: -800,00";
        QTest::newRow("no such account")
            << "--balance Posta" << 1
            << "Il conto \"Posta\" non esiste nel giornale. Conti del giornale: Banca, "
               "Cassa.";
        QTest::newRow("no such day") << "--balance Cassa --at 29/02/2010" << 2 << "Data non valida per --at";
    }
    void balanceAtADay()
    {
        QFETCH(QString, args);
        QFETCH(int, status);
        QFETCH(QString, said);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MOVILIBRO_TODAY"), QStringLiteral("2010-01-15"));
        const Run run = runProgram(onKnown(args.split(u' ')), env);
        QCOMPARE(run.status, status);
        QCOMPARE(status == 0 ? run.out : QString(), status == 0 ? said + u'\n' : QString());
        QVERIFY2(status == 0 || run.err.contains(said), qPrintable(run.err));
    }

    // After the import the statement's balances stand beside the journal's:
    // an entry of the closing day counts, one of the day after does not; the
    // opening balance goes with the day before its own.
    void statementBalancesBesideTheJournal_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("atClose");
        QTest::addColumn<QString>("dayAfter");
        QTest::newRow("csv, opening and closing")
            << "cli/saldi.csv"
            << QStringList{"Saldo finale dell'estratto al 31/03/2024: 2.000,00 · Saldo di Banca nel giornale "
                           "alla "
                           "stessa data: 1.995,00 · Differenza: 5,00",
                           "Saldo iniziale dell'estratto al 01/03/2024: 1.000,00 · Saldo di Banca nel "
                           "giornale il "
                           "giorno prima (29/02/2024): 1.000,00 · Differenza: 0,00"}
            << "1.995,00"
            << "1.988,00";
        // 1.500,00 - 12,50 - 45,90 - 200,00 come in.
        QTest::newRow("ofx, closing") << "statement/conto.ofx"
                                      << QStringList{"Saldo finale dell'estratto al 31/03/2024: 1.241,60 · "
                                                     "Saldo di Banca nel giornale alla "
                                                     "stessa data: 1.241,60 · Differenza: 0,00"}
                                      << "1.241,60"
                                      << "1.234,60";
    }
    void statementBalancesBesideTheJournal()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QFETCH(QString, atClose);
        QFETCH(QString, dayAfter);
        test::Journal j(path(QStringLiteral("saldi-") + QString::fromLatin1(QTest::currentDataTag())));
        const qint64 banca = j.addAccount(QStringLiteral("Banca"));
        if (file.endsWith(u".csv")) {
            j.addEntry(QDate(2024, 2, 29), banca, QStringLiteral("Saldo precedente"), money(1000), 0);
            j.addEntry(QDate(2024, 3, 1), banca, QStringLiteral("Bollo"), 0, money(3));
            j.addEntry(QDate(2024, 3, 31), banca, QStringLiteral("Commissioni"), 0, money(2));
        }
        j.addEntry(QDate(2024, 4, 1), banca, QStringLiteral("Dopo"), 0, money(7));
        const Run run =
            runProgram({"--db", j.folder(), "--import-statement", Data + u'/' + file, "--account", "banca"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QStringList out = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(out.mid(out.size() - lines.size()), lines);
        for (const auto& [day, balance] :
             {std::pair{"31/03/2024", atClose}, std::pair{"01/04/2024", dayAfter}})
            QCOMPARE(runProgram({"--db", j.folder(), "--balance", "Banca", "--at", day}).out,
                     QStringLiteral("Saldo di Banca al %1: %2\n").arg(QLatin1String(day), balance));
    }

    void importIntoAnEmptyFolder()
    {
        const QString folder = path("importato");
        QDir().mkpath(folder);
        const Run run = runProgram(
            {"--import-mdb", Data + QStringLiteral("/legacy/journal-textparams.mdb"), "--db", folder});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(QStringLiteral("15536,64")) && run.out.contains(QStringLiteral("39204,70")));
        QCOMPARE(rows(folder + QStringLiteral("/movilibro.mdb"), "Movilibro"), 25);
        QCOMPARE(rows(folder + QStringLiteral("/movilibro.mdb"), "Conti"), 6);
    }

    void restoreKeepsTheCurrentJournal()
    {
        test::Journal journal(path("ripristino"));
        const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
        journal.addEntry(QDate(2010, 1, 1), cassa, QStringLiteral("prima"), money(1), 0);
        const QString copy = db::JournalBackup(journal.path()).make();
        journal.addEntry(QDate(2010, 12, 31), cassa, QStringLiteral("dopo"), money(2), 0);
        const Run run = runProgram({"--restore", copy, "--db", journal.folder()});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(journal.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 1);
        const QStringList copies = db::JournalBackup(journal.path()).copies();
        QCOMPARE(copies.size(), 2);
        QVERIFY2(run.out.contains(QFileInfo(copies.last()).fileName()), qPrintable(run.out));
        QCOMPARE(rows(copies.last(), "Movilibro"), 2); // the journal as it was before
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList onKnown(QStringList arguments) const { return arguments << "--db" << m_known->folder(); }

    const QString SettingsKey = QStringLiteral("Software\\Marlenco\\Movilibro\\Settings");
    const QString CurDb = QStringLiteral("appset_curdb");
    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_known;
};

QTEST_MAIN(TestCommandLine)
#include "test_cli.moc"
