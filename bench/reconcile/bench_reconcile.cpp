// The balance of an account at a date over a journal of 1,000,000 entries:
// all of them in the one account (a cash journal kept for thirty years,
// about a hundred entries a day), or spread over twelve accounts in one
// year. Then the same read entry by entry, as for a file without daily
// totals, and the making of those totals when a journal is upgraded.
#include "benchjournal.h"
#include "db/connection.h"
#include "db/schema.h"
#include "reconcile/balance.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace movilibro;

namespace {

constexpr int Entries = 1000000;

// One account, entries from 1995 on, in date order.
class OneAccountJournal
{
public:
    OneAccountJournal()
    {
        QFile::copy(bench::templatePath(), path());
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
        db::Connection conn = db::Connection::open(path());
        conn.exec(QStringLiteral(
                      "BEGIN; INSERT INTO Conti (cntNome) VALUES ('Cassa'); "
                      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                      "INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate, mlUscite) "
                      "SELECT date('1995-01-01', '+' || (i / 100) || ' days'), 1, 'Registrazione ' || i, "
                      "CASE WHEN i % 3 = 0 THEN i * 137 % 10000000 ELSE 0 END, "
                      "CASE WHEN i % 3 = 0 THEN NULL ELSE i * 71 % 5000000 END FROM n; COMMIT;")
                      .arg(Entries - 1));
    }
    static OneAccountJournal& shared()
    {
        static OneAccountJournal journal;
        return journal;
    }
    QString path() const { return m_dir.path() + QStringLiteral("/movilibro.mdb"); }

private:
    QTemporaryDir m_dir;
};

// Opening the journal is part of it, as for --balance.
void measureBalance(benchmark::State& state, const QString& path, qint64 account, const QDate& day)
{
    for (auto _ : state) {
        db::Connection conn = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        benchmark::DoNotOptimize(reconcile::balanceAt(conn, account, day).raw());
    }
}

void BM_BalanceOneAccountMillionEntries(benchmark::State& state)
{
    measureBalance(state, OneAccountJournal::shared().path(), 1, QDate(2030, 12, 31));
}
BENCHMARK(BM_BalanceOneAccountMillionEntries)->Unit(benchmark::kMillisecond);

void BM_BalanceTwelveAccountsMillionEntries(benchmark::State& state)
{
    measureBalance(state, bench::BenchJournal::shared(Entries).path(), 7, QDate(2010, 12, 31));
}
BENCHMARK(BM_BalanceTwelveAccountsMillionEntries)->Unit(benchmark::kMillisecond);

// Without daily totals: what the totals save.
void BM_BalanceEntryByEntryOneAccount(benchmark::State& state)
{
    static QTemporaryDir dir;
    static const QString copy = [] {
        const QString path = dir.path() + QStringLiteral("/movilibro.mdb");
        QFile::copy(OneAccountJournal::shared().path(), path);
        db::Connection::open(path).exec(db::schema::dropDailyTotalTriggers());
        return path;
    }();
    measureBalance(state, copy, 1, QDate(2030, 12, 31));
}
BENCHMARK(BM_BalanceEntryByEntryOneAccount)->Unit(benchmark::kMillisecond);

// The totals made from the entries, as the upgrade of a journal does once.
void BM_FillDailyTotalsMillionEntries(benchmark::State& state)
{
    db::Connection conn = db::Connection::open(OneAccountJournal::shared().path());
    for (auto _ : state) {
        conn.exec(QStringLiteral("BEGIN; DELETE FROM %1;").arg(QLatin1String(db::schema::DailyTotalsTable)));
        conn.exec(db::schema::fillDailyTotals());
        conn.exec(QStringLiteral("ROLLBACK;"));
    }
}
BENCHMARK(BM_FillDailyTotalsMillionEntries)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
