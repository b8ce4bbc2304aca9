// The description suggestions of the entry editor: read at opening, matched per keystroke.
#include "benchjournal.h"
#include "completion/descriptionhistory.h"
#include "db/connection.h"

#include <benchmark/benchmark.h>

using namespace movilibro;

namespace {

// The shared journals have a different description on every entry: the most
// descriptions to gather. This one repeats 2,000 descriptions, as a journal
// is kept, so every one of the newest entries is read before the list is whole.
const bench::BenchJournal& repeatingJournal()
{
    static bench::BenchJournal journal(1000000);
    static const bool repeated = [] {
        db::Connection conn = db::Connection::open(journal.path());
        conn.exec(QStringLiteral(
            "UPDATE Movilibro SET mlDescrizione = 'Spesa ricorrente ' || (mlId * 7919 % 2000)"));
        return true;
    }();
    Q_UNUSED(repeated);
    return journal;
}

void readSuggestions(benchmark::State& state, const bench::BenchJournal& journal)
{
    for (auto _ : state) {
        db::Connection conn =
            db::Connection::openConnString(journal.connString(), db::Connection::Mode::ReadOnly);
        benchmark::DoNotOptimize(DescriptionHistory::read(conn).entries().size());
    }
}

void BM_ReadSuggestions(benchmark::State& state)
{
    readSuggestions(state, bench::BenchJournal::shared(int(state.range(0))));
}
BENCHMARK(BM_ReadSuggestions)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_ReadSuggestionsRepeating(benchmark::State& state)
{
    readSuggestions(state, repeatingJournal());
}
BENCHMARK(BM_ReadSuggestionsRepeating)->Unit(benchmark::kMillisecond);

// "caffe" matches one description in fifty; "zzz" none, so every one is tried.
void BM_MatchTyped(benchmark::State& state, const char* typed)
{
    db::Connection conn = db::Connection::openConnString(bench::BenchJournal::shared(1000000).connString(),
                                                         db::Connection::Mode::ReadOnly);
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
