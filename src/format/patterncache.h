#pragma once

#include <QString>

#include <array>

namespace movilibro::Format {

// The last few patterns seen, already parsed. Formatting runs for every row
// drawn and every row a query reads, always with the same handful of
// patterns; meant to be held thread_local, so it needs no lock.
template <typename Parsed> class PatternCache
{
public:
    using Parser = Parsed (*)(const QString&);

    explicit PatternCache(Parser parser) : m_parser(parser) {}

    const Parsed& get(const QString& pattern)
    {
        for (std::size_t i = 0; i < m_used; ++i) {
            if (m_entries[i].pattern == pattern)
                return m_entries[i].parsed;
        }
        Entry& slot =
            m_used < m_entries.size() ? m_entries[m_used++] : m_entries[m_next++ % m_entries.size()];
        slot.pattern = pattern;
        slot.parsed = m_parser(pattern);
        return slot.parsed;
    }

private:
    struct Entry
    {
        QString pattern;
        Parsed parsed;
    };

    Parser m_parser;
    std::array<Entry, 16> m_entries;
    std::size_t m_used = 0;
    std::size_t m_next = 0;
};

} // namespace movilibro::Format
