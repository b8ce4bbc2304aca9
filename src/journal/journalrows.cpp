#include "journal/journalrows.h"

#include "db/connection.h"
#include "format/formatengine.h"
#include "journal/reconciledmarks.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace movilibro::journal {

namespace C = JournalColumn;

namespace {

const QString CaptionBalanceFormat = QStringLiteral("#,#0.00;-#,#0.00;0.00 ;0.00");
const QString FilterTotalsFormat = QStringLiteral("#,#0.00;-#,#0.00;0.00;0.00");

// Account names and period keys repeat on many rows: each is decoded once,
// and rows hold its number in the pooled column.
class TextPool
{
public:
    TextPool(GridData& data, int column) : m_data(data), m_column(column) {}

    quint32 id(QByteArrayView utf8)
    {
        const std::string key(utf8.data(), size_t(utf8.size()));
        auto it = m_ids.find(key);
        if (it == m_ids.end())
            it = m_ids.emplace(key, m_data.textId(m_column, QString::fromUtf8(utf8))).first;
        return it->second;
    }

private:
    GridData& m_data;
    int m_column;
    std::unordered_map<std::string, quint32> m_ids;
};

std::optional<Currency> amount(const db::Statement& st, int col)
{
    if (st.isNull(col) || !st.isInteger(col))
        return std::nullopt;
    return Currency::fromRaw(st.int64(col));
}

} // namespace

JournalRows::JournalRows()
{
    clear();
}

void JournalRows::clear()
{
    m_arranged = false;
    m_shown = 0;
    m_index.clear();
    m_reconciled.clear();
    m_rows.clear();
    m_data.clear();
    m_data.setColumnCount(C::Count);
    for (int col = 1; col <= C::Count; ++col)
        m_data.setColumnType(col, journalColumnType(col));
    for (int col : {C::Icon, C::Periodo, C::Conto})
        m_data.setTextPooled(col);
}

int JournalRows::load(const QString& connString, int kind, const DateRange& period)
{
    clear();
    m_kind = kind;
    m_period = period;
    try {
        db::Connection conn = db::Connection::openConnString(connString, db::Connection::Mode::ReadOnly);
        db::Statement st = conn.prepareJet(listingQuery(kind, period));
        TextPool periods(m_data, C::Periodo);
        TextPool accounts(m_data, C::Conto);
        // Columns of the listing: mlPeriodo, mlConto, mlData, mlDescrizione, mlEntrate, mlUscite, mlId.
        while (st.step()) {
            const int k = m_data.appendRow();
            m_data.setTextId(C::Periodo, k, periods.id(st.utf8(0)));
            m_data.setTextId(C::Conto, k, accounts.id(st.utf8(1)));
            m_data.setDate(C::Data, k, st.date(2));
            m_data.setText(C::Descrizione, k, st.text(3));
            m_data.setCurrency(C::Entrate, k, amount(st, 4));
            m_data.setCurrency(C::Uscite, k, amount(st, 5));
            m_data.setCurrency(C::Saldo, k, Currency());
            m_data.setId(C::Id, k, st.int64(6));
        }
        m_reconciled = reconciledEntries(conn, period);
    } catch (...) {
        m_data.setRowCount(0);
        throw;
    }
    return m_data.rowCount();
}

std::optional<QDate> JournalRows::reconciledOn(int k) const
{
    const auto mark = m_reconciled.constFind(m_data.id(C::Id, k));
    return mark == m_reconciled.cend() ? std::nullopt : std::optional<QDate>(*mark);
}

void JournalRows::arrange(int layout)
{
    m_layout = layout;
    m_rows.clearGroups();
    m_rows.clearSortKeys();
    m_rows.addGroup(C::Icon);
    switch (layout) {
    case 1:
        m_rows.addGroup(C::Periodo);
        break;
    case 2:
        m_rows.addGroup(C::Conto);
        break;
    case 3:
        m_rows.addGroup(C::Periodo);
        m_rows.addGroup(C::Conto);
        break;
    case 4:
        m_rows.addGroup(C::Conto);
        m_rows.addGroup(C::Periodo);
        break;
    default:
        break;
    }
    m_rows.addSortKey(C::Data, true);
    m_rows.addSortKey(C::Id, true);
    m_rows.rebuild();
    m_arranged = true;
    m_shown = m_data.rowCount();
    if (isFiltered())
        applyFilter();
    computeBalances();
}

