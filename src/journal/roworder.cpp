#include "journal/roworder.h"

#include "db/textcollation.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <bit>
#include <numeric>
#include <stdexcept>

namespace movilibro::journal {

namespace {

constexpr int MaxLevels = 250;

// One ordering key mapped onto 0..max, so that every key compares as an
// unsigned integer whatever the column type.
struct Ordinals
{
    std::vector<quint64> values;
    quint64 max = 0;
    int bits() const { return std::bit_width(max); }
};

void reverse(Ordinals& key)
{
    for (quint64& v : key.values)
        v = key.max - v;
}

// Each distinct text is ranked once; rows then carry the rank.
Ordinals textOrdinals(const GridData::TextKeys& texts)
{
    const QCollator collator = db::textCollator();
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(texts.distinct.size());
    for (const QString& text : texts.distinct)
        sortKeys.push_back(collator.sortKey(text));
    std::vector<quint32> byText(texts.distinct.size());
    std::iota(byText.begin(), byText.end(), 0);
    std::stable_sort(byText.begin(), byText.end(),
                     [&](quint32 a, quint32 b) { return sortKeys[a].compare(sortKeys[b]) < 0; });

    std::vector<quint64> rank(texts.distinct.size());
    quint64 current = 0;
    for (size_t i = 0; i < byText.size(); ++i) {
        if (i > 0 && sortKeys[byText[i - 1]].compare(sortKeys[byText[i]]) != 0)
            ++current;
        rank[byText[i]] = current;
    }

    Ordinals key;
    key.max = current;
    key.values.resize(texts.ids.size());
    for (size_t k = 0; k < texts.ids.size(); ++k)
        key.values[k] = rank[texts.ids[k]];
    return key;
}

// Offsets from the smallest value; empty cells (when `isNull` says so) are
// ranked by a separate flag key placed before it, so no offset can overflow.
template <typename IsNull>
void numberOrdinals(const std::vector<qint64>& numbers, IsNull isNull, std::vector<Ordinals>& out)
{
    qint64 low = std::numeric_limits<qint64>::max();
    qint64 high = std::numeric_limits<qint64>::min();
    bool anyNull = false;
    for (size_t k = 0; k < numbers.size(); ++k) {
        if (isNull(k)) {
            anyNull = true;
            continue;
        }
        low = std::min(low, numbers[k]);
        high = std::max(high, numbers[k]);
    }
    if (anyNull) {
        Ordinals flag;
        flag.max = 1;
        flag.values.resize(numbers.size());
        for (size_t k = 0; k < numbers.size(); ++k)
            flag.values[k] = isNull(k) ? 0 : 1;
        out.push_back(std::move(flag));
    }
    Ordinals key;
    key.values.resize(numbers.size());
    if (low <= high) {
        key.max = quint64(high) - quint64(low);
        for (size_t k = 0; k < numbers.size(); ++k)
            key.values[k] = isNull(k) ? 0 : quint64(numbers[k]) - quint64(low);
    }
    out.push_back(std::move(key));
}

// The keys of one column, most significant first (one or two).
std::vector<Ordinals> columnOrdinals(const GridData& data, int col, bool descending)
{
    std::vector<Ordinals> keys;
    switch (data.columnType(col)) {
    case ColumnType::Text:
        keys.push_back(textOrdinals(data.textKeys(col)));
        break;
    case ColumnType::Date: {
        const qint64 none = QDate().toJulianDay();
        const auto& days = data.numbers(col);
        numberOrdinals(
            days, [&](size_t k) { return days[k] == none; }, keys);
        break;
    }
    case ColumnType::Currency: {
        const auto& nulls = data.nulls(col);
        numberOrdinals(
            data.numbers(col), [&](size_t k) { return nulls[k] != 0; }, keys);
        break;
    }
    case ColumnType::Id:
        numberOrdinals(
            data.numbers(col), [](size_t) { return false; }, keys);
        break;
    }
    if (descending) {
        for (Ordinals& key : keys)
            reverse(key);
    }
    return keys;
}

class Orderer
{
public:
    Orderer(const GridData& data, const std::vector<GroupLevel>& groups, const std::vector<SortKey>& sortKeys)
        : m_count(quint32(data.rowCount())), m_levels(int(groups.size()))
    {
        for (const GroupLevel& group : groups) {
            append(columnOrdinals(data, group.column, !group.ascending));
            m_levelKeyEnd.push_back(int(m_keys.size()));
        }
        for (const SortKey& sortKey : sortKeys)
            append(columnOrdinals(data, sortKey.column, sortKey.descending));
    }

