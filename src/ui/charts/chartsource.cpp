#include "ui/charts/chartsource.h"

#include "ui/grid/groupedgrid.h"

namespace movilibro::charts {

ChartData chartDataOfGrid(const grid::GroupedGrid& gex, const DateRange& period, int kind)
{
    return chartData(entriesOfGrid(gex.data(), gex.rows(), period, kind));
}

} // namespace movilibro::charts
