// The journal report exported to PDF: query, layout and drawing of every page,
// for a year of 10,000 and 100,000 entries grouped by month and account.
#include "benchjournal.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/enginefunctions.h"
#include "report/arpschede.h"
#include "report/pdfexport.h"
#include "report/reportcommands.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace movilibro;
using namespace movilibro::report;

namespace {

using bench::BenchJournal;

QString outputPath(const BenchJournal& journal)
{
    return journal.folder() + QStringLiteral("/giornale.pdf");
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

ReportContext contextFor(const BenchJournal& journal)
{
    return ReportContext{QDate(2010, 1, 1), QDate(2010, 12, 31), 0, 3, journal.connString()};
}

void BM_ExportPdf(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    const long faults = minorFaults();
    for (auto _ : state) {
        arpSchede report;
        setUpReport(report, contextFor(journal));
        exportPdf(report, outputPath(journal));
    }
    state.counters["faults"] =
        benchmark::Counter(double(minorFaults() - faults), benchmark::Counter::kAvgIterations);
    state.counters["MB"] = QFileInfo(outputPath(journal)).size() / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakRssMB"] = usage.ru_maxrss / 1024.0;
}
BENCHMARK(BM_ExportPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The parts of an export: reading and laying out, then drawing and writing.
void BM_LayoutOnly(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    size_t pages = 0;
    for (auto _ : state) {
        arpSchede report;
        setUpReport(report, contextFor(journal));
        pages = runForPdf(report).pages.size();
    }
    state.counters["pages"] = double(pages);
}
BENCHMARK(BM_LayoutOnly)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_DrawOnly(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    arpSchede report;
    setUpReport(report, contextFor(journal));
    const ReportDocument document = runForPdf(report);
    const long faults = minorFaults();
    for (auto _ : state) {
        writePdf(document, outputPath(journal));
    }
    state.counters["faults"] =
        benchmark::Counter(double(minorFaults() - faults), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrawOnly)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
