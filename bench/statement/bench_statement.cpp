// A bank statement of 10,000 rows brought into a 100,000-entry journal: read
// and layout guessed, checked against the journal, written after a copy.
#include "benchjournal.h"
#include "db/connection.h"
#include "format/currency.h"
#include "statement/statement.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace movilibro;

namespace {

constexpr int Rows = 10000;
constexpr int JournalEntries = 100000;
constexpr qint64 Account = 1;

QString amountText(qint64 raw)
{
    return Currency::fromRaw(raw).toString(QLocale(QLocale::Italian, QLocale::Italy));
}

// Half the rows repeat entries the account already has, half are new; the
// dates run through the journal's whole year, so every entry of the account
// is a candidate.
const QString& statementFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.path() + QStringLiteral("/estratto.csv");
        QString text =
            QStringLiteral("Banca Esempio;;;;\nConto corrente;IT60X0542811101000000123456;;;\n;;;;\n"
                           "Data contabile;Data valuta;Descrizione operazione;Entrate;Uscite\n");
        db::Connection conn = db::Connection::open(bench::BenchJournal::shared(JournalEntries).path(),
                                                   db::Connection::Mode::ReadOnly);
        db::Statement known = conn.prepare(QStringLiteral("SELECT mlData, mlDescrizione, mlEntrate, mlUscite "
                                                          "FROM Movilibro WHERE mlConto = ? ORDER BY mlId"));
        known.bind(0, Account);
        for (int i = 0; i < Rows; ++i) {
            const bool repeated = i % 2 == 0 && known.step();
            const QDate date = repeated ? known.date(0) : QDate(2010, 1, 1).addDays(i * 365 / Rows);
            const QString day = date.toString(QStringLiteral("dd/MM/yyyy"));
            const QString description =
                repeated ? known.text(1) : QStringLiteral("Pagamento POS negozio \"Città\" %1").arg(i);
            const qint64 in = repeated ? (known.isNull(2) ? 0 : known.int64(2)) : 0;
            const qint64 out = repeated ? (known.isNull(3) ? 0 : known.int64(3)) : 10000 + i * 13;
            text += QStringLiteral("%1;%1;\"%2\";%3;%4\n")
                        .arg(day, QString(description).replace(u'"', QStringLiteral("\"\"")),
                             in ? amountText(in) : QString(), out ? amountText(out) : QString());
        }
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        return file;
    }();
    return path;
}

std::vector<statement::Movement> fresh(const statement::Statement& s)
{
    std::vector<statement::Movement> out;
    for (const statement::Movement& m : s.movements) {
        if (!m.isRefused() && !m.duplicate)
            out.push_back(m);
    }
    return out;
}

void BM_ReadStatement(benchmark::State& state)
{
    const QString& file = statementFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(statement::readStatement(file).movements.size());
}
BENCHMARK(BM_ReadStatement)->Unit(benchmark::kMillisecond);

void BM_MarkDuplicates(benchmark::State& state)
{
    const statement::Statement read = statement::readStatement(statementFile());
    db::Connection conn = db::Connection::open(bench::BenchJournal::shared(JournalEntries).path(),
                                               db::Connection::Mode::ReadOnly);
    for (auto _ : state) {
        std::vector<statement::Movement> movements = read.movements;
        statement::markDuplicates(conn, Account, movements);
        benchmark::DoNotOptimize(movements.data());
    }
}
BENCHMARK(BM_MarkDuplicates)->Unit(benchmark::kMillisecond);

// The whole import as the user waits for it, copy of the journal included;
// each round starts from the untouched journal. Argument 0: a journal without
// the change log, to weigh the log's line.
void BM_ReadCheckImport(benchmark::State& state)
{
    const QString& file = statementFile();
    const QString source = bench::BenchJournal::shared(JournalEntries).path();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString journal = dir.path() + QStringLiteral("/movilibro.mdb");
        QFile::copy(source, journal);
        if (!state.range(0))
            db::Connection::open(journal).exec(QStringLiteral("DROP TABLE Cronologia"));
        state.ResumeTiming();
        statement::Statement s = statement::readStatement(file);
        db::Connection conn = db::Connection::open(journal);
        statement::markDuplicates(conn, Account, s.movements);
        const statement::ImportResult r = statement::importMovements(conn, journal, Account, fresh(s), 0);
        if (r.imported != Rows / 2)
            state.SkipWithError("not half of the rows imported");
    }
}
BENCHMARK(BM_ReadCheckImport)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
