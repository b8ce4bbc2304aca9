#pragma once

#include <QString>

namespace movilibro::db {

class DbError;

// What went wrong, in Italian, for a message box: the kind of failure first,
// the engine's own words after it.
QString userMessage(const DbError& error);

} // namespace movilibro::db
