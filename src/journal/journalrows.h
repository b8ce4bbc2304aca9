#pragma once

#include "db/periods.h"
#include "format/currency.h"
#include "journal/griddata.h"
#include "journal/gridrows.h"
#include "journal/journalcolumns.h"
#include "search/searchindex.h"
#include "search/searchquery.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <optional>

namespace movilibro::journal {

// One entry of the journal as loaded, with its progressive balance.
struct Entry
{
    qint64 id = 0;
    QDate date;
    QString period; // the period key of the date grouping: 201003, 20102
    QString account;
    QString description;
    std::optional<Currency> incomes;
    std::optional<Currency> outgoings;
    Currency balance;
};

// The journal as every view shows it: the entries of a period, grouped by the
// layout (an all-entries group, then period and account as the layout says),
// newest first inside each group, each with the progressive balance of its
// innermost group, narrowed by the search filter. The grid, the report, the
// exports and the charts all read these rows, so they cannot disagree.
//
// Rows are read by display position p, 1..rowCount(), as GridRows gives them;
// entries by data index k, 1..entryCount(), in the order they were loaded.
class JournalRows
{
public:
    JournalRows();
    JournalRows(const JournalRows&) = delete;
    JournalRows& operator=(const JournalRows&) = delete;

    // Reads the entries of the period (the rows stay empty until arrange());
    // returns how many. Throws db::DbError, leaving no entries.
    int load(const QString& connString, int kind, const DateRange& period);
    // Groups by the layout (0 none, 1 period, 2 account, 3 period then
    // account, 4 account then period), sorts, applies the filter and computes
    // the balances. Throws CurrencyOverflow when a balance leaves the range.
    void arrange(int layout);
    // No entries, no rows; the filter stays.
    void clear();

    // The search filter, kept across load() and arrange() until changed.
    // While it is active only the matching entries are laid out, with sums
    // and balances over them; applying it never reads the journal or sorts
    // again. Throws search::SearchError (and keeps the previous filter), or
    // CurrencyOverflow as arrange().
    void setFilter(const search::Filter& filter);
    const search::Filter& filter() const { return m_filter; }
    bool isFiltered() const { return m_filter.isActive(); }
    // Entries laid out: those the filter lets through, or all of them.
    int shownEntries() const { return m_shown; }

    int kind() const { return m_kind; }
    const DateRange& period() const { return m_period; }
    int layout() const { return m_layout; }
    bool isArranged() const { return m_arranged; }

    // --- Entries, by data index k --------------------------------------
    int entryCount() const { return m_data.rowCount(); }
    Entry entry(int k) const;
    Currency balance(int k) const { return m_data.currency(JournalColumn::Saldo, k).value_or(Currency()); }

    // --- Laid-out rows, by display position p ---------------------------
    int rowCount() const { return m_rows.displayRowCount(); }
    RowType rowType(int p) const { return m_rows.rowType(p); }
    // Headers and totals: their group's level (1 is the all-entries group);
    // entries: the number of levels.
    int level(int p) const { return m_rows.level(p); }
    // The entry's data index, 0 for headers and totals.
    int dataIndex(int p) const { return m_rows.dataIndex(p); }
    qint64 entryId(int p) const;
    // Headers and totals: the group's caption ("Movilibro  [Saldo: 80,00]",
    // "marzo 2010", the account); entries: empty.
    QString caption(int p) const;
    // Sum of Entrate or Uscite over the row's group. Throws CurrencyOverflow.
    Currency groupSum(int p, int column) const { return m_rows.groupSum(p, column); }
    QVariant value(int p, int column) const { return m_rows.value(p, column); }

    // The day of the statement the entry k was reconciled with, if it was.
    std::optional<QDate> reconciledOn(int k) const;
    // Some entry of the period was reconciled.
    bool hasReconciled() const { return !m_reconciled.isEmpty(); }

    const GridData& data() const { return m_data; }
    const GridRows& rows() const { return m_rows; }

private:
    void computeBalances();
    void applyFilter();
    QString balanceCaption(int p) const;
    QString filterCaption(int p) const;

    GridData m_data;
    GridRows m_rows{m_data};
    int m_kind = 0;
    DateRange m_period;
    int m_layout = 0;
    bool m_arranged = false;
    int m_shown = 0;
    search::Filter m_filter;
    search::Query m_query;
    search::SearchIndex m_index;
    QHash<qint64, QDate> m_reconciled; // by entry id
};

} // namespace movilibro::journal
