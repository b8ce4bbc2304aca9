#include "journalfixture.h"

#include <QApplication>
#include <QPalette>

namespace movilibro::grid::test {

QList<Entry> threeEntries()
{
    return {
        {"201003", "Cassa", QDate(2010, 3, 1), "A", Currency::fromUnits(100), std::nullopt, 5},
        {"201003", "banca", QDate(2010, 3, 5), "B", std::nullopt, Currency::fromUnits(30), 7},
        {"201003", "Cassa", QDate(2010, 3, 5), "C", Currency::fromUnits(10), std::nullopt, 9},
    };
}

void fillJournal(GridData& data, const QList<Entry>& entries)
{
    data.setColumnCount(9);
    data.setColumnType(Date, ColumnType::Date);
    data.setColumnType(MoneyIn, ColumnType::Currency);
    data.setColumnType(MoneyOut, ColumnType::Currency);
    data.setColumnType(Balance, ColumnType::Currency);
    data.setColumnType(EntryId, ColumnType::Id);
    data.setRowCount(int(entries.size()));
    for (int k = 1; k <= entries.size(); ++k) {
        const Entry& e = entries[k - 1];
        data.setText(Icon, k, QString());
        data.setText(Period, k, e.period);
        data.setText(Account, k, e.account);
        data.setDate(Date, k, e.date);
        data.setText(Description, k, e.description);
        data.setCurrency(MoneyIn, k, e.moneyIn);
        data.setCurrency(MoneyOut, k, e.moneyOut);
        data.setCurrency(Balance, k, Currency());
        data.setId(EntryId, k, e.id);
    }
}

void setUpJournalGrid(GroupedGrid& grid, const QList<Entry>& entries, int layout)
{
    const QString amounts = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
    grid.addStyle("OddRow", QColor(241, 255, 232));
    grid.addStyle("EvenRow", QColor(255, 240, 240));
    grid.addStyle("RowGroup", QColor(252, 252, 252), QApplication::palette().color(QPalette::ButtonText));
    grid.addStyle("rosso", QColor(), QColor(255, 0, 0));
    grid.setGroupRowStyle("RowGroup");

    grid.setRowCount(0);
    fillJournal(grid.data(), entries);
    const char* keys[] = {"mlIcon",    "mlPeriodo", "mlConto", "mlData", "mlDescrizione",
                          "mlEntrate", "mlUscite",  "mlSaldo", "mlId"};
    for (int c = 1; c <= 9; ++c)
        grid.setColumnKey(c, keys[c - 1]);
    grid.setColumnVisible(Icon, false);
    grid.setColumnVisible(Period, false);
    grid.setColumnVisible(EntryId, false);
    grid.setColumnCaption(Account, "Conto");
    grid.setColumnCaption(Date, "Data");
    grid.setColumnCaption(Description, "Descrizione");
    grid.setColumnCaption(MoneyIn, "Entrate");
    grid.setColumnCaption(MoneyOut, "Uscite");
    grid.setColumnCaption(Balance, "Saldo prog.vo");
    for (int c : {MoneyIn, MoneyOut}) {
        grid.setColumnFormat(c, amounts);
        grid.setColumnTotalFormat(c, amounts);
        grid.setColumnAlignment(c, Qt::AlignRight);
    }
    grid.setColumnFormat(Balance, "#,##0.00 ;#,##0.00 ;0.00 ;0.00 ;");
    grid.setColumnAlignment(Balance, Qt::AlignRight);
    grid.setColumnStyle(MoneyIn, "OddRow");
    grid.setColumnStyle(MoneyOut, "EvenRow");
    addJournalGroups(grid, layout);
    grid.rebuild();
    storeBalances(grid);
    grid.refreshRows();
    grid.setCurrentRow(1);
}

void storeBalances(GroupedGrid& grid)
{
    Currency balance;
    for (int p = grid.displayRowCount(); p >= 1; --p) {
        if (grid.rowType(p) == RowType::GroupHeader) {
            balance = Currency();
        } else if (grid.rowType(p) == RowType::Entry) {
            const int k = grid.dataIndex(p);
            balance += grid.data().currency(MoneyIn, k).value_or(Currency());
            balance -= grid.data().currency(MoneyOut, k).value_or(Currency());
            grid.data().setCurrency(Balance, k, balance);
        }
    }
}

QStringList rowTokens(const GridRows& rows, const GridData& data)
{
    QStringList tokens;
    for (int p = 1; p <= rows.displayRowCount(); ++p) {
        const QString level = QString::number(rows.level(p));
        switch (rows.rowType(p)) {
        case RowType::GroupHeader:
            tokens << "H" + level + ":" + rows.caption(p);
            break;
        case RowType::Entry:
            tokens << "E" + level + ":" + data.text(Description, rows.dataIndex(p));
            break;
        case RowType::GroupTotal:
            tokens << "T" + level;
            break;
        }
    }
    return tokens;
}

} // namespace movilibro::grid::test
