#include "completion/descriptionhistory.h"

#include "db/connection.h"

#include <string>
#include <string_view>
#include <unordered_set>

namespace movilibro {

namespace {

// Lets the set of seen descriptions be probed with the bytes of a row
// without copying them first.
struct TextHash
{
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

bool isPlainAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isApostrophe(QChar c)
{
    return c == QChar(0x2019) || c == QChar(0x2018) || c == QChar(0x02BC) || c == QChar(0x00B4) ||
           c == QChar(0x0060);
}

} // namespace

QString foldForMatching(const QString& text)
{
    if (isPlainAscii(text))
        return text.toLower();
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        folded += isApostrophe(c) ? QChar(u'\'') : c;
    }
    return folded.toCaseFolded();
}

DescriptionHistory DescriptionHistory::read(db::Connection& conn, int recentEntries)
{
    // Newest first through the date index; the first row of a description is its latest entry.
    db::Statement rows = conn.prepare(
        QStringLiteral("SELECT mlDescrizione, mlData, mlConto, mlEntrate, mlUscite FROM Movilibro "
                       "ORDER BY mlData DESC, mlId DESC LIMIT ?"));
    rows.bind(0, qint64(recentEntries));
    DescriptionHistory history;
    std::unordered_set<std::string, TextHash, std::equal_to<>> seen;
    while (rows.step()) {
        const QByteArrayView utf8 = rows.utf8(0);
        const std::string_view text(utf8.data(), size_t(utf8.size()));
        if (text.empty() || seen.contains(text))
            continue;
        seen.emplace(text);
        history.add({QString::fromUtf8(utf8), rows.date(1), rows.int64(2), rows.isNull(3) ? 0 : rows.int64(3),
                     rows.isNull(4) ? 0 : rows.int64(4)});
    }
    return history;
}

void DescriptionHistory::add(PastEntry entry)
{
    m_folded.push_back(foldForMatching(entry.description));
    m_entries.push_back(std::move(entry));
}

std::vector<int> DescriptionHistory::matching(const QString& typed, int limit) const
{
    std::vector<int> found;
    const QString wanted = foldForMatching(typed);
    for (size_t i = 0; i < m_folded.size() && int(found.size()) < limit; ++i) {
        if (m_folded[i].contains(wanted))
            found.push_back(int(i));
    }
    return found;
}

} // namespace movilibro
