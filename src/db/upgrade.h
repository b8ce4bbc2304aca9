#pragma once

#include <QString>

namespace movilibro::db {

// Brings a journal of an earlier schema version to the current one, once, at
// open: a copy is kept first (as before a purge), then the change runs in one
// transaction. Version 1 declared account names COLLATE ITALIAN, which other
// SQLite tools do not know; the accounts table is rebuilt with the current
// declaration, ids and the id counter kept. Returns the copy's path, empty
// when the journal was already current. Throws BackupError when no copy
// could be made and DbError when the change failed; the journal is then
// unchanged.
QString upgradeJournal(const QString& path);

} // namespace movilibro::db
