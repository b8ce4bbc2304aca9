#pragma once

#include "report/records.h"

#include <map>
#include <utility>
#include <vector>

namespace movilibro::report {

// Group boundaries and group sums of a record table, worked out before any
// band is placed: a group header prints its totals above the group's rows.
class GroupPlan
{
public:
    // One record field per group level, outermost first; -1 keeps every
    // record in one group at that level. A level breaks when its field
    // changes (texts compare as db::textCollator() does) or any outer level
    // breaks.
    GroupPlan(const RecordTable& records, const std::vector<int>& levelFields);

    int levelCount() const { return int(m_groupOfRow.size()); }
    bool startsGroup(int level, int row) const;
    bool endsGroup(int level, int row) const;

    // Sums `field` over every group of `level` (-1: the whole table); call
    // before sum() for that pair.
    void addSum(int level, int field);
    Currency sum(int level, int field, int row) const;

private:
    int groupOf(int level, int row) const { return m_groupOfRow[level][row]; }

    const RecordTable& m_records;
    std::vector<std::vector<int>> m_groupOfRow; // per level, per row
    std::vector<int> m_groupCount;              // per level
    std::map<std::pair<int, int>, std::vector<Currency>> m_sums;
};

} // namespace movilibro::report
