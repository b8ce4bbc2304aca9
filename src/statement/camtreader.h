#pragma once

#include "statement/statement.h"

#include <QByteArray>

namespace movilibro::statement {

// Reads an ISO 20022 bank-to-customer statement (camt.053), account report
// (camt.052) or notification (camt.054), any version: booked entries only.
// Throws StatementError for XML that is none of them.
Statement readCamt(const QByteArray& bytes, DateChoice choice);

} // namespace movilibro::statement
