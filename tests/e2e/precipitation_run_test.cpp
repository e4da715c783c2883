// End-to-end runs with precipitation: what a user gets from a typical run.
#include <gtest/gtest.h>


#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::numbers;
using testing_support::runOstrel;

namespace {

const std::string alSc =
    "matrix Al 4.05e-10 1.66e-29 26.98\n"
    "element Sc 0.2 44.96 5.31e-4 173000\n"
    "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
    "classManagementType lin\n"
    "targetClassNumber 50\n"
    "temperatureProfile 0 623 3600 623\n"
    "nodes 1\n";

} // namespace

TEST(PrecipitationRun, TypicalRunRecordsAndCounters)
{
    const OstrelRun run = runOstrel(alSc + "savethermodynamics resultsThermo 10\nsavedistribution distribution 10\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.hasFile("computation.end"));
    EXPECT_TRUE(run.file("computation.end").empty());

    const auto thermo = run.fileLines("resultsThermo_0.dat");
    ASSERT_GT(thermo.size(), 5u);
    EXPECT_EQ(thermo[0], "Elements: Sc Al");
    EXPECT_EQ(thermo[1], "(volume=1m3)Precipitates: Al3Sc");
    EXPECT_EQ(thermo[2], "t[s] dt[s] T[K] X_Sc X_Al rmean_Al3Sc[m] r*_Al3Sc[m] fv_Al3Sc N_Al3Sc Nclass_Al3Sc ");
    for (std::size_t i = 3; i < thermo.size(); ++i) EXPECT_EQ(numbers(thermo[i]).size(), 10u) << thermo[i];
    EXPECT_EQ(numbers(thermo[3])[1], 0.0);
    EXPECT_EQ(thermo.back().rfind("3600 ", 0), 0u) << thermo.back();

    // Accepted steps: one record at step 0, one every tenth step, the closing one.
    const int accepted = testing_support::countConsoleLinesStartingWith(run, "Simulation time ");
    const int rejected = testing_support::countConsoleLinesStartingWith(run, "Time step rejected by node 0 because ");
    EXPECT_GT(rejected, 0);
    EXPECT_TRUE(run.consoleHasLine("Time steps: " + std::to_string(accepted + 1)));
    EXPECT_TRUE(run.consoleHasLine("Rejected time steps: " + std::to_string(rejected)));
    EXPECT_EQ(static_cast<int>(thermo.size()) - 3, 1 + accepted / 10 + 1);

    // Distribution records: three lines each with the same number of values.
    const auto distribution = run.fileLines("distributionAl3Sc_0.dat");
    ASSERT_GE(distribution.size(), 9u);
    EXPECT_EQ(distribution[0], "R*(t) R(i) R(i+1) ...");
    EXPECT_EQ(distribution[3], "0 0.0");
    EXPECT_EQ((distribution.size() - 3) % 3, 0u);
    const auto& radii = distribution[distribution.size() - 3];
    const auto& densities = distribution[distribution.size() - 2];
    EXPECT_EQ(numbers(radii).size(), numbers(densities).size());
    EXPECT_EQ(densities.rfind("3600 ", 0), 0u);
}

TEST(PrecipitationRun, RestartFromTheLastDistributionRecord)
{
    const OstrelRun first = runOstrel(alSc + "savethermodynamics r 10\nsavedistribution d 10\n");
    ASSERT_EQ(first.exitCode(), 0);
    testing_support::RunSetup setup;
    setup.data = alSc + "savethermodynamics r 10\nsavedistribution d 10\ninitialDistrib Al3Sc previous.dat\n";
    setup.files = {{"previous.dat", first.file("dAl3Sc_0.dat")}};
    const OstrelRun second(setup);
    ASSERT_EQ(second.exitCode(), 0) << second.console();
    EXPECT_TRUE(second.consoleHasLine("Initial distribution: OK"));
    // The restarted run starts from the solid solution the first one ended with.
    const auto end = numbers(first.fileLines("r_0.dat").back());
    const auto start = numbers(second.fileLines("r_0.dat")[3]);
    EXPECT_NEAR(start[3], end[3], 1e-9 * end[3]);
    EXPECT_EQ(start[9], end[9]);
}

TEST(PrecipitationRun, TwoElementGrowthAndHeavyOutputs)
{
    const OstrelRun run = runOstrel(
        "matrix Fe 2.866e-10 1.177e-29 55.85\n"
        "element V 0.2 50.94 3.05e-4 239000\n"
        "element C 0.047 12.01 2.0e-6 84100\n"
        "precipitate VC 9.0e-30 0.5 8700 0.95 sphere homogeneous V 1 C 1\n"
        "diffusionCoefficientRatio 1e10\n"
        "heavyOuputs\n"
        "temperatureProfile 0 573 400 973 1000 973\n"
        "savethermodynamics r coupling\nsavedistribution d 100\nnodes 1\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto thermo = run.fileLines("r_0.dat");
    EXPECT_EQ(thermo[2],
              "t[s] dt[s] T[K] X_V C_wtPer_V X_C C_wtPer_C X_Fe C_wtPer_Fe rmean_VC[m] r*_VC[m] fv_VC N_VC Nclass_VC ");
    ASSERT_EQ(thermo.size(), 6u); // header, then records at 0, 400 and 1000 s
    const auto last = numbers(thermo.back());
    EXPECT_EQ(last[0], 1000.0);
    EXPECT_GT(last[12], 0.0);           // VC has formed
    EXPECT_LT(last[3], numbers(thermo[3])[3]); // and taken vanadium from the solid solution
}
