#pragma once

#include "format/currency.h"
#include "journal/griddata.h"
#include "journal/gridtypes.h"
#include "journal/roworder.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace movilibro::journal {

// The laid-out rows of a data array: groups, sort keys, every group expanded.
// Views (the grid's model, the exports) read them by display position p,
// 1..displayRowCount().
//
// Each group has a header row above its rows and a total row below them;
// groups nest in the order they were added (level 1 is the outermost). The
// layout is made by rebuild() and stays as it is until the next rebuild() or
// clear(), whatever happens to the data meanwhile; rows whose data index no
// longer exists read as empty.
class GridRows
{
public:
    explicit GridRows(const GridData& data) : m_data(data) {}

    const GridData& data() const { return m_data; }

    void clearGroups() { m_groupLevels.clear(); }
    void addGroup(int column, bool ascending = true);
    int groupCount() const { return int(m_groupLevels.size()); }
    // The column grouped at `level` (1-based).
    int groupColumn(int level) const;

    void clearSortKeys() { m_sortKeys.clear(); }
    void addSortKey(int column, bool descending = false);

    // Orders the entries and lays out every row. Throws std::out_of_range
    // when a group or sort key names a column that does not exist.
    void rebuild();
    // Drops the layout (no rows) and keeps groups and sort keys.
    void clear();

    // Lays the rows out again showing only the entries whose flag is set
    // (one per data row, 0-based), in the order of the last rebuild(): no
    // sorting, and groups without such an entry disappear. Group sums then
    // run over the shown entries. An empty vector shows every entry again;
    // rebuild() also does.
    void filterEntries(std::vector<quint8> keep);
    bool isFiltered() const { return !m_keep.empty(); }

    int displayRowCount() const { return int(m_types.size()); }
    // Group levels of the current layout.
    int levelCount() const { return int(m_builtGroups.size()); }
    RowType rowType(int p) const;
    // 1..N for entries, 0 for headers and totals.
    int dataIndex(int p) const;
    // Headers and totals: their group's level. Entries: the number of levels.
    int level(int p) const;
    // Headers and totals: the column their group is made on; entries: 0.
    int groupColumnOf(int p) const;
    // Entries: the cell. Headers: the group's value in its own column.
    // Totals: the group's sum in Currency columns. Anything else: invalid.
    QVariant value(int p, int column) const;
    // Headers and totals: the group's value as text.
    QString caption(int p) const;
    // Sum of a Currency column over the entries of the row's group (for an
    // entry its innermost group; all entries without groups). Empty cells
    // count as 0. Throws CurrencyOverflow rather than wrap.
    Currency groupSum(int p, int column) const;

    // The tree seen by the model; position 0 is the invisible root.
    int parentOf(int p) const;
    int childCount(int p) const;
    int childAt(int p, int row) const;
    int rowInParent(int p) const;

    // The group value written as a caption: dates dd/MM/yyyy, amounts plain.
    static QString valueText(const QVariant& value);

private:
    struct Group
    {
        int level = 0;
        int parent = -1;
        int headerPos = 0;
        int totalPos = 0;
        quint32 firstEntry = 0; // range in m_order
        quint32 entryEnd = 0;
        int rowInParent = 0;
        int childBegin = 0; // range in m_children
        int childEnd = 0;
    };

    void checkPosition(int p) const;
    const Group& groupAt(int p) const;
    bool isLiveDataRow(quint32 k) const { return int(k) < m_data.rowCount(); }
    void clearLayout();
    void layOutKept();
    void layOut(const std::vector<quint8>& breakLevel);
    void openGroup(int level, quint32 entry, std::vector<int>& open);
    void closeGroup(int group, quint32 entryEnd);
    void linkChildren();
    void push(RowType type, int ref, int group);

    const GridData& m_data;
    std::vector<GroupLevel> m_groupLevels;
    std::vector<SortKey> m_sortKeys;

    // Levels of the last rebuild (groups added since apply at the next one).
    std::vector<GroupLevel> m_builtGroups;
    // Every entry in the order of the last rebuild, and the filter on it.
    RowOrder m_fullOrder;
    std::vector<quint8> m_keep;
    std::vector<quint32> m_order;
    std::vector<Group> m_groups;
    std::vector<int> m_children;
    std::vector<int> m_topGroups;

    // Per display row: kind, data row (entries) or group (others), group.
    std::vector<RowType> m_types;
    std::vector<qint32> m_refs;
    std::vector<qint32> m_rowGroups;
};

} // namespace movilibro::journal
