#pragma once

#include "statement/statement.h"

#include <vector>

namespace movilibro::db {
class Connection;
}

namespace movilibro::statement {

// Imported entries are listed in a table of their own, with the bank's
// reference (empty when the bank gave none), made by the first import: the
// journal's three tables keep exactly their columns. A reference counts only
// while its entry exists; the entry editor offers typed descriptions before
// imported ones.
bool hasReferenceTable(db::Connection& conn);
// Makes the table when missing, and drops the references of entries gone;
// inside the import's transaction.
void createReferenceTable(db::Connection& conn);

// Clears what only looks like a reference: "NOTPROVIDED", "NONREF", one value
// on every movement, or the movements numbered 1..n as each file restarts.
void dropPlaceholderReferences(std::vector<Movement>& movements);

} // namespace movilibro::statement
