// Wall time of whole runs of the MPI program (build-mpi/ostrel) under
// mpirun with 1 and 2 processes, against the serial program of the same
// build: a network of 16 alike unconnected Al-Sc nodes aged for 10 days at
// 623 K (about 20,000 steps each, 0.5 s per node), and the TTP example
// (examples/ttp-al-sc: 81 nodes from 3,700 to 10,600 steps each). Everything
// is included: mpirun's start, the reading on every process, the result
// files, and the lines gathered on the first process. Built only in the MPI
// build (make mpi-bench).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "bench_directory.h"
#include "log_normal_start.h"

namespace fs = std::filesystem;

namespace {

constexpr int nodeCount = 16;

std::string networkData(bool verbose)
{
    std::string data = std::string(alScMaterial) +
                       "classManagementType lin\n"
                       "targetClassNumber 1000\n"
                       "maxCriterionIncrease 0.0002\n"
                       "temperatureProfile 0 623 864000 623\n"
                       "savethermodynamics resultsThermo 100\n"
                       "savedistribution distribution 1000\n";
    if (!verbose) data += "notVerbose\n";
    data += "nodes " + std::to_string(nodeCount) + "\n";
    for (int k = 0; k < nodeCount; ++k)
        data += "node " + std::to_string(k) + " " + std::to_string(k) + "e-3 0 0 1e-9\n";
    return data;
}

std::string sourceFile(const char* relativePath)
{
    std::ifstream in(fs::path(OSTREL_SOURCE_DIR) / relativePath);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Runs `data` in a fresh folder, with the serial program (processes 0) or
// under mpirun, which `mpirunOptions` are given to.
void runWhole(benchmark::State& state, const std::string& data, int processes, const std::string& mpirunOptions = "")
{
    const fs::path dir = freshBenchDirectory();
    if (dir.empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::ofstream(dir / "data") << data;
    std::string command = "cd '" + dir.string() + "' && ";
    if (processes == 0) {
        command += "'" OSTREL_SERIAL_BINARY "'";
    } else {
        command += "'" OSTREL_MPIEXEC "' " + mpirunOptions + " --oversubscribe -np " + std::to_string(processes);
        if (geteuid() == 0) command += " --allow-run-as-root";
        command += " '" OSTREL_MPI_BINARY "'";
    }
    command += " > console.txt 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("the run failed");
    fs::remove_all(dir);
}

// Arguments: number of processes (0: the serial program without mpirun),
// and whether the progress lines are on (1) or silenced (0).
void UnconnectedNodes(benchmark::State& state)
{
    runWhole(state, networkData(state.range(1) != 0), static_cast<int>(state.range(0)));
    state.counters["nodes"] = nodeCount;
}

// Arguments: number of processes (0: the serial program without mpirun),
// and whether mpirun is told to use its own transports between processes
// (ob1) rather than first looking for a fast network (UCX), which costs
// about 0.2 s at every start on this machine, which has none.
void TtpExample(benchmark::State& state)
{
    const std::string data = sourceFile("examples/ttp-al-sc/data");
    if (data.empty()) {
        state.SkipWithError("examples/ttp-al-sc/data not found");
        return;
    }
    runWhole(state, data, static_cast<int>(state.range(0)), state.range(1) != 0 ? "--mca pml ob1" : "");
}

} // namespace

BENCHMARK(UnconnectedNodes)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"processes", "verbose"})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

BENCHMARK(TtpExample)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->ArgNames({"processes", "ob1"})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
