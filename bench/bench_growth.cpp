#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"
#include "allocation_counter.h"

namespace {

constexpr std::size_t classCount = 5000;

Element element(const std::string& name, double ssFraction, double D0, double Q)
{
    Element e;
    e.name = name;
    e.ssFraction = ssFraction;
    e.D0 = D0;
    e.Q = Q;
    return e;
}

// Radii from 0.5 to 20 nm, on both sides of the critical radius, so that
// some classes grow and others shrink.
void fillClasses(Precipitate& phase)
{
    std::vector<double> radii(classCount);
    std::vector<double> numbers(classCount);
    for (std::size_t k = 0; k < classCount; ++k) {
        radii[k] = 0.5e-9 * std::pow(40.0, static_cast<double>(k) / (classCount - 1));
        numbers[k] = 1e19;
    }
    phase.SetDistribution(radii, numbers);
}

struct Alloy {
    std::vector<Element> elements;
    Matrix matrix;
    Precipitate phase;
    double T = 0.0;
    double dt = 0.0;
};

// Al3Sc in aluminium at 400 C: scandium limits growth, the matrix is fast.
Alloy aluminiumScandium()
{
    Alloy a;
    a.elements = {element("Sc", 0.002, 5.31e-4, 173000.0), element("Al", 0.998, 0.0, 0.0)};
    a.matrix.name = "Al";
    a.matrix.VatSS = 1.66e-29;
    a.phase = Precipitate({"Sc", "Al"});
    a.phase.name = "Al3Sc";
    a.phase.atomicVolume = 1.72e-29;
    a.phase.surfaceEnergy = 0.2;
    a.phase.solubilityA = 5000.0;
    a.phase.solubilityB = 2.0;
    a.phase.stoichiometry = {1.0, 3.0};
    a.phase.stoichiometrySum = 4.0;
    a.phase.aspectRatio = 1.0;
    fillClasses(a.phase);
    a.T = 673.0;
    a.dt = 10.0;
    return a;
}

// Mg2Si in aluminium at 180 C: magnesium and silicon both limit growth.
Alloy aluminiumMagnesiumSilicon(double algorithm)
{
    Alloy a;
    a.elements = {element("Mg", 0.006, 1.49e-4, 120500.0), element("Si", 0.004, 1.38e-4, 117600.0),
                  element("Al", 0.99, 0.0, 0.0)};
    a.matrix.name = "Al";
    a.matrix.VatSS = 1.66e-29;
    a.phase = Precipitate({"Mg", "Si", "Al"});
    a.phase.name = "Mg2Si";
    a.phase.atomicVolume = 2.13e-29;
    a.phase.surfaceEnergy = 0.1;
    a.phase.solubilityA = 5000.0;
    a.phase.solubilityB = 2.04;
    a.phase.stoichiometry = {2.0, 1.0, 0.0};
    a.phase.stoichiometrySum = 3.0;
    a.phase.aspectRatio = 1.0;
    a.phase.nonLinearAlgorithm = algorithm;
    fillClasses(a.phase);
    a.T = 453.0;
    a.dt = 10.0;
    return a;
}

// One growth call per iteration on the same distribution; restoring the
// radii (a plain copy, no allocation) is part of the timing and costs well
// under a nanosecond per class.
void growRepeatedly(benchmark::State& state, Alloy alloy)
{
    const std::vector<double> radii = alloy.phase.radius;
    alloy.phase.Growth(alloy.elements, alloy.matrix, alloy.dt, alloy.T); // warm-up
    std::copy(radii.begin(), radii.end(), alloy.phase.radius.begin());
    const std::size_t allocationsBefore = allocationCount;
    alloy.phase.Growth(alloy.elements, alloy.matrix, alloy.dt, alloy.T);
    state.counters["allocations"] = static_cast<double>(allocationCount - allocationsBefore);
    for (auto _ : state) {
        std::copy(radii.begin(), radii.end(), alloy.phase.radius.begin());
        alloy.phase.Growth(alloy.elements, alloy.matrix, alloy.dt, alloy.T);
        benchmark::DoNotOptimize(alloy.phase.radius.data());
    }
    const auto classes = static_cast<double>(state.iterations()) * static_cast<double>(classCount);
    state.SetItemsProcessed(static_cast<long long>(classes));
    state.counters["per_class"] = benchmark::Counter(classes, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void oneElementSphere(benchmark::State& state) { growRepeatedly(state, aluminiumScandium()); }
void twoElementsNR(benchmark::State& state) { growRepeatedly(state, aluminiumMagnesiumSilicon(nonlinear_algorithm::newtonRaphson)); }
void twoElementsCNR(benchmark::State& state) { growRepeatedly(state, aluminiumMagnesiumSilicon(nonlinear_algorithm::constrainedNewtonRaphson)); }
void twoElementsBrent(benchmark::State& state) { growRepeatedly(state, aluminiumMagnesiumSilicon(nonlinear_algorithm::brent)); }
void twoElementsDicho(benchmark::State& state) { growRepeatedly(state, aluminiumMagnesiumSilicon(nonlinear_algorithm::dichotomy)); }

} // namespace

BENCHMARK(oneElementSphere)->Unit(benchmark::kMicrosecond);
BENCHMARK(twoElementsNR)->Unit(benchmark::kMicrosecond);
BENCHMARK(twoElementsCNR)->Unit(benchmark::kMicrosecond);
BENCHMARK(twoElementsBrent)->Unit(benchmark::kMicrosecond);
BENCHMARK(twoElementsDicho)->Unit(benchmark::kMicrosecond);
