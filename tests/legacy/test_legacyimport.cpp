#include "app/mainmod.h"
#include "app/seams.h"
#include "app/startup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/journaldb.h"
#include "legacy/journalconversion.h"
#include "legacy/legacyimport.h"
#include "legacy/legacyreader.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"
#include "ui/prompt/prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace movilibro;
using namespace movilibro::legacy;

namespace {

const QString JournalName = QStringLiteral("movilibro.mdb");

QString fixture(const QString& name)
{
    return QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/") + name + QStringLiteral(".mdb");
}

QStringList contents(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

qint64 scalar(const QString& journalPath, const QString& sql)
{
    db::Connection conn = db::Connection::open(journalPath, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(sql);
    return st.step() && !st.isNull(0) ? st.int64(0) : 0;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// An old journal held in memory: one account, one entry.
LegacyJournal oneEntry(const QString& description)
{
    LegacyJournal j;
    j.accounts.append({7, QStringLiteral("Cassa")});
    LegacyEntry e;
    e.id = 12;
    e.date = QDate(2010, 3, 5);
    e.account = 7;
    e.description = description;
    e.in = 125000;
    j.entries.append(e);
    return j;
}

} // namespace

class TestLegacyImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        Pauses::setDurations(0, 0);
    }
    void cleanup() { unloadMainWindow(); }

    // Counts and sums as each fixture's .expected.json gives them.
    void fixtureImportsCompletely_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("small") << QStringLiteral("journal-small");
        QTest::newRow("Valore as text") << QStringLiteral("journal-textparams");
        QTest::newRow("20,000 entries") << QStringLiteral("journal-large");
    }
    void fixtureImportsCompletely()
    {
        QFETCH(QString, name);
        QFile json(QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/") + name + QStringLiteral(".expected.json"));
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QJsonObject x = QJsonDocument::fromJson(json.readAll()).object();
        const QByteArray before = test::fileBytes(fixture(name));
        QTemporaryDir dir;
        const ImportSummary s = importIntoFolder(fixture(name), dir.path(), test::templatePath());
        QCOMPARE(test::fileBytes(fixture(name)), before);
        QCOMPARE(s.accounts, x["accounts"].toInt());
        QCOMPARE(s.orphans, x["orphans"].toInt());
        QCOMPARE(s.listedIn.raw(), x["sum_in_10000"].toInteger());
        QVERIFY(s.skippedParameters.isEmpty());

        const QString journal = dir.filePath(JournalName);
        const QString listed =
            QStringLiteral(" FROM Movilibro INNER JOIN Conti ON Movilibro.mlConto = Conti.cntId");
        QCOMPARE(scalar(journal, QStringLiteral("SELECT count(*) FROM Movilibro")), x["entries"].toInteger());
        QCOMPARE(scalar(journal, QStringLiteral("SELECT count(*)") + listed), x["listed"].toInteger());
        QCOMPARE(scalar(journal, QStringLiteral("SELECT sum(mlEntrate)") + listed),
                 x["sum_in_10000"].toInteger());
        QCOMPARE(scalar(journal, QStringLiteral("SELECT sum(mlUscite)") + listed),
                 x["sum_out_10000"].toInteger());
        QCOMPARE(scalar(journal,
                        QStringLiteral(
                            "SELECT count(*) FROM Movilibro WHERE mlEntrate IS NULL AND mlUscite IS NULL")),
                 x["null_both"].toInteger());
        const QString cs = db::connStringFor(dir.path());
        QCOMPARE(db::ReadParameter(cs, QStringLiteral("appset_gexlayout"), -1), x["gexlayout"].toInt());
        QCOMPARE(db::ReadParameter(cs, QStringLiteral("appset_esercizio_startingmonth"), -1),
                 x["startingmonth"].toInt());
        QCOMPARE(db::ReadParameter(cs, QStringLiteral("appset_dategrouping"), -1), x["dategrouping"].toInt());
        QCOMPARE(contents(dir.path()), QStringList{JournalName});
    }

    void entriesArriveIntact_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        const QString entry = QStringLiteral("SELECT mlData || '|' || mlConto || '|' || mlDescrizione || '|' "
                                             "|| ifnull(mlEntrate, '-') || '|' || "
                                             "ifnull(mlUscite, '-') FROM Movilibro WHERE mlId = ");
        const QString account = QStringLiteral("SELECT cntNome FROM Conti WHERE cntId = ");
        QTest::newRow("euro sign") << "journal-small" << entry + "2"
                                   << "2011-02-25|3|€ 5 in contanti 2|38650800|0";
        QTest::newRow("both amounts empty") << "journal-small" << entry + "4"
                                            << "2010-02-23|1|O'Brien 4|-|-";
        QTest::newRow("no such account") << "journal-small" << entry + "6"
                                         << "2011-09-24|4|Città 6|0|29474800";
        QTest::newRow("time of day dropped") << "journal-small" << entry + "8"
                                             << "2009-01-30|3|Stipendio 8|0|47096300";
        QTest::newRow("semicolon") << "journal-small" << entry + "14"
                                   << "2010-02-17|2|a;b,c 14|0|28012300";
        QTest::newRow("time, Valore as text") << "journal-textparams" << entry + "8"
                                              << "2009-10-28|1|Affitto 8|0|4645300";
        QTest::newRow("en dash and accent") << "journal-small" << account + "2"
                                            << "Banca Popolare – c/c più";
        QTest::newRow("capital accent") << "journal-textparams" << account + "5"
                                        << "Économat";
        QTest::newRow("quotes") << "journal-textparams" << account + "6"
                                << "Zeta \"virgolette\" 'apici'";
    }
    void entriesArriveIntact()
    {
        QFETCH(QString, name);
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const ImportSummary s = importIntoFolder(fixture(name), dir.path(), test::templatePath());
        if (name == u"journal-small")
            QCOMPARE(s.timesDropped, 1);
        db::Connection conn = db::Connection::open(dir.filePath(JournalName), db::Connection::Mode::ReadOnly);
        db::Statement st = conn.prepare(sql);
        QVERIFY(st.step());
        QCOMPARE(st.text(0), expected);
    }

