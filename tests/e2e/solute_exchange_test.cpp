// End-to-end checks of the solute exchange between connected nodes: what it
// conserves, which coefficient governs it, and how it refuses or forces a
// step that would overshoot. Precipitation is off unless said otherwise, so
// only the exchange changes the compositions.
#include <gtest/gtest.h>

#include <cmath>

#include "support/ostrel_run.h"

using testing_support::countConsoleLinesStartingWith;
using testing_support::OstrelRun;
using testing_support::runOstrel;
using testing_support::thermoRecords;

namespace {

// Columns of a thermodynamic record: t, dt, T, then the elements.
constexpr std::size_t temperatureColumn = 2;
constexpr std::size_t soluteColumn = 3;
constexpr std::size_t matrixColumn = 4;

// Two nodes 0.1 um apart with Sc at 0.2 and 0.4 wt%, volumes 1 and 2 (x 1e-19 m3).
std::string scandiumPair(const std::string& profile0, const std::string& profile1)
{
    return "matrix Al 4.05e-10 1.66e-29 26.98\n"
           "element Sc 0.2 44.96 5.31e-4 173000\n"
           "noPrecipitation\n"
           "temperatureProfile " + profile0 + "\n"
           "savethermodynamics r 1\nsavedistribution d 1000\n"
           "nodes 2\nnode 0 0 0 0 1e-19\nnode 1 1e-7 0 0 2e-19\nconnect 0 1 1e-12\n"
           "nodeProperty 1 1 element Sc 0.4 44.96 5.31e-4 173000\n" +
           (profile1.empty() ? "" : "nodeProperty 1 1 temperatureProfile " + profile1 + "\n");
}

void expectSameColumn(const OstrelRun& a, const OstrelRun& b, const std::string& file, std::size_t column)
{
    const auto ra = thermoRecords(a, file);
    const auto rb = thermoRecords(b, file);
    ASSERT_EQ(ra.size(), rb.size()) << file;
    for (std::size_t i = 0; i < ra.size(); ++i) EXPECT_EQ(ra[i][column], rb[i][column]) << file << " record " << i;
}

} // namespace

TEST(SoluteExchange, SubstitutionalGradientRelaxesAndConservesSolute)
{
    const OstrelRun run = runOstrel(scandiumPair("0 773 3600 773", ""));
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto node0 = thermoRecords(run, "r_0.dat");
    const auto node1 = thermoRecords(run, "r_1.dat");
    ASSERT_EQ(node0.size(), node1.size());
    ASSERT_GT(node0.size(), 10u);

    // Without interstitials both nodes keep VatSS = VatM: the solute held is
    // proportional to volume times fraction.
    const double total = 1.0 * node0[0][soluteColumn] + 2.0 * node1[0][soluteColumn];
    double gradient = node1[0][soluteColumn] - node0[0][soluteColumn];
    for (std::size_t i = 1; i < node0.size(); ++i) {
        const double held = 1.0 * node0[i][soluteColumn] + 2.0 * node1[i][soluteColumn];
        EXPECT_NEAR(held / total, 1.0, 1e-10) << "record " << i;
        const double next = node1[i][soluteColumn] - node0[i][soluteColumn];
        EXPECT_GE(next, 0.0) << "record " << i;
        EXPECT_LE(next, gradient) << "record " << i;
        gradient = next;
    }
    EXPECT_LT(gradient, 1e-3 * (node1[0][soluteColumn] - node0[0][soluteColumn]));
    EXPECT_TRUE(run.consoleHasLine("Element Sc redefined in Ostrel nodes 1 : 1"));
}

