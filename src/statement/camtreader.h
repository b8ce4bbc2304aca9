#pragma once

#include "statement/statement.h"

#include <QByteArray>

namespace movilibro::statement {

// True when the bytes look like XML rather than CSV.
bool looksLikeXml(const QByteArray& bytes);

// Reads an ISO 20022 bank-to-customer statement (camt.053, any version):
// booked entries only. Throws StatementError for XML that is not one.
Statement readCamt053(const QByteArray& bytes, DateChoice choice);

} // namespace movilibro::statement