void JournalRows::setFilter(const search::Filter& filter)
{
    search::Query query = search::Query::parse(filter);
    const bool wasFiltered = isFiltered();
    m_filter = filter;
    m_query = std::move(query);
    if (!m_arranged || (!wasFiltered && !isFiltered()))
        return;
    if (isFiltered()) {
        applyFilter();
    } else {
        m_rows.filterEntries({});
        m_shown = m_data.rowCount();
    }
    computeBalances();
}

// The folded texts are made at the first search after a load, then reused.
void JournalRows::applyFilter()
{
    if (!m_index.isBuilt()) {
        const GridData::TextKeys accounts = m_data.textKeys(C::Conto);
        m_index.build(m_data.texts(C::Descrizione), accounts.ids, accounts.distinct);
    }
    std::vector<quint8> keep = m_index.match(m_query, m_data.numbers(C::Entrate), m_data.nulls(C::Entrate),
                                             m_data.numbers(C::Uscite), m_data.nulls(C::Uscite));
    m_shown = int(std::count(keep.begin(), keep.end(), quint8(1)));
    m_rows.filterEntries(std::move(keep));
}

// From the bottom up, so each entry carries the balance of its innermost group
// from the group's oldest entry up to itself.
void JournalRows::computeBalances()
{
    Currency balance;
    for (int p = m_rows.displayRowCount(); p >= 1; --p) {
        const RowType type = m_rows.rowType(p);
        if (type == RowType::GroupHeader) {
            balance = Currency();
        } else if (type == RowType::Entry) {
            const int k = m_rows.dataIndex(p);
            balance += m_data.currency(C::Entrate, k).value_or(Currency());
            balance -= m_data.currency(C::Uscite, k).value_or(Currency());
            m_data.setCurrency(C::Saldo, k, balance);
        }
    }
}

Entry JournalRows::entry(int k) const
{
    return {m_data.id(C::Id, k),
            m_data.date(C::Data, k),
            m_data.text(C::Periodo, k),
            m_data.text(C::Conto, k),
            m_data.text(C::Descrizione, k),
            m_data.currency(C::Entrate, k),
            m_data.currency(C::Uscite, k),
            balance(k)};
}

qint64 JournalRows::entryId(int p) const
{
    const int k = m_rows.dataIndex(p);
    return k > 0 && k <= m_data.rowCount() ? m_data.id(C::Id, k) : 0;
}

QString JournalRows::caption(int p) const
{
    if (m_rows.rowType(p) == RowType::Entry)
        return QString();
    switch (m_rows.groupColumnOf(p)) {
    case C::Icon:
        return isFiltered() ? filterCaption(p) : balanceCaption(p);
    case C::Periodo:
        return periodCaption(m_rows.caption(p), m_kind);
    default:
        return m_rows.caption(p);
    }
}

QString JournalRows::balanceCaption(int p) const
{
    QString saldo;
    try {
        saldo = Format::number(groupSum(p, C::Entrate) - groupSum(p, C::Uscite), CaptionBalanceFormat);
    } catch (const CurrencyOverflow&) {
        saldo = QStringLiteral("fuori scala");
    }
    return QStringLiteral("Movilibro  [Saldo: ") + saldo + u']';
}

QString JournalRows::filterCaption(int p) const
{
    QString totals;
    try {
        const Currency in = groupSum(p, C::Entrate);
        const Currency out = groupSum(p, C::Uscite);
        totals = QStringLiteral(" · Entrate ") + Format::number(in, FilterTotalsFormat) +
                 QStringLiteral(" · Uscite ") + Format::number(out, FilterTotalsFormat) +
                 QStringLiteral(" · Saldo ") + Format::number(in - out, FilterTotalsFormat);
    } catch (const CurrencyOverflow&) {
        totals = QStringLiteral(" · importi fuori scala");
    }
    const QString count =
        m_shown == 1 ? QStringLiteral("1 registrazione") : QStringLiteral("%1 registrazioni").arg(m_shown);
    return QStringLiteral("Movilibro  [Filtro: ") + m_filter.describe() + QStringLiteral(" · ") + count +
           totals + u']';
}

} // namespace movilibro::journal
