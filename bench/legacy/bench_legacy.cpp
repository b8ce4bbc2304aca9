// Import of an old journal of 20,000 entries, and the CSV export of 100,000.
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

QString templatePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/master.gen");
}

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
        const auto summary = legacy::importIntoFolder(LargeOldJournal, folder.path(), templatePath());
        if (summary.entries != 20000)
            state.SkipWithError("not every entry was imported");
    }
}
BENCHMARK(BM_ImportOldJournal)->Unit(benchmark::kMillisecond);

// A journal of `entries` entries through 2010 on twelve accounts.
class BenchJournal
{
public:
    explicit BenchJournal(int entries)
    {
        const QString path = m_dir.path() + QStringLiteral("/movilibro.mdb");
        QFile::copy(templatePath(), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        connString = db::connStringFor(m_dir.path());
        db::Connection conn = db::Connection::open(path);
        db::Transaction tx(conn);
        for (int a = 1; a <= 12; ++a)
            conn.exec(QStringLiteral("INSERT INTO Conti (cntNome) VALUES ('Conto %1')").arg(a));
        db::Statement ins =
            conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate, "
                                        "mlUscite) VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < entries; ++i) {
            ins.reset();
            ins.bind(0, db::isoDate(QDate(2010, 1, 1).addDays(qint64(i) * 365 / entries)))
                .bind(1, qint64(1 + i % 12))
                .bind(2, i % 50 ? QStringLiteral("Registrazione numero %1").arg(i)
                                : QStringLiteral("Caffè; \"doppio\" %1").arg(i))
                .bind(3, i % 3 ? std::optional<qint64>(0) : std::optional<qint64>(qint64(i) * 137 % 10000000))
                .bind(4, i % 3 ? std::optional<qint64>(qint64(i) * 71 % 5000000) : std::optional<qint64>());
            ins.run();
        }
        tx.commit();
    }
    QString connString;
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Load, group, sort and balance as the grid does, then write the file.
void BM_CsvExport(benchmark::State& state)
{
    static BenchJournal journal(int(state.range(0)));
    const report::ReportContext context{QDate(2010, 1, 1), QDate(2010, 12, 31), 0, int(state.range(1)),
                                        journal.connString};
    const QString path = journal.folder() + QStringLiteral("/giornale.csv");
    for (auto _ : state)
        report::exportCsv(context, path);
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_CsvExport)->Args({100000, 0})->Args({100000, 3})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
