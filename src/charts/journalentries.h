#pragma once

#include "charts/chartdata.h"
#include "report/reportcontext.h"

namespace movilibro::journal {
class GridData;
class GridRows;
class JournalRows;
} // namespace movilibro::journal

namespace movilibro::charts {

// The entries laid out in `rows` (those the search filter lets through), read
// from the data array; nothing is queried again. Rows left over from an
// earlier layout whose data are gone count as no entries.
ChartInput entriesOfGrid(const journal::GridData& data, const journal::GridRows& rows,
                         const DateRange& period, int kind);
ChartInput entriesOf(const journal::JournalRows& rows);

// The series of the context's period and filter, read by the journal core;
// no lines per account, as a period given on the command line may span
// centuries. Throws report::ReportError with the reason.
ChartData chartDataFor(const report::ReportContext& context);

// "Periodo dal 01/01/2024 al 31/12/2024", then the filter when one is active.
QString chartCaption(const DateRange& period, const search::Filter& filter);

} // namespace movilibro::charts