    RowOrder run() const
    {
        RowOrder order;
        const int indexBits = std::bit_width(quint64(m_count > 0 ? m_count - 1 : 0));
        int keyBits = 0;
        for (const Ordinals& key : m_keys)
            keyBits += key.bits();
        if (keyBits + indexBits <= 64)
            runPacked(order, indexBits);
        else
            runCompared(order);
        return order;
    }

private:
    void append(std::vector<Ordinals>&& keys)
    {
        for (Ordinals& key : keys)
            m_keys.push_back(std::move(key));
    }

    // Every key and the data row fit in one 64-bit word: a plain integer sort.
    void runPacked(RowOrder& order, int indexBits) const
    {
        std::vector<quint64> packed(m_count);
        for (quint32 k = 0; k < m_count; ++k)
            packed[k] = k;
        std::vector<int> shiftAfter(m_keys.size() + 1);
        int shift = indexBits;
        for (int j = int(m_keys.size()) - 1; j >= 0; --j) {
            shiftAfter[j + 1] = shift;
            const Ordinals& key = m_keys[j];
            if (key.bits() > 0) {
                for (quint32 k = 0; k < m_count; ++k)
                    packed[k] |= key.values[k] << shift;
            }
            shift += key.bits();
        }
        std::sort(packed.begin(), packed.end());

        const quint64 indexMask = indexBits == 64 ? ~quint64(0) : (quint64(1) << indexBits) - 1;
        order.rows.resize(m_count);
        for (quint32 i = 0; i < m_count; ++i)
            order.rows[i] = quint32(packed[i] & indexMask);

        std::vector<int> levelShift(m_levels);
        for (int l = 0; l < m_levels; ++l)
            levelShift[l] = shiftAfter[m_levelKeyEnd[l]];
        fillBreaks(order, [&](quint32 i, int l) {
            const int s = levelShift[l];
            return s >= 64 || (packed[i] >> s) == (packed[i - 1] >> s);
        });
    }

    // Keys too wide to pack: compare them one by one.
    void runCompared(RowOrder& order) const
    {
        order.rows.resize(m_count);
        std::iota(order.rows.begin(), order.rows.end(), 0);
        std::stable_sort(order.rows.begin(), order.rows.end(), [&](quint32 a, quint32 b) {
            for (const Ordinals& key : m_keys) {
                if (key.values[a] != key.values[b])
                    return key.values[a] < key.values[b];
            }
            return false;
        });
        fillBreaks(order, [&](quint32 i, int l) {
            const quint32 a = order.rows[i - 1];
            const quint32 b = order.rows[i];
            for (int j = 0; j < m_levelKeyEnd[l]; ++j) {
                if (m_keys[j].values[a] != m_keys[j].values[b])
                    return false;
            }
            return true;
        });
    }

    // sameGroup(i, l): entries i-1 and i share the groups of levels 0..l (0-based).
    template <typename SameGroup> void fillBreaks(RowOrder& order, SameGroup sameGroup) const
    {
        order.breakLevel.resize(m_count);
        for (quint32 i = 0; i < m_count; ++i) {
            int level = 0;
            if (i > 0) {
                while (level < m_levels && sameGroup(i, level))
                    ++level;
            }
            order.breakLevel[i] = quint8(level + 1);
        }
    }

    quint32 m_count;
    int m_levels;
    std::vector<Ordinals> m_keys;
    std::vector<int> m_levelKeyEnd;
};

} // namespace

RowOrder orderRows(const GridData& data, const std::vector<GroupLevel>& groups,
                   const std::vector<SortKey>& sortKeys)
{
    if (groups.size() > MaxLevels)
        throw std::invalid_argument("too many group levels");
    return Orderer(data, groups, sortKeys).run();
}

} // namespace movilibro::journal
