// End-to-end checks of the node clock on nodes without precipitates, where
// no step is ever rejected and the sequence of steps is exactly predictable.
#include <gtest/gtest.h>

#include <cmath>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::runOstrel;
using testing_support::thermoRecords;

namespace {

const std::string alloy =
    "matrix Al 4.05e-10 1.66e-29 26.98\n"
    "element Sc 0.2 44.96 5.31e-4 173000\n"
    "noPrecipitation\n"
    "nodes 1\n";

} // namespace

TEST(Clock, Version3GrowsTheStepAndLandsOnTheEnd)
{
    const OstrelRun run = runOstrel(alloy +
                                    "temperatureProfile 0 623 1e-3 623\n"
                                    "savethermodynamics r 1\n"
                                    "savedistribution d 1\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto rows = thermoRecords(run, "r_0.dat");
    ASSERT_GE(rows.size(), 4u);
    // Initial record: t0, dt = 0; then each record carries the start time of
    // the step with the step just made.
    EXPECT_EQ(rows[0][0], 0.0);
    EXPECT_EQ(rows[0][1], 0.0);
    EXPECT_EQ(rows[1][0], 0.0);
    EXPECT_DOUBLE_EQ(rows[1][1], 1e-6);
    EXPECT_DOUBLE_EQ(rows[2][0], 1e-6);
    EXPECT_DOUBLE_EQ(rows[2][1], 1.1e-6);
    EXPECT_DOUBLE_EQ(rows[3][1], 1.21e-6);
    // The closing forced record is at the end time exactly.
    EXPECT_EQ(rows.back()[0], 1e-3);
    // The step before it was shortened to end on the profile end.
    const auto& last = rows[rows.size() - 2];
    EXPECT_NEAR(last[0] + last[1], 1e-3, 1e-18);
    EXPECT_TRUE(run.consoleHasLine("Computation ended for node 0"));
    EXPECT_TRUE(run.consoleHasLine("Rejected time steps: 0"));
    EXPECT_TRUE(run.consoleHasLine("Time steps: " + std::to_string(rows.size() - 1)));
}

TEST(Clock, Version1StartsAtATenThousandthOfTheFirstTime)
{
    const OstrelRun atZero = runOstrel(alloy +
                                       "temperatureProfile 0 623 1 623\n"
                                       "timeStepManagement 1\n"
                                       "savethermodynamics r 1\n"
                                       "savedistribution d 1\n");
    EXPECT_EQ(atZero.exitCode(), 1);
    EXPECT_EQ(atZero.logLines().back(),
              "FATAL ERROR: Initial time must be non 0 for version 1 time step management");

    const OstrelRun run = runOstrel(alloy +
                                    "temperatureProfile 10 623 10.02 623\n"
                                    "timeStepManagement 1\n"
                                    "criterion solContent\n"
                                    "savethermodynamics r 1\n"
                                    "savedistribution d 1\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine("If time step management is not 3 then VatSS=VatM"));
    const auto rows = thermoRecords(run, "r_0.dat");
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[1][0], 10.0);
    EXPECT_DOUBLE_EQ(rows[1][1], 0.001);
    // The version-1 clock advances by the increased step.
    EXPECT_DOUBLE_EQ(rows[2][0], 10.0011);
}

TEST(Clock, EveryProfilePointIsHitAndCouplingWritesOneRecordPerPoint)
{
    const OstrelRun run = runOstrel(alloy +
                                    "temperatureProfile 0 300 0.001 400 0.0025 500 0.003 500 0.01 300\n"
                                    "savethermodynamics r coupling\n"
                                    "savedistribution d coupling\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto rows = thermoRecords(run, "r_0.dat");
    ASSERT_EQ(rows.size(), 5u);
    const double points[] = {0, 0.001, 0.0025, 0.003, 0.01};
    const double temperatures[] = {300, 400, 500, 500, 300};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rows[i][0], points[i]) << i;
        EXPECT_EQ(rows[i][2], temperatures[i]) << i;
    }
}

