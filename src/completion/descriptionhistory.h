#pragma once

#include <QDate>
#include <QString>

#include <vector>

namespace movilibro {

namespace db {
class Connection;
}

// The latest entry (by date) with one description.
struct PastEntry
{
    QString description;
    QDate date;
    qint64 id = 0;
    qint64 account = 0;
    qint64 in = 0; // ten-thousandths; an empty amount reads as 0
    qint64 out = 0;
    bool imported = false; // brought by a bank statement, not typed
};

// Descriptions typed before, for completing a new one: each once, with its
// latest entry; those the user typed first, then those bank statements
// brought, each the most recently used first.
class DescriptionHistory
{
public:
    // Every description of the journal is offered, up to MostDescriptions of
    // them; a journal with more (or one without the description index)
    // offers those of its newest RecentEntries entries, so that the editor
    // still opens at once whatever its size.
    static constexpr int RecentEntries = 200000;
    static constexpr int MostDescriptions = 20000;

    // Throws db::DbError when the journal cannot be read.
    static DescriptionHistory read(db::Connection& conn);

    const std::vector<PastEntry>& entries() const { return m_entries; }

    // Positions in entries() of the descriptions that contain `typed`
    // anywhere, ignoring case and accents; at most `limit`, newest first.
    std::vector<int> matching(const QString& typed, int limit) const;
    // The position of the description that is `typed` but for case, accents
    // and surrounding blanks; -1 when none is.
    int position(const QString& typed) const;

private:
    void add(PastEntry entry);

    std::vector<PastEntry> m_entries;
    std::vector<QString> m_folded;
};

} // namespace movilibro
