#pragma once

#include "report/reportcontext.h"

namespace movilibro::report {

class arpSchede;

// The set-up shared by print and export: the records of the selected period
// read by the journal core (those the search filter lets through), the
// layout's groups and the formats. With an active filter a second line under
// the period caption reads "Filtro: <filter>". Throws ReportError when the
// filter cannot be read; the journal is read when the report runs.
void setUpReport(arpSchede& report, const ReportContext& context);

} // namespace movilibro::report
