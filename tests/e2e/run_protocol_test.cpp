#include <gtest/gtest.h>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::RunSetup;
using testing_support::runOstrel;

namespace {

const std::string welcome = "Welcome to Ostrel v3.0 (May. 25th 2022)";
const std::string badArguments = "Ostrel have been launch with an incorrect number of arguments";

void expectFatal(const OstrelRun& run, const std::string& message)
{
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.consoleHasLine("FATAL ERROR: " + message)) << run.console();
    ASSERT_FALSE(run.logLines().empty());
    EXPECT_EQ(run.logLines().back(), "FATAL ERROR: " + message);
    EXPECT_FALSE(run.hasFile("computation.end"));
}

} // namespace

TEST(CommandLine, MissingOptionValueIsFatal)
{
    for (const auto& args : {std::vector<std::string>{"-file"}, {"-path", "x/", "-file"}, {"-file", "data", "-path"}}) {
        const OstrelRun run = runOstrel("", args);
        EXPECT_EQ(run.consoleLines().front(), welcome);
        expectFatal(run, badArguments);
    }
}

TEST(CommandLine, PathAndFileAreJoinedWithNothingBetween)
{
    RunSetup withSlash;
    withSlash.dataName = "";
    withSlash.files = {{"dir/case1", ""}};
    withSlash.args = {"-path", "dir/", "-file", "case1"};
    const OstrelRun found(withSlash);
    EXPECT_FALSE(found.logHasLine("FATAL ERROR: File dir/case1 not found")) << found.console();

    RunSetup withoutSlash = withSlash;
    withoutSlash.args = {"-path", "dir", "-file", "case1"};
    expectFatal(OstrelRun(withoutSlash), "File dircase1 not found");
}

TEST(CommandLine, OptionValuesAreScannedAsOptionsAndLaterOnesWin)
{
    // "-v" is ignored; the second -file replaces the first.
    expectFatal(runOstrel("", {"-v", "-file", "first", "-file", "second"}), "File second not found");
    // The value "-file" of -path is examined again: it takes "x" as the file name.
    expectFatal(runOstrel("", {"-path", "-file", "x"}), "File -filex not found");
    // Without options the data file is "data" in the working directory.
    RunSetup none;
    none.dataName = "";
    expectFatal(OstrelRun(none), "File data not found");
    // A directory is not a data file.
    RunSetup folder;
    folder.dataName = "";
    folder.directories = {"data"};
    expectFatal(OstrelRun(folder), "File data not found");
}

TEST(RunProtocol, ConstantsAreLoggedWithDefaultFormatting)
{
    const OstrelRun run = runOstrel("");
    const auto log = run.logLines();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "Constant parameters values");
    EXPECT_EQ(log[1], "Max precision for double: 2.22045e-16");
    EXPECT_EQ(log[2], "Gas constant: 8.314");
    EXPECT_EQ(log[3], "Boltzman constant: 1.38e-23");
}

TEST(RunProtocol, OldMarkersAreRemovedEvenWhenTheRunFails)
{
    RunSetup setup;
    setup.dataName = "";
    setup.files = {{"computation.end", ""}, {"log.log", "stale line\n"}};
    const OstrelRun run(setup);
    expectFatal(run, "File data not found");
    EXPECT_FALSE(run.logHasLine("stale line"));
}

TEST(RunProtocol, UnwritableLogFileStillReportsOnTheConsole)
{
    RunSetup setup;
    setup.dataName = "";
    setup.directories = {"log.log"};
    const OstrelRun run(setup);
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.consoleHasLine("WARNING: Unable to open file log.log.")) << run.console();
    EXPECT_TRUE(run.consoleHasLine("FATAL ERROR: File data not found"));
    EXPECT_FALSE(run.hasFile("computation.end"));
}
