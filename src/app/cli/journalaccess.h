#pragma once

#include "app/journallock.h"

#include <QString>

#include <functional>
#include <memory>

namespace movilibro::db {
class Connection;
}

namespace movilibro::cli {

struct Request;

// The folder --db names, else the one the start-up sequence would use.
QString journalFolderFor(const Request& r, const std::function<QString()>& journalFolder);
QString journalPathIn(const QString& folder);
// The import and the restore write the journal: never while a program has it
// open. Once it is ours, what killed copies and imports left is cleared.
std::unique_ptr<JournalLock> lockJournal(const QString& folder);
// Throws Failure when the folder holds no journal this program can open.
void checkJournal(const QString& folder);

struct Account
{
    qint64 id;
    QString name; // as the journal spells it
};
// The one account of that name, case aside; throws Failure naming the
// journal's accounts when there is none.
Account accountNamed(db::Connection& conn, const QString& name);

} // namespace movilibro::cli
