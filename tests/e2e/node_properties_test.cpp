// End-to-end checks of nodeProperty: the checks of every line, grouped by
// property word, the fixed order of application, and what a replaced element
// or precipitate keeps of the node.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::RunSetup;
using testing_support::runOstrel;

namespace {

const std::string phaseLine = "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n";
const std::string alloy = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                          "element Sc 0.2 44.96 5.31e-4 173000\n";
const std::string rest = "temperatureProfile 0 623 100 623\n"
                         "savethermodynamics r 1000\nsavedistribution d 1000\n"
                         "nodes 3\nnode 0 0 0 0 1\nnode 1 1e-6 0 0 1\nnode 2 2e-6 0 0 1\n";
const std::string network = alloy + phaseLine + rest;
const std::string connected = network + "connect 0 1 1e-12\n";
// Strength of spheres and linear hardening along the strain file pull.txt.
const std::string sphereMechanics = "mechanicModel 6\nhardeningModel 1\nparametersForHardening 1e9\n"
                                    "SSconstant Sc MPa_Wpct 20\nyoung 300 7e10\npoisson 300 0.33\n"
                                    "dislocations 1e12 0.3 0.36\ncristalloConstant 10e6 3.06 2.86e-10 cfc\n"
                                    "precipitateConstants Al3Sc 2e-9 triangular 160e9 0.3 0 0 0 0\n"
                                    "strainLoad pull .txt\n";

void expectFatal(const std::string& data, const std::string& message)
{
    const OstrelRun run = runOstrel(data);
    EXPECT_EQ(run.exitCode(), 1) << data;
    ASSERT_FALSE(run.logLines().empty()) << data;
    EXPECT_EQ(run.logLines().back(), "FATAL ERROR: " + message) << data;
}

std::vector<std::string> linesStartingWith(const OstrelRun& run, const std::vector<std::string>& prefixes)
{
    std::vector<std::string> found;
    for (const std::string& line : run.consoleLines())
        for (const std::string& prefix : prefixes)
            if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

} // namespace

TEST(NodeProperties, RangeAndWord)
{
    expectFatal(network + "nodeProperty 0 1\n", "For nodeProperty we must have at least 3 arguments");
    expectFatal(network + "nodeProperty 3 3 noPrecipitation\n", "Incorrect first node number in node property.");
    expectFatal(network + "nodeProperty -1 1 noPrecipitation\n", "Incorrect first node number in node property.");
    expectFatal(network + "nodeProperty 0 3 noPrecipitation\n", "Incorrect second node number in node property.");
    expectFatal(network + "nodeProperty 0 99999999999 noPrecipitation\n", "Incorrect second node number in node property.");
    expectFatal(network + "nodeProperty 2 1 noPrecipitation\n", "Second nodeNumber must be greater than the first.");
    expectFatal(network + "nodeProperty 0 0 matrix other.dat\n",
                "In InitializeNodeProperties : we desactived this option and different matrix is commented in diffusion");
    expectFatal(network + "nodeProperty 0 0 Element Sc 0.3 44.96 5.31e-4 173000\n", "incorrect keyword for node property.");
    // Every line is checked before any is applied.
    expectFatal(network + "nodeProperty 0 0 element Cu 1 63.5 1e-5 1e5\nnodeProperty 0 0 noPrecipitation x\n",
                "Incorrect number of arguments for noPrecipitation");
}

TEST(NodeProperties, ElementAndPrecipitate)
{
    expectFatal(network + "nodeProperty 0 1 element Sc 0.3 44.96 5.31e-4\n",
                "Element command needs 5 arguments and 4 were given for nodes 0 : 1");
    expectFatal(network + "nodeProperty 0 1 element Sc 0.3 44.96 5.31e-4 1\nnodeProperty 1 2 element Sc 0.1 44.96 1 1\n",
                "Two many elements (re)defined for node 1");
    expectFatal(network + "nodeProperty 0 0 element Cu 1 63.5 1e-5 1e5\n",
                "name of Element for current node not defined in elements list.");
    // The sub-line goes through the element reader, and the matrix through its rebuild.
    expectFatal(network + "nodeProperty 0 0 element Sc 0.3 44.96 -1 1\n", "Invalid diffusion D0 for element: Sc");
    expectFatal(network + "nodeProperty 0 0 element Sc 100.5 44.96 1 1\n", "Invalid content in wt% for element: Sc");

    expectFatal(network + "nodeProperty 0 0 precipitate Al3Sc 1e-29 0.1 3981 1.5 sphere homogeneous Sc\n",
                "insufficient number of arguments for precipitates for nodes 0 : 0");
    expectFatal(network + "nodeProperty 0 0 " + phaseLine + "nodeProperty 0 1 " + phaseLine,
                "Two many precipitates (re)defined for node 0");
    expectFatal(network + "nodeProperty 0 0 precipitate VC 1e-29 0.1 3981 1.5 sphere homogeneous Sc 1\n",
                "name of Precipitate for current node not defined in precipitates list.");
    expectFatal(network + "nodeProperty 0 0 precipitate Al3Sc 1e-29 0.1 3981 1.5 cube homogeneous Sc 1\n",
                "Undefined shape for precipitate: cube, should be sphere, rod, cylinder, cylinderFunction");
    expectFatal(alloy + "noPrecipitation\n" + rest + "nodeProperty 1 1 " + phaseLine,
                "Can't define a new precipitation property if 'noPrecipitation' is actived for this node : 1");
}

TEST(NodeProperties, ProfileDistributionAndNoPrecipitation)
{
    expectFatal(network + "nodeProperty 0 0 temperatureProfile 0 600 100\n",
                "Incorrect number of arguments for temperature at nodes 0 : 0");
    expectFatal(network + "nodeProperty 0 0 temperatureProfile 0 600\n",
                "you must have at least 4 arguments for temperature profile.");
    expectFatal(connected + "nodeProperty 1 1 temperatureProfile 1 600 100 600\n",
                "nodeProperty: initial time must be same as time[0] in temperatureProfil for nodes 1 : 1");
    expectFatal(connected + "nodeProperty 0 1 temperatureProfile 0 600 90 600\n",
                "nodeProperty: final time must be same as time[end] in temperatureProfil for nodes 0 : 1");
    expectFatal(network + "nodeProperty 1 2 temperatureProfile 0 600 100 600\nnodeProperty 2 2 temperatureProfile 0 "
                          "600 100 700\n",
                "'temperatureProfile' redefined twice for node 2");
    expectFatal(network + "nodeProperty 0 0 temperatureProfile 0 600 50 600 40 600\n",
                "Time value for temperature definition must be increasing");

    expectFatal(network + "nodeProperty 0 0 initialDistrib Al3Sc\n",
                "Incorrect number of arguments for 'initialDistrib' at nodes 0 : 0");
    expectFatal(network + "nodeProperty 0 0 initialDistrib Al3Sc a.dat\nnodeProperty 0 2 initialDistrib Al3Sc a.dat\n",
                "'InitialDistrib' redefined twice node 0");
    expectFatal(network + "nodeProperty 0 0 initialDistrib Al3Sc missing.dat\n", "File missing.dat not found");

    expectFatal(network + "nodeProperty 0 0 noPrecipitation now\n", "Incorrect number of arguments for noPrecipitation");
    expectFatal(network + "nodeProperty 2 2 noPrecipitation\nnodeProperty 0 2 boostPrecipitateDiffusion Al3Sc 2\n",
                "name of Precipitate in boostPrecipitateDiffusion for current node not defined in precipitates list.");
    expectFatal(network + "nodeProperty 0 0 boostPrecipitateDiffusion Al3Sc\n",
                "boostPrecipitateDiffusion command needs 2 arguments and 1 were given for nodes 0 : 0");
    // One check of the factor for the node property and the data-file keyword.
    expectFatal(network + "nodeProperty 0 0 boostPrecipitateDiffusion Al3Sc 0\n",
                "Incorrect value for boostPrecipitateDiffusion (must be >0)");
    expectFatal(network + "boostPrecipitateDiffusion Al3Sc -2\n",
                "Incorrect value for boostPrecipitateDiffusion (must be >0)");

    // Without connections a profile may end elsewhere: each node runs to its own end.
    const OstrelRun run = runOstrel(network + "nodeProperty 1 1 temperatureProfile 0 600 150 600\n"
                                              "nodeProperty 2 2 noPrecipitation\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.logHasLine("WARNING: Here 'numberOfConnections<=0' and we have warning nodeProperty: final time is "
                               "not same as time[end] in temperatureProfil for nodes 1 : 1"));
    EXPECT_EQ(testing_support::thermoRecords(run, "r_1.dat").back()[0], 150.0);
    EXPECT_TRUE(run.logHasLine("WARNING: No precipitation at nodes 2 : 2"));
    EXPECT_TRUE(run.hasFile("dAl3Sc_1.dat"));
    EXPECT_FALSE(run.hasFile("dAl3Sc_2.dat"));
    EXPECT_EQ(run.fileLines("r_2.dat")[2], "t[s] dt[s] T[K] X_Sc X_Al ");
}

