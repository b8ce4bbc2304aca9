#include "completion/descriptionhistory.h"

#include "db/connection.h"
#include "search/textfold.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

namespace movilibro {

namespace {

// Lets the set of seen descriptions be probed with the bytes of a row
// without copying them first.
struct TextHash
{
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

std::string_view bytes(const db::Statement& rows, int col)
{
    const QByteArrayView utf8 = rows.utf8(col);
    return {utf8.data(), size_t(utf8.size())};
}

qint64 amount(const db::Statement& rows, int col)
{
    return rows.isNull(col) ? 0 : rows.int64(col);
}

PastEntry pastEntry(const db::Statement& rows)
{
    return {QString::fromUtf8(rows.utf8(1)),
            rows.date(2),
            rows.int64(0),
            rows.int64(3),
            amount(rows, 4),
            amount(rows, 5)};
}

} // namespace

DescriptionHistory DescriptionHistory::read(db::Connection& conn)
{
    // The newest entries in the order they were typed, the table's own and the
    // cheapest to read; a description's latest entry is its latest date among them.
    db::Statement rows = conn.prepare(
        QStringLiteral("SELECT mlId, mlDescrizione, mlData, mlConto, mlEntrate, mlUscite FROM Movilibro "
                       "ORDER BY mlId DESC LIMIT ?"));
    rows.bind(0, qint64(RecentEntries));
    std::vector<PastEntry> found;
    std::vector<std::string> dates;
    std::unordered_map<std::string, size_t, TextHash, std::equal_to<>> positions;
    while (rows.step()) {
        const std::string_view text = bytes(rows, 1);
        const std::string_view date = bytes(rows, 2);
        if (text.empty())
            continue;
        const auto known = positions.find(text);
        if (known == positions.end()) {
            if (found.size() == size_t(MostDescriptions))
                break;
            positions.emplace(text, found.size());
            found.push_back(pastEntry(rows));
            dates.emplace_back(date);
        } else if (date > dates[known->second]) { // on the same date the later entry, read first, stays
            found[known->second] = pastEntry(rows);
            dates[known->second] = date;
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const PastEntry& a, const PastEntry& b) {
        return a.date != b.date ? a.date > b.date : a.id > b.id;
    });
    DescriptionHistory history;
    for (PastEntry& entry : found)
        history.add(std::move(entry));
    return history;
}

void DescriptionHistory::add(PastEntry entry)
{
    m_folded.push_back(search::foldText(entry.description));
    m_entries.push_back(std::move(entry));
}

std::vector<int> DescriptionHistory::matching(const QString& typed, int limit) const
{
    std::vector<int> found;
    const QString wanted = search::foldText(typed);
    for (size_t i = 0; i < m_folded.size() && int(found.size()) < limit; ++i) {
        if (m_folded[i].contains(wanted))
            found.push_back(int(i));
    }
    return found;
}

} // namespace movilibro
