#pragma once

#include "journal/griddata.h"
#include "journal/gridtypes.h"

#include <QtGlobal>

#include <vector>

namespace movilibro::journal {

// The entries in display order: grouped by the group columns (each level
// ascending or descending as asked), then by the sort keys, then by data order.
struct RowOrder
{
    // 0-based data rows in display order.
    std::vector<quint32> rows;
    // For each position of `rows`: the outermost group level (1-based) whose
    // value differs from the previous entry's, or the level count + 1 when the
    // entry stays in the same innermost group. The first entry gets 1.
    std::vector<quint8> breakLevel;
};

// Text compares with the Italian collation, ignoring case; values that
// compare equal fall in the same group. Empty dates and amounts come first.
// Throws std::out_of_range for a column that does not exist and
// std::invalid_argument beyond 250 group levels.
RowOrder orderRows(const GridData& data, const std::vector<GroupLevel>& groups,
                   const std::vector<SortKey>& sortKeys);

} // namespace movilibro::journal
