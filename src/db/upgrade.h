#pragma once

#include <QString>

namespace movilibro::db {

// Brings a journal of an earlier schema version to the current one, once, at
// open, in one transaction. Version 1 declared account names COLLATE ITALIAN,
// which other SQLite tools do not know; the accounts table is rebuilt with the
// current declaration, ids and the id counter kept, after a copy is kept (as
// before a purge). Version 2 lacked the description index. Returns the copy's
// path, empty when none was needed. Throws BackupError when no copy
// could be made and DbError when the change failed; the journal is then
// unchanged.
QString upgradeJournal(const QString& path);

} // namespace movilibro::db
