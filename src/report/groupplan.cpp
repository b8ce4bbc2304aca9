#include "report/groupplan.h"

#include "db/textcollation.h"

#include <algorithm>
#include <stdexcept>

namespace movilibro::report {

namespace {

// Texts break by the rule the sort and the grid use ("Banca" and "banca" are
// one group); other values when they differ.
bool sameGroupValue(const QCollator& collator, const Value& a, const Value& b)
{
    if (a == b)
        return true;
    const auto* textA = std::get_if<QString>(&a);
    const auto* textB = std::get_if<QString>(&b);
    return textA && textB && collator.compare(*textA, *textB) == 0;
}

} // namespace

GroupPlan::GroupPlan(const RecordSource& records, const std::vector<int>& levelFields)
    : m_records(records), m_starts(levelFields.size())
{
    if (levelFields.size() > 255)
        throw std::invalid_argument("too many group levels");
    const int rows = records.rowCount();
    const int levels = int(levelFields.size());
    const QCollator collator = db::textCollator();
    m_breakLevel.resize(size_t(rows));
    std::vector<Value> previous(levelFields.size());
    for (int row = 0; row < rows; ++row) {
        int breakLevel = row == 0 ? 0 : levels;
        for (int level = 0; level < levels; ++level) {
            const int field = levelFields[size_t(level)];
            if (field < 0)
                continue;
            Value current = records.value(row, field);
            if (row > 0 && breakLevel == levels &&
                !sameGroupValue(collator, current, previous[size_t(level)]))
                breakLevel = level;
            previous[size_t(level)] = std::move(current);
        }
        m_breakLevel[size_t(row)] = static_cast<unsigned char>(breakLevel);
        for (int level = breakLevel; level < levels; ++level)
            m_starts[size_t(level)].push_back(row);
    }
}

bool GroupPlan::startsGroup(int level, int row) const
{
    if (!isLevel(level))
        return row == 0;
    return m_breakLevel[size_t(row)] <= level;
}

bool GroupPlan::endsGroup(int level, int row) const
{
    return row + 1 >= m_records.rowCount() || startsGroup(level, row + 1);
}

int GroupPlan::groupOf(int level, int row) const
{
    if (!isLevel(level))
        return 0;
    const auto& starts = m_starts[size_t(level)];
    return int(std::upper_bound(starts.begin(), starts.end(), row) - starts.begin()) - 1;
}

int GroupPlan::groupStart(int level, int row) const
{
    return isLevel(level) ? m_starts[size_t(level)][size_t(groupOf(level, row))] : 0;
}

void GroupPlan::addSum(int level, int field)
{
    const auto key = std::make_pair(level, field);
    if (m_sums.count(key) != 0)
        return;
    std::vector<Currency> sums(isLevel(level) ? m_starts[size_t(level)].size() : 1);
    int group = -1;
    for (int row = 0; row < m_records.rowCount(); ++row) {
        if (startsGroup(level, row))
            ++group;
        sums[size_t(group)] += amountOf(m_records.value(row, field));
    }
    m_sums.emplace(key, std::move(sums));
}

Currency GroupPlan::sum(int level, int field, int row) const
{
    return m_sums.at({level, field})[size_t(groupOf(level, row))];
}

void GroupPlan::addRunning(int level, int field)
{
    const auto key = std::make_pair(level, field);
    if (m_running.count(key) != 0)
        return;
    Currency total;
    for (int row = 0; row < m_records.rowCount(); ++row)
        total = (startsGroup(level, row) ? Currency() : total) + amountOf(m_records.value(row, field));
    m_running.emplace(key, Running{});
}

Currency GroupPlan::running(int level, int field, int row) const
{
    Running& state = m_running.at({level, field});
    if (state.row == row)
        return state.sum;
    if (state.row == row - 1 && !startsGroup(level, row)) {
        state.sum += amountOf(m_records.value(row, field));
    } else {
        state.sum = Currency();
        for (int from = groupStart(level, row); from <= row; ++from)
            state.sum += amountOf(m_records.value(from, field));
    }
    state.row = row;
    return state.sum;
}

} // namespace movilibro::report
