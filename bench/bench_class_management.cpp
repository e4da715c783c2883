#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include "kinetics/precipitate.h"

namespace {

// A spherical phase of n classes between 0.05 and 5 nm (a tenth of them below
// the default dissolution radii), in increasing radius order apart from the
// last class, as nucleation leaves it.
Precipitate distribution(std::size_t n, double method)
{
    Precipitate phase;
    phase.classManagementType = method;
    phase.classManagementDue = true;
    std::vector<double> radii(n);
    std::vector<double> numbers(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double x = static_cast<double>(k + 1) / n;
        radii[k] = 5e-9 * x;
        numbers[k] = 1e20 * std::exp(-(x - 0.4) * (x - 0.4) / 0.05);
    }
    // Off the grid of the others: two equal radii would make lin and quad
    // skip their work (and log a warning per call).
    radii.back() = 0.6037e-9;
    phase.SetDistribution(radii, numbers);
    return phase;
}

// Dissolve on n classes; the phase is restored between calls without
// allocating, outside the timing.
void dissolve(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const Precipitate original = distribution(n, 1.0);
    Precipitate phase = original;
    for (auto _ : state) {
        state.PauseTiming();
        phase.radius.assign(original.radius.begin(), original.radius.end());
        phase.number.assign(original.number.begin(), original.number.end());
        state.ResumeTiming();
        phase.Dissolve();
        benchmark::DoNotOptimize(phase.number.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(n));
}

// One class-management call on 5,000 classes regridded to targetClassNumber.
void manage(benchmark::State& state, double method)
{
    const Precipitate original = distribution(5000, method);
    Precipitate phase = original;
    phase.targetClassNumber = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        phase.radius = original.radius;
        phase.number = original.number;
        state.ResumeTiming();
        phase.ClassManagement();
        benchmark::DoNotOptimize(phase.number.data());
    }
}

void lin(benchmark::State& state) { manage(state, class_management::method::lin); }
void distrib(benchmark::State& state) { manage(state, class_management::method::distrib); }
void quad(benchmark::State& state) { manage(state, class_management::method::quad); }

} // namespace

BENCHMARK(dissolve)->Arg(500)->Arg(5000);
BENCHMARK(lin)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(quad)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(distrib)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);
