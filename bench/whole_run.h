#pragma once

// Runs a whole case as build/ostrel runs it, for the whole-run benchmarks.
// Include it in the one file of a benchmark program.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_directory.h"
#include "network/node_ostrel.h"

struct WholeRunSteps {
    unsigned long accepted = 0;
    unsigned long rejected = 0;
};

// Writes the case (its data file and inputs) with `writeCase` into a fresh
// temporary directory, runs it there once per iteration, removes the
// directory and reports the step counts as counters. With the environment
// variable OSTREL_BENCH_CASE_DIR set, the case is written into that
// directory instead and kept, so that a profiler can run build/ostrel on
// the same data file.
template <typename WriteCase>
WholeRunSteps runWholeCase(benchmark::State& state, WriteCase writeCase)
{
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    const char* kept = std::getenv("OSTREL_BENCH_CASE_DIR");
    fs::path dir;
    if (kept != nullptr) {
        dir = kept;
        fs::create_directories(dir);
    } else {
        dir = freshBenchDirectory();
        if (dir.empty()) {
            state.SkipWithError("no temporary directory");
            return {};
        }
    }
    writeCase(dir);
    fs::current_path(dir);

    WholeRunSteps steps;
    for (auto _ : state) {
        nodeOstrel network;
        const char* argv[] = {"ostrel"};
        network.initialize(1, argv);
        network.run();
        steps.accepted = network.acceptedStepCount;
        steps.rejected = network.rejectedStepCount;
    }

    fs::current_path(previous);
    if (kept == nullptr) fs::remove_all(dir);
    state.counters["accepted_steps"] = static_cast<double>(steps.accepted);
    state.counters["rejected_steps"] = static_cast<double>(steps.rejected);
    return steps;
}
