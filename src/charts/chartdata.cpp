#include "charts/chartdata.h"

#include <algorithm>

namespace movilibro::charts {

namespace {

int monthIndex(const QDate& date)
{
    return date.year() * 12 + date.month() - 1;
}

bool inPeriod(const ChartInput& input, qint64 day)
{
    return day >= input.period.start.toJulianDay() && day <= input.period.end.toJulianDay();
}

void runningSums(const std::vector<Currency>& changes, std::vector<Currency>& running)
{
    Currency balance;
    running.resize(changes.size());
    for (size_t i = 0; i < changes.size(); ++i) {
        balance += changes[i];
        running[i] = balance;
    }
}

} // namespace

BalanceSeries balanceSeries(const ChartInput& input, bool perAccount)
{
    BalanceSeries series;
    series.first = input.period.start;
    if (perAccount)
        series.accounts = input.accounts;
    if (!input.period.start.isValid() || input.period.start > input.period.end)
        return series;
    const qint64 first = input.period.start.toJulianDay();
    const size_t days = size_t(input.period.end.toJulianDay() - first + 1);
    std::vector<Currency> total(days);
    std::vector<std::vector<Currency>> accounts(series.accounts.size(), std::vector<Currency>(days));
    for (const ChartEntry& e : input.entries) {
        if (!inPeriod(input, e.day))
            continue;
        const Currency change = Currency::fromRaw(e.incomes) - Currency::fromRaw(e.outgoings);
        total[size_t(e.day - first)] += change;
        if (perAccount)
            accounts[size_t(e.account)][size_t(e.day - first)] += change;
    }
    runningSums(total, series.total);
    series.perAccount.resize(accounts.size());
    for (size_t a = 0; a < accounts.size(); ++a)
        runningSums(accounts[a], series.perAccount[a]);
    return series;
}

std::vector<FlowBar> flowSeries(const ChartInput& input)
{
    std::vector<FlowBar> bars;
    if (!input.period.start.isValid() || input.period.start > input.period.end)
        return bars;
    // Grouping periods are whole months: one bar per run of months sharing a key.
    const int firstMonth = monthIndex(input.period.start);
    std::vector<int> barOfMonth;
    for (int m = firstMonth; m <= monthIndex(input.period.end); ++m) {
        const QString key = periodKey(QDate(m / 12, m % 12 + 1, 1), input.kind);
        if (bars.empty() || bars.back().key != key)
            bars.push_back({key, periodCaption(key, input.kind), {}, {}});
        barOfMonth.push_back(int(bars.size()) - 1);
    }
    for (const ChartEntry& e : input.entries) {
        if (!inPeriod(input, e.day))
            continue;
        FlowBar& bar = bars[size_t(barOfMonth[size_t(monthIndex(QDate::fromJulianDay(e.day)) - firstMonth)])];
        bar.incomes += Currency::fromRaw(e.incomes);
        bar.outgoings += Currency::fromRaw(e.outgoings);
    }
    return bars;
}

std::vector<AccountBar> accountSeries(const ChartInput& input)
{
    std::vector<AccountBar> bars(input.accounts.size());
    std::vector<bool> used(input.accounts.size());
    for (size_t a = 0; a < bars.size(); ++a)
        bars[a].account = input.accounts[a];
    for (const ChartEntry& e : input.entries) {
        if (!inPeriod(input, e.day))
            continue;
        AccountBar& bar = bars[size_t(e.account)];
        bar.incomes += Currency::fromRaw(e.incomes);
        bar.outgoings += Currency::fromRaw(e.outgoings);
        used[size_t(e.account)] = true;
    }
    std::vector<AccountBar> shown;
    for (size_t a = 0; a < bars.size(); ++a) {
        if (used[a])
            shown.push_back(bars[a]);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const AccountBar& x, const AccountBar& y) {
        const Currency largerX = std::max(x.incomes, x.outgoings);
        const Currency largerY = std::max(y.incomes, y.outgoings);
        if (largerX != largerY)
            return largerX > largerY;
        return x.account.compare(y.account, Qt::CaseInsensitive) < 0;
    });
    return shown;
}

ChartData chartData(const ChartInput& input, bool perAccount)
{
    ChartData data;
    data.empty = std::none_of(input.entries.begin(), input.entries.end(),
                              [&input](const ChartEntry& e) { return inPeriod(input, e.day); });
    data.balance = balanceSeries(input, perAccount);
    data.flows = flowSeries(input);
    data.accounts = accountSeries(input);
    return data;
}

} // namespace movilibro::charts
