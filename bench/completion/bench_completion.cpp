// The description suggestions of the entry editor: read at opening, matched per keystroke.
#include "benchjournal.h"
#include "completion/descriptionhistory.h"
#include "db/connection.h"

#include <benchmark/benchmark.h>

using namespace movilibro;

namespace {

// Every description of these journals is different: the most there can be to read.
void BM_ReadSuggestions(benchmark::State& state)
{
    const auto& journal = bench::BenchJournal::shared(int(state.range(0)));
    for (auto _ : state) {
        db::Connection conn =
            db::Connection::openConnString(journal.connString(), db::Connection::Mode::ReadOnly);
        benchmark::DoNotOptimize(DescriptionHistory::read(conn).entries().size());
    }
}
BENCHMARK(BM_ReadSuggestions)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// "caffe" matches one description in fifty; "zzz" none, so every one is tried.
void BM_MatchTyped(benchmark::State& state, const char* typed)
{
    const auto& journal = bench::BenchJournal::shared(1000000);
    db::Connection conn =
        db::Connection::openConnString(journal.connString(), db::Connection::Mode::ReadOnly);
    const DescriptionHistory history = DescriptionHistory::read(conn);
    for (auto _ : state)
        benchmark::DoNotOptimize(history.matching(QString::fromUtf8(typed), 12));
}
BENCHMARK_CAPTURE(BM_MatchTyped, common, "CAFFE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MatchTyped, nowhere, "zzz")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