    // An old journal held in memory: a parameter that is not a whole number is
    // skipped and reported; the longest description arrives whole, a longer one
    // refuses the whole import.
    void importIntoAnEmptyJournal()
    {
        QTemporaryDir dir;
        test::Journal target(dir.path());
        db::Connection conn = target.open();
        LegacyJournal tooLong = oneEntry(QStringLiteral("x").repeated(256));
        tooLong.entries.prepend(oneEntry(QStringLiteral("prima")).entries.first());
        tooLong.entries.first().id = 3;
        const QByteArray before = test::fileBytes(target.path());
        QVERIFY_THROWS_EXCEPTION(LegacyError, importInto(conn, tooLong));
        QCOMPARE(test::fileBytes(target.path()), before); // nothing of it, not even the first entry

        const QString longest = QStringLiteral("àèéìòù € – ;\"'x").repeated(17);
        QCOMPARE(longest.size(), 255);
        LegacyJournal old = oneEntry(longest);
        old.parameters.append({QStringLiteral("appset_gexlayout"), 3, QStringLiteral("3")});
        old.parameters.append({QStringLiteral("appset_dategrouping"), std::nullopt, QStringLiteral("3,5")});
        const ImportSummary s = importInto(conn, old);
        QCOMPARE(wholeNumberFromText(QStringLiteral(" 3,00 ")), std::optional<int>(3));
        QCOMPARE(wholeNumberFromText(QStringLiteral("4294967296")), std::optional<int>()); // beyond 32 bits
        QCOMPARE(s.parameters, 1);
        QCOMPARE(s.skippedParameters.size(), 1);
        QVERIFY(summaryText(s).contains(s.skippedParameters.first()));
        QCOMPARE(db::ReadParameter(target.connString(), QStringLiteral("appset_gexlayout"), -1), 3);
        QCOMPARE(db::ReadParameter(target.connString(), QStringLiteral("appset_dategrouping"), -1), -1);
        db::Statement st =
            conn.prepare(QStringLiteral("SELECT mlDescrizione FROM Movilibro WHERE mlId = 12"));
        QVERIFY(st.step());
        QCOMPARE(st.text(0), longest);
    }

    // Each refusal leaves both the old file and the target folder as they were.
    void refusals_data()
    {
        QTest::addColumn<QString>("source"); // fixture, cut to a percentage or with a page wiped
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("target");   // what the target folder holds
        QTest::addColumn<bool>("sourceIsBad"); // then the in-place conversion is refused too
        QTest::newRow("small, cut in half") << "journal-small" << 50 << "" << true;
        QTest::newRow("small, tail missing") << "journal-small" << 95 << "" << true;
        QTest::newRow("large, cut in half") << "journal-large" << 50 << "" << true;
        QTest::newRow("large, last bytes missing") << "journal-large" << 99 << "" << true;
        // libmdb reads on past a lost page: only the declared row count tells.
        QTest::newRow("large, a page wiped") << "journal-large" << -1 << "" << true;
        QTest::newRow("a file of another kind") << "template" << 100 << "" << true;
        QTest::newRow("no such file") << "missing" << 100 << "" << true;
        QTest::newRow("a journal with data") << "journal-small" << 100 << "data" << false;
        QTest::newRow("an old-format target") << "journal-small" << 100 << "old" << false;
        QTest::newRow("no template") << "journal-small" << 100 << "notemplate" << true;
    }
    void refusals()
    {
        QFETCH(QString, source);
        QFETCH(int, percent);
        QFETCH(QString, target);
        QFETCH(bool, sourceIsBad);
        QTemporaryDir oldDir, newDir;
        const QString old = oldDir.filePath(JournalName);
        if (source != u"missing") {
            QByteArray bytes =
                test::fileBytes(source == u"template" ? test::templatePath() : fixture(source));
            if (percent < 0)
                bytes.replace(100 * 4096, 4096, QByteArray(4096, '\0'));
            writeFile(old, percent > 0 ? bytes.left(bytes.size() * percent / 100) : bytes);
        }
        if (target == u"data")
            test::Journal(newDir.path()).addAccount(QStringLiteral("Cassa"));
        if (target == u"old")
            QVERIFY(QFile::copy(fixture(QStringLiteral("journal-textparams")), newDir.filePath(JournalName)));
        const QString templ = target == u"notemplate" ? oldDir.filePath("master.gen") : test::templatePath();
        const QStringList oldBefore = contents(oldDir.path()), newBefore = contents(newDir.path());
        const QByteArray oldBytes = test::fileBytes(old),
                         newBytes = test::fileBytes(newDir.filePath(JournalName));

        QVERIFY_THROWS_EXCEPTION(LegacyError, importIntoFolder(old, newDir.path(), templ));
        QCOMPARE(contents(newDir.path()), newBefore);
        QCOMPARE(test::fileBytes(newDir.filePath(JournalName)), newBytes);
        if (sourceIsBad)
            QVERIFY_THROWS_EXCEPTION(LegacyError, convertInPlace(old, templ));
        QCOMPARE(contents(oldDir.path()), oldBefore);
        QCOMPARE(test::fileBytes(old), oldBytes);
    }

