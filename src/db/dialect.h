#pragma once

#include <QString>

namespace movilibro::db {

// Turns one statement of the Jet dialect the program writes into SQLite:
//   DELETE * FROM      -> DELETE FROM
//   #mm/dd/yyyy#       -> 'yyyy-mm-dd'
//   a & b              -> (a || b)
//   a \ b              -> jet_intdiv(a, b)     (Jet's integer division)
//   a / b              -> (CAST(a AS REAL) / b) (Jet always divides as reals)
//   isnull(x)          -> (x IS NULL)
// An expression with any of the first three operators is rebuilt with one
// pair of parentheses per operation in Jet's order (* and /, then \, then +
// and -, then &): "a & b + c" is Jet's a & (b + c). Mod is refused.
// iif, Between ... And, [names], INNER JOIN ... ON, constant columns and
// aliases are SQLite's own. String literals and bracketed names are copied
// untouched. Anything else the program never writes (double-quoted text,
// several statements, stray characters, malformed dates) throws DbError.
QString translateJet(const QString& jetSql);

} // namespace movilibro::db
