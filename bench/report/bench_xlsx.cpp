// The journal exported as an Excel workbook: query, layout by month and account,
// both sheets written and packed, for a year of 100,000 and 1,000,000 entries;
// the large one with the peak memory the export takes.
#include "benchjournal.h"
#include "report/xlsxexport.h"

#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

using namespace movilibro;
using namespace movilibro::report;

namespace {

using bench::BenchJournal;

// The kernel's high-water mark of resident memory, cleared before the export.
void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void BM_ExportXlsx(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    const QString path = journal.folder() + QStringLiteral("/giornale.xlsx");
    const ReportContext context{QDate(2010, 1, 1), QDate(2010, 12, 31), 0, 3, journal.connString()};
    resetPeak();
    const double before = peakMegabytes();
    for (auto _ : state)
        exportXlsx(context, path);
    state.counters["start_MB"] = before;
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["file_MB"] = QFileInfo(path).size() / 1e6;
}
BENCHMARK(BM_ExportXlsx)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportXlsx)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
