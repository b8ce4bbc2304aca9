#pragma once

#include "charts/chartdata.h"
#include "report/reportcontext.h"

namespace movilibro::grid {
class GroupedGrid;
}

namespace movilibro::charts {

// The series of the entries a journal grid shows now.
ChartData chartDataOfGrid(const grid::GroupedGrid& gex, const DateRange& period, int kind);

// The series of the context's period and filter, read as the journal grid
// reads them; no lines per account, as a period given on the command line may
// span centuries. Throws report::ReportError with the reason.
ChartData chartDataFor(const report::ReportContext& context);

// "Periodo dal 01/01/2024 al 31/12/2024", then the filter when one is active.
QString chartCaption(const DateRange& period, const search::Filter& filter);

} // namespace movilibro::charts
