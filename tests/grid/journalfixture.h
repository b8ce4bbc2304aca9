#pragma once

#include "format/currency.h"
#include "ui/grid/griddata.h"
#include "ui/grid/gridrows.h"
#include "ui/grid/groupedgrid.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace movilibro::grid::test {

// Journal columns as the main window lays them out.
enum JournalColumn
{
    Icon = 1,
    Period,
    Account,
    Date,
    Description,
    MoneyIn,
    MoneyOut,
    Balance,
    EntryId
};

struct Entry
{
    QString period;
    QString account;
    QDate date;
    QString description;
    std::optional<Currency> moneyIn;
    std::optional<Currency> moneyOut;
    qint64 id = 0;
};

// A 01/03/2010 in 100 (Cassa); B 05/03/2010 id 7 out 30 (banca);
// C 05/03/2010 id 9 in 10 (Cassa). All in period 201003.
QList<Entry> threeEntries();

void fillJournal(GridData& data, const QList<Entry>& entries);
// The all-entries group on column 1, then the layout's groups (0..4).
template <typename Grid> void addJournalGroups(Grid& grid, int layout)
{
    grid.clearGroups();
    grid.clearSortKeys();
    grid.addGroup(Icon, true);
    if (layout == 1 || layout == 3)
        grid.addGroup(Period, true);
    if (layout == 2 || layout == 3 || layout == 4)
        grid.addGroup(Account, true);
    if (layout == 4)
        grid.addGroup(Period, true);
    grid.addSortKey(Date, true);
    grid.addSortKey(EntryId, true);
}
// Columns, styles and totals of the journal grid, then groups and rebuild.
void setUpJournalGrid(GroupedGrid& grid, const QList<Entry>& entries, int layout);
// The progressive balance, as the main window computes it from the rows.
void storeBalances(GroupedGrid& grid);

// Rows as "H<level>:<caption>", "E<level>:<description>", "T<level>".
QStringList rowTokens(const GridRows& rows, const GridData& data);

} // namespace movilibro::grid::test
