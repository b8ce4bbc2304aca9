#pragma once

#include "db/periods.h"
#include "format/currency.h"

#include <QDate>
#include <QString>

#include <vector>

namespace movilibro::charts {

// One entry as the charts count it; amounts in ten-thousandths, an empty
// amount as 0.
struct ChartEntry
{
    qint64 day = 0;  // QDate::toJulianDay()
    int account = 0; // index into ChartInput::accounts
    qint64 incomes = 0;
    qint64 outgoings = 0;
};

// The entries of a period, as the journal grid shows them.
struct ChartInput
{
    DateRange period;
    int kind = 0; // date grouping, 0 months .. 4 half years
    std::vector<QString> accounts;
    std::vector<ChartEntry> entries;
};

// Chart 1: the progressive balance at the end of each day of the period,
// starting from 0 on its first day as the grid's balance does.
struct BalanceSeries
{
    QDate first;
    std::vector<Currency> total; // one per day
    std::vector<QString> accounts;
    std::vector<std::vector<Currency>> perAccount; // [account][day]

    int dayCount() const { return int(total.size()); }
    QDate dayAt(int i) const { return first.addDays(i); }
};

// Chart 2: one bar pair per grouping period the selected period touches,
// oldest first, with the grid's group caption.
struct FlowBar
{
    QString key;
    QString caption;
    Currency incomes;
    Currency outgoings;
    Currency net() const { return incomes - outgoings; }
};

// Chart 3: per account, sorted by the larger of the two amounts, largest first.
struct AccountBar
{
    QString account;
    Currency incomes;
    Currency outgoings;
};

struct ChartData
{
    bool empty = true;
    BalanceSeries balance;
    std::vector<FlowBar> flows;
    std::vector<AccountBar> accounts;
};

// Throws CurrencyOverflow when a sum leaves the currency's range. The lines
// per account take a value per day and account: only when asked for.
BalanceSeries balanceSeries(const ChartInput& input, bool perAccount = true);
std::vector<FlowBar> flowSeries(const ChartInput& input);
std::vector<AccountBar> accountSeries(const ChartInput& input);
ChartData chartData(const ChartInput& input, bool perAccount = true);

} // namespace movilibro::charts
