#pragma once

#include <QString>

namespace movilibro::db {

class Connection;

// The schema version a file has, read from the file itself (tables, columns,
// declared collation, indexes), whatever its user_version says: a journal
// restored from a `.dump` has lost that. 0 when it is no journal.
int recogniseSchema(Connection& conn);

// Brings a journal of an earlier schema to the current one, once, at open, in
// one transaction, doing only the steps its schema lacks. Version 1 declared
// account names COLLATE ITALIAN, which other SQLite tools do not know; the
// accounts table is rebuilt with the current declaration, ids and the id
// counter kept, after a copy is kept (as before a purge). Version 2 lacked the
// description index, version 3 the bin and the change log (a copy is kept
// first), version 4 the reconciliation tables and the daily totals, made
// from the entries. A current schema only gets its user_version. Returns the
// copy's path, empty when none was needed. Throws BackupError when no copy
// could be made and DbError when the change failed; the journal is then
// unchanged.
QString upgradeJournal(const QString& path);

} // namespace movilibro::db