TEST(NodeProperties, MechanicalWords)
{
    expectFatal(network + "nodeProperty 0 0 strainLoad strain\n",
                "Incorrect number of arguments for 'strainLoad' at nodes 0 : 0");
    expectFatal(network + "nodeProperty 0 1 strainLoad s .txt\nnodeProperty 1 1 strainLoad s .txt\n",
                "'strainLoad' redefined twice node 1");
    expectFatal(network + "nodeProperty 0 1 parametersForHardening 1\nnodeProperty 1 2 parametersForHardening 2\n",
                "'parametersForHardeningLines' redefined twice node 1");
    expectFatal(network + "nodeProperty 0 0 young 300 7e10\nnodeProperty 0 0 young 300 7e10\n",
                "'youngLines' redefined twice node 0");
    expectFatal(network + "nodeProperty 2 2 poisson 300 0.3\nnodeProperty 0 2 poisson 300 0.3\n",
                "'poissonLines' redefined twice node 2");
    // An odd number of values is found when the line is applied; the
    // message speaks of the Young modulus for both words.
    expectFatal(network + "nodeProperty 0 1 young 300 7e10 400\n",
                "Nodes 0 : 1-you must have for each temperature a young modulus (pair arguments)");
    expectFatal(network + "nodeProperty 1 2 poisson 300\n",
                "Nodes 1 : 2-you must have for each temperature a young modulus (pair arguments)");
}

