// The process layer of the MPI build, run under mpirun with 1, 2 and 3
// processes (one ctest entry each). Every process runs every test; the
// program fails when a test fails on any process.
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "parallel/processes.h"

namespace {

Processes* processes = nullptr;

std::size_t processCount() { return static_cast<std::size_t>(processes->size()); }

} // namespace

TEST(Processes, BlocksOfNodesCoverEveryNodeOnceInRankOrder)
{
    for (std::size_t nodes : {0u, 1u, 2u, 5u, 1000u}) {
        const auto mine = processes->ownedNodes(nodes);
        const std::vector<double> ranges = processes->gatherNumbers(
            {static_cast<double>(mine.first), static_cast<double>(mine.end)});
        ASSERT_EQ(ranges.size(), 2 * processCount());
        EXPECT_EQ(ranges.front(), 0.0);
        EXPECT_EQ(ranges.back(), static_cast<double>(nodes));
        for (std::size_t r = 0; r + 1 < processCount(); ++r) EXPECT_EQ(ranges[2 * r + 1], ranges[2 * r + 2]);
        for (std::size_t r = 0; r < processCount(); ++r)
            EXPECT_LE(ranges[2 * r + 1] - ranges[2 * r], static_cast<double>(nodes / processCount() + 1));
    }
}

// What the processes of a connected network share in a global step: each
// fills the numbers of its own nodes, every process then has all of them;
// the owner of a node tells its text; several smallest values in one go.
TEST(Processes, NodeBlocksTextsAndSmallestValuesReachEveryProcess)
{
    const int rank = processes->rank();
    for (std::size_t nodes : {1u, 2u, 7u}) {
        constexpr std::size_t perNode = 3;
        std::vector<double> numbers(nodes * perNode, -1.0);
        const auto mine = processes->ownedNodes(nodes);
        for (std::size_t k = mine.first; k < mine.end; ++k) {
            EXPECT_EQ(processes->ownerOf(k, nodes), rank);
            for (std::size_t j = 0; j < perNode; ++j) numbers[k * perNode + j] = static_cast<double>(10 * k + j);
        }
        processes->shareNodeBlocks(numbers, perNode);
        for (std::size_t k = 0; k < nodes; ++k)
            for (std::size_t j = 0; j < perNode; ++j) EXPECT_EQ(numbers[k * perNode + j], static_cast<double>(10 * k + j));

        std::string text = "from " + std::to_string(rank);
        const int owner = processes->ownerOf(nodes - 1, nodes);
        processes->broadcastText(text, owner);
        EXPECT_EQ(text, "from " + std::to_string(owner));
    }
    double values[] = {1.0 + rank, 5.0 - rank, rank == 0 ? 0.5 : 7.0};
    processes->smallestOfEach(values);
    EXPECT_EQ(values[0], 1.0);
    EXPECT_EQ(values[1], 5.0 - (processes->size() - 1));
    EXPECT_EQ(values[2], 0.5);
}

TEST(Processes, ReductionsAgreeOnEveryProcess)
{
    const int rank = processes->rank();
    // Each process proposes a step; the smallest wins everywhere.
    EXPECT_EQ(processes->smallest(1.0 + rank * 0.25), 1.0);
    // No process rejects: no node; processes 1 and up reject their node 10 * rank.
    EXPECT_EQ(processes->firstNode(Processes::noNode), Processes::noNode);
    const std::uint64_t first = processes->firstNode(rank == 0 ? Processes::noNode : 10u * static_cast<unsigned>(rank));
    EXPECT_EQ(first, processCount() == 1 ? Processes::noNode : 10u);
    EXPECT_EQ(processes->broadcastFromRoot(rank == 0 ? 42 : -1), 42);
}

TEST(Processes, GathersKeepRankOrderAndLengths)
{
    const int rank = processes->rank();
    // Process r gives r numbers r, and r bytes of letter a + r (process 0 none).
    const auto numbers = processes->gatherNumbers(std::vector<double>(static_cast<std::size_t>(rank), rank));
    std::vector<double> expected;
    for (int r = 0; r < processes->size(); ++r) expected.insert(expected.end(), static_cast<std::size_t>(r), r);
    EXPECT_EQ(numbers, expected);

    const auto bytes = processes->gatherToRoot(std::string(static_cast<std::size_t>(rank), static_cast<char>('a' + rank)));
    if (processes->isRoot()) {
        ASSERT_EQ(bytes.size(), processCount());
        for (std::size_t r = 0; r < bytes.size(); ++r)
            EXPECT_EQ(bytes[r], std::string(r, static_cast<char>('a' + r)));
    } else {
        EXPECT_TRUE(bytes.empty());
    }
}

// Every process claims nodes until the counter passes 100; each index is
// handed out exactly once. Process 0 then stops the counter: later claims
// are past the limit; the node limit is the smallest any process set. Each process tells the root what it got, in messages
// that arrive in the order they were sent, the root's own included.
TEST(Processes, CounterHandsOutEveryNodeOnceAndMessagesReachTheRoot)
{
    constexpr std::uint64_t nodes = 100;
    processes->startNodeCounter();
    std::vector<std::uint64_t> mine;
    for (std::uint64_t k = processes->claimNode(); k < nodes; k = processes->claimNode()) mine.push_back(k);
    processes->barrier();
    if (processes->isRoot()) processes->stopNodeCounter(1000);
    EXPECT_EQ(processes->nodeLimit(), Processes::noNode);
    processes->barrier();
    // Every process lowers the limit; the smallest stays.
    processes->lowerNodeLimit(50u + static_cast<unsigned>(processes->rank()));
    processes->barrier();
    EXPECT_GE(processes->claimNode(), 1000u);
    EXPECT_EQ(processes->nodeLimit(), 50u);

    for (std::uint64_t k : mine) processes->sendToRoot(std::to_string(processes->rank()) + ":" + std::to_string(k));
    processes->sendToRoot("end");
    if (processes->isRoot()) {
        std::multiset<std::uint64_t> all;
        std::vector<long long> lastOf(processCount(), -1);
        for (std::size_t ended = 0; ended < processCount();) {
            const std::string message = processes->receive();
            if (message == "end") {
                ++ended;
                continue;
            }
            const auto colon = message.find(':');
            const auto from = std::stoul(message.substr(0, colon));
            const auto k = std::stoull(message.substr(colon + 1));
            // Claims of one process grow, and its messages keep their order.
            EXPECT_GT(static_cast<long long>(k), lastOf[from]);
            lastOf[from] = static_cast<long long>(k);
            all.insert(k);
        }
        std::string spare;
        EXPECT_FALSE(processes->tryReceive(spare));
        std::vector<std::uint64_t> expected(nodes);
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(std::vector<std::uint64_t>(all.begin(), all.end()), expected);
    }
    processes->completeSends();
    processes->finishNodeCounter();
}

int main(int argc, char** argv)
{
    Processes layer(argc, argv);
    processes = &layer;
    testing::InitGoogleTest(&argc, argv);
    // The root reports; the others only count in the status.
    if (!layer.isRoot()) delete testing::UnitTest::GetInstance()->listeners().Release(
        testing::UnitTest::GetInstance()->listeners().default_result_printer());
    const int failed = RUN_ALL_TESTS() != 0 ? 1 : 0;
    const int anyFailed = layer.smallest(failed == 0 ? 1.0 : 0.0) == 0.0 ? 1 : 0;
    return anyFailed;
}
