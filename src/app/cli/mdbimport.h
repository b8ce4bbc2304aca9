#pragma once

#include <QString>

namespace movilibro::cli {

struct Request;

// Copies an archive of the previous version into an empty journal.
int runImport(const Request& r, const QString& folder);

} // namespace movilibro::cli
