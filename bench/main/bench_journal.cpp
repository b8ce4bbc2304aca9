// The journal reload against the plain SQLite C API reading the same rows.
#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/enginefunctions.h"
#include "db/periods.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>

using namespace movilibro;

namespace {

const DateRange Year2010{QDate(2010, 1, 1), QDate(2010, 12, 31)};

// One journal per size, made once: entries through 2010 in date order, as a
// journal is kept, on twelve accounts.
class BenchJournal
{
public:
    explicit BenchJournal(int entries)
    {
        const QString path = m_dir.path() + QStringLiteral("/movilibro.mdb");
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/master.gen"), path);
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
                .bind(2, QStringLiteral("Registrazione numero %1").arg(i))
                .bind(3, i % 3 ? std::optional<qint64>(0) : std::optional<qint64>(qint64(i) * 137 % 10000000))
                .bind(4, i % 3 ? std::optional<qint64>(qint64(i) * 71 % 5000000) : std::optional<qint64>());
            ins.run();
        }
        tx.commit();
    }
    QString connString;

private:
    QTemporaryDir m_dir;
};

BenchJournal& journal(int entries)
{
    static std::map<int, std::unique_ptr<BenchJournal>> journals;
    auto& j = journals[entries];
    if (!j)
        j = std::make_unique<BenchJournal>(entries);
    return *j;
}

struct PlainRow
{
    std::string period, account, description;
    int date;
    qint64 in, out, id;
};

// The same query, read with the C API alone into plain structs.
void BM_PlainCApiRead(benchmark::State& state)
{
    BenchJournal& j = journal(int(state.range(0)));
    const QByteArray path = db::databasePathFromConnString(j.connString).toUtf8();
    for (auto _ : state) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        db::registerEngineFunctions(raw);
        sqlite3_exec(raw, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql =
            "SELECT Format([mlData],'yyyy') || Format(((Month([mlData])-1)/2)+1,'0') AS mlPeriodo, "
            "Conti.cntNome AS mlConto, mlData, mlDescrizione, mlEntrate, mlUscite, mlId FROM Movilibro "
            "INNER JOIN Conti ON Movilibro.mlConto = Conti.cntId WHERE mlData Between '2010-01-01' And "
            "'2010-12-31'";
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
// sort, display rows, progressive balance.
void BM_JournalReload(benchmark::State& state)
{
    BenchJournal& j = journal(int(state.range(0)));
    grid::GroupedGrid gex;
    JournalGrid binder(gex);
    binder.setUp();
    for (auto _ : state) {
        binder.load(j.connString, 1, Year2010);
        binder.arrange(3);
        benchmark::DoNotOptimize(gex.displayRowCount());
    }
}
BENCHMARK(BM_JournalReload)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The copy made at start-up, before the main window shows.
void BM_StartupBackup(benchmark::State& state)
{
    BenchJournal& j = journal(int(state.range(0)));
    const db::JournalBackup backup(db::databasePathFromConnString(j.connString));
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
