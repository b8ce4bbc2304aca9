// Rebuild of the grouped grid: the journal layout (all-entries group, period,
// account; newest first) on 100,000 and 1,000,000 entries.
#include "benchjournal.h"
#include "journal/gridrows.h"
#include "ui/grid/groupedgrid.h"

#include <QApplication>
#include <QLocale>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <vector>

using namespace movilibro;
using namespace movilibro::journal;

namespace {

enum Column
{
    Icon = 1,
    Period,
    Account,
    Date,
    Description,
    MoneyIn,
    MoneyOut,
    Balance,
    EntryId
};

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Entries as the listing query gives them: by id, dates over one year, 40
// accounts; period and account texts shared as the main window shares them.
void fillJournal(GridData& data, int count)
{
    std::vector<QString> accounts;
    for (int a = 0; a < 40; ++a)
        accounts.push_back(QStringLiteral("Conto %1").arg(a, 2, 10, QLatin1Char('0')));
    std::vector<QString> periods;
    for (int m = 1; m <= 12; ++m)
        periods.push_back(QStringLiteral("2010%1").arg(m, 2, 10, QLatin1Char('0')));

    data.clear();
    data.setColumnCount(9);
    data.setColumnType(Date, ColumnType::Date);
    data.setColumnType(MoneyIn, ColumnType::Currency);
    data.setColumnType(MoneyOut, ColumnType::Currency);
    data.setColumnType(Balance, ColumnType::Currency);
    data.setColumnType(EntryId, ColumnType::Id);
    data.setRowCount(count);
    quint64 seed = 12345;
    const auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(seed >> 33);
    };
    const QDate first(2010, 1, 1);
    for (int k = 1; k <= count; ++k) {
        const QDate date = first.addDays(next() % 365);
        data.setText(Period, k, periods[date.month() - 1]);
        data.setText(Account, k, accounts[next() % accounts.size()]);
        data.setDate(Date, k, date);
        data.setText(Description, k, QStringLiteral("Registrazione numero %1").arg(k));
        const qint64 amount = Currency::Scale * qint64(1 + next() % 5000);
        if (next() % 2)
            data.setCurrency(MoneyIn, k, Currency::fromRaw(amount));
        else
            data.setCurrency(MoneyOut, k, Currency::fromRaw(amount));
        data.setCurrency(Balance, k, Currency());
        data.setId(EntryId, k, k);
    }
}

template <typename Grid> void addLayout(Grid& grid, int layout)
{
    grid.clearGroups();
    grid.clearSortKeys();
    grid.addGroup(Icon);
    if (layout == 1 || layout == 3)
        grid.addGroup(Period);
    if (layout >= 2)
        grid.addGroup(Account);
    if (layout == 4)
        grid.addGroup(Period);
    grid.addSortKey(Date, true);
    grid.addSortKey(EntryId, true);
}

// The engine alone: group, sort and lay out the rows.
void BM_Rebuild(benchmark::State& state)
{
    GridData data;
    fillJournal(data, int(state.range(0)));
    const double dataPeak = peakMegabytes();
    GridRows rows(data);
    addLayout(rows, int(state.range(1)));
    for (auto _ : state) {
        rows.rebuild();
        benchmark::DoNotOptimize(rows.displayRowCount());
    }
    state.counters["rows"] = rows.displayRowCount();
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["data_peak_MB"] = dataPeak;
}
BENCHMARK(BM_Rebuild)
    ->ArgsProduct({{100'000, 1'000'000}, {3}})
    ->Args({100'000, 0})
    ->Args({100'000, 4})
    ->Unit(benchmark::kMillisecond);

// The widget: rebuild, spans, every group expanded in the view.
void BM_GridRebuild(benchmark::State& state)
{
    GridData data;
    GridRows rows(data);
    fillJournal(data, int(state.range(0)));
    addLayout(rows, 3);
    grid::GroupedGrid grid;
    grid.showRows(&rows);
    grid.setColumnTotalFormat(MoneyIn, QStringLiteral("#,#0.00 ;-#,#0.00 ; ; "));
    grid.resize(1000, 600);
    for (auto _ : state) {
        grid.changeRows([&] { rows.rebuild(); });
        grid.refreshRows();
        grid.setCurrentRow(1);
        benchmark::DoNotOptimize(grid.displayRowCount());
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_GridRebuild)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The row-format pass the main window makes after every rebuild.
void BM_RefreshRows(benchmark::State& state)
{
    GridData data;
    GridRows rows(data);
    fillJournal(data, int(state.range(0)));
    addLayout(rows, 3);
    grid::GroupedGrid grid;
    grid.showRows(&rows);
    grid.changeRows([&] { rows.rebuild(); });
    for (auto _ : state)
        grid.refreshRows();
}
BENCHMARK(BM_RefreshRows)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
