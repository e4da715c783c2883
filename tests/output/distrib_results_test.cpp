#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "kinetics/precipitate.h"
#include "output/density_per_radius.h"
#include "output/output.h"
#include "support/temp_dir.h"

using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

Precipitate phase(const std::string& name, std::vector<double> radii, std::vector<double> numbers)
{
    Precipitate precipitate;
    precipitate.name = name;
    precipitate.radius = std::move(radii);
    precipitate.number = std::move(numbers);
    precipitate.criticalRadius = 1.5e-9;
    return precipitate;
}

// The three record lines that follow the header of a fresh file.
std::vector<std::string> record(const std::string& file)
{
    const auto lines = readLines(file);
    EXPECT_EQ(lines.size(), 6u);
    if (lines.size() < 6) return {};
    return {lines[3], lines[4], lines[5]};
}

std::string general(double value)
{
    std::ostringstream out;
    out.precision(15);
    out << value;
    return out.str();
}

} // namespace

TEST(DistribResults, HeaderAndNegligibleClassesLeftOut)
{
    ScopedWorkDir dir;
    Output output;
    const std::vector<Precipitate> list{phase("beta", {1e-9, 2e-9, 3e-9}, {1e20, 0, 5e19})};
    output.DistribResults(100, list, 0);

    const auto lines = readLines("distributionbeta_0.dat");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "R*(t) R(i) R(i+1) ...");
    EXPECT_EQ(lines[1], "t[s] N(i) N(i+1) ...");
    EXPECT_EQ(lines[2], "t[s] D(i) D(i+1) ...");
    EXPECT_EQ(lines[3], "1.5e-09 1e-09 3e-09");
    EXPECT_EQ(lines[4], "100 1e+20 5e+19");
    EXPECT_EQ(lines[5], "100 " + general(1e20 / std::fabs(2e-9 - 1e-9)) + " " +
                            general(5e19 / std::fabs(3e-9 - 2e-9)));
}

TEST(DistribResults, NoClassAndOneClass)
{
    ScopedWorkDir dir;
    Output output;
    output.DistribResults(100, {phase("none", {}, {}), phase("one", {2e-9}, {0})}, 3);
    EXPECT_EQ(record("distributionnone_3.dat"), (std::vector<std::string>{"100 0.0", "100 0.0", "100 0.0"}));
    EXPECT_EQ(record("distributionone_3.dat"), (std::vector<std::string>{"100 2e-09", "100 0", "100 0.0"}));
}

TEST(DistribResults, RetentionThresholdFollowsOutputPrecision)
{
    ScopedWorkDir dir;
    Output output;
    output.outputPrecision = 3;
    output.DistribResults(7, {phase("beta", {1e-9, 2e-9, 4e-9, 5e-9}, {0.002, 0.001, 0.0005, 9})}, 0);
    const auto lines = record("distributionbeta_0.dat");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "1.5e-09 1e-09 5e-09");
    EXPECT_EQ(lines[1], "7 0.002 9");
    EXPECT_EQ(lines[2], "7 2e+06 9e+09");

    // At the default precision 1e-15 is still negligible: only the last class is left.
    ScopedWorkDir other;
    output.outputPrecision = 15;
    output.DistribResults(100, {phase("beta", {1e-9, 2e-9, 3e-9}, {0, 1e-15, 5e19})}, 0);
    EXPECT_EQ(record("distributionbeta_0.dat"),
              (std::vector<std::string>{"1.5e-09 3e-09", "100 5e+19", "100 " + general(5e19 / std::fabs(3e-9 - 2e-9))}));
}

TEST(DistribResults, OneFilePerPhaseHeaderOnlyOnce)
{
    ScopedWorkDir dir;
    dir.write("distributiongamma_0.dat", "old\n");
    Output output;
    output.distribFileStem = "d";
    const std::vector<Precipitate> list{phase("beta", {1e-9}, {1}), phase("gamma", {}, {})};
    output.DistribResults(1, list, 0);
    output.firstDistrib = false;
    output.DistribResults(2, list, 0);
    EXPECT_EQ(readLines("dbeta_0.dat").size(), 9u);
    const auto gamma = readLines("dgamma_0.dat");
    ASSERT_EQ(gamma.size(), 9u);
    EXPECT_EQ(gamma[8], "2 0.0");

    // A node without precipitates writes no distribution file.
    ScopedWorkDir empty;
    output.firstDistrib = true;
    output.DistribResults(1, {}, 0);
    EXPECT_TRUE(std::filesystem::is_empty(empty.path()));
}

TEST(DistribResults, UnwritableFileWarnsAndOtherPhasesAreWritten)
{
    ScopedWorkDir dir;
    std::filesystem::create_directory("distributionbeta_0.dat");
    Output output;
    output.DistribResults(1, {phase("beta", {}, {}), phase("gamma", {}, {})}, 0);
    const std::string warning = "WARNING: Unable to open file:distributionbeta_0.dat. Computation continues.";
    EXPECT_EQ(readLines("log.log"), (std::vector<std::string>{warning, warning}));
    EXPECT_EQ(readLines("distributiongamma_0.dat").size(), 6u);
}

TEST(DistribResults, UnequalListsNeverReadPastTheShorter)
{
    ScopedWorkDir dir;
    Output output;
    output.DistribResults(1, {phase("beta", {1e-9, 2e-9, 3e-9}, {1, 2})}, 0);
    EXPECT_EQ(record("distributionbeta_0.dat"),
              (std::vector<std::string>{"1.5e-09 1e-09 2e-09", "1 1 2", "1 " + general(1 / std::fabs(2e-9 - 1e-9)) +
                                                                        " " + general(2 / std::fabs(2e-9 - 1e-9))}));
}

// Two classes of one radius have no width between them: each takes its
// width towards its other neighbour, and a class without any width has a
// density of 0 rather than an infinite one. The plotted bars, whose width
// is taken towards the previous class, follow the same rule.
TEST(DistribResults, ClassesOfEqualRadiiHaveFiniteDensities)
{
    ScopedWorkDir dir;
    Output output;
    const Precipitate beta = phase("beta", {1e-9, 1e-9, 2e-9, 3e-9, 3e-9}, {1e20, 2e20, 3e20, 4e20, 5e20});
    output.DistribResults(1, {beta}, 0);
    const double first = std::fabs(2e-9 - 1e-9);
    const double second = std::fabs(3e-9 - 2e-9);
    EXPECT_EQ(record("distributionbeta_0.dat")[2], "1 0 " + general(2e20 / first) + " " + general(3e20 / second) + " " +
                                                       general(4e20 / second) + " 0");

    EXPECT_EQ(densityPerUnitRadius(beta, 1, false), 2e20 / first);
    EXPECT_EQ(densityPerUnitRadius(beta, 2, false), 3e20 / first);
    EXPECT_EQ(densityPerUnitRadius(beta, 3, false), 4e20 / second);
    EXPECT_EQ(densityPerUnitRadius(beta, 4, false), 0.0);

    ScopedWorkDir pair;
    output.DistribResults(1, {phase("beta", {1e-9, 1e-9}, {1e20, 1e20})}, 0);
    EXPECT_EQ(record("distributionbeta_0.dat")[2], "1 0 0");
}
