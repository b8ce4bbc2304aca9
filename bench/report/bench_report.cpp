// The journal report exported to PDF: query, layout and drawing of every page,
// for a year of 10,000, 100,000 and 1,000,000 entries grouped by month and
// account; and the print preview of 100,000 entries opened on its first page.
#include "benchjournal.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/enginefunctions.h"
#include "report/arpschede.h"
#include "report/pdfexport.h"
#include "ui/report/reportcommands.h"
#include "ui/report/reportpreview.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

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

// The peak resident memory since the last reset, from the kernel's high-water mark.
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
}
BENCHMARK(BM_ExportPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One export of a large journal, with the peak memory it takes above the
// journal's creation.
void BM_ExportPdfPeak(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    resetPeak();
    const double before = peakMegabytes();
    for (auto _ : state) {
        arpSchede report;
        setUpReport(report, contextFor(journal));
        exportPdf(report, outputPath(journal));
    }
    state.counters["start_MB"] = before;
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["MB"] = QFileInfo(outputPath(journal)).size() / 1e6;
}
BENCHMARK(BM_ExportPdfPeak)->Arg(10000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// From the print command to the first page painted.
void BM_OpenPreview(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    resetPeak();
    for (auto _ : state) {
        std::unique_ptr<ReportPreview> preview(printPreview(nullptr, contextFor(journal)));
        benchmark::DoNotOptimize(preview->grab());
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_OpenPreview)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The parts of an export: reading the records and planning the pages, then
// laying every page out without drawing it.
void BM_PlanOnly(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    int pages = 0;
    resetPeak();
    for (auto _ : state) {
        arpSchede report;
        setUpReport(report, contextFor(journal));
        pages = preparePdf(report).pageCount();
    }
    state.counters["pages"] = double(pages);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_PlanOnly)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanOnly)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LayoutOnly(benchmark::State& state)
{
    BenchJournal& journal = BenchJournal::shared(int(state.range(0)));
    for (auto _ : state) {
        arpSchede report;
        setUpReport(report, contextFor(journal));
        ReportPages pages = preparePdf(report);
        for (int index = 0; index < pages.pageCount(); ++index)
            benchmark::DoNotOptimize(pages.page(index));
    }
}
BENCHMARK(BM_LayoutOnly)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return movilibro::bench::runBenchmarks(argc, argv);
}
