// Whole-run benchmark: one Al-Sc node coarsening at 623 K from a distribution
// of 2000 classes, with `lin` class management back to 2000 classes, a
// constant time step and 20,000 accepted steps. Everything a real step does
// is included: working copies, nucleation, growth, dissolution, mass balance,
// validation, class management and the results files.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "log_normal_start.h"
#include "network/node_ostrel.h"

namespace fs = std::filesystem;

namespace {

constexpr int classCount = 2000;
constexpr int stepCount = 20000;
constexpr double timeStep = 1.0; // s

void writeCase(const fs::path& dir)
{
    // A log-normal distribution around 2 nm holding about 0.37 % of Al3Sc.
    writeLogNormalStart(dir / "start.dat", classCount, 1.2e20);
    std::ofstream(dir / "data") << "notVerbose\n"
                                   "matrix Al 4.05e-10 1.66e-29 26.98\n"
                                   "element Sc 0.2 44.96 5.31e-4 173000\n"
                                   "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
                                   "classManagementType lin\n"
                                   "targetClassNumber "
                                << classCount << "\n"
                                << "initialDistrib Al3Sc start.dat\n"
                                   "temperatureProfile 0 623 "
                                << stepCount * timeStep + 0.5 << " 623\n"
                                << "increaseDT 1\ninitialDT " << timeStep << "\n"
                                << "maxCriterionIncrease 0.5\n"
                                   "savethermodynamics resultsThermo 10\n"
                                   "savedistribution distribution 1000\n"
                                   "nodes 1\n";
}

void BM_WholeRun(benchmark::State& state)
{
    const fs::path previous = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "ostrel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const fs::path dir = pattern;
    writeCase(dir);
    fs::current_path(dir);

    unsigned long accepted = 0;
    unsigned long rejected = 0;
    for (auto _ : state) {
        nodeOstrel network;
        const char* argv[] = {"ostrel"};
        network.initialize(1, argv);
        network.run();
        accepted = network.acceptedStepCount;
        rejected = network.rejectedStepCount;
    }

    fs::current_path(previous);
    fs::remove_all(dir);

    const double steps = static_cast<double>(accepted) * state.iterations();
    state.counters["accepted_steps"] = static_cast<double>(accepted);
    state.counters["rejected_steps"] = static_cast<double>(rejected);
    state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
    state.counters["ns_per_class_step"] =
        benchmark::Counter(steps * classCount, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
