// The charts: from the entries a loaded grid shows (or the journal the
// command line reads) to the drawn chart (series, chart items, painting
// 1200x700 pixels).
#include "benchjournal.h"
#include "db/periods.h"
#include "ui/charts/chartbuilder.h"
#include "ui/charts/chartexport.h"
#include "ui/charts/chartsource.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace movilibro;

namespace {

const DateRange Year2010{QDate(2010, 1, 1), QDate(2010, 12, 31)};

void paint(charts::ChartKind kind, const charts::ChartData& data, bool perAccount, QImage& image)
{
    QGraphicsScene scene;
    charts::BuiltChart built = charts::buildChart(kind, data, perAccount);
    scene.addItem(built.chart);
    built.chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(charts::ExportSize)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter);
    painter.end();
    benchmark::DoNotOptimize(image.bits());
}

void drawBalance(benchmark::State& state, const search::Filter& filter)
{
    bench::BenchJournal& j = bench::BenchJournal::shared(int(state.range(0)));
    const bool perAccount = state.range(1) != 0;
    grid::GroupedGrid gex;
    JournalGrid binder(gex);
    binder.setUp();
    binder.load(j.connString(), 0, Year2010);
    binder.arrange(3);
    binder.setFilter(filter);
    QImage image(charts::ExportSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        paint(charts::ChartKind::Saldo, charts::chartDataOfGrid(gex, Year2010, 0), perAccount, image);
    state.counters["shown"] = binder.shownEntries();
}

void BM_BalanceChart(benchmark::State& state)
{
    drawBalance(state, {});
}
BENCHMARK(BM_BalanceChart)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond);

// The search filter: only the entries it lets through are counted.
void BM_BalanceChartFiltered(benchmark::State& state)
{
    drawBalance(state, {QStringLiteral(">50 conto")});
}
BENCHMARK(BM_BalanceChartFiltered)->Args({100000, 0})->Unit(benchmark::kMillisecond);

// Any chart of any period: --export-chart from 01/01/0001 to 31/12/9999 over
// 100,000 entries, from reading the journal to the painted image. Argument:
// 0 saldo, 1 flussi, 2 conti.
void BM_EveryYearThereIs(benchmark::State& state)
{
    bench::BenchJournal& j = bench::BenchJournal::shared(100000);
    const report::ReportContext context{QDate(1, 1, 1), QDate(9999, 12, 31), 0, 0, j.connString()};
    const auto kind = charts::ChartKind(state.range(0));
    QImage image(charts::ExportSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        paint(kind, charts::chartDataFor(context), false, image);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_EveryYearThereIs)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
