#include <gtest/gtest.h>

#include "kinetics/precipitate.h"
#include "output/output.h"
#include "support/fatal.h"
#include "support/temp_dir.h"

using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

const std::string saveLines = "savethermodynamics myThermo 10\nsavedistribution myDistrib 10\n";

std::vector<Precipitate> phases(std::initializer_list<const char*> names)
{
    std::vector<Precipitate> list;
    for (const char* name : names) {
        list.emplace_back();
        list.back().name = name;
    }
    return list;
}

// Reads the output options of `data` for a node with precipitates beta and gamma.
Output readOptions(const ScopedWorkDir& dir, const std::string& data, bool notVerbose = true)
{
    dir.write("data", data);
    Output output;
    output.ReadOutputOptions("data", phases({"beta", "gamma"}), Console(notVerbose));
    return output;
}

} // namespace

TEST(OutputOptions, EveryKeywordWithItsConsoleLine)
{
    ScopedWorkDir dir;
    dir.write("data", saveLines +
                          "plot_distrib 2 5 gamma\n"
                          "plot_thermo 1 7 all\n"
                          "plot_final 3 beta\n"
                          "outputPrecision 6.7\n"
                          "heavyOuputs\n");
    Output output;
    testing::internal::CaptureStdout();
    output.ReadOutputOptions("data", phases({"beta", "gamma"}), Console(false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Saving thermodynamics options: OK\n"
              "Saving distributions options: OK\n"
              "Plot distribution options: OK\n"
              "Plot thermodynamics options: OK\n"
              "Plot final output options: OK\n"
              "outputPrecision changed to: 6.7\n"
              "heavyOuputs changed to 'true'\n");

    EXPECT_EQ(output.thermoFileStem, "myThermo");
    EXPECT_EQ(output.distribFileStem, "myDistrib");
    EXPECT_EQ(output.thermoPeriod, 10);
    EXPECT_FALSE(output.thermoCoupling);
    EXPECT_EQ(output.plotDistribNode, 2);
    EXPECT_EQ(output.plotDistribPeriod, 5);
    EXPECT_EQ(output.plotDistribSelection, (std::vector<bool>{false, true}));
    EXPECT_EQ(output.plotThermoNode, 1);
    EXPECT_EQ(output.plotThermoPeriod, 7);
    EXPECT_EQ(output.plotThermoSelection, (std::vector<bool>{true, true}));
    EXPECT_EQ(output.plotFinalNode, 3);
    EXPECT_EQ(output.plotFinalSelection, (std::vector<bool>{true, false}));
    EXPECT_EQ(output.outputPrecision, 6);
    EXPECT_TRUE(output.heavyOuputs);
}

TEST(OutputOptions, OptionalKeywordsAbsentAndSilent)
{
    ScopedWorkDir dir;
    dir.write("data", saveLines + "heavyOutputs\n"); // misspelled: not a keyword
    Output output;
    testing::internal::CaptureStdout();
    output.ReadOutputOptions("data", phases({"beta", "gamma"}), Console(true));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(output.plotDistribNode, -1);
    EXPECT_EQ(output.plotFinalNode, -1);
    EXPECT_EQ(output.outputPrecision, 15);
    EXPECT_FALSE(output.heavyOuputs);
    // One flag per precipitate even without a plot keyword.
    EXPECT_EQ(output.plotThermoSelection, (std::vector<bool>{false, false}));
}

TEST(OutputOptions, SaveModes)
{
    ScopedWorkDir dir;
    Output output = readOptions(dir, "savethermodynamics t 999999\nsavedistribution d 1.5\n");
    EXPECT_EQ(output.thermoPeriod, 999999);
    EXPECT_EQ(output.distribPeriod, 1);

    output = readOptions(dir, "savethermodynamics t coupling\nsavedistribution d couplingAtProfile\n");
    EXPECT_TRUE(output.thermoCoupling);
    EXPECT_TRUE(output.distribCoupling);
    EXPECT_EQ(output.thermoPeriod, 10);

    output = readOptions(dir, "savethermodynamics t 1e3\nsavedistribution d +007\n");
    EXPECT_EQ(output.thermoPeriod, 1);
    EXPECT_EQ(output.distribPeriod, 7);
    EXPECT_FALSE(output.thermoCoupling);
}

TEST(OutputOptions, SelectionsAndPeriods)
{
    ScopedWorkDir dir;
    // Unknown names are accepted and select nothing; names are case-sensitive.
    Output output = readOptions(dir, saveLines + "plot_thermo 0 5 delta Beta\nplot_distrib 0 0 all beta\n"
                                                 "plot_final -2 gamma beta\n");
    EXPECT_EQ(output.plotThermoSelection, (std::vector<bool>{false, false}));
    EXPECT_EQ(output.plotDistribSelection, (std::vector<bool>{true, true}));
    EXPECT_EQ(output.plotDistribPeriod, 0);
    EXPECT_EQ(output.plotFinalNode, -2);
    EXPECT_EQ(output.plotFinalSelection, (std::vector<bool>{true, true}));

    // Integer arguments stop at the first non-digit.
    output = readOptions(dir, saveLines + "plot_distrib 1e3 3.9 beta\n");
    EXPECT_EQ(output.plotDistribNode, 1);
    EXPECT_EQ(output.plotDistribPeriod, 3);
}

TEST(OutputOptions, OutputPrecisionExtraArgumentWarns)
{
    ScopedWorkDir dir;
    const Output output = readOptions(dir, saveLines + "outputPrecision 8 9\n");
    EXPECT_EQ(output.outputPrecision, 8);
    EXPECT_EQ(readLines("log.log").back(),
              "WARNING: Too many arguments defined for outputPrecision, only the first is taken into account.");
}

TEST(OutputOptionsDeathTest, SaveThermodynamicsChecks)
{
    ScopedWorkDir dir;
    const std::string distrib = "savedistribution d 10\n";
    const std::string range = "'savethermodynamics' number argument must be in ]0,999999]";
    const std::string text = "either 'savethermodynamics' don't begin by 'coupling' either nb is grather than 999999";
    EXPECT_FATAL(readOptions(dir, distrib), "keyword savethermodynamics not found in datafile.");
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a 1\nsavethermodynamics b 2\n"),
                 "More than one savethermodynamics command");
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a\n"),
                 "incorrect number of arguments for savethermodynamics.");
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a 1 2\n"),
                 "incorrect number of arguments for savethermodynamics.");
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a 0\n"), range);
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a -5\n"), range);
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a 1000000\n"), range);
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a coupl\n"), range);
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a 12345678\n"), text);
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a 00000010\n"), text);
    EXPECT_FATAL(readOptions(dir, distrib + "savethermodynamics a Coupling\n"), text);
}

