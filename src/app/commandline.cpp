#include "app/commandline.h"

#include "app/cli/balance.h"
#include "app/cli/exports.h"
#include "app/cli/journalaccess.h"
#include "app/cli/mdbimport.h"
#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/cli/restore.h"
#include "app/cli/statementimport.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/errortext.h"
#include "legacy/journalconversion.h"
#include "report/reporterror.h"
#include "statement/statement.h"

#include <QCoreApplication>

namespace movilibro::cli {

namespace {

int fail(const QString& message)
{
    print(stderr, QStringLiteral("movilibro: ") + message);
    return Failed;
}

// Qt's own options (-platform, -style, ...) are taken by a GUI application
// object before the command line is read.
bool hasQtOptions(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a.startsWith(u'-') && !a.startsWith(QLatin1String("--")) && a != u"-h" && a != u"-v")
            return true;
    }
    return false;
}

} // namespace

Needs needsOf(const QStringList& arguments)
{
    try {
        const Request r = readRequest(arguments);
        if (r.help || r.version)
            return Needs::Console;
        if (!r.anyTask())
            return Needs::Windows;
        if (!r.chartFile.isEmpty())
            return Needs::Charts;
        return r.pdfFile.isEmpty() ? Needs::Console : Needs::Painting;
    } catch (const UsageError&) {
        return hasQtOptions(arguments) ? Needs::Windows : Needs::Console;
    }
}

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

bool chooseHeadlessPlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

int refuseWindowWithoutDisplay()
{
    print(stderr, QStringLiteral("movilibro: nessuno schermo disponibile: la finestra del programma non può "
                                 "essere aperta.\nUsare movilibro --help per le operazioni senza finestre."));
    return Failed;
}

std::optional<int> runCommandLine(const QStringList& arguments, const std::function<QString()>& journalFolder)
{
    try {
        const Request r = readRequest(arguments);
        if (r.help) {
            print(stdout, helpText());
            return Success;
        }
        if (r.version) {
            print(stdout, QStringLiteral("Movilibro %1").arg(QCoreApplication::applicationVersion()));
            return Success;
        }
        if (!r.anyTask())
            return std::nullopt;
        const QString folder = journalFolderFor(r, journalFolder);
        if (!r.restoreFile.isEmpty())
            return runRestore(r, folder);
        if (!r.statementFile.isEmpty())
            return runStatementImport(r, folder);
        if (!r.balanceAccount.isEmpty())
            return runBalance(r, folder);
        return r.importFile.isEmpty() ? runExports(r, folder) : runImport(r, folder);
    } catch (const UsageError& e) {
        print(stderr, QStringLiteral("movilibro: %1\nUsare movilibro --help per l'elenco delle opzioni.")
                          .arg(e.message));
        return BadUsage;
    } catch (const Failure& e) {
        return fail(e.message);
    } catch (const legacy::LegacyError& e) {
        return fail(e.message());
    } catch (const report::ReportError& e) {
        return fail(e.message());
    } catch (const db::DbError& e) {
        return fail(db::userMessage(e));
    } catch (const db::BackupError& e) {
        return fail(e.message());
    } catch (const statement::StatementError& e) {
        return fail(e.message());
    }
}

} // namespace movilibro::cli
