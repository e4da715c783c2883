// End-to-end checks of the network description: the node count, the node
// lines with their numbering offset, the connections and the network options.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::runOstrel;

namespace {

const std::string alloy =
    "matrix Al 4.05e-10 1.66e-29 26.98\n"
    "element Sc 0.2 44.96 5.31e-4 173000\n"
    "noPrecipitation\n"
    "temperatureProfile 0 623 1e-5 623\n"
    "savethermodynamics r 1000\n"
    "savedistribution d 1000\n";

const std::string threeNodes =
    "nodes 3\n"
    "node 0 0 0 0 1\n"
    "node 1 1e-6 0 0 1\n"
    "node 2 2e-6 0 0 1\n";

void expectFatal(const std::string& network, const std::string& message)
{
    const OstrelRun run = runOstrel(alloy + network);
    EXPECT_EQ(run.exitCode(), 1) << network;
    ASSERT_FALSE(run.logLines().empty()) << network;
    EXPECT_EQ(run.logLines().back(), "FATAL ERROR: " + message) << network;
}

} // namespace

TEST(NetworkDescription, NodeCountAndNodeLines)
{
    expectFatal("nodes 2\nnodes 2\n", "number of nodes defined more than once.");
    expectFatal("nodes 2 3\n", "nodes command needs 1 argument and 2 were given.");
    expectFatal("nodes 0\n", "Incorrect value for nodes (must be >=1)");
    expectFatal("nodes 2\nnode 0 0 0 0 1\nnode 1 1 0 0 1\nnode 2 2 0 0 1\n",
                "the number of described nodes (3) does not match the indicated number of nodes (2).");
    expectFatal("nodes 2\n", "keyword node not found in datafile.");
    // The node lines are counted before the nodes are made: a count far
    // beyond the memory stops with the count error, not for lack of memory.
    expectFatal("nodes 4000000000\n", "keyword node not found in datafile.");
    expectFatal("nodes 4000000000\nnode 0 0 0 0 1\nnode 1 1 0 0 1\n",
                "the number of described nodes (2) does not match the indicated number of nodes (4000000000).");
    expectFatal("nodes 1\nnode 0 0 0 0 1\nnode 1 1 0 0 1\n",
                "the number of described nodes (2) does not match the indicated number of nodes (1).");
    expectFatal("nodes 2\nnode 0 0 0 0 1\nnode 1 1 0 0\n",
                "node command needs 5 arguments and 4 were given for node 1");
    expectFatal("nodes 1\nnode 0 0 0\n", "node command needs 5 arguments and 3 were given for node 0");
    expectFatal("nodes 3\nnode 0 0 0 0 1\nnode 1 1 0 0 1\nnode 1 2 0 0 1\n", "node 1 defined twice.");
    expectFatal("nodes 3\nnode 0 0 0 0 1\nnode 1 1 0 0 1\nnode 3 2 0 0 1\n",
                "node number too high. An incorrect shift due to the index of the first described node might be "
                "the reason.");
    expectFatal("nodes 2\nnode 1 0 0 0 1\nnode 0 1 0 0 1\n",
                "negative node index. An incorrect shift due to the index of the first described node might be "
                "the reason.");

    // 3.7 nodes are three; the first line fixes the offset, the others may
    // follow in any order, and each node keeps its own volume.
    const OstrelRun run = runOstrel(alloy + "nodes 3.7\nnode 1 0 0 0 5\nnode 3 2 0 0 3\nnode 2 1 0 0 4\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine("3 nodes in NodeOstrel: OK"));
    EXPECT_TRUE(run.logHasLine("WARNING: first node number is not 0, the nodes number are shifted."));
    const auto lines = run.consoleLines();
    const auto first = std::find(lines.begin(), lines.end(), "Node 0 in NodeOstrel: OK");
    ASSERT_LE(first + 3, lines.end());
    EXPECT_EQ(first[1], "Node 2 in NodeOstrel: OK");
    EXPECT_EQ(first[2], "Node 1 in NodeOstrel: OK");
    EXPECT_EQ(run.fileLines("r_0.dat")[1], "(volume=5m3)");
    EXPECT_EQ(run.fileLines("r_1.dat")[1], "(volume=4m3)");
    EXPECT_EQ(run.fileLines("r_2.dat")[1], "(volume=3m3)");
}

TEST(NetworkDescription, SingleNode)
{
    // The network options and connections are not read for one node, and
    // only the volume of its node line counts.
    const OstrelRun run = runOstrel(alloy + "nodes 1\nnode 7 1 2 3 4\nreduceDT 2.0\nconnect 0 0 1\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine("1 node in NodeOstrel: OK"));
    EXPECT_FALSE(run.consoleHasLine("Node 7 in NodeOstrel: OK"));
    EXPECT_EQ(run.fileLines("r_0.dat")[1], "(volume=4m3)");
    EXPECT_TRUE(run.consoleHasLine("Computation ended for node 0"));

    expectFatal("nodes 1\nnodeProperty 0 whatever\n", "With 1node you cannot have node property!");
}

TEST(NetworkDescription, Connections)
{
    expectFatal(threeNodes + "connect 0 1\n",
                "connect command needs 3 arguments and 2 were given for the 0th connection.");
    expectFatal(threeNodes + "connect 0 1 1\nconnect 0 3 1\n", "incorrect node number in connection 1");
    expectFatal(threeNodes + "connect -1 1 1\n", "incorrect node number in connection 0");
    // Written either way round, a pair is the same connection.
    expectFatal(threeNodes + "connect 2 0 1\nconnect 0 2 1\n", "Connection defined twice 0 2");
    expectFatal("nodes 2\nnode 0 0 0 0 1\nnode 1 0 0 0 1\nconnect 1 0 1\n",
                "If you have connections, distance between nodes (here 0 and 1) can't be NULL");
    // Node numbers of connections are shifted like those of the node lines:
    // with lines numbered 1 to 3, "1 3" links nodes 0 and 2, and "1 1" links a
    // node with itself.
    expectFatal("nodes 3\nnode 1 0 0 0 1\nnode 2 1 0 0 1\nnode 3 2 0 0 1\nconnect 3 1 1\nconnect 1 3 1\n",
                "Connection defined twice 0 2");
    expectFatal("nodes 3\nnode 1 0 0 0 1\nnode 2 1 0 0 1\nnode 3 2 0 0 1\nconnect 1 1 1\n",
                "If you have connections, distance between nodes (here 0 and 0) can't be NULL");
    // What the exchange between the nodes divides by, or multiplies with.
    expectFatal(threeNodes + "connect 0 1 -1e-12\n", "incorrect section in connection 0 (must be >=0)");
    expectFatal(threeNodes + "connect 0 1 1\nconnect 1 2 nan\n", "incorrect section in connection 1 (must be >=0)");
    expectFatal("nodes 2\nnode 0 0 0 0 1\nnode 1 inf 0 0 1\nconnect 0 1 1\n",
                "If you have connections, distance between nodes (here 0 and 1) must be finite");
    expectFatal("nodes 3\nnode 0 0 0 0 1\nnode 1 1 0 0 0\nnode 2 2 0 0 1\nconnect 0 1 1\n",
                "If you have connections, the volume of node 1 must be >0");

    const OstrelRun run = runOstrel(alloy + threeNodes + "connect 1 2 1e-12\nconnect 0 1 1e-12\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine("2 connections"));
    EXPECT_TRUE(run.consoleHasLine("Connection 1 in NodeOstrel: OK"));
    // Connected nodes share one counter and end together.
    EXPECT_FALSE(run.consoleHasLine("Computation ended for node 0"));
    EXPECT_TRUE(run.consoleHasLine("Rejected time steps: 0"));
}

TEST(NetworkDescription, NetworkOptions)
{
    for (const char* value : {"1", "0", "abc"})
        expectFatal(threeNodes + "reduceDT " + value + "\n", "Incorrect value for reduceDT (must be ]0;1[)");
    expectFatal(threeNodes + "reduceDT 0.5\nreduceDT 0.5\n", "reduceDT defined twice.");
    expectFatal(threeNodes + "smallestTimeStep\n", "Too low nb of arguments defined for smallestTimeStep.");
    expectFatal(threeNodes + "coeffCFLcondition 0\n", "Incorrect value for 'coeffCFLcondition' (must be>0)");

    const OstrelRun run = runOstrel(alloy + threeNodes +
                                    "reduceDT 0.25 extra\ncoeffCFLcondition 2.50\nsmallestTimeStep 1e-12\n"
                                    "unstationnaryNucleation\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(
        run.logHasLine("WARNING: Too many arguments defined for reduceDT, only the first is taken into account."));
    EXPECT_TRUE(run.consoleHasLine("reduceDT changed to: 0.25"));
    EXPECT_TRUE(run.consoleHasLine("coeffCFLcondition changed to: 2.50"));
    EXPECT_TRUE(run.consoleHasLine("smallestTimeStep changed to: 1e-12"));
    EXPECT_TRUE(run.logHasLine("WARNING: 'unstationnaryNucleation' changed to true in nodeOstrel"));

    // Silenced, the network prints none of its confirmations.
    const OstrelRun quiet = runOstrel(alloy + threeNodes + "notVerbose\nreduceDT 0.25\nconnect 0 1 1\n");
    ASSERT_EQ(quiet.exitCode(), 0) << quiet.console();
    for (const char* line : {"3 nodes in NodeOstrel: OK", "Node 0 in NodeOstrel: OK", "1 connections",
                             "Connection 0 in NodeOstrel: OK", "reduceDT changed to: 0.25", "Time steps: 9"})
        EXPECT_FALSE(quiet.consoleHasLine(line)) << line;
}
