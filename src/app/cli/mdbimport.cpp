#include "app/cli/mdbimport.h"

#include "app/cli/journalaccess.h"
#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/commandline.h"
#include "app/mainmod.h"
#include "db/backup.h"
#include "legacy/journalconversion.h"

#include <QDir>
#include <QLocale>

#include <optional>

namespace movilibro::cli {

int runImport(const Request& r, const QString& folder)
{
    const auto lock = lockJournal(folder);
    const QString templatePath = mainmod::programFolder() + QDir::separator() + mainmod::TemplateFileName;
    // The copy is made only for an import that is going to happen, and kept
    // (pushing older ones out) only once it went through.
    std::optional<db::PendingCopy> copy;
    const auto makeCopy = [&] {
        copy.emplace(db::JournalBackup(journalPathIn(folder)), db::CopyKind::BeforeImport);
        return copy->path();
    };
    const legacy::ImportSummary summary =
        legacy::importIntoFolder(r.importFile, folder, templatePath, makeCopy);
    if (copy) {
        copy->keep();
        print(stdout,
              QStringLiteral("Copia del giornale prima dell'importazione: %1").arg(shown(copy->path())));
    }
    print(stdout,
          QStringLiteral("Importazione completata nel giornale %1.").arg(shown(journalPathIn(folder))));
    print(stdout, legacy::summaryText(summary, QLocale(QLocale::Italian, QLocale::Italy)));
    return Success;
}

} // namespace movilibro::cli
