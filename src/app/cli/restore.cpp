#include "app/cli/restore.h"

#include "app/cli/journalaccess.h"
#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/commandline.h"
#include "db/backup.h"

namespace movilibro::cli {

int runRestore(const Request& r, const QString& folder)
{
    const auto lock = lockJournal(folder);
    const QString kept = db::JournalBackup(journalPathIn(folder)).restore(r.restoreFile);
    print(stdout, QStringLiteral("Giornale %1 ripristinato da %2.")
                      .arg(shown(journalPathIn(folder)), shown(r.restoreFile)));
    if (!kept.isEmpty())
        print(stdout, QStringLiteral("Il giornale precedente è conservato in %1.").arg(shown(kept)));
    return Success;
}

} // namespace movilibro::cli
