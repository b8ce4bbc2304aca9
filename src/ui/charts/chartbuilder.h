#pragma once

#include "charts/chartdata.h"
#include "charts/chartkind.h"

#include <QString>

#include <vector>

class QAbstractBarSeries;
class QChart;
class QLineSeries;

namespace movilibro::charts {

// A chart drawn from the series. `bars` (charts 2 and 3) and `lines` (chart 1,
// the total first) are owned by `chart`; category i of the bars stands for
// `barItems[i]`: a period key (chart 2) or an account name (chart 3).
struct BuiltChart
{
    QChart* chart = nullptr;
    QAbstractBarSeries* bars = nullptr;
    std::vector<QString> barItems;
    std::vector<QLineSeries*> lines;
    // For the lines: which series of BalanceSeries each one draws, -1 for the total.
    std::vector<int> lineAccounts;
};

// Amounts in the Italian number format: 1.234,56.
QString amountText(const Currency& amount);

// A new chart (the caller owns it); `perAccount` adds one balance line per
// account to chart 1, each in a colour of its own under the thicker total.
// Axis labels are Italian numbers, and month names at month starts (days for
// a short period, years for a long one).
BuiltChart buildChart(ChartKind kind, const ChartData& data, bool perAccount);

// "Saldo progressivo", "Entrate e uscite", "Entrate e uscite per conto".
QString chartTitle(ChartKind kind);

} // namespace movilibro::charts
