#pragma once

#include "charts/chartdata.h"

namespace movilibro::grid {
class GridData;
class GridRows;
} // namespace movilibro::grid

namespace movilibro::charts {

// The entries the journal grid shows now (those its search filter lets
// through), read from its data array and laid-out rows; nothing is queried
// again. Rows left over from an earlier layout whose data are gone count as
// no entries.
ChartInput entriesOfGrid(const grid::GridData& data, const grid::GridRows& rows, const DateRange& period,
                         int kind);

} // namespace movilibro::charts
