// Whole-run benchmark: one Al-Sc node coarsening at 623 K from a distribution
// of 2000 classes, with `lin` class management back to 2000 classes, a
// constant time step and 20,000 accepted steps. Everything a real step does
// is included: working copies, nucleation, growth, dissolution, mass balance,
// validation, class management and the results files; then the same run with
// the strength of the microstructure, and semi-coupled to a strain history.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "log_normal_start.h"
#include "whole_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int classCount = 2000;
constexpr int stepCount = 20000;
constexpr double timeStep = 1.0; // s

// The strength of the Al3Sc spheres (model 6), without hardening.
const char* strengthKeywords = "mechanicModel 6\nSSconstant Sc MPa_Wpct 20\nyoung 300 70e9\npoisson 300 0.33\n"
                               "dislocations 1e12 0.3 0.36\ncristalloConstant 10e6 3.06 2.86e-10 cfc\n"
                               "precipitateConstants Al3Sc 2e-9 triangular 160e9 0.3 0 0 0 0\n";
constexpr int strainPointCount = 1000;

void writeCase(const fs::path& dir, const std::string& mechanics)
{
    // A log-normal distribution around 2 nm holding about 0.37 % of Al3Sc.
    writeLogNormalStart(dir / "start.dat", classCount, 1.2e20);
    const double endTime = stepCount * timeStep + 0.5;
    std::ofstream(dir / "data") << "notVerbose\n"
                                << alScStartingFromDistribution(classCount) << "temperatureProfile 0 623 "
                                << endTime << " 623\n"
                                << "increaseDT 1\ninitialDT " << timeStep << "\n"
                                << "maxCriterionIncrease 0.5\n"
                                   "savethermodynamics resultsThermo 10\n"
                                   "savedistribution distribution 1000\n"
                                   "nodes 1\n"
                                << mechanics;
    // A tensile history over the whole run, its points on the grid of the
    // constant step (with increaseDT 1 a step shortened onto a point off the
    // grid would stay that short), the last one at the end of the profile.
    std::ofstream strain(dir / "strain.txt");
    strain.precision(17);
    strain << "time strain\n";
    const double interval = static_cast<double>(stepCount) * timeStep / strainPointCount;
    for (int j = 0; j <= strainPointCount; ++j)
        strain << (j < strainPointCount ? interval * j : endTime) << ' ' << 0.05 * j / strainPointCount << '\n';
}

// The whole run in a fresh directory, once.
void wholeRun(benchmark::State& state, const std::string& mechanics)
{
    const WholeRunSteps run = runWholeCase(state, [&](const fs::path& dir) { writeCase(dir, mechanics); });
    const double steps = static_cast<double>(run.accepted) * state.iterations();
    state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
    state.counters["ns_per_class_step"] =
        benchmark::Counter(steps * classCount, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WholeRun(benchmark::State& state) { wholeRun(state, ""); }

// The same run with the strength of the microstructure after every step and
// beside every record: the difference to BM_WholeRun is its cost.
void BM_WholeRunWithStrength(benchmark::State& state) { wholeRun(state, strengthKeywords); }

// The same run semi-coupled to a tensile history of 1,000 points: the clock
// lands on every point, where the strength is evaluated again and law 1
// integrates the interval.
void BM_WholeRunSemiCoupled(benchmark::State& state)
{
    wholeRun(state, std::string(strengthKeywords)
                        + "hardeningModel 1\nparametersForHardening 2e9\nstrainLoad strain .txt\n"
                          "couplingHardening semi\n");
}

} // namespace

BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_WholeRunWithStrength)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_WholeRunSemiCoupled)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
