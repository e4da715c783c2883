#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/temperature_profile.h"
#include "mechanics/mechanical_model.h"
#include "allocation_counter.h"

namespace {

constexpr std::size_t classCount = 5000;

// An Al-Cu node with one phase of 5,000 classes from 0.5 to 20 nm, on both
// sides of the transition radius of 3 nm, read from a data file like a run.
struct Node {
    std::vector<Element> elements;
    std::vector<Precipitate> precipitates;
    TemperatureProfile profile;
    MechanicalModel mechanics;
};

Node node(int strengthModel, int shape, const std::string& hardening)
{
    Node n;
    n.elements.resize(2);
    n.elements[0].name = "Cu";
    n.elements[0].molarMass = 63.55;
    n.elements[0].ssFraction = 0.001;
    n.elements[1].name = "Al";
    n.elements[1].molarMass = 26.98;
    n.elements[1].ssFraction = 0.999;
    n.precipitates.resize(1);
    Precipitate& phase = n.precipitates[0];
    phase.name = "theta";
    phase.shape = shape;
    phase.aspectRatio = shape == shape::sphere ? 1.0 : 8.0;
    const double parameters[7] = {8.0, 0.0, 8.0, 0.0, 8.0, 1.0, 2.0};
    for (int i = 0; i < 7; ++i) phase.shapeParameters[i] = parameters[i];
    std::vector<double> radii(classCount);
    std::vector<double> numbers(classCount, 1e19);
    for (std::size_t k = 0; k < classCount; ++k)
        radii[k] = 0.5e-9 * std::pow(40.0, static_cast<double>(k) / (classCount - 1));
    phase.SetDistribution(radii, numbers);
    n.profile.setProfile({"temperatureProfile", "0", "433", "36000", "433"});

    const auto directory = std::filesystem::temp_directory_path() / "ostrel-bench-mechanics";
    std::filesystem::create_directories(directory);
    std::filesystem::current_path(directory);
    std::ofstream("data") << "mechanicModel " << strengthModel
                          << "\nSSconstant Cu MPa_Xat 10\nyoung 300 70e9\npoisson 300 0.33\n"
                             "dislocations 1e12 0.3 0.36\ncristalloConstant 10e6 3.06 2.86e-10 cfc\n"
                             "precipitateConstants theta 3e-9 triangular 100e9 0.3 0.5 10 0.5 0\n"
                          << hardening;
    n.mechanics.ReadMechanicalInput("data", n.elements, n.precipitates, n.profile, 0, true);
    n.mechanics.quiet = true;
    return n;
}

void strengthPerClass(benchmark::State& state, int strengthModel, int shape)
{
    Node n = node(strengthModel, shape, "");
    MechanicalModel& mechanics = n.mechanics;
    mechanics.temperature = 433;
    mechanics.ComputeStrength(n.elements, n.precipitates, 0.0); // warm-up
    const std::size_t allocationsBefore = allocationCount;
    mechanics.ComputeStrength(n.elements, n.precipitates, 10.0);
    state.counters["allocations"] = static_cast<double>(allocationCount - allocationsBefore);
    for (auto _ : state) {
        mechanics.ComputeStrength(n.elements, n.precipitates, 10.0);
        benchmark::DoNotOptimize(mechanics.strength.flowStress);
    }
    const auto classes = static_cast<double>(state.iterations()) * static_cast<double>(classCount);
    state.SetItemsProcessed(static_cast<long long>(classes));
    state.counters["per_class"] = benchmark::Counter(classes, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void platesModel0(benchmark::State& state) { strengthPerClass(state, strengthModel::plates, shape::cylinderFunction); }
void rodsModel1(benchmark::State& state) { strengthPerClass(state, strengthModel::rods, shape::rod); }
void rodsModel3(benchmark::State& state) { strengthPerClass(state, strengthModel::rodsMeanForceSpacing, shape::rod); }
void platesModel5(benchmark::State& state)
{
    strengthPerClass(state, strengthModel::volumeWeightedPlates, shape::cylinderFunction);
}
void spheresModel6(benchmark::State& state) { strengthPerClass(state, strengthModel::spheres, shape::sphere); }

// The hardening of a semi-coupled node along a tensile history of 1,000
// points over 10 h: at each point the strength of the frozen 5,000-class
// microstructure and one plastic increment (time per strain point).
void semiCoupledHistory(benchmark::State& state, const std::string& law, const std::string& parameters)
{
    const auto directory = std::filesystem::temp_directory_path() / "ostrel-bench-mechanics";
    std::filesystem::create_directories(directory);
    {
        std::ofstream strain(directory / "strain.txt");
        strain << "time strain\n";
        for (int j = 0; j <= 1000; ++j) strain << j * 36.0 << ' ' << j * 1e-4 << '\n';
    }
    const Node start = node(strengthModel::rods, shape::rod,
                            "hardeningModel " + law + "\nparametersForHardening " + parameters
                                + "\nstrainLoad strain .txt\ncouplingHardening semi\n");
    for (auto _ : state) {
        state.PauseTiming();
        Node n = start;
        n.mechanics.mechanicalComputation(mechanicalCall::initialisation, n.elements, n.precipitates, 433, 0, 0, 0);
        state.ResumeTiming();
        for (unsigned int j = 1; j <= 1000; ++j)
            n.mechanics.mechanicalComputation(mechanicalCall::loadPoint, n.elements, n.precipitates, 433, j * 36.0,
                                              36.0, j);
        benchmark::DoNotOptimize(n.mechanics.hardening);
    }
    state.counters["per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void semiCoupledLinear(benchmark::State& state) { semiCoupledHistory(state, "1", "2e9"); }
void semiCoupledDislocations(benchmark::State& state) { semiCoupledHistory(state, "9", "2e8 20"); }
void semiCoupledPrecipitateLoops(benchmark::State& state) { semiCoupledHistory(state, "14", "2e8 20 10 1 1"); }

} // namespace

BENCHMARK(platesModel0);
BENCHMARK(rodsModel1);
BENCHMARK(rodsModel3);
BENCHMARK(platesModel5);
BENCHMARK(spheresModel6);
BENCHMARK(semiCoupledLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(semiCoupledDislocations)->Unit(benchmark::kMillisecond);
BENCHMARK(semiCoupledPrecipitateLoops)->Unit(benchmark::kMillisecond);
