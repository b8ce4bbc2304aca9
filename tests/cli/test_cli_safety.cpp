#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace movilibro;
using test::money;

namespace {

const QStringList Year2010{QStringLiteral("--from"), QStringLiteral("01/01/2010"), QStringLiteral("--to"),
                           QStringLiteral("31/12/2010")};

using Run = test::ProgramRun;

Run runProgram(const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    return test::runProgram(QStringLiteral(MOVILIBRO_EXE), arguments, environment);
}

mode_t fileType(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// A device node of our own where the system lets us make one, so that a
// program replacing it could not break the system's /dev.
QString deviceNode(const QString& folder, const QString& name)
{
    const QString path = folder + u'/' + name;
    const unsigned minor = name == u"full" ? 7 : 3;
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0)
        return path;
    return QStringLiteral("/dev/") + name;
}

} // namespace

class TestCommandLineSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onAServerInEnglish_data();
    void onAServerInEnglish();
    void specialFilesAreWrittenNotReplaced_data();
    void specialFilesAreWrittenNotReplaced();
    void csvTextNeverRunsAsAFormula();

private:
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }
    QStringList onKnown(QStringList arguments) const
    {
        return arguments << QStringLiteral("--db") << m_known->folder();
    }

    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_known;
};

void TestCommandLineSafety::initTestCase()
{
    QVERIFY(QFileInfo::exists(QStringLiteral(MOVILIBRO_EXE)));
    m_known = std::make_unique<test::Journal>(path(QStringLiteral("known")));
    const qint64 banca = m_known->addAccount(QStringLiteral("=Banca"));
    const qint64 cassa = m_known->addAccount(QStringLiteral("Cassa"));
    const QStringList descriptions{"=SOMMA(A1:A9)", "+39 333", "-sconto", "@cmd", "\tTab", "\rR", "a=b"};
    for (int i = 0; i < descriptions.size(); ++i)
        m_known->addEntry(QDate(2010, 1, i + 1), i == 6 ? banca : cassa, descriptions[i],
                          i == 1 ? 0 : money(i == 0 ? 10 : 5), i == 1 ? money(50) : 0);
}

void TestCommandLineSafety::onAServerInEnglish_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT: a folder that stays empty on failure
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // on standard output or error
    const QString known = path(QStringLiteral("known"));
    const QString help = QStringLiteral("movilibro --help");
    QTest::newRow("mistyped option") << QStringList{"--exprot-csv", "OUT/a"} << 2 << help;
    QTest::newRow("stray argument") << QStringList{"altro"} << 2 << help;
    QTest::newRow("repeated export") << QStringList{"--export-csv", "OUT/a", "--export-csv",
                                                    "OUT/b",        "--db",  known}
                                     << 2 << help;
    QTest::newRow("repeated date")
        << (QStringList{"--export-csv", "OUT/a", "--from", "1/2/2010", "--db", known} << Year2010) << 2
        << help;
    QTest::newRow("no option: no window") << QStringList() << 1 << help;
    QTest::newRow("PDF of an empty period")
        << QStringList{"--export-pdf", "OUT/a", "--export-csv", "OUT/b", "--from",
                       "1/1/2011",     "--to",  "31/12/2011",   "--db",  known}
        << 1 << "movilibro: ";
    QTest::newRow("search matching nothing")
        << (QStringList{"--export-pdf", "OUT/a", "--export-csv", "OUT/b", "--export-chart", "OUT/c.png",
                        "--search", "bonifico", "--db", known}
            << Year2010)
        << 1 << "corrisponde alla ricerca \"bonifico\"";
    QTest::newRow("search matching one entry")
        << (QStringList{"--export-pdf", "OUT/a", "--export-csv", "OUT/b", "--export-chart", "OUT/c.png",
                        "--search", "cmd", "--db", known}
            << Year2010)
        << 0 << "Scritto il grafico";
    QTest::newRow("import summary") << QStringList{"--import-mdb",
                                                   MOVILIBRO_TEST_DATA "/legacy/journal-textparams.mdb",
                                                   "--db", "OUT"}
                                    << 0 << "Totale Entrate: 15536,64";
}

// No display, and English regional settings.
void TestCommandLineSafety::onAServerInEnglish()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir outDir;
    arguments.replaceInStrings(QStringLiteral("OUT"), outDir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    for (const char* name : {"LANG", "LC_ALL"})
        env.insert(QLatin1String(name), QStringLiteral("en_US.UTF-8"));
    const Run run = runProgram(arguments, env);
    QVERIFY2(run.status == status && (run.out + run.err).contains(said), qPrintable(run.err + run.out));
    if (status != 0)
        QCOMPARE(QDir(outDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
}

void TestCommandLineSafety::specialFilesAreWrittenNotReplaced_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("target"); // "pipe" or a device's name
    QTest::addColumn<int>("status");
    const auto row = [](const char* name, const char* option, const char* target, int status) {
        QTest::newRow(name) << QString(option) << QString(target) << status;
    };
    row("CSV into a pipe", "--export-csv", "pipe", 0);
    row("PDF into a pipe", "--export-pdf", "pipe", 0);
    row("CSV into a full device", "--export-csv", "full", 1);
    row("PDF into a full device", "--export-pdf", "full", 1);
    row("PDF into the null device", "--export-pdf", "null", 0);
}

void TestCommandLineSafety::specialFilesAreWrittenNotReplaced()
{
    QFETCH(QString, option);
    QFETCH(QString, target);
    QFETCH(int, status);
    QTemporaryDir dir;
    QString file = dir.path() + QStringLiteral("/tubo");
    QProcess reader; // killed when the test ends, whatever happened
    if (target == u"pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        reader.start(QStringLiteral("cat"), {file});
        QVERIFY(reader.waitForStarted());
    } else {
        file = deviceNode(dir.path(), target);
    }
    const mode_t type = fileType(file);
    const Run run = runProgram(onKnown(QStringList{option, file} << Year2010));
    QVERIFY2(run.status == status, qPrintable(run.err));
    QCOMPARE(fileType(file), type);
    if (target == u"pipe") {
        QVERIFY(reader.waitForFinished(60000));
        const QByteArray received = reader.readAllStandardOutput().trimmed();
        const bool csv = option == u"--export-csv";
        QVERIFY(received.startsWith(csv ? "\xEF\xBB\xBF"
                                          "Data;"
                                        : "%PDF"));
        QVERIFY(received.endsWith(csv ? ";\"10,00\"" : "%%EOF")); // the whole of it
    }
}

// Dates and amounts stay values; text a spreadsheet would run is quoted away.
void TestCommandLineSafety::csvTextNeverRunsAsAFormula()
{
    const QString out = path(QStringLiteral("formule.csv"));
    const Run run = runProgram(onKnown(QStringList{"--export-csv", out, "--layout", "0"} << Year2010));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(test::fileBytes(out), test::fileBytes(QStringLiteral(MOVILIBRO_TEST_DATA "/cli/formulas.csv")));
}

QTEST_MAIN(TestCommandLineSafety)
#include "test_cli_safety.moc"
