// The driver of runs over processes, with the single process of a build
// without MPI: it records every line and writes it later, prepares nodes
// when it takes them, and must still give the serial program's run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "network/run_over_processes.h"
#include "parallel/processes.h"
#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::RunSetup;
using testing_support::TempDir;

namespace {

struct DriverRun {
    TempDir dir;
    int status = -1;
};

// Runs the driver in a child process in a fresh folder that holds `data`.
void runDriver(DriverRun& run, const RunSetup& setup)
{
    for (const auto& name : setup.directories) std::filesystem::create_directories(run.dir.path() / name);
    run.dir.write("data", setup.data);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(run.dir.path().c_str()) != 0) _exit(127);
        const int out = open(".console", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0) _exit(127);
        dup2(out, STDOUT_FILENO);
        int argc = 1;
        char name[] = "ostrel";
        char* args[] = {name, nullptr};
        char** argv = args;
        Processes processes(argc, argv);
        _exit(runOverProcesses(processes, argc, argv));
    }
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

void expectSameAsSerial(const RunSetup& setup, const std::vector<std::string>& files)
{
    const OstrelRun serial(setup);
    DriverRun driver;
    runDriver(driver, setup);
    EXPECT_EQ(driver.status, serial.exitCode());
    EXPECT_EQ(driver.dir.read(".console"), serial.console());
    for (const std::string& name : files) EXPECT_EQ(driver.dir.read(name), serial.file(name)) << name;
    EXPECT_EQ(driver.dir.exists("computation.end"), serial.hasFile("computation.end"));
}

const std::string alloy = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                          "element Sc 0.2 44.96 5.31e-4 173000\n"
                          "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
                          "temperatureProfile 0 623 3600 623\n"
                          "savethermodynamics resultsThermo 10\n"
                          "savedistribution distribution 100\n";

} // namespace

// Node 1's results file and node 2's distribution file cannot be opened:
// their warnings come while the nodes are prepared, before any node runs,
// and again during the runs.
TEST(RunOverProcesses, OneProcessWritesTheSerialLinesAndFiles)
{
    RunSetup setup;
    setup.data = alloy + "nodes 3\nnode 0 0 0 0 1\nnode 1 1 0 0 1\nnode 2 2 0 0 1\n";
    setup.directories = {"resultsThermo_1.dat", "distributionAl3Sc_2.dat"};
    expectSameAsSerial(setup, {"log.log", "resultsThermo_0.dat", "resultsThermo_2.dat", "distributionAl3Sc_1.dat"});

    setup.data += "connect 0 2 1e-6\n";
    expectSameAsSerial(setup, {"log.log", "resultsThermo_2.dat"});

    setup.data = alloy + "nodes 2\n";
    expectSameAsSerial(setup, {"log.log"});
}

// A node that fails in its run (its boosted growth leaves no number in its
// solid solution), connected to the others or not: the lines up to the
// error, status 1, and no marker.
TEST(RunOverProcesses, OneProcessEndsARunThatANodeStopsAfterTheSerialLines)
{
    for (const std::string connections : {"", "connect 0 1 1e-6\nconnect 1 2 1e-6\n"}) {
        RunSetup setup;
        setup.data = alloy + "nodes 3\nnode 0 0 0 0 1e-9\nnode 1 1e-3 0 0 1e-9\nnode 2 2e-3 0 0 1e-9\n" + connections +
                     "nodeProperty 1 1 boostPrecipitateDiffusion Al3Sc 1e100\n";
        expectSameAsSerial(setup, {"log.log", "resultsThermo_0.dat", "resultsThermo_2.dat"});
    }
}
