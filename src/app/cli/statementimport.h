#pragma once

#include <QString>

namespace movilibro::cli {

struct Request;

// Adds the movements of a bank statement to an account of the journal.
int runStatementImport(const Request& r, const QString& folder);

} // namespace movilibro::cli
