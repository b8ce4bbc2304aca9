#pragma once

#include <QString>

namespace movilibro::cli {

struct Request;

// The exports of the period: PDF report, CSV entries, Excel workbook, chart. Nothing is written unless every
// one asked for can be.
int runExports(const Request& r, const QString& folder);

} // namespace movilibro::cli
