// Whole-run benchmark: one Al-Sc node coarsening at 623 K from a distribution
// of 2000 classes, with `lin` class management back to 2000 classes, a
// constant time step and 20,000 accepted steps. Everything a real step does
// is included: working copies, nucleation, growth, dissolution, mass balance,
// validation, class management and the results files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "log_normal_start.h"
#include "whole_run.h"

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
    const WholeRunSteps run = runWholeCase(state, writeCase);
    const double steps = static_cast<double>(run.accepted) * state.iterations();
    state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
    state.counters["ns_per_class_step"] =
        benchmark::Counter(steps * classCount, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
