#include "format/currency.h"
#include "format/formatengine.h"

#include <benchmark/benchmark.h>

using movilibro::Currency;
namespace Format = movilibro::Format;

namespace {

const QLocale Italian(QLocale::Italian, QLocale::Italy);

// Amounts as a journal holds them: cents, some negative, some zero.
qint64 sampleRaw(std::int64_t i)
{
    return ((i * 7919) % 2000003 - 1000000) * 100;
}

void BM_NumberAmount(benchmark::State& state)
{
    const QString pattern = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
    std::int64_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Format::number(Currency::fromRaw(sampleRaw(i++)), pattern, Italian));
}
BENCHMARK(BM_NumberAmount);

// The pattern text arrives as a fresh string each time, as from a SQL call.
void BM_NumberWholeFreshPattern(benchmark::State& state)
{
    std::int64_t i = 0;
    for (auto _ : state) {
        const QString pattern = QString::fromLatin1("0");
        benchmark::DoNotOptimize(Format::number(qint64(i++ % 6), pattern, Italian));
    }
}
BENCHMARK(BM_NumberWholeFreshPattern);

void BM_DateMonthKey(benchmark::State& state)
{
    const QString pattern = QStringLiteral("yyyymm");
    const QDate first(2000, 1, 1);
    std::int64_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Format::date(first.addDays(i++ % 9000), pattern, Italian));
}
BENCHMARK(BM_DateMonthKey);

void BM_DateMonthName(benchmark::State& state)
{
    const QString pattern = QStringLiteral("mmmm yyyy");
    const QDate first(2000, 1, 1);
    std::int64_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Format::date(first.addDays(i++ % 9000), pattern, Italian));
}
BENCHMARK(BM_DateMonthName);

void BM_ParseTypedAmount(benchmark::State& state)
{
    const QString text = QStringLiteral("1.234.567,89 ");
    for (auto _ : state)
        benchmark::DoNotOptimize(Currency::parse(text, Italian));
}
BENCHMARK(BM_ParseTypedAmount);

} // namespace

BENCHMARK_MAIN();
