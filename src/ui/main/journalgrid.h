#pragma once

#include "db/periods.h"
#include "search/searchindex.h"
#include "search/searchquery.h"

#include <QString>

namespace movilibro::grid {
class GroupedGrid;
class RowFormat;
} // namespace movilibro::grid

namespace movilibro {

// Columns of the journal grid's data array.
namespace JournalColumn {
enum : int
{
    Icon = 1,
    Periodo,
    Conto,
    Data,
    Descrizione,
    Entrate,
    Uscite,
    Saldo,
    Id
};
}

// Fills the journal grid from the listing query: data array, groups of the
// layout, newest entries first, the progressive balance, and the captions and
// red balances drawn by the row-format hook.
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
    void setDateGrouping(int kind) { m_kind = kind; }

    // The search filter, kept across load() and arrange() until changed.
    // While it is active the grid shows only the matching entries, with
    // totals and balances over them; applying it never reads the journal or
    // sorts again. The current entry stays current when still shown.
    // Throws search::SearchError (and keeps the previous filter).
    void setFilter(const search::Filter& filter);
    const search::Filter& filter() const { return m_filter; }
    bool isFiltered() const { return m_filter.isActive(); }
    // Entries the filter lets through (all of them when it is not active).
    int shownEntries() const { return m_shown; }

    void formatRow(grid::RowFormat& row) const;

private:
    void defineColumns();
    void computeBalances();
    void applyFilter();
    QString filterCaption(const grid::RowFormat& row) const;

    grid::GroupedGrid& m_gex;
    int m_kind = 0;
    bool m_arranged = false;
    int m_shown = 0;
    search::Filter m_filter;
    search::Query m_query;
    search::SearchIndex m_index;
};

} // namespace movilibro
