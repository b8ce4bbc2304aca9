// The journal's copies, the old-format conversion and the commands that
// write the journal, under kills, a clock behind the copies and busy files.
#include "app/seams.h"
#include "app/startup.h"
#include "db/backup.h"
#include "db/journaldb.h"
#include "settings/registrywrappers.h"
#include "testsupport.h"
#include "ui/prompt/prompt.h"

#include <QProcess>
#include <QtTest>

using namespace movilibro;
using namespace movilibro::test;
using db::CopyKind;
using db::JournalBackup;

namespace {

const QDateTime Noon(QDate(2026, 12, 6), QTime(12, 0));
const QString OldJournal = QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-small.mdb");

// The program's exit status and what it wrote.
std::pair<int, QString> runProgram(const QStringList& arguments)
{
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(MOVILIBRO_EXE), arguments);
    const bool ended = program.waitForFinished(120000) && program.exitStatus() == QProcess::NormalExit;
    return {ended ? program.exitCode() : -1, QString::fromUtf8(program.readAll())};
}

qint64 entriesIn(const QString& path)
{
    db::Connection conn = db::Connection::open(path, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
    return st.step() ? st.int64(0) : -1;
}

QString journalIn(const TestHome& home)
{
    QDir().mkpath(home.defaultDbFolder());
    return home.defaultDbFolder() + QStringLiteral("/movilibro.mdb");
}

} // namespace

class TestCopies : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_n = 0;
    QString newFolder() { return m_dir.path() + QStringLiteral("/f%1").arg(++m_n); }

