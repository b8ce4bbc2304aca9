#include "ui/main/journalgrid.h"

#include "ui/grid/groupedgrid.h"

#include <QIcon>

namespace movilibro {

using grid::GroupedGrid;
using journal::RowType;
namespace C = journal::JournalColumn;

namespace {

const QString AmountFormat = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
const QString BalanceFormat = QStringLiteral("#,##0.00 ;#,##0.00 ;0.00 ;0.00 ;");
const QString BalanceCaption = QStringLiteral("Saldo prog.vo");
// A mark before the description: no column changes its width.
const QString ReconciledStyle = QStringLiteral("riscontrata");

struct ColumnDesign
{
    const char* caption;
    int width;
    bool visible;
    Qt::Alignment alignment;
};

constexpr ColumnDesign Design[] = {
    {"", 100, false, Qt::AlignLeft},           {"", 100, false, Qt::AlignLeft},
    {"Conto", 120, true, Qt::AlignLeft},       {"Data", 83, true, Qt::AlignLeft},
    {"Descrizione", 267, true, Qt::AlignLeft}, {"Entrate", 83, true, Qt::AlignRight},
    {"Uscite", 83, true, Qt::AlignRight},      {"Saldo prog.vo", 96, true, Qt::AlignRight},
    {"", 100, false, Qt::AlignLeft},
};

} // namespace

JournalGrid::JournalGrid(GroupedGrid& gex) : m_gex(gex) {}

void JournalGrid::setUp()
{
    m_gex.addStyle(QStringLiteral("OddRow"), QColor(241, 255, 232));
    m_gex.addStyle(QStringLiteral("EvenRow"), QColor(255, 240, 240));
    m_gex.addStyle(QStringLiteral("RowGroup"), QColor(252, 252, 252),
                   m_gex.palette().color(QPalette::ButtonText));
    m_gex.addStyle(QStringLiteral("rosso"), QColor(), QColor(255, 0, 0));
    m_gex.addMarkStyle(ReconciledStyle, QIcon(QStringLiteral(":/icons/reconciled.svg")),
                       QStringLiteral("Riscontrata con un estratto"));
    m_gex.setGroupRowStyle(QStringLiteral("RowGroup"));
    m_gex.showRows(&m_journal.rows());
    defineColumns();
    m_gex.setRowFormatHook([this](grid::RowFormat& row) { formatRow(row); });
}

void JournalGrid::defineColumns()
{
    for (int col = 1; col <= C::Count; ++col) {
        const ColumnDesign& d = Design[col - 1];
        grid::GridColumn column;
        column.key = journal::journalColumnKey(col);
        column.caption = QString::fromLatin1(d.caption);
        column.width = d.width;
        column.visible = d.visible;
        column.alignment = d.alignment;
        m_gex.setColumn(col, column);
    }
    m_gex.setColumnFormat(C::Entrate, AmountFormat);
    m_gex.setColumnFormat(C::Uscite, AmountFormat);
    m_gex.setColumnFormat(C::Saldo, BalanceFormat);
    m_gex.setColumnTotalFormat(C::Entrate, AmountFormat);
    m_gex.setColumnTotalFormat(C::Uscite, AmountFormat);
    m_gex.setColumnStyle(C::Entrate, QStringLiteral("OddRow"));
    m_gex.setColumnStyle(C::Uscite, QStringLiteral("EvenRow"));
    // The description gives up width to the tree of deeper groupings.
    m_gex.setFillColumn(C::Descrizione);
}

int JournalGrid::load(const QString& connString, int kind, const DateRange& period)
{
    int count = 0;
    m_gex.changeRows([&] { count = m_journal.load(connString, kind, period); });
    return count;
}

void JournalGrid::arrange(int layout)
{
    m_gex.changeRows([&] { m_journal.arrange(layout); });
    showBalanceCaption();
    m_gex.refreshRows();
}

void JournalGrid::clear()
{
    m_gex.changeRows([&] { m_journal.clear(); });
}

void JournalGrid::setFilter(const search::Filter& filter)
{
    const bool relayout = m_journal.isArranged() && (m_journal.isFiltered() || filter.isActive());
    if (!relayout) {
        m_journal.setFilter(filter);
        return;
    }
    // A filter that cannot be read leaves the grid as it is, current row included.
    search::Query::parse(filter);
    const int current = m_gex.currentRow();
    const int entry = current > 0 ? m_gex.dataIndex(current) : 0;
    m_gex.changeRows([&] { m_journal.setFilter(filter); });
    showBalanceCaption();
    m_gex.refreshRows();
    int p = 1;
    for (int row = 1; entry > 0 && row <= m_gex.displayRowCount(); ++row) {
        if (m_gex.dataIndex(row) == entry) {
            p = row;
            break;
        }
    }
    m_gex.setCurrentRow(m_gex.displayRowCount() > 0 ? p : 0);
}

void JournalGrid::showBalanceCaption()
{
    m_gex.setColumnCaption(C::Saldo,
                           m_journal.isFiltered() ? QStringLiteral("Saldo filtro") : BalanceCaption);
}

void JournalGrid::formatRow(grid::RowFormat& row) const
{
    if (row.type() == RowType::Entry) {
        if (m_journal.balance(row.dataIndex()).isNegative())
            row.setCellStyle(C::Saldo, QStringLiteral("rosso"));
        if (m_journal.reconciledOn(row.dataIndex()))
            row.setCellStyle(C::Descrizione, ReconciledStyle);
        return;
    }
    row.setRowAttribute(380);
    if (row.type() == RowType::GroupHeader)
        row.setCaption(m_journal.caption(row.position()));
}

} // namespace movilibro
