#include "ui/charts/chartbuilder.h"

#include "format/formatengine.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QHorizontalBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace movilibro::charts {

namespace {

const QColor IncomesColor(46, 139, 87);
const QColor OutgoingsColor(205, 55, 55);
const QColor BalanceColor(30, 90, 170);
const QColor NegativeFill(220, 60, 60, 70);
// The accounts' lines: hues far apart, none near the total's.
const QColor AccountColors[] = {{230, 140, 0},  {0, 158, 115}, {204, 80, 160},  {120, 80, 30},
                                {86, 180, 233}, {213, 60, 0},  {110, 110, 110}, {150, 150, 0}};

// Thousands dot and decimal comma whatever the system's locale.
const QLocale Italian(QLocale::Italian, QLocale::Italy);

double value(const Currency& amount)
{
    return double(amount.raw()) / double(Currency::Scale);
}

// Noon, so that no time zone moves a point onto the day before.
qreal dayX(const QDate& day)
{
    return qreal(QDateTime(day, QTime(12, 0)).toMSecsSinceEpoch());
}

qreal dayStartX(const QDate& day)
{
    return qreal(QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch());
}

// Ticks where months (or days, or years) begin, named in Italian.
QCategoryAxis* dateAxis(const QDate& first, const QDate& last)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(dayStartX(first), dayStartX(last.addDays(1)));
    axis->setStartValue(dayStartX(first) - 1);
    for (const DateTick& tick : dateTicks(first, last))
        axis->append(tick.label, dayStartX(tick.day));
    return axis;
}

QChart* newChart()
{
    auto* chart = new QChart;
    chart->setLocale(Italian);
    chart->setLocalizeNumbers(true);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundRoundness(0);
    return chart;
}

void hideFromLegend(QChart* chart, QAbstractSeries* series)
{
    for (QLegendMarker* marker : chart->legend()->markers(series))
        marker->setVisible(false);
}

