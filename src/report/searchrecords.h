#pragma once

#include "search/searchquery.h"

namespace movilibro::report {

class arpSchede;

// Narrows the journal report to the entries the filter lets through, and
// adds a second line under the period caption: "Filtro: <filter>". Does
// nothing for a filter that is not active. Throws ReportError when the
// filter cannot be read.
void applySearch(arpSchede& report, const search::Filter& filter);

} // namespace movilibro::report
