#pragma once

#include <QCollator>

namespace movilibro::db {

// The one rule account names sort and group by, in the database, the grid,
// the report and the exports: the Italian collation, ignoring case. Texts
// that compare equal ("Banca", "banca") are one group.
QCollator textCollator();

// The collation names the rule is registered under on the program's
// connections: NOCASE, which the schema declares and every SQLite tool knows,
// and ITALIAN, which journals of schema version 1 declare.
inline constexpr const char* SchemaCollation = "NOCASE";
inline constexpr const char* LegacyCollation = "ITALIAN";

} // namespace movilibro::db
