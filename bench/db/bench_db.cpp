// Per-operation costs of the journal file: parameter reads, one saved entry.
#include "benchjournal.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/journaldb.h"
#include "db/pendingrow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace movilibro::db;

namespace {

// An empty journal with two parameters stored.
movilibro::bench::BenchJournal& journalWithParameters()
{
    movilibro::bench::BenchJournal& j = movilibro::bench::BenchJournal::shared(0);
    Connection conn = Connection::openConnString(j.connString());
    WriteParameter(conn, QStringLiteral("appset_gexlayout"), 3);
    WriteParameter(conn, QStringLiteral("appset_esercizio_startingmonth"), 4);
    return j;
}

void BM_ReadThreeParameters(benchmark::State& state)
{
    const auto& j = journalWithParameters();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadParameter(j.connString(), QStringLiteral("appset_gexlayout"), 0));
        benchmark::DoNotOptimize(
            ReadParameter(j.connString(), QStringLiteral("appset_esercizio_startingmonth"), 1));
        benchmark::DoNotOptimize(ReadParameter(j.connString(), QStringLiteral("appset_dategrouping"), 0));
    }
}
BENCHMARK(BM_ReadThreeParameters)->Unit(benchmark::kMicrosecond);

void BM_SaveNewEntry(benchmark::State& state)
{
    const auto& j = journalWithParameters();
    for (auto _ : state) {
        Connection conn = Connection::openConnString(j.connString());
        PendingRow row = PendingRow::addNew(conn, QStringLiteral("Movilibro"));
        row.setValue(QStringLiteral("mlData"), QStringLiteral("2010-03-05"));
        row.setValue(QStringLiteral("mlConto"), qint64(1));
        row.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("Spesa di cancelleria"));
        row.setValue(QStringLiteral("mlEntrate"), qint64(0));
        row.setValue(QStringLiteral("mlUscite"), qint64(125000));
        benchmark::DoNotOptimize(row.save());
    }
}
BENCHMARK(BM_SaveNewEntry)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