TEST(NodeProperties, KindsAreAppliedInTheirFixedOrder)
{
    // Lines in the reverse of the order of application; node numbers from 1.
    RunSetup setup;
    setup.files["start.dat"] = "R 2e-9 3e-9\nN 1e21 5e20\nD 0 0\n";
    setup.files["pull.txt"] = "time strain\n0 0\n100 0.01\n";
    setup.files["strain.txt"] = "time strain\n0 0\n100 0.02\n";
    setup.data = alloy + phaseLine + sphereMechanics +
                 "temperatureProfile 0 623 100 623\nsavethermodynamics r 1000\nsavedistribution d 1000\n"
                 "nodes 3\nnode 1 0 0 0 1\nnode 2 1e-6 0 0 1\nnode 3 2e-6 0 0 1\n"
                 "nodeProperty 1 2 boostPrecipitateDiffusion Al3Sc 3\n"
                 "nodeProperty 1 1 poisson 300 0.33\nnodeProperty 1 1 young 300 7e10\n"
                 "nodeProperty 1 1 parametersForHardening 2e9\nnodeProperty 1 1 strainLoad strain .txt\n"
                 "nodeProperty 2 2 temperatureProfile 0 650 100 650\n"
                 "nodeProperty 3 3 noPrecipitation\n"
                 "nodeProperty 2 2 initialDistrib Al3Sc start.dat\n"
                 "nodeProperty 2 2 " + phaseLine +
                 "nodeProperty 2 3 element Sc 0.3 44.96 5.31e-4 173000\n";
    const OstrelRun run(setup);
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const std::vector<std::string> expected{
        "Element Sc redefined in Ostrel nodes 1 : 2",
        "Precipitates Al3Sc redefined in Ostrel nodes 1 : 1",
        "initialDistribLines redefined in Ostrel nodes 1 : 1",
        "Temperature profile redefined for nodes 1 : 1",
        "'strainLoad' for nodes 0 : 0",
        "'parametersForHardening' for nodes 0 : 0",
        "'young' for nodes 0 : 0",
        "'poisson' for nodes 0 : 0",
        "boostPrecipitateDiffusionLines Al3Sc redefined in Ostrel nodes 0 : 1",
    };
    EXPECT_EQ(linesStartingWith(run, {"Element Sc redefined", "Precipitates ", "initialDistribLines", "Temperature profile redefined",
                                      "'", "boostPrecipitateDiffusionLines"}),
              expected);
    EXPECT_TRUE(run.logHasLine(
        "WARNING: If we change precipitate (for nodes 2 : 2) we must load an initial distribution to don't lose the current!"));
    // The replaced phase got the distribution applied after it; node 0 kept
    // the template's empty one, and node 2 lost its phase.
    EXPECT_EQ(run.fileLines("dAl3Sc_0.dat")[3], "0 0.0");
    EXPECT_EQ(run.fileLines("dAl3Sc_1.dat")[4], "0 1e+21 5e+20");
    EXPECT_FALSE(run.hasFile("dAl3Sc_2.dat"));
    EXPECT_EQ(testing_support::thermoRecords(run, "r_1.dat")[0][2], 650.0);
    // Node 0 follows its own strain history; the others the data file's.
    EXPECT_EQ(run.fileLines("strain_node0.dat").back().rfind("100 0.02 ", 0), 0u);
    EXPECT_FALSE(run.hasFile("pull_node0.dat"));
    EXPECT_EQ(run.fileLines("pull_node1.dat").back().rfind("100 0.01 ", 0), 0u);
}

