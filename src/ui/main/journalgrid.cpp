#include "ui/main/journalgrid.h"

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "format/formatengine.h"
#include "ui/grid/groupedgrid.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace movilibro {

using grid::ColumnType;
using grid::GroupedGrid;
using grid::RowType;
namespace C = JournalColumn;

namespace {

const QString AmountFormat = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
const QString BalanceFormat = QStringLiteral("#,##0.00 ;#,##0.00 ;0.00 ;0.00 ;");
const QString CaptionBalanceFormat = QStringLiteral("#,#0.00;-#,#0.00;0.00 ;0.00");

// Account names and period keys repeat on many rows: one QString each, shared.
class TextPool
{
public:
    const QString& get(QByteArrayView utf8)
    {
        const std::string_view key(utf8.data(), size_t(utf8.size()));
        auto it = m_pool.find(std::string(key));
        if (it == m_pool.end())
            it = m_pool.emplace(std::string(key), QString::fromUtf8(utf8)).first;
        return it->second;
    }

private:
    std::unordered_map<std::string, QString> m_pool;
};

std::optional<Currency> amount(const db::Statement& st, int col)
{
    if (st.isNull(col) || !st.isInteger(col))
        return std::nullopt;
    return Currency::fromRaw(st.int64(col));
}

struct ColumnDesign
{
    const char* key;
    const char* caption;
    int width;
    bool visible;
    ColumnType type;
    Qt::Alignment alignment;
};

constexpr ColumnDesign Design[] = {
    {"mlIcon", "", 100, false, ColumnType::Text, Qt::AlignLeft},
    {"mlPeriodo", "", 100, false, ColumnType::Text, Qt::AlignLeft},
    {"mlConto", "Conto", 120, true, ColumnType::Text, Qt::AlignLeft},
    {"mlData", "Data", 83, true, ColumnType::Date, Qt::AlignLeft},
    {"mlDescrizione", "Descrizione", 267, true, ColumnType::Text, Qt::AlignLeft},
    {"mlEntrate", "Entrate", 83, true, ColumnType::Currency, Qt::AlignRight},
    {"mlUscite", "Uscite", 83, true, ColumnType::Currency, Qt::AlignRight},
    {"mlSaldo", "Saldo prog.vo", 96, true, ColumnType::Currency, Qt::AlignRight},
    {"mlId", "", 100, false, ColumnType::Id, Qt::AlignLeft},
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
    m_gex.setGroupRowStyle(QStringLiteral("RowGroup"));
    defineColumns();
    m_gex.setRowFormatHook([this](grid::RowFormat& row) { formatRow(row); });
}

void JournalGrid::defineColumns()
{
    auto& data = m_gex.data();
    data.setColumnCount(9);
    for (int col = 1; col <= 9; ++col) {
        const ColumnDesign& d = Design[col - 1];
        data.setColumnType(col, d.type);
        grid::GridColumn column;
        column.key = QString::fromLatin1(d.key);
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
    m_kind = kind;
    m_arranged = false;
    m_index.clear();
    m_gex.setRowCount(0);
    db::Connection conn = db::Connection::openConnString(connString, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepareJet(listingQuery(kind, period));
    auto& data = m_gex.data();
    TextPool pool;
    // Columns of the listing: mlPeriodo, mlConto, mlData, mlDescrizione, mlEntrate, mlUscite, mlId.
    while (st.step()) {
        const int k = data.appendRow();
        data.setText(C::Periodo, k, pool.get(st.utf8(0)));
        data.setText(C::Conto, k, pool.get(st.utf8(1)));
        data.setDate(C::Data, k, st.date(2));
        data.setText(C::Descrizione, k, st.text(3));
        data.setCurrency(C::Entrate, k, amount(st, 4));
        data.setCurrency(C::Uscite, k, amount(st, 5));
        data.setCurrency(C::Saldo, k, Currency());
        data.setId(C::Id, k, st.int64(6));
    }
    return data.rowCount();
}

void JournalGrid::arrange(int layout)
{
    m_gex.clearGroups();
    m_gex.clearSortKeys();
    m_gex.addGroup(C::Icon);
    switch (layout) {
    case 1:
        m_gex.addGroup(C::Periodo);
        break;
    case 2:
        m_gex.addGroup(C::Conto);
        break;
    case 3:
        m_gex.addGroup(C::Periodo);
        m_gex.addGroup(C::Conto);
        break;
    case 4:
        m_gex.addGroup(C::Conto);
        m_gex.addGroup(C::Periodo);
        break;
    default:
        break;
    }
    m_gex.addSortKey(C::Data, true);
    m_gex.addSortKey(C::Id, true);
    m_gex.rebuild();
    m_arranged = true;
    m_shown = m_gex.rowCount();
    m_gex.setColumnCaption(C::Saldo, QString::fromLatin1(Design[C::Saldo - 1].caption));
    if (isFiltered())
        applyFilter();
    computeBalances();
    m_gex.refreshRows();
}

void JournalGrid::setFilter(const search::Filter& filter)
{
    search::Query query = search::Query::parse(filter);
    const bool wasFiltered = isFiltered();
    m_filter = filter;
    m_query = std::move(query);
    if (!m_arranged || (!wasFiltered && !isFiltered()))
        return;
    const int current = m_gex.currentRow();
    const int entry = current > 0 ? m_gex.dataIndex(current) : 0;
    if (isFiltered()) {
        applyFilter();
    } else {
        m_gex.filterEntries({});
        m_gex.setColumnCaption(C::Saldo, QString::fromLatin1(Design[C::Saldo - 1].caption));
        m_shown = m_gex.rowCount();
    }
    computeBalances();
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

// The folded texts are made at the first search after a load, then reused.
void JournalGrid::applyFilter()
{
    const auto& data = m_gex.data();
    if (!m_index.isBuilt())
        m_index.build(data.texts(C::Descrizione), data.texts(C::Conto));
    std::vector<quint8> keep = m_index.match(m_query, data.numbers(C::Entrate), data.nulls(C::Entrate),
                                             data.numbers(C::Uscite), data.nulls(C::Uscite));
    m_shown = int(std::count(keep.begin(), keep.end(), quint8(1)));
    m_gex.filterEntries(std::move(keep));
    m_gex.setColumnCaption(C::Saldo, QStringLiteral("Saldo filtro"));
}

// From the bottom up, so each entry carries the balance of its innermost group
// from the group's oldest entry up to itself.
void JournalGrid::computeBalances()
{
    auto& data = m_gex.data();
    Currency balance;
    for (int p = m_gex.displayRowCount(); p >= 1; --p) {
        const RowType type = m_gex.rowType(p);
        if (type == RowType::GroupHeader) {
            balance = Currency();
        } else if (type == RowType::Entry) {
            const int k = m_gex.dataIndex(p);
            balance += data.currency(C::Entrate, k).value_or(Currency());
            balance -= data.currency(C::Uscite, k).value_or(Currency());
            data.setCurrency(C::Saldo, k, balance);
        }
    }
}

void JournalGrid::formatRow(grid::RowFormat& row) const
{
    if (row.type() == RowType::Entry) {
        const auto balance = m_gex.data().currency(C::Saldo, row.dataIndex());
        if (balance && balance->isNegative())
            row.setCellStyle(C::Saldo, QStringLiteral("rosso"));
        return;
    }
    row.setRowAttribute(380);
    if (row.type() != RowType::GroupHeader)
        return;
    const QString key = m_gex.column(row.groupColumn()).key;
    if (key == u"mlIcon" && isFiltered()) {
        row.setCaption(filterCaption(row));
    } else if (key == u"mlIcon") {
        QString saldo;
        try {
            saldo = Format::number(row.groupSum(C::Entrate) - row.groupSum(C::Uscite), CaptionBalanceFormat);
        } catch (const CurrencyOverflow&) {
            saldo = QStringLiteral("fuori scala");
        }
        row.setCaption(QStringLiteral("Movilibro  [Saldo: ") + saldo + u']');
    } else if (key == u"mlPeriodo") {
        row.setCaption(periodCaption(row.caption(), m_kind));
    }
}

QString JournalGrid::filterCaption(const grid::RowFormat& row) const
{
    const QString pattern = QStringLiteral("#,#0.00;-#,#0.00;0.00;0.00");
    QString totals;
    try {
        const Currency in = row.groupSum(C::Entrate);
        const Currency out = row.groupSum(C::Uscite);
        totals = QStringLiteral(" · Entrate ") + Format::number(in, pattern) + QStringLiteral(" · Uscite ") +
                 Format::number(out, pattern) + QStringLiteral(" · Saldo ") +
                 Format::number(in - out, pattern);
    } catch (const CurrencyOverflow&) {
        totals = QStringLiteral(" · importi fuori scala");
    }
    const QString count =
        m_shown == 1 ? QStringLiteral("1 registrazione") : QStringLiteral("%1 registrazioni").arg(m_shown);
    return QStringLiteral("Movilibro  [Filtro: ") + m_filter.describe() + QStringLiteral(" · ") + count +
           totals + u']';
}

} // namespace movilibro
