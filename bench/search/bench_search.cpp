// The search filter: from the end of the typing pause to the rebuilt grid
// (matching, rows laid out again, balances), on a period already loaded.
#include "benchjournal.h"
#include "db/periods.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <benchmark/benchmark.h>

using namespace movilibro;

namespace {

const DateRange Year2010{QDate(2010, 1, 1), QDate(2010, 12, 31)};

// Two texts in turn, so that every iteration changes the filter.
void runSearch(benchmark::State& state, const char* first, const char* second)
{
    bench::BenchJournal& j = bench::BenchJournal::shared(int(state.range(0)));
    grid::GroupedGrid gex;
    JournalGrid binder(gex);
    binder.setUp();
    binder.load(j.connString(), 1, Year2010);
    binder.arrange(3);
    binder.setFilter({QString::fromUtf8(second)}); // folds the texts once
    bool flip = false;
    for (auto _ : state) {
        binder.setFilter({QString::fromUtf8(flip ? second : first)});
        flip = !flip;
        benchmark::DoNotOptimize(gex.displayRowCount());
    }
    state.counters["shown"] = binder.shownEntries();
}

// A few entries.
void BM_SearchNarrow(benchmark::State& state)
{
    runSearch(state, "numero 4242", "numero 4243");
}
BENCHMARK(BM_SearchNarrow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Nearly every entry: the most rows to lay out again.
void BM_SearchWide(benchmark::State& state)
{
    runSearch(state, "-caffe", "-doppio 9");
}
BENCHMARK(BM_SearchWide)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// An amount range and an account.
void BM_SearchRangeAccount(benchmark::State& state)
{
    runSearch(state, ">50 conto", "<50 conto");
}
BENCHMARK(BM_SearchRangeAccount)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Clearing the box: the whole period again.
void BM_SearchCleared(benchmark::State& state)
{
    runSearch(state, "", "numero 4242");
}
BENCHMARK(BM_SearchCleared)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The first search after a reload also folds every description.
void BM_FirstSearchAfterReload(benchmark::State& state)
{
    bench::BenchJournal& j = bench::BenchJournal::shared(int(state.range(0)));
    grid::GroupedGrid gex;
    JournalGrid binder(gex);
    binder.setUp();
    for (auto _ : state) {
        state.PauseTiming();
        binder.setFilter({});
        binder.load(j.connString(), 1, Year2010);
        binder.arrange(3);
        state.ResumeTiming();
        binder.setFilter({QStringLiteral("numero 4242")});
        benchmark::DoNotOptimize(gex.displayRowCount());
    }
}
BENCHMARK(BM_FirstSearchAfterReload)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
