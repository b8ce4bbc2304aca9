#include "ui/charts/gridselection.h"

#include "journal/journalcolumns.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/groupedgrid.h"

#include <QTreeView>

namespace movilibro::charts {

namespace {

using journal::RowType;

bool sameText(const QVariant& cell, const QString& text, Qt::CaseSensitivity cs)
{
    return cell.isValid() && cell.toString().compare(text, cs) == 0;
}

// Group headers first; entries come newest first within their groups.
bool selectRows(grid::GroupedGrid& gex, int column, const QString& text, Qt::CaseSensitivity cs)
{
    int entry = 0;
    for (int p = 1; p <= gex.displayRowCount(); ++p) {
        const RowType type = gex.rowType(p);
        if (type == RowType::GroupHeader && gex.groupColumnOf(p) == column &&
            sameText(gex.value(p, column), text, cs)) {
            gex.setCurrentRow(p);
            gex.view()->expand(gex.model()->indexOf(p));
            return true;
        }
        if (type == RowType::Entry && entry == 0 && sameText(gex.value(p, column), text, cs))
            entry = p;
    }
    if (entry == 0)
        return false;
    gex.setCurrentRow(entry);
    return true;
}

} // namespace

bool selectPeriod(grid::GroupedGrid& gex, const QString& periodKey)
{
    return selectRows(gex, journal::JournalColumn::Periodo, periodKey, Qt::CaseSensitive);
}

bool selectAccount(grid::GroupedGrid& gex, const QString& account)
{
    return selectRows(gex, journal::JournalColumn::Conto, account, Qt::CaseSensitive);
}

bool selectAccountRow(grid::GroupedGrid& accounts, const QString& account)
{
    const int column = accounts.columnIndex(QStringLiteral("cntNome"));
    for (int p = 1; column > 0 && p <= accounts.displayRowCount(); ++p) {
        if (accounts.rowType(p) == RowType::Entry &&
            sameText(accounts.value(p, column), account, Qt::CaseInsensitive)) {
            accounts.setCurrentRow(p);
            return true;
        }
    }
    return false;
}

} // namespace movilibro::charts
