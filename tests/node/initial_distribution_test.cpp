#include <gtest/gtest.h>

#include <filesystem>

#include "node/initial_distribution.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

std::vector<Precipitate> phases(std::initializer_list<const char*> names)
{
    std::vector<Precipitate> list;
    for (const char* name : names) {
        Precipitate phase(std::vector<std::string>{"Sc", "Al"});
        phase.name = name;
        list.push_back(phase);
    }
    return list;
}

} // namespace

TEST(InitialDistribution, LastRecordOfADistributionFile)
{
    ScopedWorkDir dir;
    dir.write("old.dat",
              "R*(t) R(i) R(i+1) ...\nt[s] N(i) N(i+1) ...\nt[s] D(i) D(i+1) ...\n"
              "0 0.0\n0 0.0\n0 0.0\n"
              "\n"
              "2e-10 1e-9 0 2e-9\r\n  100 1e20 0 5e19\n100 1 2 3");
    auto list = phases({"beta"});
    readInitialDistribution({"initialDistrib", "beta", "old.dat"}, list);
    EXPECT_EQ(list[0].radius, (std::vector<double>{1e-9, 2e-9}));
    EXPECT_EQ(list[0].number, (std::vector<double>{1e20, 5e19}));
    EXPECT_EQ(list[0].classCount(), 2u);

    // A record of a phase without classes gives an empty distribution; so
    // does an empty file or one with a single label.
    dir.write("empty.dat", "0 0.0\n0 0.0\n0 0.0\n");
    dir.write("nothing.dat", "");
    dir.write("label.dat", "R\n");
    for (const char* file : {"empty.dat", "nothing.dat", "label.dat"}) {
        readInitialDistribution({"initialDistrib", "beta", file}, list);
        EXPECT_EQ(list[0].classCount(), 0u) << file;
    }

    // Pairs (0, 0) go, (0, N) and (R, 0) stay; the last pair for a name wins.
    dir.write("zeros.dat", "R 0 0 1e-9 0 2e-9 0\nN 0 0 0 1e20 5e19 0\nD\n");
    readInitialDistribution({"initialDistrib", "beta", "old.dat", "beta", "zeros.dat"}, list);
    EXPECT_EQ(list[0].radius, (std::vector<double>{1e-9, 0, 2e-9}));
    EXPECT_EQ(list[0].number, (std::vector<double>{0, 1e20, 5e19}));
}

TEST(InitialDistributionDeathTest, Refusals)
{
    ScopedWorkDir dir;
    auto list = phases({"beta", "gamma"});
    dir.write("ok.dat", "R 1e-9\nN 1e20\nD 0\n");
    dir.write("two.dat", "N 1e20 2e20\nD 0\n");
    dir.write("nan.dat", "R nan\nN 1e20\nD 0\n");
    dir.write("negative.dat", "R 1e-9\nN -1\nD 0\n");
    dir.write("inf.dat", "R 1e-9\nN inf\nD 0\n");
    EXPECT_FATAL(readInitialDistribution({"initialDistrib", "beta", "ok.dat", "beta", "ok.dat"}, list),
                 "Each precipitates must have its distribution.");
    EXPECT_FATAL(readInitialDistribution({"initialDistrib", "beta", "missing.dat", "gamma", "ok.dat"}, list),
                 "File missing.dat not found");
    std::filesystem::create_directory(dir.path() / "folder");
    EXPECT_FATAL(readInitialDistribution({"initialDistrib", "beta", "folder", "gamma", "ok.dat"}, list),
                 "File folder not found");
    EXPECT_FATAL(readInitialDistribution({"initialDistrib", "beta", "two.dat", "gamma", "ok.dat"}, list),
                 "File two.dat Number and Radius must have the same size");
    EXPECT_FATAL(readInitialDistribution({"initialDistrib", "beta", "nan.dat", "gamma", "ok.dat"}, list),
                 "In initial distrib there is a nan or inf or radius < 0");
    EXPECT_FATAL(readInitialDistribution({"initialDistrib", "beta", "negative.dat", "gamma", "ok.dat"}, list),
                 "In initial distrib there is a nan or inf or number < 0");
    EXPECT_FATAL(readInitialDistribution({"initialDistrib", "beta", "inf.dat", "gamma", "ok.dat"}, list),
                 "In initial distrib there is a nan or inf or number < 0");

    dir.write("data", "initialDistrib beta ok.dat\ninitialDistrib beta ok.dat\n");
    EXPECT_FATAL(readInitialDistributionKeyword("data", list, Console(true)), "More than one initial distribution is given");
    dir.write("data", "initialDistrib beta ok.dat gamma\n");
    EXPECT_FATAL(readInitialDistributionKeyword("data", list, Console(true)),
                 "We must have pair number of arguments for initial distribution.");
    dir.write("data", "initialDistrib beta ok.dat\n");
    EXPECT_FATAL(readInitialDistributionKeyword("data", list, Console(true)),
                 "Nb of arguments/2 for initialDistrib must be equal to nb of precipitates");
}

TEST(InitialDistribution, KeywordAbsentOrComplete)
{
    ScopedWorkDir dir;
    auto list = phases({"beta"});
    dir.write("data", "nodes 1\n");
    readInitialDistributionKeyword("data", list, Console(false));
    EXPECT_EQ(testing_support::lastLogLine(), "WARNING: no initial distribution by default in inputFile");

    dir.write("ok.dat", "R 1e-9\nN 1e20\nD 0\n");
    dir.write("data", "initialDistrib beta ok.dat\n");
    testing::internal::CaptureStdout();
    readInitialDistributionKeyword("data", list, Console(false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Initial distribution: OK\n");
    EXPECT_EQ(list[0].classCount(), 1u);
}
