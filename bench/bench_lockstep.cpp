// Connected nodes over MPI processes: the global steps of a chain of 1,000
// connected Al-Sc nodes (connected_chain.h, 100 classes per node, 200 steps
// of 1 s) shared out over the processes of mpirun, and the share of the time
// spent communicating: the agreements of every step, the numbers of the
// exchange between nodes, the lines; and that communication alone. Run it under mpirun (make mpi-bench
// runs it with 1 and 2 processes); every process runs every benchmark, the
// first one reports. Built only in the MPI build.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "bench_directory.h"
#include "connected_chain.h"
#include "core/line_capture.h"
#include "network/node_ostrel.h"
#include "parallel/lockstep.h"
#include "parallel/processes.h"

namespace fs = std::filesystem;

namespace {

constexpr int classCount = 100;
constexpr double steps = 200.0;

Processes* processes = nullptr;

// The chain read by every process in one folder that the first process made;
// it is the working directory while it lives.
class SharedChain {
public:
    explicit SharedChain(int nodeCount) : previous(fs::current_path())
    {
        std::string folder;
        if (processes->isRoot()) {
            folder = freshBenchDirectory().string();
            if (folder.empty()) std::abort();
            writeConnectedChain(folder, nodeCount, classCount, steps);
        }
        processes->broadcastText(folder, 0);
        dir = folder;
        fs::current_path(dir);
        const char* argv[] = {"ostrel"};
        // The others' lines would only repeat the first process's.
        LineRecorder unwritten;
        if (!processes->isRoot()) line_capture::start(unwritten);
        network.initialize(1, argv, nodeOstrel::NodePreparation::byOwner);
        line_capture::stop();
    }
    ~SharedChain()
    {
        fs::current_path(previous);
        processes->barrier();
        if (processes->isRoot()) fs::remove_all(dir);
    }

    nodeOstrel network;

private:
    fs::path previous;
    fs::path dir;
};

// The largest value over the processes.
double largest(double mine) { return -processes->smallest(-mine); }

// Argument: the number of nodes. Times are the first process's; the
// communication share is given for the process that communicated least
// (the slowest one: it hardly waits for the others, so its share is the
// cost of the communication itself) and for the one that communicated most
// (waiting for the slowest included).
void BM_ConnectedChain(benchmark::State& state)
{
    double communicationLeast = 0.0;
    double communicationMost = 0.0;
    unsigned long accepted = 0;
    for (auto _ : state) {
        SharedChain chain(static_cast<int>(state.range(0)));
        nodeOstrel& network = chain.network;
        Lockstep team(*processes, network.nodes.size());
        team.forEachNode([&](std::size_t i) {
            network.prepareNode(network.nodes[i]);
            return true;
        });
        team.endStep();
        processes->barrier();
        const auto start = std::chrono::steady_clock::now();
        network.runConnectedNodes(team);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        const double share = team.communicationSeconds() / seconds;
        communicationLeast = -largest(-share);
        communicationMost = largest(share);
        accepted = network.acceptedStepCount;
    }
    state.counters["processes"] = processes->size();
    state.counters["steps"] = static_cast<double>(accepted);
    state.counters["step_seconds"] = benchmark::Counter(static_cast<double>(state.iterations() * accepted),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["communication_least"] = communicationLeast;
    state.counters["communication_most"] = communicationMost;
}

// The communication of one global step without the work around it: the two
// agreements (stop and smallest step, four numbers each) and the sharing of
// the exchange's numbers (7 per node: one element and the matrix).
void BM_StepCommunication(benchmark::State& state)
{
    const auto nodeCount = static_cast<std::size_t>(state.range(0));
    constexpr std::size_t perNode = 7;
    std::vector<double> numbers(nodeCount * perNode, 1.0);
    double agreement[4] = {};
    processes->barrier();
    for (auto _ : state) {
        processes->smallestOfEach(agreement);
        processes->shareNodeBlocks(numbers, perNode);
        processes->smallestOfEach(agreement);
    }
    state.counters["shared_bytes"] = static_cast<double>(numbers.size() * sizeof(double));
}

// The same loop as the serial program runs it, for comparison (1 process).
void BM_ConnectedChainAlone(benchmark::State& state)
{
    if (processes->size() != 1) {
        state.SkipWithError("a single process only");
        return;
    }
    for (auto _ : state) {
        SharedChain chain(static_cast<int>(state.range(0)));
        for (Ostrel& node : chain.network.nodes) chain.network.prepareNode(node);
        const auto start = std::chrono::steady_clock::now();
        chain.network.run();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["steps"] = static_cast<double>(chain.network.acceptedStepCount);
    }
}

// The iteration counts are fixed: every process must make the same
// collective calls.
BENCHMARK(BM_ConnectedChain)->Arg(1000)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepCommunication)->Arg(1000)->Arg(100000)->Iterations(2000)->Repetitions(5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConnectedChainAlone)->Arg(1000)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);

class SilentReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>&) override {}
};

} // namespace

int main(int argc, char** argv)
{
    Processes layer(argc, argv);
    processes = &layer;
    benchmark::Initialize(&argc, argv);
    if (layer.isRoot()) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        SilentReporter silent;
        benchmark::RunSpecifiedBenchmarks(&silent);
    }
    benchmark::Shutdown();
    return 0;
}
