// A deletion and its undo on a 100,000-entry journal: the write, its log line
// and the transaction, without the reload that follows.
#include "benchjournal.h"
#include "db/connection.h"
#include "history/undochain.h"
#include "history/writes.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace movilibro;

namespace {

constexpr int JournalEntries = 100000;
const QDateTime When(QDate(2024, 3, 15), QTime(10, 30));

// A copy of the shared journal, so the rounds' log lines stay out of it.
struct Copy
{
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/movilibro.mdb");
    Copy() { QFile::copy(bench::BenchJournal::shared(JournalEntries).path(), path); }
};

void BM_DeleteEntry(benchmark::State& state)
{
    Copy copy;
    db::Connection conn = db::Connection::open(copy.path);
    history::UndoChain chain;
    qint64 id = JournalEntries / 2;
    for (auto _ : state) {
        chain.recorded(history::deleteEntry(conn, id, When));
        state.PauseTiming();
        QString refusal;
        if (!chain.undo(conn, When, refusal))
            state.SkipWithError("undo refused");
        id += 7;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteEntry)->Unit(benchmark::kMillisecond);

void BM_UndoDeletion(benchmark::State& state)
{
    Copy copy;
    db::Connection conn = db::Connection::open(copy.path);
    history::UndoChain chain;
    qint64 id = JournalEntries / 2;
    for (auto _ : state) {
        state.PauseTiming();
        chain.recorded(history::deleteEntry(conn, id, When));
        id += 7;
        state.ResumeTiming();
        QString refusal;
        if (!chain.undo(conn, When, refusal))
            state.SkipWithError("undo refused");
    }
}
BENCHMARK(BM_UndoDeletion)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
