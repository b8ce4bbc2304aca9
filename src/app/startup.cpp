#include "app/startup.h"

#include "app/commandline.h"
#include "app/frmforfolders.h"
#include "app/frmsplash.h"
#include "app/journallock.h"
#include "app/mainmod.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/errortext.h"
#include "db/journaldb.h"
#include "db/upgrade.h"
#include "legacy/journalconversion.h"
#include "settings/registrywrappers.h"
#include "ui/main/frmmain.h"
#include "ui/prompt/prompt.h"
#include "ui/prompt/qttexts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <memory>

namespace movilibro {

namespace {

std::unique_ptr<frmMain> g_main;
// Held while the main window is open: one program per journal.
std::unique_ptr<JournalLock> g_lock;
// What a conversion at this start copied, shown once the main window is up.
QString g_conversionReport;

const QString NotStarted = QStringLiteral("L'applicazione non verrà avviata.");

void setModuleVariables()
{
    mainmod::SettingsKey = mainmod::DefaultSettingsKey;
    mainmod::PeriodNames = periodNames();
    mainmod::HelpFile = QStringLiteral("qrc:/help/index.html");
    const QString defaultFolder = mainmod::DefaultDatabaseFolder();
    mainmod::DBFolder = ReadRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ,
                                          QStringLiteral("appset_curdb"), defaultFolder)
                            .toString();
    mainmod::ConnString = db::connStringFor(mainmod::DBFolder);
}

// Tells the user why the journal cannot be used and offers another folder.
void refuseStart(const QString& firstLine)
{
    Prompt::instance().message(nullptr, firstLine + QStringLiteral("\r\n") + NotStarted, MsgStyle::Critical);
    frmForFolders folders;
    folders.Apri();
}

QString journalPath()
{
    return mainmod::DBFolder + QDir::separator() + mainmod::DatabaseFileName;
}

QString templatePath()
{
    return mainmod::programFolder() + QDir::separator() + mainmod::TemplateFileName;
}

void reportConversion(const legacy::Conversion& done)
{
    g_conversionReport = QStringLiteral("Giornale convertito. L'originale è conservato come %1.\r\n\r\n")
                             .arg(QDir::toNativeSeparators(done.keptAs)) +
                         legacy::summaryText(done.summary);
}

// An old-format journal is converted only when the user agrees; on No or on
// failure the file stays exactly as it was.
bool convertedOldJournal(const QString& path)
{
    const QString keptAs = legacy::keepName(path);
    const QString question =
        QStringLiteral("Il giornale %1 è nel formato della versione precedente.\r\n"
                       "Convertirlo nel formato attuale? L'originale resterà accanto, come %2.")
            .arg(QDir::toNativeSeparators(path), QFileInfo(keptAs).fileName());
    if (Prompt::instance().message(nullptr, question, MsgStyle::YesNo) != Answer::Yes) {
        refuseStart(QStringLiteral("Il giornale è rimasto nel formato della versione precedente"));
        return false;
    }
    try {
        reportConversion(legacy::convertInPlace(path, templatePath()));
        if (!db::ConnectionFails(mainmod::ConnString))
            return true;
    } catch (const legacy::LegacyError& e) {
        Prompt::instance().message(nullptr,
                                   QStringLiteral("Conversione non riuscita: ") + e.message() +
                                       QStringLiteral("\r\nIl file originale non è stato modificato."),
                                   MsgStyle::Ok);
    }
    refuseStart(QStringLiteral("Database assente o danneggiato"));
    return false;
}

// The journal is missing but a conversion left its work behind: the journal
// is completed from it, never replaced by an empty one.
bool finishedConversion(const QString& path, const legacy::UnfinishedConversion& unfinished)
{
    const QString question =
        QStringLiteral("Il giornale %1 manca, ma nella cartella è rimasto %2 da una conversione dal formato "
                       "della versione precedente che non è stata completata.\r\nCompletarla ora?")
            .arg(QDir::toNativeSeparators(path), QFileInfo(unfinished.source).fileName());
    if (Prompt::instance().message(nullptr, question, MsgStyle::YesNo) != Answer::Yes) {
        refuseStart(QStringLiteral("Il giornale manca: la conversione non è stata completata"));
        return false;
    }
    try {
        const legacy::Conversion done = legacy::finishConversion(unfinished, path, templatePath());
        if (!unfinished.converted)
            reportConversion(done);
        if (!db::ConnectionFails(mainmod::ConnString))
            return true;
    } catch (const legacy::LegacyError& e) {
        Prompt::instance().message(nullptr, QStringLiteral("Conversione non riuscita: ") + e.message(),
                                   MsgStyle::Ok);
    }
    refuseStart(QStringLiteral("Database assente o danneggiato"));
    return false;
}

bool journalUsable()
{
    if (!db::ConnectionFails(mainmod::ConnString))
        return true;
    const QString path = journalPath();
    switch (db::journalFileKind(path)) {
    case db::JournalFileKind::Jet:
        return convertedOldJournal(path);
    case db::JournalFileKind::Missing:
        if (const auto unfinished = legacy::findUnfinishedConversion(path))
            return finishedConversion(path, *unfinished);
        break;
    default:
        if (db::JournalBusy(path)) {
            refuseStart(QStringLiteral("Il giornale è in uso da un altro programma"));
            return false;
        }
    }
    if (!QFileInfo::exists(path)) {
        if (!db::CreateDatabaseFromTemplate(mainmod::programFolder(), mainmod::DBFolder)) {
            refuseStart(QStringLiteral("File di sistema assente"));
            return false;
        }
        if (!db::ConnectionFails(mainmod::ConnString))
            return true;
    }
    refuseStart(QStringLiteral("Database assente o danneggiato"));
    return false;
}

// False when another program has the journal open; it is then left alone.
// A folder where no lock can be made (read-only) still opens: nothing could
// be written there anyway.
bool lockJournal()
{
    if (!QFileInfo(mainmod::DBFolder.isEmpty() ? QStringLiteral("/") : mainmod::DBFolder).isDir())
        return true;
    auto lock = std::make_unique<JournalLock>(journalPath());
    if (!lock->acquire() && lock->heldElsewhere()) {
        Prompt::instance().message(nullptr, lock->refusal() + QStringLiteral("\r\n") + NotStarted,
                                   MsgStyle::Critical);
        return false;
    }
    g_lock = std::move(lock);
    return true;
}

// What killed copies, imports and conversions left; only once the journal is
// ours (another program could be writing them).
void removeLeftovers()
{
    if (!g_lock)
        return;
    db::JournalBackup(journalPath()).removeLeftovers();
    legacy::removeLeftovers(mainmod::DBFolder);
}

// One copy a day, the last ten daily copies kept; a failure is told, not fatal.
void dailyBackup()
{
    try {
        const db::JournalBackup backup(journalPath());
        const QDateTime now = QDateTime::currentDateTime();
        if (backup.makeDaily(now) && backup.newestDailyTime() > now)
            Prompt::instance().message(
                nullptr,
                QStringLiteral("La data del computer (%1) è precedente a quella dell'ultima copia di "
                               "sicurezza (%2): controllare data e ora del sistema.\r\nLa copia di oggi è "
                               "stata fatta e viene conservata.")
                    .arg(QLocale().toString(now, QLocale::ShortFormat),
                         QLocale().toString(backup.newestDailyTime(), QLocale::ShortFormat)),
                MsgStyle::Ok);
    } catch (const db::BackupError& e) {
        Prompt::instance().message(
            nullptr, QStringLiteral("Copia di sicurezza giornaliera non eseguita.\r\n") + e.message(),
            MsgStyle::Ok);
    }
}

// A journal of an earlier version is brought up to date once. On failure it
// stays as it was, and the program still reads and writes it.
void upgradeJournal()
{
    QString reason;
    try {
        db::upgradeJournal(journalPath());
        return;
    } catch (const db::BackupError& e) {
        reason = e.message();
    } catch (const db::DbError& e) {
        reason = db::userMessage(e);
    }
    Prompt::instance().message(nullptr,
                               QStringLiteral("Aggiornamento del giornale al formato attuale non eseguito; "
                                              "il giornale resta com'era.\r\n") +
                                   reason,
                               MsgStyle::Ok);
}

} // namespace

