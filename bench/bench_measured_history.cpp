// Whole-run benchmark of a measured temperature history: an Al-Sc node aged
// along a thermocouple record of 10,001 points (a slow heating to 623 K, a
// hold with the small oscillations of a furnace, a slow cooling), with `lin`
// class management to 200 classes and a thermodynamic and a distribution
// record every 10 steps. It shows what a long profile and frequent records
// cost per step: finding the temperature of a time and writing numbers.
// With OSTREL_BENCH_CASE_DIR=dir the data file is kept in dir for a
// profiler (see whole_run.h and README.md).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "log_normal_start.h"
#include "whole_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int profilePoints = 10001;
constexpr double recordSpacing = 10.0; // s between two points of the record
constexpr double heatingEnd = 5000.0;  // s
constexpr double coolingStart = 95000.0;
constexpr double roomTemperature = 300.0;  // K
constexpr double holdTemperature = 623.0;  // K

double recordedTemperature(double t)
{
    const double furnace = holdTemperature + 1.5 * std::sin(t / 700.0) + 0.3 * std::sin(t / 37.0);
    if (t < heatingEnd) return roomTemperature + (furnace - roomTemperature) * t / heatingEnd;
    if (t > coolingStart) {
        const double end = recordSpacing * (profilePoints - 1);
        return furnace - (furnace - roomTemperature) * (t - coolingStart) / (end - coolingStart);
    }
    return furnace;
}

void writeCase(const fs::path& dir)
{
    std::ostringstream profile;
    profile.precision(10);
    profile << "temperatureProfile";
    for (int k = 0; k < profilePoints; ++k) {
        const double t = recordSpacing * k;
        profile << ' ' << t << ' ' << recordedTemperature(t);
    }
    std::ofstream(dir / "data") << "notVerbose\n"
                                << alScMaterial << "classManagementType lin\n"
                                   "targetClassNumber 200\n"
                                << profile.str() << "\n"
                                << "savethermodynamics resultsThermo 10\n"
                                   "savedistribution distribution 10\n"
                                   "nodes 1\n";
}

void BM_MeasuredHistory(benchmark::State& state)
{
    const WholeRunSteps run = runWholeCase(state, writeCase);
    const double steps = static_cast<double>(run.accepted) * state.iterations();
    state.counters["us_per_step"] =
        benchmark::Counter(steps * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_MeasuredHistory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
