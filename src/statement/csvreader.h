#pragma once

#include "statement/table.h"

#include <QByteArray>
#include <QStringView>

namespace movilibro::statement {

// Splits CSV text into rows: fields in double quotes may hold the separator,
// line breaks and doubled quotes. At most `limit` rows; reading the whole
// text (no limit), a quote that never closes throws StatementError.
Table splitRecords(QStringView text, QChar separator, int limit = -1);

// Reads a CSV statement: encoding and separator found (or given by the
// layout), then the table through the detector.
Statement readCsv(const QByteArray& bytes, const ReadOptions& options);

} // namespace movilibro::statement