// The amount axis always shows zero, so that what is below it is visibly so.
QValueAxis* amountAxis(double low, double high)
{
    auto* axis = new QValueAxis;
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (low == high)
        high = 1.0;
    axis->setRange(low, high);
    axis->applyNiceNumbers();
    axis->setLabelFormat(axis->max() - axis->min() >= 20 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    return axis;
}

// One point per day, or, with `bendsOnly`, only the days where the line changes
// direction: the same line, but a period of centuries stays a few points.
QList<QPointF> dayPoints(const BalanceSeries& balance, const std::vector<double>& values, bool bendsOnly)
{
    QList<QPointF> points;
    const size_t n = values.size();
    for (size_t i = 0; i < n; ++i) {
        if (!bendsOnly || i == 0 || i + 1 == n || values[i] != values[i - 1] || values[i] != values[i + 1])
            points.append({dayX(balance.dayAt(int(i))), values[i]});
    }
    return points;
}

QLineSeries* balanceLine(const BalanceSeries& balance, const std::vector<Currency>& values,
                         const QString& name)
{
    auto* line = new QLineSeries;
    line->setName(name);
    std::vector<double> amounts(values.size());
    std::transform(values.begin(), values.end(), amounts.begin(), value);
    // A short period shows its days as points, or a single day draws nothing.
    const bool everyDay = values.size() < 40;
    line->replace(dayPoints(balance, amounts, !everyDay));
    line->setPointsVisible(everyDay);
    return line;
}

void buildBalance(BuiltChart& built, const BalanceSeries& balance, bool perAccount)
{
    QChart* chart = built.chart;
    const QDate first = balance.first;
    const QDate last = balance.dayAt(std::max(balance.dayCount() - 1, 0));
    QCategoryAxis* xAxis = dateAxis(first, last);
    chart->addAxis(xAxis, Qt::AlignBottom);

    double low = 0, high = 0;
    const auto extend = [&](const std::vector<Currency>& values) {
        for (const Currency& v : values) {
            low = std::min(low, value(v));
            high = std::max(high, value(v));
        }
    };
    extend(balance.total);
    if (perAccount) {
        for (const auto& values : balance.perAccount)
            extend(values);
    }
    QValueAxis* yAxis = amountAxis(low, high);
    chart->addAxis(yAxis, Qt::AlignLeft);
    const auto attach = [&](QAbstractSeries* series) {
        chart->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    };

    auto* zero = new QLineSeries;
    zero->append(dayX(first), 0);
    zero->append(dayX(last), 0);
    zero->setPen(QPen(Qt::black, 1));
    std::vector<double> negatives(balance.total.size());
    std::transform(balance.total.begin(), balance.total.end(), negatives.begin(),
                   [](const Currency& v) { return std::min(0.0, value(v)); });
    auto* below = new QLineSeries;
    below->replace(dayPoints(balance, negatives, true));
    auto* negative = new QAreaSeries(below, zero);
    below->setParent(negative);
    zero->setParent(negative);
    negative->setBrush(NegativeFill);
    negative->setPen(Qt::NoPen);
    attach(negative);
    hideFromLegend(chart, negative);
    auto* zeroLine = new QLineSeries;
    zeroLine->replace(zero->points());
    zeroLine->setPen(QPen(Qt::black, 1));
    attach(zeroLine);
    hideFromLegend(chart, zeroLine);

    if (perAccount) {
        constexpr size_t Colors = std::size(AccountColors);
        for (size_t a = 0; a < balance.perAccount.size(); ++a) {
            QLineSeries* line =
                balanceLine(balance, balance.perAccount[a], balance.accounts[a].toHtmlEscaped());
            // Past the palette the colours come round again, dashed.
            line->setPen(QPen(AccountColors[a % Colors], 1.5, a < Colors ? Qt::SolidLine : Qt::DashLine));
            attach(line);
            built.lines.push_back(line);
            built.lineAccounts.push_back(int(a));
        }
    }
    // Drawn last, on top, thicker than the accounts' lines.
    QLineSeries* total = balanceLine(balance, balance.total, QStringLiteral("Saldo"));
    total->setPen(QPen(BalanceColor, perAccount ? 3.5 : 2));
    attach(total);
    built.lines.insert(built.lines.begin(), total);
    built.lineAccounts.insert(built.lineAccounts.begin(), -1);
    chart->legend()->setVisible(perAccount);
}

// More bars than captions fit under: a short caption every few bars, on its
// bar ("gen 2015" for the period that starts then).
constexpr size_t MaxNamedBars = 24;
QCategoryAxis* someBarsNamed(const std::vector<FlowBar>& flows)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(-0.5, qreal(flows.size()) - 0.5);
    axis->setStartValue(-0.5);
    size_t step = 1;
    for (size_t s : {1, 2, 3, 4, 5, 6, 10, 12, 20, 24, 25, 50, 100}) {
        step = s;
        if ((flows.size() + s - 1) / s <= 12)
            break;
    }
    for (size_t i = 0; i < flows.size(); i += step) {
        const FlowBar& bar = flows[i];
        const QString label = bar.caption.contains(u' ')
                                  ? Italian.monthName(bar.first.month(), QLocale::ShortFormat) + u' ' +
                                        QString::number(bar.first.year())
                                  : bar.caption;
        axis->append(label, qreal(i));
    }
    return axis;
}

QBarSet* barSet(const QString& name, const QColor& color)
{
    auto* set = new QBarSet(name);
    set->setColor(color);
    set->setBorderColor(color.darker(120));
    return set;
}

