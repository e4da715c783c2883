// End-to-end checks that a run never ends in success with lost or unusable
// results: result files that cannot be written completely stop the run, and
// odd but valid inputs give finite numbers only.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::RunSetup;
namespace fs = std::filesystem;

namespace {

const std::string alloy =
    "notVerbose\n"
    "matrix Al 4.05e-10 1.66e-29 26.98\n"
    "element Sc 0.2 44.96 5.31e-4 173000\n"
    "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
    "targetClassNumber 50\n"
    "temperatureProfile 0 623 3600 623\n"
    "nodes 1\n";
const std::string alSc = alloy + "classManagementType lin\n";

void expectUnwritable(const OstrelRun& run, const std::string& file)
{
    const std::string message = "FATAL ERROR: Unable to write file " + file;
    EXPECT_EQ(run.exitCode(), 1) << run.console();
    EXPECT_TRUE(run.consoleHasLine(message)) << run.console();
    ASSERT_FALSE(run.logLines().empty());
    EXPECT_EQ(run.logLines().back(), message);
    EXPECT_FALSE(run.hasFile("computation.end"));
}

// Walks every number of every file the run wrote (its own inputs, log.log
// and computation.end aside) and expects each one finite; returns how many
// numbers it saw.
int expectEveryNumberFinite(const OstrelRun& run, const RunSetup& setup, const std::string& label)
{
    std::set<std::string> skipped{"log.log", "computation.end", setup.dataName};
    for (const auto& input : setup.files) skipped.insert(input.first);
    int numbers = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(run.workDir().path())) {
        const std::string name = entry.path().filename().string();
        if (skipped.count(name)) continue;
        int lineNumber = 0;
        for (const std::string& line : run.fileLines(name)) {
            ++lineNumber;
            std::istringstream words(line);
            std::string word;
            while (words >> word) {
                char* end = nullptr;
                const double value = std::strtod(word.c_str(), &end);
                if (end == word.c_str() || *end != '\0') continue; // header text
                ++numbers;
                EXPECT_TRUE(std::isfinite(value)) << label << ": " << name << ", line " << lineNumber << ": " << word;
            }
        }
    }
    return numbers;
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

// Odd but valid inputs: an initial distribution with two classes of the
// same radius under every class-management method (their density per unit
// radius would be N / 0), a step growth that would overflow the time step,
// and extreme diffusion boosts. Every number of every result file is finite.
TEST(OddRuns, EveryNumberOfEveryResultFileIsFinite)
{
    const std::string saving = "savethermodynamics r 10\nsavedistribution d 10\n";
    std::vector<std::pair<std::string, RunSetup>> runs;
    for (const std::string method : {"no", "old", "lin", "distrib", "quad", "oldWithLess"}) {
        RunSetup setup;
        setup.data = alloy + saving + "classManagementType " + method + "\ninitialDistrib Al3Sc start.dat\n";
        setup.files = {{"start.dat", "R 1e-9 1e-9 2e-9\nN 1e20 1e20 1e20\nD\n"}};
        runs.emplace_back("equal radii, " + method, setup);
    }
    for (const std::string extra : {"increaseDT 1e307\n", "boostPrecipitateDiffusion Al3Sc 1e-30\n",
                                    "boostPrecipitateDiffusion Al3Sc 1e30\n"}) {
        RunSetup setup;
        setup.data = alSc + saving + extra;
        runs.emplace_back(extra, setup);
    }

    for (const auto& [label, setup] : runs) {
        const OstrelRun run(setup);
        ASSERT_EQ(run.exitCode(), 0) << label << "\n" << run.console();
        EXPECT_GT(expectEveryNumberFinite(run, setup, label), 100) << label;
    }
}