private slots:
    void initTestCase()
    {
        pinItalianLocale();
        Pauses::setDurations(0, 0);
    }
    void cleanup() { unloadMainWindow(); }

    // Daily copies never push out the copies made before an operation; with
    // the clock behind the newest copy's name, today's copy is the oldest by
    // name, and the one kept all the same.
    void eachKindRotatesApart()
    {
        Journal j(newFolder());
        const JournalBackup backup(j.path());
        const QString beforePurge = backup.makeBefore(CopyKind::BeforePurge, Noon);
        for (int i = 0; i < 11; ++i)
            backup.makeBefore(CopyKind::BeforeImport, Noon.addSecs(i));
        for (int day = 1; day <= 12; ++day)
            QVERIFY(backup.makeDaily(Noon.addDays(day)));
        QVERIFY(QFileInfo::exists(beforePurge));
        QCOMPARE(QFileInfo(backup.copies(CopyKind::BeforeImport).constFirst()).fileName(),
                 QStringLiteral("movilibro-prima-importazione-20261206-120001.mdb"));
        const auto today = backup.makeDaily(Noon.addDays(-1));
        QVERIFY(today && QFileInfo::exists(*today));
        QCOMPARE(backup.copies(CopyKind::Daily).size(), 10);
        QCOMPARE(backup.copies().size(), 21);
    }

    // Told at the start that makes today's copy, not at every start.
    void clockBehindIsToldOnce()
    {
        TestHome home;
        ScopedScriptedPrompt prompt;
        Journal j(home.defaultDbFolder());
        QDir().mkpath(j.folder() + QStringLiteral("/backup"));
        QVERIFY(QFile::copy(j.path(), j.folder() + QStringLiteral("/backup/movilibro-20991231-120000.mdb")));
        QVERIFY(Main());
        unloadMainWindow();
        QVERIFY(Main());
        QCOMPARE(prompt.messages.size(), 1);
        QVERIFY2(prompt.messages[0].text.contains(QStringLiteral("31/12/99")),
                 qPrintable(prompt.messages[0].text));
        QCOMPARE(JournalBackup(j.path()).copies(CopyKind::Daily).size(), 2);
    }

    // Ten copies of earlier imports lie in backup: a refused import, and one
    // whose writing fails halfway, leave no copy and push none of them out.
    void importCopyOnlyForAnImportThatRuns_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("status");
        QTest::newRow("empty journal: imported") << "" << 0;
        QTest::newRow("journal not empty: refused") << "INSERT INTO Conti (cntNome) VALUES ('Cassa')" << 1;
        QTest::newRow("write fails at the second entry")
            << "CREATE TRIGGER t BEFORE INSERT ON Movilibro WHEN (SELECT count(*) FROM Movilibro) >= 1 "
               "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END"
            << 1;
    }
    void importCopyOnlyForAnImportThatRuns()
    {
        QFETCH(QString, state);
        QFETCH(int, status);
        Journal j(newFolder());
        const JournalBackup backup(j.path());
        for (int i = 0; i < JournalBackup::Kept; ++i)
            backup.makeBefore(CopyKind::BeforeImport, Noon.addSecs(i));
        const QStringList earlier = backup.copies(CopyKind::BeforeImport);
        if (!state.isEmpty())
            j.open().exec(state);
        const auto [exit, text] =
            runProgram({QStringLiteral("--import-mdb"), OldJournal, QStringLiteral("--db"), j.folder()});
        QVERIFY2(exit == status, qPrintable(text));
        const QStringList now = backup.copies(CopyKind::BeforeImport);
        if (status != 0) {
            QCOMPARE(now, earlier);
            return;
        }
        // The oldest made room for the new one, which holds the empty journal.
        QCOMPARE(now.size(), JournalBackup::Kept);
        QCOMPARE(now.mid(0, JournalBackup::Kept - 1), earlier.mid(1));
        QVERIFY(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")) > 0);
        db::Connection copy = db::Connection::open(now.constLast(), db::Connection::Mode::ReadOnly);
        db::Statement entries = copy.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
        QVERIFY(entries.step());
        QCOMPARE(entries.int64(0), 0);
    }

    void restoreRefusesACurrentJournalItCannotKeep_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("write in progress") << "BEGIN; INSERT INTO Conti (cntNome) VALUES ('x');";
        QTest::newRow("locked by another program") << "BEGIN EXCLUSIVE;";
        QTest::newRow("damaged") << "";
    }
    void restoreRefusesACurrentJournalItCannotKeep()
    {
        QFETCH(QString, state);
        Journal j(newFolder());
        j.addAccount(QStringLiteral("Cassa"));
        const JournalBackup backup(j.path());
        const QString copy = m_dir.path() + QStringLiteral("/copia%1.mdb").arg(m_n);
        QVERIFY(QFile::copy(j.path(), copy));
        db::Connection other = j.open();
        if (state.isEmpty())
            QVERIFY(QFile::resize(j.path(), QFileInfo(j.path()).size() / 2));
        else
            other.exec(state);
        const QByteArray before = fileBytes(j.path());
        QVERIFY_THROWS_EXCEPTION(db::BackupError, backup.restore(copy, Noon));
        QVERIFY(backup.copies().isEmpty());
        QCOMPARE(fileBytes(j.path()), before);
    }

    // The message names the copy the restore made, not the newest name.
    void restoreNamesTheCopyItMade()
    {
        Journal j(newFolder());
        const JournalBackup backup(j.path());
        const QString copy = backup.make(Noon);
        QVERIFY(QFile::copy(copy, backup.folder() + QStringLiteral("/movilibro-20991231-120000.mdb")));
        j.addAccount(QStringLiteral("Cassa"));
        const auto [status, text] =
            runProgram({QStringLiteral("--restore"), copy, QStringLiteral("--db"), j.folder()});
        QVERIFY2(status == 0, qPrintable(text));
        const QStringList kept = backup.copies(CopyKind::BeforeRestore);
        QCOMPARE(kept.size(), 1);
        QVERIFY2(text.contains(QFileInfo(kept[0]).fileName()), qPrintable(text));
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Conti")), 0);
    }

    // Only our own names go; whatever else lies there stays.
    void leftoversOfKilledWorkGoAtTheNextStart()
    {
        TestHome home;
        ScopedScriptedPrompt prompt;
        Journal j(home.defaultDbFolder());
        const QString backup = j.folder() + QStringLiteral("/backup/");
        QDir().mkpath(backup);
        const QStringList ours{backup + "movilibro-20261206-120000.mdb.part",
                               backup + "movilibro-prima-eliminazione-20261206-120000.mdb.part-journal",
                               j.folder() + "/.movilibro-importazione-Ab12cD",
                               j.path() + ".part",
                               j.folder() + "/.movilibro-importazione-Ab12cD-journal",
                               j.folder() + "/.movilibro-originale-x9Y8z7"};
        const QStringList others{backup + "appunti.part", j.folder() + "/.movilibro-appunti",
                                 j.folder() + "/.movilibro-importazione-Ab12cD.txt"};
        for (const QString& file : ours + others)
            QVERIFY(QFile::copy(j.path(), file));
        QVERIFY(Main());
        for (const QString& file : ours)
            QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
        for (const QString& file : others)
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    }

    // Killed at each step, the conversion leaves a journal in place, and the
    // next start converts it whole.
    void conversionKilledAtEachStep_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("filled") << "filled";
        QTest::newRow("original kept") << "kept";
    }
    void conversionKilledAtEachStep()
    {
        QFETCH(QString, step);
        TestHome home;
        const QString path = journalIn(home);
        QVERIFY(QFile::copy(OldJournal, path));
        QProcess child;
        child.start(QStringLiteral(CONVERSION_CHILD), {step, path, templatePath()});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(fileBytes(path), fileBytes(OldJournal));

        ScopedScriptedPrompt prompt;
        prompt.setNextAnswer(Answer::Yes);
        QVERIFY(Main());
        QCOMPARE(entriesIn(path), 40);
        QCOMPARE(fileBytes(path + QStringLiteral(".jet")), fileBytes(OldJournal));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".2.jet")));
        QCOMPARE(QDir(home.defaultDbFolder()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // No journal, but what a conversion stopped halfway left: finished on
    // Yes, and never replaced by an empty journal.
    void unfinishedConversionIsFinished_data()
    {
        QTest::addColumn<bool>("keptOriginal");
        QTest::addColumn<bool>("yes");
        QTest::newRow("original kept, yes") << true << true;
        QTest::newRow("original kept, no") << true << false;
        QTest::newRow("converted journal left, yes") << false << true;
    }
    void unfinishedConversionIsFinished()
    {
        QFETCH(bool, keptOriginal);
        QFETCH(bool, yes);
        TestHome home;
        const QString path = journalIn(home);
        if (keptOriginal)
            QVERIFY(QFile::copy(OldJournal, path + QStringLiteral(".jet")));
        else {
            Journal converted(newFolder());
            converted.addEntry(QDate(2010, 1, 1), converted.addAccount(QStringLiteral("Cassa")), "a", 1, 0);
            QVERIFY(QFile::copy(converted.path(),
                                home.defaultDbFolder() + QStringLiteral("/.movilibro-importazione-Q1w2E3")));
        }
        ScopedScriptedPrompt prompt;
        prompt.setNextAnswer(yes ? Answer::Yes : Answer::No);
        prompt.setNextFolder({});
        QCOMPARE(Main() != nullptr, yes);
        QCOMPARE(prompt.messages[0].style, MsgStyle::YesNo);
        QCOMPARE(QFileInfo::exists(path), yes);
        if (yes)
            QCOMPARE(entriesIn(path), keptOriginal ? 40 : 1);
        if (keptOriginal)
            QCOMPARE(fileBytes(path + QStringLiteral(".jet")), fileBytes(OldJournal));
    }

    void busyJournalIsToldAsSuch()
    {
        TestHome home;
        ScopedScriptedPrompt prompt;
        prompt.setNextFolder({});
        Journal j(home.defaultDbFolder());
        db::Connection other = j.open();
        other.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(!Main());
        QCOMPARE(prompt.messages.value(0).text.section(QStringLiteral("\r\n"), 0, 0),
                 QStringLiteral("Il giornale è in uso da un altro programma"));
    }

    void missingFolderIsToldAsSuch_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("restore") << "--restore";
        QTest::newRow("import") << "--import-mdb";
    }
    void missingFolderIsToldAsSuch()
    {
        QFETCH(QString, option);
        TestHome home;
        const QString gone = home.home() + QStringLiteral("/chiavetta");
        WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco\\Movilibro\\Settings"),
                           REG_SZ, QStringLiteral("appset_curdb"), gone);
        const auto [status, text] = runProgram({option, OldJournal});
        QCOMPARE(status, 1);
        QVERIFY2(text.contains(QStringLiteral("non esiste")), qPrintable(text));
        QVERIFY(!QFileInfo::exists(gone));
    }
};

QTEST_MAIN(TestCopies)
#include "test_copies.moc"