TEST(OutputOptionsDeathTest, SaveDistributionChecks)
{
    ScopedWorkDir dir;
    const std::string thermo = "savethermodynamics t 10\n";
    EXPECT_FATAL(readOptions(dir, thermo), "keyword savedistribution not found in datafile.");
    EXPECT_FATAL(readOptions(dir, thermo + "savedistribution a 1\nsavedistribution b 2\n"),
                 "More than one savedistribution command");
    EXPECT_FATAL(readOptions(dir, thermo + "savedistribution a\n"),
                 "incorrect number of arguments for savedistribution.");
    EXPECT_FATAL(readOptions(dir, thermo + "savedistribution a abc\n"),
                 "'savedistribution' number argument must be in ]0,999999]");
    EXPECT_FATAL(readOptions(dir, thermo + "savedistribution a 10000000\n"),
                 "either 'savedistribution' don't begin by 'coupling' either nb is grather than 999999");
}

TEST(OutputOptionsDeathTest, PlotKeywordChecks)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readOptions(dir, saveLines + "plot_distrib 0 1 all\nplot_distrib 0 1 all\n"),
                 "More than one plot_distrib command");
    EXPECT_FATAL(readOptions(dir, saveLines + "plot_distrib 0 1\n"),
                 "incorrect number of arguments for plot_distrib.");
    EXPECT_FATAL(readOptions(dir, saveLines + "plot_thermo 0 1 all\nplot_thermo 0 1 all\n"),
                 "More than one plot_thermo command");
    EXPECT_FATAL(readOptions(dir, saveLines + "plot_thermo 0 1\n"), "incorrect number of arguments for plot_thermo.");
    EXPECT_FATAL(readOptions(dir, saveLines + "plot_final 0 all\nplot_final 0 all\n"),
                 "More than one plot_final command");
    EXPECT_FATAL(readOptions(dir, saveLines + "plot_final 0\n"), "incorrect number of arguments for plot_final.");
}

TEST(OutputOptionsDeathTest, PrecisionAndHeavyOutputsChecks)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readOptions(dir, saveLines + "outputPrecision 4\noutputPrecision 5\n"),
                 "outputPrecision defined twice.");
    EXPECT_FATAL(readOptions(dir, saveLines + "outputPrecision\n"),
                 "Too low nb of arguments defined for outputPrecision.");
    EXPECT_FATAL(readOptions(dir, saveLines + "heavyOuputs\nheavyOuputs\n"), "'heavyOuputs' defined twice.");
    EXPECT_FATAL(readOptions(dir, saveLines + "heavyOuputs yes\n"), "heavyOuputs don't need arguments");
}
