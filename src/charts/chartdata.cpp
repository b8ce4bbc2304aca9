#include "charts/chartdata.h"

#include <QLocale>

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

namespace {

constexpr int YearsPerBar[] = {1, 10, 100, 1000}; // BarSpan::Year .. BarSpan::Millennium

// One bar per run of months sharing the grid's period key; none when there
// would be more than MaxBars.
std::vector<FlowBar> groupingBars(const ChartInput& input, std::vector<int>& barOfMonth)
{
    const int firstMonth = monthIndex(input.period.start);
    const int lastMonth = monthIndex(input.period.end);
    constexpr int LongestPeriod = 6; // months in a half year
    if (lastMonth - firstMonth + 1 > MaxBars * LongestPeriod)
        return {};
    std::vector<FlowBar> bars;
    for (int m = firstMonth; m <= lastMonth; ++m) {
        const QDate monthStart(m / 12, m % 12 + 1, 1);
        const QString key = periodKey(monthStart, input.kind);
        if (bars.empty() || bars.back().key != key) {
            if (bars.size() == size_t(MaxBars))
                return {};
            bars.push_back(
                {key, periodCaption(key, input.kind), std::max(monthStart, input.period.start), {}, {}, {}});
        }
        bars.back().last = std::min(monthStart.addMonths(1).addDays(-1), input.period.end);
        barOfMonth.push_back(int(bars.size()) - 1);
    }
    return bars;
}

std::vector<FlowBar> yearBars(const DateRange& period, int years)
{
    std::vector<FlowBar> bars;
    for (int b = period.start.year() / years; b <= period.end.year() / years; ++b) {
        const int fromYear = std::max(1, b * years);
        FlowBar bar;
        bar.first = std::max(QDate(fromYear, 1, 1), period.start);
        bar.last = std::min(QDate(b * years + years - 1, 12, 31), period.end);
        bar.key = QString::number(fromYear);
        bar.caption = years == 1 ? QString::number(bar.first.year())
                                 : QStringLiteral("%1-%2").arg(bar.first.year()).arg(bar.last.year());
        bars.push_back(bar);
    }
    return bars;
}

} // namespace

std::vector<FlowBar> flowSeries(const ChartInput& input, BarSpan* span)
{
    if (span)
        *span = BarSpan::Grouping;
    if (!input.period.start.isValid() || input.period.start > input.period.end)
        return {};
    std::vector<int> barOfMonth;
    std::vector<FlowBar> bars = groupingBars(input, barOfMonth);
    int years = 0;
    if (bars.empty()) {
        int i = 0;
        while (i < 3 &&
               input.period.end.year() / YearsPerBar[i] - input.period.start.year() / YearsPerBar[i] >=
                   MaxBars)
            ++i;
        years = YearsPerBar[i];
        bars = yearBars(input.period, years);
        if (span)
            *span = BarSpan(i + 1);
    }
    const int firstMonth = monthIndex(input.period.start);
    const int firstBar = years ? input.period.start.year() / years : 0;
    for (const ChartEntry& e : input.entries) {
        if (!inPeriod(input, e.day))
            continue;
        const QDate day = QDate::fromJulianDay(e.day);
        FlowBar& bar = bars[size_t(years ? day.year() / years - firstBar
                                         : barOfMonth[size_t(monthIndex(day) - firstMonth)])];
        bar.incomes += Currency::fromRaw(e.incomes);
        bar.outgoings += Currency::fromRaw(e.outgoings);
    }
    return bars;
}

QString barSpanNote(BarSpan span, int kind)
{
    static const char* const spans[] = {"", "per anno", "ogni 10 anni", "ogni 100 anni", "ogni 1000 anni"};
    static const char* const periods[] = {"mesi", "bimestri", "trimestri", "quadrimestri", "semestri"};
    if (span == BarSpan::Grouping)
        return {};
    return QStringLiteral("Una colonna %1: i %2 del periodo sono più di %3.")
        .arg(QLatin1String(spans[int(span)]), QLatin1String(periods[normalizedKind(kind)]))
        .arg(MaxBars);
}

std::vector<DateTick> dateTicks(const QDate& first, const QDate& last)
{
    std::vector<DateTick> ticks;
    if (!first.isValid() || !last.isValid() || last < first)
        return ticks;
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const auto month = [&italian](const QDate& d) {
        return italian.monthName(d.month(), QLocale::ShortFormat);
    };
    const int months = monthIndex(last) - monthIndex(first) + 1;
    if (first.daysTo(last) < 62) {
        for (int m = monthIndex(first); m <= monthIndex(last); ++m) {
            for (int day : {1, 8, 15, 22}) {
                const QDate tick(m / 12, m % 12 + 1, day);
                if (tick >= first && tick <= last)
                    ticks.push_back({tick, QString::number(day) + u' ' + month(tick)});
            }
        }
    } else if (first.daysTo(last) < 3 * 366) {
        int step = 1;
        for (int s : {1, 2, 3, 4, 6}) {
            step = s;
            if (months / s <= 12)
                break;
        }
        for (int m = monthIndex(first); m <= monthIndex(last); ++m) {
            const QDate tick(m / 12, m % 12 + 1, 1);
            if (m % 12 % step != 0 || tick < first)
                continue;
            // Each label once: the year on every tick past a year's span.
            const bool withYear = ticks.empty() || tick.month() == 1 || months > 12;
            ticks.push_back(
                {tick, withYear ? month(tick) + u' ' + QString::number(tick.year()) : month(tick)});
        }
    } else {
        const int years = last.year() - first.year() + 1;
        int step = 1;
        for (int s : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000}) {
            step = s;
            if (years / s <= 12)
                break;
        }
        for (int y = (first.year() + step - 1) / step * step; y <= last.year(); y += step) {
            if (QDate(y, 1, 1) >= first)
                ticks.push_back({QDate(y, 1, 1), QString::number(y)});
        }
    }
    return ticks;
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
    data.flows = flowSeries(input, &data.flowSpan);
    data.flowNote = barSpanNote(data.flowSpan, input.kind);
    data.accounts = accountSeries(input);
    return data;
}

} // namespace movilibro::charts
