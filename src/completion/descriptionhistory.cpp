#include "completion/descriptionhistory.h"

#include "db/connection.h"
#include "db/schema.h"
#include "search/textfold.h"

#include <algorithm>
#include <optional>
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
            amount(rows, 5),
            rows.int64(6) != 0};
}

bool hasTable(db::Connection& conn, const char* name)
{
    db::Statement st =
        conn.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    st.bind(0, QString::fromLatin1(name));
    return st.step();
}

// The columns read for each entry; the last tells an imported one (the import
// lists each entry it writes in Riferimenti).
QString entryColumns(db::Connection& conn)
{
    return QStringLiteral("SELECT mlId, mlDescrizione, mlData, mlConto, mlEntrate, mlUscite, ") +
           (hasTable(conn, "Riferimenti")
                ? QStringLiteral("EXISTS (SELECT 1 FROM Riferimenti r WHERE r.mlId = Movilibro.mlId) ")
                : QStringLiteral("0 ")) +
           QStringLiteral("FROM Movilibro ");
}

bool hasDescriptionIndex(db::Connection& conn)
{
    db::Statement st =
        conn.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"));
    st.bind(0, QString::fromLatin1(db::schema::DescriptionIndexName));
    return st.step();
}

// Walks the description index from the top, one seek a description, each
// landing on its latest entry (latest date, then latest typed). Gives up,
// returning nothing, past `most` descriptions: a journal with that many is
// better served by its newest entries.
std::optional<std::vector<PastEntry>> latestOfEachDescription(db::Connection& conn, int most)
{
    const QString columns = entryColumns(conn);
    const QString order = QStringLiteral(" ORDER BY mlDescrizione DESC, mlData DESC, mlId DESC LIMIT 1");
    db::Statement first = conn.prepare(columns + QStringLiteral("WHERE mlDescrizione > ''") + order);
    db::Statement next =
        conn.prepare(columns + QStringLiteral("WHERE mlDescrizione < ? AND mlDescrizione > ''") + order);
    std::vector<PastEntry> found;
    db::Statement* rows = &first;
    while (rows->step()) {
        if (found.size() == size_t(most))
            return std::nullopt;
        found.push_back(pastEntry(*rows));
        next.reset();
        next.bind(0, found.back().description);
        rows = &next;
    }
    return found;
}

// The newest entries in the order they were typed, the table's own and the
// cheapest to read; a description's latest entry is its latest date among them.
std::vector<PastEntry> latestOfRecentDescriptions(db::Connection& conn, int recentEntries, int most)
{
    db::Statement rows = conn.prepare(entryColumns(conn) + QStringLiteral("ORDER BY mlId DESC LIMIT ?"));
    rows.bind(0, qint64(recentEntries));
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
            if (found.size() == size_t(most))
                break;
            positions.emplace(text, found.size());
            found.push_back(pastEntry(rows));
            dates.emplace_back(date);
        } else if (date > dates[known->second]) { // on the same date the later entry, read first, stays
            found[known->second] = pastEntry(rows);
            dates[known->second] = date;
        }
    }
    return found;
}

} // namespace

DescriptionHistory DescriptionHistory::read(db::Connection& conn)
{
    std::optional<std::vector<PastEntry>> whole;
    if (hasDescriptionIndex(conn))
        whole = latestOfEachDescription(conn, MostDescriptions);
    std::vector<PastEntry> found =
        whole ? std::move(*whole) : latestOfRecentDescriptions(conn, RecentEntries, MostDescriptions);
    std::stable_sort(found.begin(), found.end(), [](const PastEntry& a, const PastEntry& b) {
        if (a.imported != b.imported)
            return b.imported;
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

int DescriptionHistory::position(const QString& typed) const
{
    const QString wanted = search::foldText(typed.trimmed());
    if (wanted.isEmpty())
        return -1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (QStringView(m_folded[i]).trimmed() == wanted)
            return int(i);
    }
    return -1;
}

} // namespace movilibro
