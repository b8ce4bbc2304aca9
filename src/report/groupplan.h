#pragma once

#include "report/recordsource.h"

#include <map>
#include <utility>
#include <vector>

namespace movilibro::report {

// Group boundaries and group sums of the records, worked out before any
// band is placed: a group header prints its totals above the group's rows.
class GroupPlan
{
public:
    // One record field per group level, outermost first; -1 keeps every
    // record in one group at that level. A level breaks when its field
    // changes (texts compare as db::textCollator() does) or any outer level
    // breaks.
    GroupPlan(const RecordSource& records, const std::vector<int>& levelFields);

    int levelCount() const { return int(m_starts.size()); }
    // A level outside 0..levelCount()-1 stands for the whole report.
    bool startsGroup(int level, int row) const;
    bool endsGroup(int level, int row) const;

    // Sums `field` over every group of `level`; call before sum() for that
    // pair. Throws CurrencyOverflow.
    void addSum(int level, int field);
    Currency sum(int level, int field, int row) const;

    // Checks that `field` can be summed row by row within the groups of
    // `level`; call before running() for that pair. Throws CurrencyOverflow.
    void addRunning(int level, int field);
    // The sum of `field` from the first row of `row`'s group to `row`. Asked
    // row after row it costs one addition; a jump sums from the group's start.
    Currency running(int level, int field, int row) const;

private:
    bool isLevel(int level) const { return level >= 0 && level < levelCount(); }
    int groupOf(int level, int row) const;
    int groupStart(int level, int row) const;

    struct Running
    {
        int row = -1;
        Currency sum;
    };

    const RecordSource& m_records;
    // Per row, the outermost level whose group starts there (levelCount()
    // when none does).
    std::vector<unsigned char> m_breakLevel;
    std::vector<std::vector<int>> m_starts; // per level, the first row of each group
    std::map<std::pair<int, int>, std::vector<Currency>> m_sums;
    mutable std::map<std::pair<int, int>, Running> m_running;
};

} // namespace movilibro::report