TEST(NodeProperties, ReplacedElementAndPrecipitateKeepWhatTheNodeGivesThem)
{
    // Node 1 receives the template's own element and precipitate again, and
    // its distribution: it must run exactly like node 0. That holds only if
    // the replaced element and the rebuilt matrix keep the improved mass
    // balance, the element's D0 is not inflated a second time, and the new
    // phase receives the data file's per-precipitate options.
    RunSetup setup;
    setup.files["start.dat"] = "R 1.5e-9 2e-9 3e-9\nN 2e22 1e22 5e21\nD 0 0 0\n";
    setup.data = alloy + phaseLine +
                 "improvedMassBalance\ninflateDiffusionCoeff Sc 2\n"
                 "classManagementType lin\ntargetClassNumber 40\nboostPrecipitateDiffusion Al3Sc 2\n"
                 "unstationnaryNucleation\nminDissolutionLimit 2e-10\nmaxDissolutionLimit 3e-10\n"
                 "initialDistrib Al3Sc start.dat\n"
                 "temperatureProfile 0 623 20000 623\nsavethermodynamics r 5\nsavedistribution d 20\n"
                 "nodes 2\nnode 0 0 0 0 1\nnode 1 1e-6 0 0 1\n"
                 "nodeProperty 1 1 element Sc 0.2 44.96 1.062e-3 173000\n"
                 "nodeProperty 1 1 " + phaseLine + "nodeProperty 1 1 initialDistrib Al3Sc start.dat\n";
    const OstrelRun run(setup);
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_GT(run.fileLines("r_0.dat").size(), 20u);
    EXPECT_EQ(run.file("r_1.dat"), run.file("r_0.dat"));
    EXPECT_EQ(run.file("dAl3Sc_1.dat"), run.file("dAl3Sc_0.dat"));
}

TEST(NodeProperties, ConnectedNodesEachLandOnTheirOwnProfilePoints)
{
    // Node 0 shortens a step onto 500 s, node 1 would have shortened it onto
    // 500.05 s: the shared step ends at 500 s, which is not node 1's point, and
    // node 1 still lands on 500.05 s afterwards (coupled records prove it).
    const OstrelRun run = runOstrel(alloy + "noPrecipitation\ntemperatureProfile 0 623 500 623 1000 623\n"
                                            "savethermodynamics r coupling\nsavedistribution d coupling\n"
                                            "nodes 2\nnode 0 0 0 0 1\nnode 1 1e-6 0 0 1\nconnect 0 1 1e-12\n"
                                            "nodeProperty 1 1 temperatureProfile 0 623 500.05 700 1000 623\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto node0 = testing_support::thermoRecords(run, "r_0.dat");
    const auto node1 = testing_support::thermoRecords(run, "r_1.dat");
    ASSERT_EQ(node0.size(), 3u);
    ASSERT_EQ(node1.size(), 3u);
    EXPECT_EQ(node0[1][0], 500.0);
    EXPECT_EQ(node1[1][0], 500.05);
    EXPECT_EQ(node1[1][2], 700.0);
}
