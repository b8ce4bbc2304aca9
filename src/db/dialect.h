#pragma once

#include <QString>

namespace movilibro::db {

// Turns one statement of the Jet dialect the program writes into SQLite:
//   DELETE * FROM      -> DELETE FROM
//   #mm/dd/yyyy#       -> 'yyyy-mm-dd'
//   a & b              -> a || b
//   a \ b              -> a / b   (the operands are whole numbers here)
//   isnull(x)          -> (x IS NULL)
// iif, Between ... And, [names], INNER JOIN ... ON, constant columns and
// aliases are SQLite's own. String literals and bracketed names are copied
// untouched. Anything else the program never writes (double-quoted text,
// several statements, stray characters, malformed dates) throws DbError.
QString translateJet(const QString& jetSql);

} // namespace movilibro::db
