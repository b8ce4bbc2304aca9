#include "report/groupplan.h"

#include "db/textcollation.h"

namespace movilibro::report {

namespace {

// Texts break by the rule the sort and the grid use ("Banca" and "banca" are
// one group); other values when they differ.
bool sameGroupValue(const QCollator& collator, const Value& a, const Value& b)
{
    const auto* textA = std::get_if<QString>(&a);
    const auto* textB = std::get_if<QString>(&b);
    if (textA && textB)
        return collator.compare(*textA, *textB) == 0;
    return a == b;
}

} // namespace

GroupPlan::GroupPlan(const RecordTable& records, const std::vector<int>& levelFields)
    : m_records(records), m_groupOfRow(levelFields.size()), m_groupCount(levelFields.size(), 0)
{
    const int rows = records.rowCount();
    const QCollator collator = db::textCollator();
    for (auto& groups : m_groupOfRow) {
        groups.resize(rows);
    }
    for (int row = 0; row < rows; ++row) {
        bool outerBroke = row == 0;
        for (size_t level = 0; level < levelFields.size(); ++level) {
            const int field = levelFields[level];
            const bool changed =
                field >= 0 && row > 0 &&
                !sameGroupValue(collator, records.value(row, field), records.value(row - 1, field));
            outerBroke = outerBroke || changed;
            if (outerBroke) {
                ++m_groupCount[level];
            }
            m_groupOfRow[level][row] = m_groupCount[level] - 1;
        }
    }
}

bool GroupPlan::startsGroup(int level, int row) const
{
    return row == 0 || groupOf(level, row) != groupOf(level, row - 1);
}

bool GroupPlan::endsGroup(int level, int row) const
{
    return row + 1 >= m_records.rowCount() || groupOf(level, row) != groupOf(level, row + 1);
}

void GroupPlan::addSum(int level, int field)
{
    const auto key = std::make_pair(level, field);
    if (m_sums.count(key) != 0) {
        return;
    }
    const bool whole = level < 0 || level >= levelCount();
    std::vector<Currency> sums(whole ? 1 : size_t(m_groupCount[level]));
    for (int row = 0; row < m_records.rowCount(); ++row) {
        sums[whole ? 0 : size_t(groupOf(level, row))] += amountOf(m_records.value(row, field));
    }
    m_sums.emplace(key, std::move(sums));
}

Currency GroupPlan::sum(int level, int field, int row) const
{
    const auto& sums = m_sums.at({level, field});
    const bool whole = level < 0 || level >= levelCount();
    return sums[whole ? 0 : size_t(groupOf(level, row))];
}

} // namespace movilibro::report
