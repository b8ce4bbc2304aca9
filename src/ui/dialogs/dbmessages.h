#pragma once

#include <QString>

namespace movilibro {

namespace db {
class DbError;
}

// A database failure told to the user: what could not be done, then why, in
// words a user understands.
QString databaseFailureText(const QString& whatFailed, const db::DbError& error);

} // namespace movilibro