TEST(SoluteExchange, CarbonMovesWithoutTheMatrix)
{
    const OstrelRun run = runOstrel("matrix Fe 2.87e-10 1.18e-29 55.85\n"
                                    "element C 0.1 12.01 2e-6 80000\n"
                                    "noPrecipitation\n"
                                    "temperatureProfile 0 1000 600 1000\n"
                                    "savethermodynamics r 1\nsavedistribution d 1000\n"
                                    "nodes 2\nnode 0 0 0 0 1e-12\nnode 1 0 1e-4 0 3e-12\nconnect 1 0 1e-8\n"
                                    "nodeProperty 0 0 element C 0.3 12.01 2e-6 80000\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto node0 = thermoRecords(run, "r_0.dat");
    const auto node1 = thermoRecords(run, "r_1.dat");
    ASSERT_EQ(node0.size(), node1.size());

    // A node holds V / VatSS atoms with VatSS = (1 - X_C) VatM: per unit of
    // VatM, V X_C / (1 - X_C) carbon atoms and V X_Fe / (1 - X_C) iron atoms.
    const auto carbon = [](const std::vector<double>& r, double V) {
        return V * r[soluteColumn] / (1.0 - r[soluteColumn]);
    };
    const auto iron = [](const std::vector<double>& r, double V) {
        return V * r[matrixColumn] / (1.0 - r[soluteColumn]);
    };
    const double totalCarbon = carbon(node0[0], 1.0) + carbon(node1[0], 3.0);
    for (std::size_t i = 1; i < node0.size(); ++i) {
        EXPECT_NEAR((carbon(node0[i], 1.0) + carbon(node1[i], 3.0)) / totalCarbon, 1.0, 1e-10) << "record " << i;
        EXPECT_NEAR(iron(node0[i], 1.0) / iron(node0[0], 1.0), 1.0, 1e-10) << "record " << i;
        EXPECT_NEAR(iron(node1[i], 3.0) / iron(node1[0], 3.0), 1.0, 1e-10) << "record " << i;
    }
    // The carbon has spread: the richer node lost most of its excess.
    EXPECT_LT(node0.back()[soluteColumn] - node1.back()[soluteColumn],
              0.01 * (node0[0][soluteColumn] - node1[0][soluteColumn]));
}

TEST(SoluteExchange, ColderNodeGovernsTheExchange)
{
    const OstrelRun coldHot = runOstrel(scandiumPair("0 723 3600 723", "0 823 3600 823"));
    const OstrelRun hotCold = runOstrel(scandiumPair("0 823 3600 823", "0 723 3600 723"));
    const OstrelRun coldCold = runOstrel(scandiumPair("0 723 3600 723", ""));
    const OstrelRun hotHot = runOstrel(scandiumPair("0 823 3600 823", ""));
    for (const OstrelRun* run : {&coldHot, &hotCold, &coldCold, &hotHot}) ASSERT_EQ(run->exitCode(), 0) << run->console();
    EXPECT_EQ(thermoRecords(coldHot, "r_1.dat")[0][temperatureColumn], 823.0);

    for (const char* file : {"r_0.dat", "r_1.dat"})
        for (std::size_t column : {std::size_t{0}, soluteColumn, matrixColumn}) {
            expectSameColumn(coldHot, coldCold, file, column);
            expectSameColumn(hotCold, coldCold, file, column);
        }
    // The hot pair relaxes faster: the colder coefficient is really the smaller.
    const auto hot = thermoRecords(hotHot, "r_1.dat");
    const auto cold = thermoRecords(coldCold, "r_1.dat");
    const std::size_t middle = cold.size() / 2;
    ASSERT_EQ(hot.at(middle)[0], cold[middle][0]);
    EXPECT_LT(hot[middle][soluteColumn], cold[middle][soluteColumn]);
}

TEST(SoluteExchange, OvershootIsRejectedUntilTheSmallestStepThenForced)
{
    // A coefficient so large that the first step of 1e-6 s would reverse the
    // gradient many times over.
    const std::string fast = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                             "element Sc 0.2 44.96 1e-2 0\n"
                             "noPrecipitation\n"
                             "temperatureProfile 0 623 1e-3 623\n"
                             "savethermodynamics r 1\nsavedistribution d 1000\n"
                             "nodes 2\nnode 0 0 0 0 1e-18\nnode 1 1e-6 0 0 1e-18\nconnect 0 1 1e-12\n"
                             "nodeProperty 1 1 element Sc 0.4 44.96 1e-2 0\n";
    const std::string rejection =
        "Time step rejected by node 0 because flux between nodes would reverse a concentration difference";

    // Halved from 1e-6 s until at most 1e-9 s: ten rejections, none counted.
    const OstrelRun run = runOstrel(fast);
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_EQ(countConsoleLinesStartingWith(run, rejection), 10);
    EXPECT_TRUE(run.consoleHasLine("Rejected time steps: 0"));
    EXPECT_TRUE(run.logHasLine("WARNING: For flux : Time step too large but forcing it anyway."));
    // The forced step equalises the two concentrations.
    const auto node0 = thermoRecords(run, "r_0.dat");
    const auto node1 = thermoRecords(run, "r_1.dat");
    EXPECT_NEAR(node0[1][soluteColumn] / node1[1][soluteColumn], 1.0, 1e-12);

    // The network's smallestTimeStep sets where forcing begins.
    const OstrelRun earlier = runOstrel(fast + "smallestTimeStep 1e-7\n");
    ASSERT_EQ(earlier.exitCode(), 0) << earlier.console();
    EXPECT_EQ(countConsoleLinesStartingWith(earlier, rejection), 4);
}

TEST(SoluteExchange, NodeEmptiedByItsConnectionsIsRejected)
{
    // A small rich node between two large empty ones: neither transfer alone
    // reverses its gradient, together they take more than the node holds.
    const OstrelRun run = runOstrel("matrix Al 4.05e-10 1.66e-29 26.98\n"
                                    "element Sc 0.2 44.96 7e-7 0\n"
                                    "noPrecipitation\n"
                                    "temperatureProfile 0 623 1e-5 623\n"
                                    "savethermodynamics r 1000\nsavedistribution d 1000\n"
                                    "nodes 3\nnode 0 0 0 0 1e-18\nnode 1 1e-6 0 0 1e-15\nnode 2 0 1e-6 0 1e-15\n"
                                    "connect 0 1 1e-12\nconnect 0 2 1e-12\n"
                                    "nodeProperty 1 2 element Sc 0 44.96 7e-7 0\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine(
        "Time step rejected by node 0 because contentAtFrac <0 or >1 after diffusion between nodes occured"));
}

TEST(SoluteExchange, IdenticalConnectedNodesWriteTheSingleNodeFiles)
{
    const std::string alloy = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                              "element Sc 0.2 44.96 5.31e-4 173000\n"
                              "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
                              "classManagementType lin\ntargetClassNumber 100\n"
                              "temperatureProfile 0 623 20000 623\n"
                              "savethermodynamics r 5\nsavedistribution d 50\n";
    const OstrelRun single = runOstrel(alloy + "nodes 1\nnode 0 0 0 0 1e-18\n");
    const OstrelRun pair =
        runOstrel(alloy + "nodes 2\nnode 0 0 0 0 1e-18\nnode 1 1e-6 0 0 1e-18\nconnect 0 1 1e-12\n");
    ASSERT_EQ(single.exitCode(), 0) << single.console();
    ASSERT_EQ(pair.exitCode(), 0) << pair.console();
    for (const char* file : {"r_0.dat", "dAl3Sc_0.dat"}) {
        EXPECT_EQ(pair.file(file), single.file(file)) << file;
        EXPECT_FALSE(single.file(file).empty()) << file;
    }
    EXPECT_EQ(pair.file("r_1.dat"), single.file("r_0.dat"));
}