frmMain* Main()
{
    g_conversionReport.clear();
    setModuleVariables();
    if (!lockJournal())
        return nullptr;
    if (!journalUsable()) {
        g_lock.reset();
        return nullptr;
    }
    removeLeftovers();
    dailyBackup();
    upgradeJournal();
    mainmod::AppTitle = mainmod::ApplicationTitle;

    auto splash = std::make_unique<frmSplash>();
    splash->show();
    g_main = std::make_unique<frmMain>();
    // Closing the main window ends the program: the journal is free at once.
    QObject::connect(g_main.get(), &frmMain::closed, [] {
        g_lock.reset();
        QCoreApplication::quit();
    });
    QApplication::processEvents();
    mainmod::LongPause();
    splash.reset();
    g_main->show();
    if (!g_conversionReport.isEmpty())
        Prompt::instance().message(g_main.get(), g_conversionReport, MsgStyle::Ok);
    return g_main.get();
}

frmMain* mainWindow()
{
    return g_main.get();
}

void unloadMainWindow()
{
    g_main.reset();
    g_lock.reset();
}

void installTranslations(QCoreApplication&)
{
    installItalianQtTexts();
}

namespace {

void chooseLocale()
{
    // Without regional settings the program still speaks Italian.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

} // namespace

void setUpApplication(QCoreApplication& app)
{
    QCoreApplication::setApplicationName(mainmod::ApplicationTitle);
    QCoreApplication::setOrganizationName(QStringLiteral("Marlenco"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(MOVILIBRO_VERSION_MAJOR)
                                                .arg(MOVILIBRO_VERSION_MINOR)
                                                .arg(MOVILIBRO_VERSION_PATCH));
    if (qobject_cast<QGuiApplication*>(&app))
        QGuiApplication::setDesktopFileName(QStringLiteral("it.movilibro.Movilibro"));
    chooseLocale();
    installTranslations(app);
}

std::optional<int> runTasks()
{
    return cli::runCommandLine(QCoreApplication::arguments(), [] {
        setModuleVariables();
        return mainmod::DBFolder;
    });
}

int runWindows(int argc, char* argv[])
{
    const bool headless = cli::chooseHeadlessPlatform();
    QApplication app(argc, argv);
    setUpApplication(app);
    if (const auto status = runTasks())
        return *status;
    if (headless)
        return cli::refuseWindowWithoutDisplay();
    if (!Main())
        return 0;
    const int rc = QApplication::exec();
    unloadMainWindow();
    return rc;
}

} // namespace movilibro
