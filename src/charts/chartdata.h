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
// oldest first, with the grid's group caption; a period that would give more
// than MaxBars of them gets one bar per year instead (then per ten, hundred,
// thousand years), so any period draws at once.
inline constexpr int MaxBars = 120;

enum class BarSpan
{
    Grouping, // the date grouping's periods
    Year,
    Decade,
    Century,
    Millennium
};

struct FlowBar
{
    QString key; // the grid's period key, or the first year of a longer span
    QString caption;
    QDate first; // the days the bar counts, within the selected period
    QDate last;
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
    BarSpan flowSpan = BarSpan::Grouping;
    QString flowNote; // barSpanNote() of the bars drawn
    std::vector<AccountBar> accounts;
};

// For the caption of chart 2 when its bars are not the grouping's: "Una
// colonna per anno: i mesi del periodo sono troppi per una colonna ciascuno."
QString barSpanNote(BarSpan span, int kind);

// A labelled tick of the balance chart's date axis: days for a period of a
// few weeks, month starts ("gen 2024", "feb" ...) up to three years, years
// beyond; never more than about a dozen.
struct DateTick
{
    QDate day;
    QString label;
};
std::vector<DateTick> dateTicks(const QDate& first, const QDate& last);

// Throws CurrencyOverflow when a sum leaves the currency's range. The lines
// per account take a value per day and account: only when asked for.
BalanceSeries balanceSeries(const ChartInput& input, bool perAccount = true);
std::vector<FlowBar> flowSeries(const ChartInput& input, BarSpan* span = nullptr);
std::vector<AccountBar> accountSeries(const ChartInput& input);
ChartData chartData(const ChartInput& input, bool perAccount = true);

} // namespace movilibro::charts
