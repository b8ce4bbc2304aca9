#pragma once

#include <QString>

namespace movilibro::cli {

struct Request;

// Restores the journal from a backup copy, keeping the current one.
int runRestore(const Request& r, const QString& folder);

} // namespace movilibro::cli
