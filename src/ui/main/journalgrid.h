#pragma once

#include "db/periods.h"

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

    void formatRow(grid::RowFormat& row) const;

private:
    void defineColumns();
    void computeBalances();

    grid::GroupedGrid& m_gex;
    int m_kind = 0;
};

} // namespace movilibro