void buildFlows(BuiltChart& built, const std::vector<FlowBar>& flows)
{
    QChart* chart = built.chart;
    QBarSet* in = barSet(QStringLiteral("Entrate"), IncomesColor);
    QBarSet* out = barSet(QStringLiteral("Uscite"), OutgoingsColor);
    auto* net = new QLineSeries;
    net->setName(QStringLiteral("Netto"));
    net->setPen(QPen(BalanceColor, 2));
    net->setPointsVisible(true);
    auto* categories = new QBarCategoryAxis;
    double low = 0, high = 0;
    for (size_t i = 0; i < flows.size(); ++i) {
        const FlowBar& bar = flows[i];
        in->append(value(bar.incomes));
        out->append(value(bar.outgoings));
        net->append(qreal(i), value(bar.net()));
        // The year on a line of its own: twelve captions then fit side by side.
        const qsizetype year = bar.caption.lastIndexOf(u' ');
        categories->append(year < 0
                               ? bar.caption
                               : bar.caption.left(year) + QStringLiteral("<br>") + bar.caption.mid(year + 1));
        built.barItems.push_back(bar.key);
        low = std::min({low, value(bar.net())});
        high = std::max({high, value(bar.incomes), value(bar.outgoings), value(bar.net())});
    }
    QAbstractAxis* xAxis = categories;
    if (flows.size() > MaxNamedBars) {
        xAxis = someBarsNamed(flows);
        delete categories;
    } else if (flows.size() > 6) { // a year of months in the window's own width, not cut short
        QFont small = categories->labelsFont();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        categories->setLabelsFont(small);
    }
    auto* bars = new QBarSeries;
    bars->append(in);
    bars->append(out);
    chart->addSeries(bars);
    chart->addSeries(net);
    chart->addAxis(xAxis, Qt::AlignBottom);
    QValueAxis* yAxis = amountAxis(low, high);
    chart->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(bars), static_cast<QAbstractSeries*>(net)}) {
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
    built.bars = bars;
}

void buildAccounts(BuiltChart& built, const std::vector<AccountBar>& accounts)
{
    QChart* chart = built.chart;
    QBarSet* in = barSet(QStringLiteral("Entrate"), IncomesColor);
    QBarSet* out = barSet(QStringLiteral("Uscite"), OutgoingsColor);
    auto* yAxis = new QBarCategoryAxis;
    double high = 0;
    // Categories run from the bottom up: the largest account goes on top.
    for (auto it = accounts.rbegin(); it != accounts.rend(); ++it) {
        in->append(value(it->incomes));
        out->append(value(it->outgoings));
        // Chart texts are HTML: a name holding "<" would lose it.
        yAxis->append(it->account.toHtmlEscaped());
        built.barItems.push_back(it->account);
        high = std::max({high, value(it->incomes), value(it->outgoings)});
    }
    auto* bars = new QHorizontalBarSeries;
    bars->append(in);
    bars->append(out);
    chart->addSeries(bars);
    chart->addAxis(yAxis, Qt::AlignLeft);
    QValueAxis* xAxis = amountAxis(0, high);
    chart->addAxis(xAxis, Qt::AlignBottom);
    bars->attachAxis(yAxis);
    bars->attachAxis(xAxis);
    built.bars = bars;
}

} // namespace

QString amountText(const Currency& amount)
{
    return Format::number(amount, QStringLiteral("#,#0.00;-#,#0.00;0.00;0.00"), Italian);
}

BuiltChart buildChart(ChartKind kind, const ChartData& data, bool perAccount)
{
    BuiltChart built;
    built.chart = newChart();
    if (data.empty)
        return built;
    switch (kind) {
    case ChartKind::Saldo:
        buildBalance(built, data.balance, perAccount);
        break;
    case ChartKind::Flussi:
        buildFlows(built, data.flows);
        break;
    case ChartKind::Conti:
        buildAccounts(built, data.accounts);
        break;
    }
    return built;
}

QString chartTitle(ChartKind kind)
{
    switch (kind) {
    case ChartKind::Saldo:
        return QStringLiteral("Saldo progressivo");
    case ChartKind::Flussi:
        return QStringLiteral("Entrate e uscite");
    case ChartKind::Conti:
        break;
    }
    return QStringLiteral("Entrate e uscite per conto");
}

} // namespace movilibro::charts
