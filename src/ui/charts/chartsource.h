#pragma once

#include "charts/journalentries.h"

namespace movilibro::grid {
class GroupedGrid;
}

namespace movilibro::charts {

// The series of the entries a journal grid shows now.
ChartData chartDataOfGrid(const grid::GroupedGrid& gex, const DateRange& period, int kind);

} // namespace movilibro::charts
