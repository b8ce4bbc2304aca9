#pragma once

#include "ui/charts/chartbuilder.h"

#include <QSize>
#include <QString>

namespace movilibro::charts {

// The size of an exported chart: PNG pixels, SVG units, PDF proportions.
inline constexpr QSize ExportSize(1200, 700);

// Draws the chart afresh at ExportSize (a PDF fills its A4 landscape page)
// under its name and `caption` (the period line) and writes it to `path`
// (replaced only once complete). Throws report::ReportError with the reason,
// in Italian.
void exportChart(ChartKind kind, const ChartData& data, bool perAccount, const QString& caption,
                 const QString& path);

} // namespace movilibro::charts
