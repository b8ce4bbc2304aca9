// The journal report exported to PDF: query, layout and drawing of every page,
// for a year of 10,000 and 100,000 entries grouped by month and account.
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

class BenchJournal
{
public:
    explicit BenchJournal(int entries)
    {
        const QString path = m_dir.path() + QStringLiteral("/movilibro.mdb");
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/master.gen"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        m_connString = db::connStringFor(m_dir.path());
        fill(entries);
    }
    QString connString() const { return m_connString; }
    QString outputPath() const { return m_dir.path() + QStringLiteral("/giornale.pdf"); }

private:
    void fill(int entries)
    {
        db::Connection conn = db::Connection::openConnString(m_connString);
        db::Transaction transaction(conn);
        const QStringList accounts = {"Banca", "Cassa", "Posta", "Carta di credito", "Fornitori"};
        for (const QString& account : accounts) {
            conn.prepare(QStringLiteral("INSERT INTO Conti (cntNome) VALUES (?)")).bind(0, account).run();
        }
        auto insert = conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, "
                                                  "mlEntrate, mlUscite) VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < entries; ++i) {
            const qint64 amount = (i % 5000 + 1) * 1250;
            const bool income = i % 3 == 0;
            insert.reset();
            insert.bind(0, db::isoDate(QDate(2010, 1, 1).addDays(qint64(i) * 365 / entries)))
                .bind(1, qint64(i % accounts.size() + 1))
                .bind(2, QStringLiteral("Movimento di prova numero %1").arg(i + 1))
                .bind(3, income ? std::optional<qint64>(amount) : std::nullopt)
                .bind(4, income ? std::nullopt : std::optional<qint64>(amount))
                .run();
        }
        transaction.commit();
    }

    QTemporaryDir m_dir;
    QString m_connString;
};

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
    BenchJournal journal(int(state.range(0)));
    const long faults = minorFaults();
    for (auto _ : state) {
        arpSchede report;
        setUpReport(report, contextFor(journal));
        exportPdf(report, journal.outputPath());
    }
    state.counters["faults"] =
        benchmark::Counter(double(minorFaults() - faults), benchmark::Counter::kAvgIterations);
    state.counters["MB"] = QFileInfo(journal.outputPath()).size() / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakRssMB"] = usage.ru_maxrss / 1024.0;
}
BENCHMARK(BM_ExportPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The parts of an export: reading and laying out, then drawing and writing.
void BM_LayoutOnly(benchmark::State& state)
{
    BenchJournal journal(int(state.range(0)));
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
    BenchJournal journal(int(state.range(0)));
    arpSchede report;
    setUpReport(report, contextFor(journal));
    const ReportDocument document = runForPdf(report);
    const long faults = minorFaults();
    for (auto _ : state) {
        writePdf(document, journal.outputPath());
    }
    state.counters["faults"] =
        benchmark::Counter(double(minorFaults() - faults), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrawOnly)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
