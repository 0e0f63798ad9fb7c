// FormatValue runs for six values at the end of every averaging window, down to
// once a millisecond: it should stay well below 150 ns per call.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <random>
#include <vector>

#include "measurement/ValueFormat.h"

namespace {

struct Case {
    double nominalValue;
    double value;
};

// Instruments from 2 to 600000, values from near zero to overload, both signs.
std::vector<Case> RealisticCases() {
    constexpr std::array<double, 6> kNominalValues{2, 10, 50, 500, 5000, 600000};
    std::mt19937 random(212);
    std::uniform_real_distribution<double> fraction(-1.1, 1.1);
    std::vector<Case> cases;
    for (int i = 0; i < 1024; ++i) {
        const double nominal = kNominalValues[static_cast<size_t>(i) % kNominalValues.size()];
        cases.push_back({nominal, nominal * fraction(random)});
    }
    return cases;
}

void BM_FormatValue(benchmark::State& state) {
    const std::vector<Case> cases = RealisticCases();
    double nominalValue = 0;
    vx::ValueFormatter formatter(nominalValue);
    formatter.hiRes = state.range(0) != 0;
    size_t i = 0;
    for (auto _ : state) {
        const Case& c = cases[i++ % cases.size()];
        nominalValue = c.nominalValue;
        benchmark::DoNotOptimize(formatter.FormatValue(c.value));
    }
}
BENCHMARK(BM_FormatValue)->Arg(0)->Arg(1)->ArgName("hiRes");

}  // namespace
