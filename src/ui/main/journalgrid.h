#pragma once

#include "db/periods.h"
#include "journal/journalrows.h"
#include "search/searchquery.h"

#include <QString>

namespace movilibro::grid {
class GroupedGrid;
class RowFormat;
} // namespace movilibro::grid

namespace movilibro {

// The journal grid: shows the journal core's rows in the grid widget, with the
// columns, styles and totals of its design, the group captions of the core and
// negative balances in red.
class JournalGrid
{
public:
    explicit JournalGrid(grid::GroupedGrid& gex);

    // Design settings: columns, styles, totals, the row-format hook.
    void setUp();
    // Loads the entries of the period; returns how many. Throws db::DbError.
    int load(const QString& connString, int kind, const DateRange& period);
    // Groups and sorts what load() read, then computes the balances.
    void arrange(int layout);
    // Shows no entries (a reload that failed).
    void clear();

    // The search filter (see JournalRows::setFilter). The current entry
    // stays current when still shown.
    void setFilter(const search::Filter& filter);
    const search::Filter& filter() const { return m_journal.filter(); }
    bool isFiltered() const { return m_journal.isFiltered(); }
    int shownEntries() const { return m_journal.shownEntries(); }

    const journal::JournalRows& rows() const { return m_journal; }

    void formatRow(grid::RowFormat& row) const;

private:
    void defineColumns();
    void showBalanceCaption();

    grid::GroupedGrid& m_gex;
    journal::JournalRows m_journal;
};

} // namespace movilibro
