// End-to-end check of coupled saving: one record per temperature-profile
// point, in both result files, and the run ends normally.
#include <gtest/gtest.h>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::runOstrel;

TEST(CoupledOutput, OneRecordAtEveryProfilePoint)
{
    const OstrelRun run = runOstrel("matrix Al 4.05e-10 1.66e-29 26.98\n"
                                    "element Sc 0.2 44.96 5.31e-4 173000\n"
                                    "precipitate Al3Sc 1.72e-29 0.1 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
                                    "nodes 1\n"
                                    "temperatureProfile 0 623 0.37 623 1.1 700 3.3333 650\n"
                                    "savethermodynamics r coupling\n"
                                    "savedistribution d couplingAtProfile\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.hasFile("computation.end"));

    const auto thermo = run.fileLines("r_0.dat");
    ASSERT_EQ(thermo.size(), 7u);
    const char* times[] = {"0 ", "0.37 ", "1.1 ", "3.3333 "};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(thermo[3 + i].rfind(times[i], 0), 0u) << thermo[3 + i];

    // Three header lines, then three lines per record; the first record is
    // written before nucleation.
    const auto distrib = run.fileLines("dAl3Sc_0.dat");
    ASSERT_EQ(distrib.size(), 15u);
    EXPECT_EQ(distrib[3], "0 0.0");
    EXPECT_EQ(distrib[13].rfind("3.3333 ", 0), 0u);
}
