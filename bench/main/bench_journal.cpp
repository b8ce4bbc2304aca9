// The journal reload against the plain SQLite C API reading the same rows.
#include "benchjournal.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/dialect.h"
#include "db/enginefunctions.h"
#include "db/periods.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <sys/resource.h>

#include <map>
#include <memory>

using namespace movilibro;

namespace {

const DateRange Year2010{QDate(2010, 1, 1), QDate(2010, 12, 31)};

struct PlainRow
{
    std::string period, account, description;
    int date;
    qint64 in, out, id;
};

// The same query, read with the C API alone into plain structs.
void BM_PlainCApiRead(benchmark::State& state)
{
    bench::BenchJournal& j = bench::BenchJournal::shared(int(state.range(0)));
    const QByteArray path = db::databasePathFromConnString(j.connString()).toUtf8();
    for (auto _ : state) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        db::registerEngineFunctions(raw);
        sqlite3_exec(raw, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = db::translateJet(listingQuery(1, Year2010)).toUtf8();
        sqlite3_prepare_v2(raw, sql.constData(), -1, &st, nullptr);
        std::vector<PlainRow> rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            PlainRow r;
            r.period = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            r.account = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
            r.date = sqlite3_column_bytes(st, 2);
            r.description = reinterpret_cast<const char*>(sqlite3_column_text(st, 3));
            r.in = sqlite3_column_int64(st, 4);
            r.out = sqlite3_column_int64(st, 5);
            r.id = sqlite3_column_int64(st, 6);
            rows.push_back(std::move(r));
        }
        sqlite3_finalize(st);
        sqlite3_close(raw);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_PlainCApiRead)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// gexsBind's work on the journal grid: query, data array, groups of layout 3,
// sort, display rows, progressive balance; and the process's peak memory.
void BM_JournalReload(benchmark::State& state)
{
    bench::BenchJournal& j = bench::BenchJournal::shared(int(state.range(0)));
    grid::GroupedGrid gex;
    JournalGrid binder(gex);
    binder.setUp();
    for (auto _ : state) {
        binder.load(j.connString(), 1, Year2010);
        binder.arrange(3);
        benchmark::DoNotOptimize(gex.displayRowCount());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_JournalReload)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The copy made at start-up, before the main window shows.
void BM_StartupBackup(benchmark::State& state)
{
    bench::BenchJournal& j = bench::BenchJournal::shared(int(state.range(0)));
    const db::JournalBackup backup(db::databasePathFromConnString(j.connString()));
    for (auto _ : state) {
        const QString copy = backup.make();
        state.PauseTiming();
        QFile::remove(copy);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupBackup)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
