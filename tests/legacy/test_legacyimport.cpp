#include "db/connection.h"
#include "db/connstring.h"
#include "db/journaldb.h"
#include "legacy/journalconversion.h"
#include "legacy/legacyimport.h"
#include "legacy/legacyreader.h"
#include "legacyfixtures.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace movilibro;
using namespace movilibro::legacy;

namespace {

const QString JournalName = QStringLiteral("movilibro.mdb");

qint64 scalar(const QString& journalPath, const QString& sql)
{
    db::Connection conn = db::Connection::open(journalPath, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(sql);
    return st.step() && !st.isNull(0) ? st.int64(0) : 0;
}

QString text(const QString& journalPath, const QString& sql)
{
    db::Connection conn = db::Connection::open(journalPath, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(sql);
    return st.step() ? st.text(0) : QStringLiteral("<nessuna riga>");
}

// An empty journal made from the template, and an old journal held in memory.
LegacyJournal oneAccountJournal(const QString& description)
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
        QVERIFY2(QFileInfo(test::legacyFixtures()).isDir(),
                 qPrintable(QStringLiteral("fixtures missing: ") + test::legacyFixtures()));
        for (const char* name : {"journal-small", "journal-textparams", "journal-large"})
            QVERIFY2(QFileInfo::exists(test::legacyFixture(QLatin1String(name))), name);
    }

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
        const QString source = test::legacyFixture(name);
        const QByteArray before = test::fileBytes(source);
        const test::LegacyExpectation x = test::legacyExpectation(name);
        QTemporaryDir dir;
        const ImportSummary s = importIntoFolder(source, dir.path(), test::templatePath());
        QCOMPARE(test::fileBytes(source), before);

        QCOMPARE(s.entries, x.entries);
        QCOMPARE(s.accounts, x.accounts);
        QCOMPARE(s.orphans, x.orphans);
        QCOMPARE(s.parameters, 3);
        QVERIFY(s.skippedParameters.isEmpty());
        QCOMPARE(s.listedIn.raw(), x.sumIn);
        QCOMPARE(s.listedOut.raw(), x.sumOut);

        const QString journal = dir.path() + u'/' + JournalName;
        QVERIFY(!db::ConnectionFails(db::connStringFor(dir.path())));
        const QString listed =
            QStringLiteral(" FROM Movilibro INNER JOIN Conti ON Movilibro.mlConto = Conti.cntId");
        QCOMPARE(scalar(journal, QStringLiteral("SELECT count(*) FROM Movilibro")), qint64(x.entries));
        QCOMPARE(scalar(journal, QStringLiteral("SELECT count(*) FROM Conti")), qint64(x.accounts));
        QCOMPARE(scalar(journal, QStringLiteral("SELECT count(*)") + listed), qint64(x.listed));
        QCOMPARE(scalar(journal, QStringLiteral("SELECT sum(mlEntrate)") + listed), x.sumIn);
        QCOMPARE(scalar(journal, QStringLiteral("SELECT sum(mlUscite)") + listed), x.sumOut);
        QCOMPARE(scalar(journal, QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlEntrate IS NULL AND "
                                                "mlUscite IS NULL")),
                 qint64(x.nullBoth));
        QCOMPARE(scalar(journal, QStringLiteral("SELECT sum(mlEntrate) FROM Movilibro")), s.totalIn.raw());
        QCOMPARE(scalar(journal, QStringLiteral("SELECT sum(mlUscite) FROM Movilibro")), s.totalOut.raw());
        const QString cs = db::connStringFor(dir.path());
        QCOMPARE(db::ReadParameter(cs, QStringLiteral("appset_gexlayout"), -1), x.layout);
        QCOMPARE(db::ReadParameter(cs, QStringLiteral("appset_esercizio_startingmonth"), -1),
                 x.startingMonth);
        QCOMPARE(db::ReadParameter(cs, QStringLiteral("appset_dategrouping"), -1), x.dateGrouping);
        QCOMPARE(test::folderContents(dir.path()), QStringList{JournalName});
    }

    void entriesArriveIntact_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("date");
        QTest::addColumn<qint64>("account");
        QTest::addColumn<QString>("description");
        QTest::addColumn<qint64>("in");  // -1: empty
        QTest::addColumn<qint64>("out"); // -1: empty
        const QString small = QStringLiteral("journal-small");
        QTest::newRow("euro sign") << small << 2LL << "2011-02-25" << 3LL << "€ 5 in contanti 2" << 38650800LL
                                   << 0LL;
        QTest::newRow("both amounts empty")
            << small << 4LL << "2010-02-23" << 1LL << "O'Brien 4" << -1LL << -1LL;
        QTest::newRow("accents") << small << 5LL << "2011-12-26" << 1LL << "perché sì 5" << 0LL << 34698500LL;
        QTest::newRow("no such account")
            << small << 6LL << "2011-09-24" << 4LL << "Città 6" << 0LL << 29474800LL;
        QTest::newRow("time of day dropped")
            << small << 8LL << "2009-01-30" << 3LL << "Stipendio 8" << 0LL << 47096300LL;
        QTest::newRow("semicolon") << small << 14LL << "2010-02-17" << 2LL << "a;b,c 14" << 0LL << 28012300LL;
        QTest::newRow("time, Valore as text") << QStringLiteral("journal-textparams") << 8LL << "2009-10-28"
                                              << 1LL << "Affitto 8" << 0LL << 4645300LL;
    }

    void entriesArriveIntact()
    {
        QFETCH(QString, name);
        QFETCH(qint64, id);
        QTemporaryDir dir;
        importIntoFolder(test::legacyFixture(name), dir.path(), test::templatePath());
        db::Connection conn =
            db::Connection::open(dir.path() + u'/' + JournalName, db::Connection::Mode::ReadOnly);
        db::Statement st = conn.prepare(QStringLiteral(
            "SELECT mlData, mlConto, mlDescrizione, mlEntrate, mlUscite FROM Movilibro WHERE mlId = ?"));
        st.bind(0, id);
        QVERIFY(st.step());
        QTEST(st.text(0), "date");
        QTEST(st.int64(1), "account");
        QTEST(st.text(2), "description");
        QTEST(st.isNull(3) ? -1LL : st.int64(3), "in");
        QTEST(st.isNull(4) ? -1LL : st.int64(4), "out");
    }

    void timesOfDayAreCounted()
    {
        QTemporaryDir dir;
        const ImportSummary s = importIntoFolder(test::legacyFixture(QStringLiteral("journal-small")),
                                                 dir.path(), test::templatePath());
        QCOMPARE(s.timesDropped, 1);
        QVERIFY(legacy::summaryText(s).contains(QStringLiteral("Date con orario (orario tolto): 1")));
    }

    void accountNamesArriveIntact_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("account");
        QTest::newRow("en dash and accent") << "journal-small" << 2LL << "Banca Popolare – c/c più";
        QTest::newRow("capital accent") << "journal-textparams" << 5LL << "Économat";
        QTest::newRow("quotes and apostrophes")
            << "journal-textparams" << 6LL << "Zeta \"virgolette\" 'apici'";
    }

    void accountNamesArriveIntact()
    {
        QFETCH(QString, name);
        QFETCH(qint64, id);
        QTemporaryDir dir;
        importIntoFolder(test::legacyFixture(name), dir.path(), test::templatePath());
        QTEST(text(dir.path() + u'/' + JournalName,
                   QStringLiteral("SELECT cntNome FROM Conti WHERE cntId = %1").arg(id)),
              "account");
    }

    void wholeNumbersFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("value");
        QTest::newRow("digits") << "4" << true << 4;
        QTest::newRow("blanks around") << " 12 " << true << 12;
        QTest::newRow("zero decimals") << "3,00" << true << 3;
        QTest::newRow("point zero") << "2.0" << true << 2;
        QTest::newRow("negative") << "-1" << true << -1;
        QTest::newRow("fraction") << "3,5" << false << 0;
        QTest::newRow("word") << "tre" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("beyond 32 bits") << "4294967296" << false << 0;
    }

    void wholeNumbersFromText()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(int, value);
        QCOMPARE(wholeNumberFromText(text), whole ? std::optional<int>(value) : std::nullopt);
    }

    void parameterThatIsNotWholeIsSkippedAndReported()
    {
        QTemporaryDir dir;
        test::Journal target(dir.path());
        LegacyJournal old;
        old.parameters.append({QStringLiteral("appset_gexlayout"), 3, QStringLiteral("3")});
        old.parameters.append({QStringLiteral("appset_dategrouping"), std::nullopt, QStringLiteral("3,5")});
        db::Connection conn = target.open();
        const ImportSummary s = importInto(conn, old);
        QCOMPARE(s.parameters, 1);
        QCOMPARE(s.skippedParameters, QStringList{QStringLiteral("appset_dategrouping = \"3,5\"")});
        QVERIFY(summaryText(s).contains(QStringLiteral("appset_dategrouping = \"3,5\"")));
        QCOMPARE(db::ReadParameter(target.connString(), QStringLiteral("appset_gexlayout"), -1), 3);
        QCOMPARE(db::ReadParameter(target.connString(), QStringLiteral("appset_dategrouping"), -1), -1);
    }

    void longestTextArrivesWhole()
    {
        QTemporaryDir dir;
        test::Journal target(dir.path());
        const QString longest = QStringLiteral("àèéìòù € – ;\"'x").repeated(17);
        QCOMPARE(longest.size(), 255);
        db::Connection conn = target.open();
        importInto(conn, oneAccountJournal(longest));
        QCOMPARE(text(target.path(), QStringLiteral("SELECT mlDescrizione FROM Movilibro WHERE mlId = 12")),
                 longest);
    }

    void failureHalfWayLeavesTheJournalUnchanged()
    {
        QTemporaryDir dir;
        test::Journal target(dir.path());
        LegacyJournal old = oneAccountJournal(QStringLiteral("x").repeated(256));
        old.entries.prepend(oneAccountJournal(QStringLiteral("prima")).entries.first());
        old.entries.first().id = 3;
        const QByteArray before = test::fileBytes(target.path());
        db::Connection conn = target.open();
        QVERIFY_THROWS_EXCEPTION(LegacyError, importInto(conn, old));
        QCOMPARE(target.count(QStringLiteral("SELECT count(*) FROM Conti")), 0);
        QCOMPARE(target.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 0);
        QCOMPARE(test::fileBytes(target.path()), before);
    }

    void truncatedFileIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("percent");
        QTest::newRow("small, half, on a page boundary") << "journal-small" << 50;
        QTest::newRow("small, tail missing") << "journal-small" << 95;
        QTest::newRow("large, half, on a page boundary") << "journal-large" << 50;
        QTest::newRow("large, last bytes missing") << "journal-large" << 99;
    }

    void truncatedFileIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(int, percent);
        const QString source = test::legacyFixture(name);
        QTemporaryDir oldDir, newDir;
        const QString damaged = oldDir.path() + u'/' + JournalName;
        test::writeTruncated(source, damaged, QFileInfo(source).size() * percent / 100);
        const QByteArray before = test::fileBytes(damaged);

        QVERIFY_THROWS_EXCEPTION(LegacyError, importIntoFolder(damaged, newDir.path(), test::templatePath()));
        QCOMPARE(test::folderContents(newDir.path()), QStringList());

        QVERIFY_THROWS_EXCEPTION(LegacyError, convertInPlace(damaged, test::templatePath()));
        QCOMPARE(test::folderContents(oldDir.path()), QStringList{JournalName});
        QCOMPARE(test::fileBytes(damaged), before);
    }

    void damagedFileSaysWhy()
    {
        QTemporaryDir dir;
        const QString source = test::legacyFixture(QStringLiteral("journal-large"));
        const QString damaged = dir.path() + QStringLiteral("/vecchio.mdb");
        test::writeTruncated(source, damaged, QFileInfo(source).size() / 2);
        try {
            readLegacyJournal(damaged);
            QFAIL("a journal cut in half was read");
        } catch (const LegacyError& e) {
            QVERIFY2(
                e.message().startsWith(QStringLiteral("Il file \"vecchio.mdb\" è danneggiato o incompleto")),
                qPrintable(e.message()));
        }
    }

    // A page of entries lost inside the file: libmdb reads on past it, so
    // only the count the table declares shows that rows are missing.
    void wipedPageIsRefused()
    {
        QTemporaryDir dir, newDir;
        const QString damaged = dir.path() + QStringLiteral("/vecchio.mdb");
        QByteArray bytes = test::fileBytes(test::legacyFixture(QStringLiteral("journal-large")));
        bytes.replace(100 * 4096, 4096, QByteArray(4096, '\0'));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        try {
            importIntoFolder(damaged, newDir.path(), test::templatePath());
            QFAIL("a journal with a wiped page was imported");
        } catch (const LegacyError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("della tabella Movilibro si leggono")),
                     qPrintable(e.message()));
        }
        QCOMPARE(test::folderContents(newDir.path()), QStringList());
    }

    void fileOfAnotherKindIsRefused()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(LegacyError, readLegacyJournal(test::templatePath()));
        QVERIFY_THROWS_EXCEPTION(LegacyError, readLegacyJournal(dir.path() + QStringLiteral("/manca.mdb")));
    }

    void journalWithDataIsRefused()
    {
        QTemporaryDir dir;
        test::Journal target(dir.path());
        target.addAccount(QStringLiteral("Cassa"));
        const QByteArray before = test::fileBytes(target.path());
        try {
            importIntoFolder(test::legacyFixture(QStringLiteral("journal-small")), dir.path(),
                             test::templatePath());
            QFAIL("imported into a journal that holds an account");
        } catch (const LegacyError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("solo in un giornale vuoto")),
                     qPrintable(e.message()));
        }
        QCOMPARE(test::fileBytes(target.path()), before);
    }

    void emptyJournalTakesTheOldParameters()
    {
        QTemporaryDir dir;
        test::Journal target(dir.path());
        target.setParameter(QStringLiteral("appset_gexlayout"), 4);
        const ImportSummary s = importIntoFolder(test::legacyFixture(QStringLiteral("journal-small")),
                                                 dir.path(), test::templatePath());
        QCOMPARE(s.entries, 40);
        QCOMPARE(db::ReadParameter(target.connString(), QStringLiteral("appset_gexlayout"), -1), 2);
        QCOMPARE(
            target.count(QStringLiteral("SELECT count(*) FROM Parametri WHERE Chiave='appset_gexlayout'")),
            1);
    }

    void oldFormatTargetIsRefused()
    {
        QTemporaryDir dir;
        const QString target = dir.path() + u'/' + JournalName;
        QVERIFY(QFile::copy(test::legacyFixture(QStringLiteral("journal-textparams")), target));
        const QByteArray before = test::fileBytes(target);
        QVERIFY_THROWS_EXCEPTION(LegacyError,
                                 importIntoFolder(test::legacyFixture(QStringLiteral("journal-small")),
                                                  dir.path(), test::templatePath()));
        QCOMPARE(test::fileBytes(target), before);
        QCOMPARE(test::folderContents(dir.path()), QStringList{JournalName});
    }

    void conversionKeepsTheOriginalBeside()
    {
        QTemporaryDir dir;
        const QString source = test::legacyFixture(QStringLiteral("journal-small"));
        const QString path = dir.path() + u'/' + JournalName;
        QVERIFY(QFile::copy(source, path));
        const Conversion done = convertInPlace(path, test::templatePath());
        QCOMPARE(done.keptAs, path + QStringLiteral(".jet"));
        QCOMPARE(test::fileBytes(done.keptAs), test::fileBytes(source));
        QCOMPARE(db::journalFileKind(path), db::JournalFileKind::SQLite);
        QCOMPARE(done.summary.entries, 40);
        QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM Movilibro")), qint64(40));
        QCOMPARE(test::folderContents(dir.path()),
                 (QStringList{JournalName, JournalName + QStringLiteral(".jet")}));
    }

    void conversionNeverReplacesAnEarlierCopy()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/' + JournalName;
        QVERIFY(QFile::copy(test::legacyFixture(QStringLiteral("journal-small")), path));
        {
            QFile earlier(path + QStringLiteral(".jet"));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("copia precedente");
        }
        const Conversion done = convertInPlace(path, test::templatePath());
        QCOMPARE(done.keptAs, path + QStringLiteral(".2.jet"));
        QCOMPARE(test::fileBytes(path + QStringLiteral(".jet")), QByteArray("copia precedente"));
        QCOMPARE(test::fileBytes(done.keptAs),
                 test::fileBytes(test::legacyFixture(QStringLiteral("journal-small"))));
    }

    void missingTemplateLeavesNothing()
    {
        QTemporaryDir dir, newDir;
        const QString noTemplate = dir.path() + QStringLiteral("/master.gen");
        const QString path = dir.path() + u'/' + JournalName;
        QVERIFY(QFile::copy(test::legacyFixture(QStringLiteral("journal-small")), path));
        QVERIFY_THROWS_EXCEPTION(LegacyError, convertInPlace(path, noTemplate));
        QCOMPARE(test::folderContents(dir.path()), QStringList{JournalName});
        QVERIFY_THROWS_EXCEPTION(LegacyError, importIntoFolder(path, newDir.path(), noTemplate));
        QCOMPARE(test::folderContents(newDir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "test_legacyimport.moc"