    void emptyJournalTakesTheOldParameters()
    {
        QTemporaryDir dir;
        test::Journal target(dir.path());
        target.setParameter(QStringLiteral("appset_gexlayout"), 4);
        QCOMPARE(importIntoFolder(fixture(QStringLiteral("journal-small")), dir.path(), test::templatePath())
                     .entries,
                 40);
        QCOMPARE(db::ReadParameter(target.connString(), QStringLiteral("appset_gexlayout"), -1), 2);
        QCOMPARE(
            target.count(QStringLiteral("SELECT count(*) FROM Parametri WHERE Chiave='appset_gexlayout'")),
            1);
    }

    // The original stays beside the converted journal, never over an earlier copy.
    void conversionKeepsTheOriginalBeside()
    {
        QTemporaryDir dir;
        const QString source = fixture(QStringLiteral("journal-small"));
        const QString path = dir.filePath(JournalName);
        QVERIFY(QFile::copy(source, path));
        writeFile(path + QStringLiteral(".jet"), "copia precedente");
        const Conversion done = convertInPlace(path, test::templatePath());
        QCOMPARE(done.keptAs, path + QStringLiteral(".2.jet"));
        QCOMPARE(test::fileBytes(done.keptAs), test::fileBytes(source));
        QCOMPARE(test::fileBytes(path + QStringLiteral(".jet")), QByteArray("copia precedente"));
        QCOMPARE(db::journalFileKind(path), db::JournalFileKind::SQLite);
        QCOMPARE(done.summary.entries, 40);
        QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM Movilibro")), 40);
        QCOMPARE(contents(dir.path()),
                 (QStringList{JournalName, JournalName + ".2.jet", JournalName + ".jet"}));
    }
    // An old-format journal where the start-up sequence looks for the journal:
    // converted on Yes, left as it was on No or when it is damaged.
    void oldJournalAtStartup_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("started");
        QTest::addColumn<int>("messages"); // the question, then the summary or what went wrong
        QTest::newRow("yes converts and starts") << false << true << true << 2;
        QTest::newRow("no leaves the file as it was") << false << false << false << 2;
        QTest::newRow("a damaged file is not converted") << true << true << false << 3;
    }
    void oldJournalAtStartup()
    {
        QFETCH(bool, damaged);
        QFETCH(bool, yes);
        QFETCH(bool, started);
        QFETCH(int, messages);
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        const QByteArray whole =
            test::fileBytes(QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-small.mdb"));
        const QByteArray bytes = damaged ? whole.left(whole.size() / 2) : whole;
        QDir().mkpath(home.defaultDbFolder());
        const QString path = home.defaultDbFolder() + QStringLiteral("/movilibro.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        prompt.setNextAnswer(yes ? Answer::Yes : Answer::No);
        prompt.setNextFolder({}); // when refused, the folder question is cancelled

        QCOMPARE(bool(Main()), started);
        QCOMPARE(mainWindow() != nullptr, started);
        QCOMPARE(prompt.messages.size(), messages);
        QCOMPARE(prompt.messages[0].style, MsgStyle::YesNo);
        if (!started) {
            QCOMPARE(prompt.messages.last().style, MsgStyle::Critical);
            // Declined, the journal is left in the old format: not called damaged.
            QCOMPARE(prompt.messages.last().text.contains(QStringLiteral("danneggiato")), damaged);
            QCOMPARE(test::fileBytes(path), bytes);
            QCOMPARE(QDir(home.defaultDbFolder()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"movilibro.mdb"});
            return;
        }
        QVERIFY2(prompt.messages[1].text.contains(QStringLiteral("40")), qPrintable(prompt.messages[1].text));
        QCOMPARE(test::fileBytes(path + QStringLiteral(".jet")), whole);
        QCOMPARE(db::journalFileKind(path), db::JournalFileKind::SQLite);
        QVERIFY(!db::ConnectionFails(mainmod::ConnString));
        db::Connection conn = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        db::Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
        QVERIFY(st.step());
        QCOMPARE(st.int64(0), 40);
    }
};

QTEST_MAIN(TestLegacyImport)
#include "test_legacyimport.moc"
