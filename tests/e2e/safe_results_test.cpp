// End-to-end checks that a run never ends in success with lost or unusable
// results: result files that cannot be written completely stop the run.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::RunSetup;

namespace {

const std::string alSc =
    "notVerbose\n"
    "matrix Al 4.05e-10 1.66e-29 26.98\n"
    "element Sc 0.2 44.96 5.31e-4 173000\n"
    "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
    "classManagementType lin\n"
    "targetClassNumber 50\n"
    "temperatureProfile 0 623 3600 623\n"
    "nodes 1\n";

void expectUnwritable(const OstrelRun& run, const std::string& file)
{
    const std::string message = "FATAL ERROR: Unable to write file " + file;
    EXPECT_EQ(run.exitCode(), 1) << run.console();
    EXPECT_TRUE(run.consoleHasLine(message)) << run.console();
    ASSERT_FALSE(run.logLines().empty());
    EXPECT_EQ(run.logLines().back(), message);
    EXPECT_FALSE(run.hasFile("computation.end"));
}

} // namespace

// A full disk: every write fails. The header of the file already stops the
// run, for the thermodynamic file as for a distribution file.
TEST(UnwritableResults, FullDiskStopsTheRun)
{
    for (const std::string file : {"r_0.dat", "dAl3Sc_0.dat"}) {
        RunSetup setup;
        setup.data = alSc + "savethermodynamics r 10\nsavedistribution d 10\n";
        setup.links = {{file, "/dev/full"}};
        expectUnwritable(OstrelRun(setup), file);
    }
}

// A file-size limit cuts the distribution file, written at every step, in
// the middle of a record: the write that passes the limit stops the run
// (instead of the signal of the limit killing it, or of the run going on).
TEST(UnwritableResults, FileSizeLimitStopsTheRun)
{
    constexpr long long limit = 20000;
    RunSetup setup;
    setup.data = alSc + "savethermodynamics r 999999\nsavedistribution d 1\n";
    setup.fileSizeLimit = limit;
    const OstrelRun run(setup);
    expectUnwritable(run, "dAl3Sc_0.dat");
    EXPECT_EQ(std::filesystem::file_size(run.workDir().path() / "dAl3Sc_0.dat"), static_cast<std::uintmax_t>(limit));
}
