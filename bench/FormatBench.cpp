// Cost of the number texts: a display tick formats about a dozen of them every 25 ms.
#include "display/core/NumberFormat.h"

#include <benchmark/benchmark.h>

#include <array>

using namespace qmx::display;

namespace {

const NumberLocale kComma{u',', QChar(0x00A0)};

// Typical readings, as float32 widened to double.
const std::array<double, 8> kReadings{
    static_cast<double>(1234.5F),  static_cast<double>(-12.3F),   static_cast<double>(0.0625F),
    static_cast<double>(98765.4F), static_cast<double>(1.5151F),  static_cast<double>(-0.004F),
    static_cast<double>(3.968F),   static_cast<double>(50000.0F)};

void formatNumberReadout(benchmark::State& state)
{
    const int decimals = static_cast<int>(state.range(0));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatNumber(kReadings[i++ % kReadings.size()], decimals, kComma));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(formatNumberReadout)->Arg(0)->Arg(2)->Arg(4);

void formatNumberExponent(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatNumber(123456789.0, 2, kComma));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(formatNumberExponent);

// A double such as 0.1 has a long exact expansion (55 fractional digits); the worst realistic case.
void formatNumberLongExpansion(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatNumber(0.1, 2, kComma));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(formatNumberLongExpansion);

void formatFixedField(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatFixed(kReadings[i++ % kReadings.size()], 8, 2, kComma));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(formatFixedField);

void formatGeneralIni(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatGeneral(kReadings[i++ % kReadings.size()], kComma));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(formatGeneralIni);

} // namespace

BENCHMARK_MAIN();