TEST(Clock, StepLandingExactlyOnAPointDoesNotStallTheProfile)
{
    // With increaseDT 1 and initialDT 0.25 every step ends exactly on the
    // next quarter, including the interior points 1 and 2.
    const OstrelRun run = runOstrel(alloy +
                                    "temperatureProfile 0 600 1 650 2 700 3 650\n"
                                    "increaseDT 1\n"
                                    "initialDT 0.25\n"
                                    "savethermodynamics r coupling\n"
                                    "savedistribution d 1\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto rows = thermoRecords(run, "r_0.dat");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][0], 1.0);
    EXPECT_EQ(rows[2][0], 2.0);
    EXPECT_EQ(rows[3][0], 3.0);
    EXPECT_EQ(rows[3][2], 650.0);
}

TEST(Clock, FirstTwoPointsMustBeFartherApartThanTheFirstStep)
{
    for (const std::string profile : {"0 600 5e-7 600", "0 600 1e-6 600"}) {
        const OstrelRun run = runOstrel(alloy + "temperatureProfile " + profile +
                                        "\nsavethermodynamics r 1\nsavedistribution d 1\n");
        EXPECT_EQ(run.exitCode(), 1);
        EXPECT_EQ(run.logLines().back(),
                  "FATAL ERROR: First time must be greather than initialDt to have good management of time's boundary");
    }
}

TEST(Clock, NotVerboseSilencesProgressLines)
{
    const std::string data = alloy + "temperatureProfile 0 623 1e-4 623\nsavethermodynamics r 10\nsavedistribution d 10\n";
    const OstrelRun loud = runOstrel(data);
    ASSERT_EQ(loud.exitCode(), 0);
    EXPECT_NE(loud.console().find("Simulation time "), std::string::npos);

    const OstrelRun quiet = runOstrel(data + "notVerbose\n");
    ASSERT_EQ(quiet.exitCode(), 0);
    EXPECT_EQ(quiet.console().find("Simulation time "), std::string::npos);
    EXPECT_FALSE(quiet.consoleHasLine("Computation ended for node 0"));
    EXPECT_EQ(quiet.consoleLines().front(), "Welcome to Ostrel v3.0 (May. 25th 2022)");
}

TEST(Clock, UnconnectedNodesRunOneAfterTheOther)
{
    const OstrelRun run = runOstrel(
        "matrix Al 4.05e-10 1.66e-29 26.98\n"
        "element Sc 0.2 44.96 5.31e-4 173000\n"
        "noPrecipitation\n"
        "temperatureProfile 0 623 1e-4 623\n"
        "savethermodynamics r 10\nsavedistribution d 10\n"
        "nodes 2\n"
        "node 1 0 0 0 1\n"
        "node 2 1e-6 0 0 2\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.logHasLine("WARNING: first node number is not 0, the nodes number are shifted."));
    const auto lines = run.consoleLines();
    const auto end0 = std::find(lines.begin(), lines.end(), "Computation ended for node 0");
    const auto end1 = std::find(lines.begin(), lines.end(), "Computation ended for node 1");
    ASSERT_NE(end0, lines.end());
    ASSERT_NE(end1, lines.end());
    // Node 1 starts after node 0 ended: progress lines lie between the two.
    EXPECT_NE(std::find_if(end0, end1, [](const std::string& l) { return l.rfind("Simulation time", 0) == 0; }),
              end1);
    EXPECT_EQ(run.fileLines("r_1.dat")[1], "(volume=2m3)");
}

TEST(Clock, ConnectedNodesAdvanceInLockstep)
{
    const OstrelRun run = runOstrel(
        "matrix Al 4.05e-10 1.66e-29 26.98\n"
        "element Sc 0.2 44.96 5.31e-4 173000\n"
        "noPrecipitation\n"
        "temperatureProfile 0 623 1e-4 623\n"
        "savethermodynamics r 1\nsavedistribution d 10\n"
        "nodes 2\n"
        "node 0 0 0 0 1\n"
        "node 1 1e-6 0 0 1\n"
        "connect 0 1 1e-12\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine("1 connections"));
    EXPECT_TRUE(run.consoleHasLine("Connection 0 in NodeOstrel: OK"));
    EXPECT_FALSE(run.consoleHasLine("Computation ended for node 0"));
    EXPECT_EQ(run.fileLines("r_0.dat").size(), run.fileLines("r_1.dat").size());
    const auto rows0 = thermoRecords(run, "r_0.dat");
    const auto rows1 = thermoRecords(run, "r_1.dat");
    for (std::size_t i = 0; i < rows0.size() && i < rows1.size(); ++i) EXPECT_EQ(rows0[i][0], rows1[i][0]);
}
