#include "app/journallock.h"
#include "app/mainmod.h"
#include "app/prompt.h"
#include "app/seams.h"
#include "app/startup.h"
#include "db/backup.h"
#include "db/connstring.h"
#include "settings/registrywrappers.h"
#include "testsupport.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/frmmain.h"

#include <QtTest>

using namespace movilibro;
using test::Journal;

namespace {
const QString CurDb = QStringLiteral("appset_curdb");
const QString NotStarted = QStringLiteral("\r\nL'applicazione non verrà avviata.");

QVariant storedFolder()
{
    return ReadRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, CurDb,
                             QStringLiteral("<none>"));
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        Pauses::setDurations(0, 0);
    }
    void cleanup()
    {
        unloadMainWindow();
        mainmod::setProgramFolder({});
    }

    void firstStartCreatesFolderAndJournal()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        frmMain* main = Main();
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QCOMPARE(main->windowTitle(), QStringLiteral("Movilibro"));
        QVERIFY(prompt.messages.isEmpty());
        const QString path = home.defaultDbFolder() + QStringLiteral("/movilibro.mdb");
        QCOMPARE(mainmod::DBFolder, home.defaultDbFolder());
        QCOMPARE(db::databasePathFromConnString(mainmod::ConnString), path);
        QCOMPARE(test::fileBytes(path), test::fileBytes(test::templatePath()));
        QCOMPARE(mainmod::AppTitle, QStringLiteral("Movilibro"));
        QCOMPARE(mainmod::PeriodNames.size(), 5);
        QCOMPARE(storedFolder().toString(), QStringLiteral("<none>")); // reading stored nothing
    }

    void laterStartOpensTheSameJournal()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        QVERIFY(Main());
        unloadMainWindow();
        const QString path = home.defaultDbFolder() + QStringLiteral("/movilibro.mdb");
        {
            db::Connection conn = db::Connection::open(path);
            conn.exec(QStringLiteral("INSERT INTO Conti (cntNome) VALUES ('Cassa')"));
        }
        const QByteArray before = test::fileBytes(path);
        QVERIFY(Main());
        QCOMPARE(test::fileBytes(path), before);
    }

    void missingTemplate()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        QTemporaryDir emptyProgramFolder;
        mainmod::setProgramFolder(emptyProgramFolder.path());
        prompt.setNextFolder({}); // cancel
        QVERIFY(!Main());
        QVERIFY(!mainWindow());
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].text, QStringLiteral("File di sistema assente") + NotStarted);
        QCOMPARE(prompt.messages[0].style, MsgStyle::Critical);
        QCOMPARE(prompt.folderPrompts.size(), 1);
        QVERIFY(!QFileInfo::exists(home.defaultDbFolder() + QStringLiteral("/movilibro.mdb")));
        QCOMPARE(storedFolder().toString(), QStringLiteral("<none>"));
    }

    void zeroLengthJournalIsLeftAlone()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        QDir().mkpath(home.defaultDbFolder());
        const QString path = home.defaultDbFolder() + QStringLiteral("/movilibro.mdb");
        QFile(path).open(QIODevice::WriteOnly);
        const QString chosen = home.home() + QStringLiteral("/altrove/");
        prompt.setNextFolder(chosen);
        QVERIFY(!Main());
        QVERIFY(!mainWindow());
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(prompt.messages.size(), 2);
        QCOMPARE(prompt.messages[0].text, QStringLiteral("Database assente o danneggiato") + NotStarted);
        QCOMPARE(prompt.messages[1].style, MsgStyle::Ok); // folder stored
        // Stored without the trailing separator, used at the next start.
        QCOMPARE(storedFolder().toString(), home.home() + QStringLiteral("/altrove"));
    }

    void storedFolderWithUsableJournal()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        Journal j(home.home() + QStringLiteral("/conti2010"));
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        j.addEntry(Clock::today(), cassa, QStringLiteral("incasso"), test::money(100), std::nullopt);
        WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco\\Movilibro\\Settings"),
                           REG_SZ, CurDb, j.folder());
        frmMain* main = Main();
        QVERIFY(main);
        QCOMPARE(mainmod::DBFolder, j.folder());
        QCOMPARE(main->journalGrid()->rowCount(), 1);
        // The default folder is made at every start, even when unused.
        QVERIFY(QFileInfo(home.defaultDbFolder()).isDir());
        QVERIFY(!QFileInfo::exists(home.defaultDbFolder() + QStringLiteral("/movilibro.mdb")));
    }

    void storedFolderWithoutJournalGetsTheTemplate()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        const QString folder = home.home() + QStringLiteral("/nuova");
        QDir().mkpath(folder);
        WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco\\Movilibro\\Settings"),
                           REG_SZ, CurDb, folder);
        QVERIFY(Main());
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(test::fileBytes(folder + QStringLiteral("/movilibro.mdb")),
                 test::fileBytes(test::templatePath()));
    }

    void storedFolderGone()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        WriteRegistryValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Marlenco\\Movilibro\\Settings"),
                           REG_SZ, CurDb, home.home() + QStringLiteral("/sparita"));
        QVERIFY(!Main());
        QCOMPARE(prompt.messages.value(0).text, QStringLiteral("File di sistema assente") + NotStarted);
        QCOMPARE(storedFolder().toString(), home.home() + QStringLiteral("/sparita")); // cancel keeps it
    }

    void choosingTheRootStoresTheEmptyText()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        QDir().mkpath(home.defaultDbFolder());
        QFile bad(home.defaultDbFolder() + QStringLiteral("/movilibro.mdb"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a journal");
        bad.close();
        prompt.setNextFolder(QStringLiteral("/"));
        QVERIFY(!Main());
        QCOMPARE(storedFolder().toString(), QString());
        QCOMPARE(db::databasePathFromConnString(db::connStringFor(storedFolder().toString())),
                 QStringLiteral("/movilibro.mdb"));
    }

    void failureToStoreTheFolderIsReported()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        QTemporaryDir emptyProgramFolder;
        mainmod::setProgramFolder(emptyProgramFolder.path());
        // The settings store cannot be written under a regular file.
        QFile blocker(home.home() + QStringLiteral("/blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_CONFIG_HOME", (home.home() + QStringLiteral("/blocked/config")).toUtf8());
        prompt.setNextFolder(home.home());
        QVERIFY(!Main());
        QCOMPARE(prompt.messages.size(), 2);
        QCOMPARE(prompt.messages[1].style, MsgStyle::Critical);
        QVERIFY(prompt.messages[1].text.startsWith(
            QStringLiteral("Impossibile memorizzare la cartella scelta.")));
    }

    void oneProgramPerJournal()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        QVERIFY(Main());
        const QString journal = home.defaultDbFolder() + QStringLiteral("/movilibro.mdb");
        const QByteArray before = test::fileBytes(journal);
        // A second program on the same journal (here: the lock of another process).
        JournalLock other(journal);
        QVERIFY(!other.acquire());
        unloadMainWindow(); // lets go of the lock
        QVERIFY(other.acquire());
        QVERIFY(!Main());
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].style, MsgStyle::Critical);
        QVERIFY2(prompt.messages[0].text.contains(QStringLiteral("già aperto")),
                 qPrintable(prompt.messages[0].text));
        QVERIFY(prompt.folderPrompts.isEmpty());
        QCOMPARE(test::fileBytes(journal), before);
    }

    void dailyCopyAtStart()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        QVERIFY(Main());
        const db::JournalBackup backup(home.defaultDbFolder() + QStringLiteral("/movilibro.mdb"));
        QCOMPARE(backup.copies().size(), 1);
        unloadMainWindow();
        QVERIFY(Main()); // the same day: no second copy
        QCOMPARE(backup.copies().size(), 1);
        QVERIFY(db::JournalBackup::isSoundJournal(backup.copies().first()));
    }

    void qtTextsAreItalian()
    {
        installTranslations(*QCoreApplication::instance());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sì"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
