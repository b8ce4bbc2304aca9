// Import of an old journal of 20,000 entries, and the CSV export of 100,000.
#include "benchjournal.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/enginefunctions.h"
#include "legacy/journalconversion.h"
#include "legacy/legacyreader.h"
#include "report/csvexport.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace movilibro;

namespace {

const QString LargeOldJournal = QStringLiteral(MOVILIBRO_LEGACY_FIXTURES "/journal-large.mdb");

void BM_ReadOldJournal(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(legacy::readLegacyJournal(LargeOldJournal).entries.size());
}
BENCHMARK(BM_ReadOldJournal)->Unit(benchmark::kMillisecond);

// Read, new journal from the template, one transaction, rename into place.
void BM_ImportOldJournal(benchmark::State& state)
{
    for (auto _ : state) {
        QTemporaryDir folder;
        const auto summary = legacy::importIntoFolder(LargeOldJournal, folder.path(), bench::templatePath());
        if (summary.entries != 20000)
            state.SkipWithError("not every entry was imported");
    }
}
BENCHMARK(BM_ImportOldJournal)->Unit(benchmark::kMillisecond);

// Load, group, sort and balance as the grid does, then write the file.
void BM_CsvExport(benchmark::State& state)
{
    bench::BenchJournal& journal = bench::BenchJournal::shared(int(state.range(0)));
    const report::ReportContext context{QDate(2010, 1, 1), QDate(2010, 12, 31), 0, int(state.range(1)),
                                        journal.connString()};
    const QString path = journal.folder() + QStringLiteral("/giornale.csv");
    for (auto _ : state)
        report::exportCsv(context, path);
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_CsvExport)->Args({100000, 0})->Args({100000, 3})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
