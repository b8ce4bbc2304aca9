#pragma once

#include <QString>

namespace movilibro::grid {
class GroupedGrid;
}

namespace movilibro::charts {

// Make what a bar stands for current in the journal grid: the first group
// of that period (or account) expanded and current; when the grid is not
// grouped that way, its first entry in the grid's order. False when the grid
// shows none.
bool selectPeriod(grid::GroupedGrid& gex, const QString& periodKey);
bool selectAccount(grid::GroupedGrid& gex, const QString& account);

// The account made current in the accounts list; false when it is not there.
bool selectAccountRow(grid::GroupedGrid& accounts, const QString& account);

} // namespace movilibro::charts
