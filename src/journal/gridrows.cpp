#include "journal/gridrows.h"

#include "journal/roworder.h"

#include <QLocale>

#include <algorithm>

#include <stdexcept>

namespace movilibro::journal {

void GridRows::addGroup(int column, bool ascending)
{
    m_groupLevels.push_back({column, ascending});
}

int GridRows::groupColumn(int level) const
{
    if (level < 1 || level > groupCount())
        throw std::out_of_range("group level out of range");
    return m_groupLevels[level - 1].column;
}

void GridRows::addSortKey(int column, bool descending)
{
    m_sortKeys.push_back({column, descending});
}

void GridRows::rebuild()
{
    RowOrder order = orderRows(m_data, m_groupLevels, m_sortKeys);
    clear();
    m_builtGroups = m_groupLevels;
    m_fullOrder = std::move(order);
    layOutKept();
}

void GridRows::filterEntries(std::vector<quint8> keep)
{
    const std::vector<GroupLevel> levels = m_builtGroups;
    clearLayout();
    m_builtGroups = levels;
    m_keep = std::move(keep);
    layOutKept();
}

// A kept entry opens groups from the outermost level at which it differs from
// the previous kept one: the smallest break level of the entries in between.
void GridRows::layOutKept()
{
    if (m_keep.empty()) {
        m_order = m_fullOrder.rows;
        layOut(m_fullOrder.breakLevel);
    } else {
        const quint8 same = quint8(m_builtGroups.size() + 1);
        std::vector<quint8> breakLevel;
        quint8 pending = 1;
        for (size_t i = 0; i < m_fullOrder.rows.size(); ++i) {
            pending = std::min(pending, m_fullOrder.breakLevel[i]);
            const quint32 k = m_fullOrder.rows[i];
            if (k < m_keep.size() && m_keep[k]) {
                m_order.push_back(k);
                breakLevel.push_back(pending);
                pending = same;
            }
        }
        layOut(breakLevel);
    }
    linkChildren();
}

void GridRows::clear()
{
    clearLayout();
    m_fullOrder = {};
    m_keep.clear();
}

void GridRows::clearLayout()
{
    m_builtGroups.clear();
    m_order.clear();
    m_groups.clear();
    m_children.clear();
    m_topGroups.clear();
    m_types.clear();
    m_refs.clear();
    m_rowGroups.clear();
}

void GridRows::layOut(const std::vector<quint8>& breakLevel)
{
    const int levels = int(m_builtGroups.size());
    const quint32 count = quint32(m_order.size());
    m_types.reserve(count + 2 * levels + 16);
    m_refs.reserve(m_types.capacity());
    m_rowGroups.reserve(m_types.capacity());

    std::vector<int> open(levels, -1);
    for (quint32 i = 0; i < count; ++i) {
        const int first = breakLevel[i];
        if (i > 0) {
            for (int l = levels; l >= first; --l)
                closeGroup(open[l - 1], i);
        }
        for (int l = first; l <= levels; ++l)
            openGroup(l, i, open);
        push(RowType::Entry, qint32(m_order[i]), levels > 0 ? open[levels - 1] : -1);
    }
    if (count > 0) {
        for (int l = levels; l >= 1; --l)
            closeGroup(open[l - 1], count);
    }
}

void GridRows::openGroup(int level, quint32 entry, std::vector<int>& open)
{
    Group group;
    group.level = level;
    group.parent = level > 1 ? open[level - 2] : -1;
    group.firstEntry = entry;
    group.headerPos = displayRowCount() + 1;
    const int id = int(m_groups.size());
    m_groups.push_back(group);
    open[level - 1] = id;
    push(RowType::GroupHeader, id, id);
}

void GridRows::closeGroup(int group, quint32 entryEnd)
{
    m_groups[group].entryEnd = entryEnd;
    m_groups[group].totalPos = displayRowCount() + 1;
    push(RowType::GroupTotal, group, group);
}

void GridRows::push(RowType type, int ref, int group)
{
    m_types.push_back(type);
    m_refs.push_back(ref);
    m_rowGroups.push_back(group);
}

// Child lists in display order; groups were made in display order already.
void GridRows::linkChildren()
{
    std::vector<int> counts(m_groups.size(), 0);
    for (const Group& group : m_groups) {
        if (group.parent >= 0)
            ++counts[group.parent];
    }
    int offset = 0;
    for (size_t g = 0; g < m_groups.size(); ++g) {
        m_groups[g].childBegin = m_groups[g].childEnd = offset;
        offset += counts[g];
    }
    m_children.resize(offset);
    for (size_t g = 0; g < m_groups.size(); ++g) {
        Group& group = m_groups[g];
        if (group.parent < 0) {
            group.rowInParent = int(m_topGroups.size());
            m_topGroups.push_back(int(g));
            continue;
        }
        Group& parent = m_groups[group.parent];
        group.rowInParent = parent.childEnd - parent.childBegin;
        m_children[parent.childEnd++] = int(g);
    }
}

void GridRows::checkPosition(int p) const
{
    if (p < 1 || p > displayRowCount())
        throw std::out_of_range("grid row position out of range");
}

const GridRows::Group& GridRows::groupAt(int p) const
{
    return m_groups[m_rowGroups[p - 1]];
}

RowType GridRows::rowType(int p) const
{
    checkPosition(p);
    return m_types[p - 1];
}

int GridRows::dataIndex(int p) const
{
    return rowType(p) == RowType::Entry ? m_refs[p - 1] + 1 : 0;
}

int GridRows::level(int p) const
{
    return rowType(p) == RowType::Entry ? int(m_builtGroups.size()) : groupAt(p).level;
}

int GridRows::groupColumnOf(int p) const
{
    return rowType(p) == RowType::Entry ? 0 : m_builtGroups[groupAt(p).level - 1].column;
}

QVariant GridRows::value(int p, int column) const
{
    switch (rowType(p)) {
    case RowType::Entry: {
        const quint32 k = quint32(m_refs[p - 1]);
        return isLiveDataRow(k) ? m_data.value(column, int(k) + 1) : QVariant();
    }
    case RowType::GroupHeader: {
        const Group& group = groupAt(p);
        const quint32 k = m_order[group.firstEntry];
        for (int l = 1; l <= group.level; ++l) {
            if (m_builtGroups[l - 1].column == column && isLiveDataRow(k))
                return m_data.value(column, int(k) + 1);
        }
        return QVariant();
    }
    case RowType::GroupTotal:
        if (m_data.columnType(column) == ColumnType::Currency)
            return QVariant::fromValue(groupSum(p, column));
        return QVariant();
    }
    return QVariant();
}

QString GridRows::caption(int p) const
{
    if (rowType(p) == RowType::Entry)
        return QString();
    return valueText(value(groupAt(p).headerPos, groupColumnOf(p)));
}

Currency GridRows::groupSum(int p, int column) const
{
    checkPosition(p);
    if (m_data.columnType(column) != ColumnType::Currency)
        throw std::invalid_argument("group sums need a currency column");
    quint32 first = 0;
    quint32 end = quint32(m_order.size());
    if (m_rowGroups[p - 1] >= 0) {
        first = groupAt(p).firstEntry;
        end = groupAt(p).entryEnd;
    }
    const auto& numbers = m_data.numbers(column);
    const auto& nulls = m_data.nulls(column);
    Currency sum;
    for (quint32 i = first; i < end; ++i) {
        const quint32 k = m_order[i];
        if (isLiveDataRow(k) && !nulls[k])
            sum += Currency::fromRaw(numbers[k]);
    }
    return sum;
}

int GridRows::parentOf(int p) const
{
    if (p == 0)
        return -1;
    const int group = m_rowGroups[p - 1];
    switch (rowType(p)) {
    case RowType::GroupHeader: {
        const int parent = m_groups[group].parent;
        return parent < 0 ? 0 : m_groups[parent].headerPos;
    }
    case RowType::Entry:
    case RowType::GroupTotal:
        return group < 0 ? 0 : m_groups[group].headerPos;
    }
    return 0;
}

int GridRows::childCount(int p) const
{
    if (p == 0)
        return m_builtGroups.empty() ? int(m_order.size()) : int(m_topGroups.size());
    if (rowType(p) != RowType::GroupHeader)
        return 0;
    const Group& group = groupAt(p);
    if (group.level == int(m_builtGroups.size()))
        return int(group.entryEnd - group.firstEntry) + 1;
    return group.childEnd - group.childBegin + 1;
}

int GridRows::childAt(int p, int row) const
{
    if (row < 0 || row >= childCount(p))
        return -1;
    if (p == 0)
        return m_builtGroups.empty() ? row + 1 : m_groups[m_topGroups[row]].headerPos;
    const Group& group = groupAt(p);
    if (row == childCount(p) - 1)
        return group.totalPos;
    if (group.level == int(m_builtGroups.size()))
        return group.headerPos + 1 + row;
    return m_groups[m_children[group.childBegin + row]].headerPos;
}

int GridRows::rowInParent(int p) const
{
    const int group = m_rowGroups[p - 1];
    switch (rowType(p)) {
    case RowType::GroupHeader:
        return m_groups[group].rowInParent;
    case RowType::GroupTotal:
        return childCount(m_groups[group].headerPos) - 1;
    case RowType::Entry:
        return group < 0 ? p - 1 : p - m_groups[group].headerPos - 1;
    }
    return 0;
}

QString GridRows::valueText(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<Currency>())
        return value.value<Currency>().toString(QLocale());
    if (value.metaType() == QMetaType::fromType<QDate>()) {
        const QDate date = value.toDate();
        return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    }
    return value.toString();
}

} // namespace movilibro::journal
