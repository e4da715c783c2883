// The solute exchange between connected nodes against the global step it
// belongs to: a chain of connected Al-Sc nodes (1,000 by default), one solute
// graded along the chain, one precipitate phase of 100 classes in every
// node. BM_GlobalStep makes whole global steps (every node's attempt, the
// exchange, every node's commit); BM_Exchange repeats the exchange alone on
// the working sets of one attempt and counts its allocations.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "allocation_counter.h"
#include "bench_directory.h"
#include "connected_chain.h"
#include "network/node_ostrel.h"

namespace fs = std::filesystem;

namespace {

constexpr int classCount = 100;

// A network read in a temporary directory, which is the working directory
// while it lives.
class ChainFixture {
public:
    explicit ChainFixture(int nodeCount) : previous(fs::current_path())
    {
        dir = freshBenchDirectory();
        if (dir.empty()) std::abort();
        writeConnectedChain(dir, nodeCount, classCount, 1e9);
        fs::current_path(dir);
        const char* argv[] = {"ostrel"};
        network.initialize(1, argv);
        work.resize(network.nodes.size());
    }
    ~ChainFixture()
    {
        fs::current_path(previous);
        fs::remove_all(dir);
    }

    // Every node's attempt; false when one of them rejects the step.
    bool attempt(unsigned int n)
    {
        for (std::size_t i = 0; i < network.nodes.size(); ++i)
            if (!network.nodes[i].attemptStep(work[i], n, network.rejectionReason)) return false;
        return true;
    }
    void commit(unsigned int n)
    {
        for (std::size_t i = 0; i < network.nodes.size(); ++i) network.nodes[i].commitStep(work[i], n, false);
    }

    nodeOstrel network;
    std::vector<WorkingSet> work;

private:
    fs::path previous;
    fs::path dir;
};

void BM_GlobalStep(benchmark::State& state)
{
    ChainFixture chain(static_cast<int>(state.range(0)));
    unsigned int n = 1;
    unsigned long rejected = 0;
    for (auto _ : state) {
        const bool accepted = chain.attempt(n) && chain.network.diffuseBetweenNodes(chain.work);
        if (accepted) {
            chain.commit(n);
            ++n;
        } else {
            ++rejected;
        }
    }
    state.counters["rejected"] = static_cast<double>(rejected);
    state.counters["ns_per_node"] = benchmark::Counter(static_cast<double>(state.iterations()) * state.range(0),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Exchange(benchmark::State& state)
{
    ChainFixture chain(static_cast<int>(state.range(0)));
    if (!chain.attempt(1)) {
        state.SkipWithError("the first attempt was rejected");
        return;
    }
    chain.network.diffuseBetweenNodes(chain.work); // sizes the exchange's numbers
    unsigned long rejected = 0;
    const std::size_t allocationsBefore = allocationCount;
    for (auto _ : state)
        if (!chain.network.diffuseBetweenNodes(chain.work)) ++rejected;
    state.counters["allocations"] = static_cast<double>(allocationCount - allocationsBefore);
    state.counters["rejected"] = static_cast<double>(rejected);
    state.counters["ns_per_node"] = benchmark::Counter(static_cast<double>(state.iterations()) * state.range(0),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_GlobalStep)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Exchange)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);
