// End-to-end runs of the MPI program under mpirun with 1, 2 and 3
// processes, each compared with the serial program on the same data: the
// same exit status, console (standard output), log.log and result files,
// byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "support/fake_gnuplot.h"
#include "support/ostrel_run.h"

using testing_support::FakeGnuplot;
using testing_support::fixedGnuplotInstalled;
using testing_support::gnuplotInputs;
using testing_support::countConsoleLinesStartingWith;
using testing_support::OstrelRun;
using testing_support::RunSetup;

namespace fs = std::filesystem;

namespace {

const std::string alloy = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                          "element Sc 0.2 44.96 5.31e-4 173000\n"
                          "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
                          "classManagementType lin\n"
                          "targetClassNumber 200\n"
                          "temperatureProfile 0 623 86400 623\n"
                          "savethermodynamics resultsThermo 10\n"
                          "savedistribution distribution 100\n";

// Seven unconnected nodes of different volumes: more nodes than processes,
// so that every process takes several, in an order that changes from run
// to run. (Nodes of different cost need per-node temperature profiles.)
std::string unconnectedNodes(const std::string& extra = "")
{
    std::string data = alloy + extra + "nodes 7\n";
    for (int k = 0; k < 7; ++k)
        data += "node " + std::to_string(k) + " " + std::to_string(k) + "e-3 0 0 " + std::to_string(k + 1) + "e-9\n";
    return data;
}

std::string sourceFile(const std::string& relativePath)
{
    std::ifstream in(fs::path(OSTREL_SOURCE_DIR) / relativePath);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Five nodes 1 mm apart, aged for an hour; node 4's diffusion boost is so
// large that its solid solution is no number after a few rejections, and
// once its step is below the smallest one, its run stops with a fatal error.
std::string fiveNodesTheLastFailing(const std::string& connections)
{
    std::string data = alloy + "nodes 5\n";
    data.replace(data.find("86400"), 5, "3600");
    for (int k = 0; k < 5; ++k) data += "node " + std::to_string(k) + " " + std::to_string(k) + "e-3 0 0 1e-9\n";
    return data + connections + "nodeProperty 4 4 boostPrecipitateDiffusion Al3Sc 1e100\n";
}

RunSetup overProcesses(RunSetup setup, int processes)
{
    setup.program = OSTREL_MPI_BINARY;
    // --noprefix: mpirun started by its full path would put its own folder
    // first on the processes' PATH, before the fake gnuplot's.
    setup.launcher = {OSTREL_MPIEXEC, "--noprefix", "--oversubscribe", "-np", std::to_string(processes)};
    if (geteuid() == 0) setup.launcher.push_back("--allow-run-as-root");
    setup.errorsApart = true;
    return setup;
}

bool isGnuplotInput(const std::string& name) { return name.rfind("gnuplot-input-", 0) == 0; }

// The regular files a run left, by name (the plot recordings apart: their
// names carry a process id).
std::vector<std::string> resultFiles(const OstrelRun& run)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(run.workDir().path())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && !isGnuplotInput(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> sorted(std::vector<std::string> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

void expectSameLines(const OstrelRun& serial, const OstrelRun& parallel)
{
    EXPECT_EQ(parallel.exitCode(), serial.exitCode()) << parallel.console() << parallel.errors();
    EXPECT_EQ(parallel.console(), serial.console());
    EXPECT_EQ(parallel.logLines(), serial.logLines());
}

void expectSameRun(const OstrelRun& serial, const OstrelRun& parallel)
{
    expectSameLines(serial, parallel);
    const auto files = resultFiles(serial);
    EXPECT_EQ(resultFiles(parallel), files);
    for (const std::string& name : files) EXPECT_TRUE(parallel.file(name) == serial.file(name)) << name;
    EXPECT_EQ(sorted(gnuplotInputs(parallel.workDir().path())), sorted(gnuplotInputs(serial.workDir().path())));
}

class OverProcesses : public testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Mpi, OverProcesses, testing::Values(1, 2, 3),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "Processes";
                         });

} // namespace

TEST_P(OverProcesses, UnconnectedNodesWriteTheSerialLinesAndFiles)
{
    RunSetup setup;
    setup.data = unconnectedNodes();
    const OstrelRun serial(setup);
    ASSERT_EQ(serial.exitCode(), 0) << serial.console();
    const OstrelRun parallel(overProcesses(setup, GetParam()));
    expectSameRun(serial, parallel);
    EXPECT_TRUE(parallel.hasFile("computation.end"));
    EXPECT_TRUE(parallel.hasFile("resultsThermo_6.dat"));

    // A single node: the other processes have nothing to do.
    setup.data = alloy + "nodes 1\n";
    expectSameRun(OstrelRun(setup), OstrelRun(overProcesses(setup, GetParam())));
}

// Nodes of very different cost, each at its own temperature: the TTP example.
TEST_P(OverProcesses, TtpExampleWritesTheSerialFiles)
{
    RunSetup setup;
    setup.data = sourceFile("examples/ttp-al-sc/data");
    const OstrelRun serial(setup);
    ASSERT_EQ(serial.exitCode(), 0) << serial.console();
    expectSameRun(serial, OstrelRun(overProcesses(setup, GetParam())));
}

TEST_P(OverProcesses, ConnectedNodesWriteTheSerialLinesAndFiles)
{
    RunSetup setup;
    setup.data = alloy + "nodes 3\nnode 0 0 0 0 1e-9\nnode 1 1e-3 0 0 2e-9\nnode 2 2e-3 0 0 1e-9\n"
                         "connect 0 1 1e-6\nconnect 1 2 1e-6\n";
    const OstrelRun serial(setup);
    ASSERT_EQ(serial.exitCode(), 0) << serial.console();
    expectSameRun(serial, OstrelRun(overProcesses(setup, GetParam())));
}

// Nodes that exchange solute, with their rejections by other nodes than
// node 0 and forced equalisations (warnings): a bar graded in Sc, and three
// points of a steel across a weld exchanging carbon and vanadium.
TEST_P(OverProcesses, ConnectedNodesWithGradientsWriteTheSerialLinesAndFiles)
{
    for (const char* dataFile : {"examples/graded-bar/data", "tests/golden/exchange-carbon-weld/data"}) {
        SCOPED_TRACE(dataFile);
        RunSetup setup;
        setup.data = sourceFile(dataFile);
        ASSERT_FALSE(setup.data.empty());
        const OstrelRun serial(setup);
        ASSERT_EQ(serial.exitCode(), 0) << serial.console();
        ASSERT_GT(countConsoleLinesStartingWith(serial, "Time step rejected by node 1"), 0);
        expectSameRun(serial, OstrelRun(overProcesses(setup, GetParam())));
    }
}

// Steps the exchange refuses: a transfer that would reverse a difference
// (until the step is small enough to force it, with a warning), and a small
// node that its two connections together would empty. Each node has a
// process of its own with three.
TEST_P(OverProcesses, StepsThatTheExchangeRefusesGiveTheSerialLinesAndFiles)
{
    const std::string scandium = "matrix Al 4.05e-10 1.66e-29 26.98\nnoPrecipitation\n"
                                 "savethermodynamics r 1\nsavedistribution d 1000\n";
    const std::string reversing = scandium + "element Sc 0.2 44.96 1e-2 0\ntemperatureProfile 0 623 1e-3 623\n"
                                             "nodes 3\nnode 0 0 0 0 1e-18\nnode 1 1e-6 0 0 1e-18\n"
                                             "node 2 2e-6 0 0 1e-18\nconnect 0 1 1e-12\nconnect 1 2 1e-12\n"
                                             "nodeProperty 1 1 element Sc 0.4 44.96 1e-2 0\n";
    const std::string emptying = scandium + "element Sc 0.2 44.96 7e-7 0\ntemperatureProfile 0 623 1e-5 623\n"
                                            "nodes 3\nnode 0 0 0 0 1e-18\nnode 1 1e-6 0 0 1e-15\n"
                                            "node 2 0 1e-6 0 1e-15\nconnect 0 1 1e-12\nconnect 0 2 1e-12\n"
                                            "nodeProperty 1 2 element Sc 0 44.96 7e-7 0\n";
    for (const std::string& data : {reversing, emptying}) {
        RunSetup setup;
        setup.data = data;
        const OstrelRun serial(setup);
        ASSERT_EQ(serial.exitCode(), 0) << serial.console();
        ASSERT_GT(countConsoleLinesStartingWith(serial, "Time step rejected by node 0 because "), 0);
        expectSameRun(serial, OstrelRun(overProcesses(setup, GetParam())));
    }
}

// The last node (the third process's, with three) fails in its run, not in
// its preparation: every process ends with status 1 after the serial lines.
// Independent nodes: the others have run to their end; connected ones: in
// the global step where the serial run fails, no node has committed, so the
// result files are the serial run's too.
TEST_P(OverProcesses, FatalErrorInANodesRunEndsEveryProcessAfterTheSerialLines)
{
    for (const std::string connections : {"", "connect 0 1 1e-6\nconnect 1 2 1e-6\nconnect 2 3 1e-6\nconnect 3 4 1e-6\n"}) {
        SCOPED_TRACE(connections.empty() ? "independent nodes" : "connected nodes");
        RunSetup setup;
        setup.data = fiveNodesTheLastFailing(connections);
        const OstrelRun serial(setup);
        ASSERT_EQ(serial.exitCode(), 1);
        ASSERT_EQ(serial.logLines().back(), "FATAL ERROR: Smallest time step value reached with nan or inf solid solution.");
        ASSERT_GT(countConsoleLinesStartingWith(serial, "Time step rejected by node 4"), 0);
        const OstrelRun parallel(overProcesses(setup, GetParam()));
        expectSameRun(serial, parallel);
        EXPECT_FALSE(parallel.hasFile("computation.end"));
    }
}

// Every process may write files of at most 8 kB: in the serial run node 0's
// distribution file is the first to need more, in a commit of the graded
// bar's ageing, after which nodes 1 to 4 commit nothing. The other
// processes' nodes have committed that step when they learn of it (their
// files may differ); the lines are the serial run's.
TEST_P(OverProcesses, FatalErrorInACommitEndsEveryProcessAfterTheSerialLines)
{
    RunSetup setup;
    setup.data = "notVerbose\n" + sourceFile("examples/graded-bar/data");
    setup.fileSizeLimit = 8192;
    const OstrelRun serial(setup);
    ASSERT_EQ(serial.exitCode(), 1);
    ASSERT_EQ(serial.logLines().back(), "FATAL ERROR: Unable to write file distributionAl3Sc_0.dat");
    RunSetup limited = overProcesses(setup, GetParam());
    // The limit for the program's processes, not for mpirun.
    limited.fileSizeLimit = -1;
    limited.launcher.insert(limited.launcher.end(), {"/bin/sh", "-c", "ulimit -f 16 && exec \"$0\""});
    const OstrelRun parallel(limited);
    expectSameLines(serial, parallel);
    EXPECT_FALSE(parallel.hasFile("computation.end"));
}

// Node 2's results file and node 5's distribution file cannot be opened
// (directories have their names): each warns when its node is prepared (in
// the serial run, while reading, before any node runs) and at every record
// of its run.
TEST_P(OverProcesses, WarningsOfANodeComeInTheSerialOrder)
{
    RunSetup setup;
    setup.data = unconnectedNodes();
    setup.directories = {"resultsThermo_2.dat", "distributionAl3Sc_5.dat"};
    const OstrelRun serial(setup);
    ASSERT_EQ(serial.exitCode(), 0);
    ASSERT_TRUE(serial.logHasLine("WARNING: Unable to open file:resultsThermo_2.dat. Computation continues."));
    expectSameRun(serial, OstrelRun(overProcesses(setup, GetParam())));
}

// Node 4's results file cannot be written (it leads to /dev/full): a fatal
// error while node 4 is prepared, which the serial run meets before any node
// runs. Whichever process holds node 4, every process ends with status 1,
// and the lines are the serial run's: the warnings of node 2's preparation,
// then the error; none of the runs that processes made meanwhile (their
// result files do differ from the serial run's).
TEST_P(OverProcesses, FatalErrorOfALaterNodeEndsEveryProcessAfterTheSerialLines)
{
    RunSetup setup;
    setup.data = unconnectedNodes();
    setup.directories = {"resultsThermo_2.dat"};
    setup.links = {{"resultsThermo_4.dat", "/dev/full"}};
    const OstrelRun serial(setup);
    if (serial.exitCode() == 0) GTEST_SKIP() << "a results file that cannot be written does not stop a run yet";
    ASSERT_EQ(serial.logLines().back(), "FATAL ERROR: Unable to write file resultsThermo_4.dat");
    const OstrelRun parallel(overProcesses(setup, GetParam()));
    expectSameLines(serial, parallel);
    EXPECT_FALSE(parallel.hasFile("computation.end"));
}

// Every process meets an error of the data file; the root alone writes it.
TEST_P(OverProcesses, DataFileErrorIsWrittenOnceByTheRoot)
{
    RunSetup setup;
    setup.data = alloy + "nodes 2\nnode 0 0 0 0 1\n";
    const OstrelRun serial(setup);
    ASSERT_EQ(serial.exitCode(), 1);
    const OstrelRun parallel(overProcesses(setup, GetParam()));
    expectSameRun(serial, parallel);
    EXPECT_FALSE(parallel.hasFile("computation.end"));

    RunSetup missing;
    missing.dataName = "";
    expectSameRun(OstrelRun(missing), OstrelRun(overProcesses(missing, GetParam())));
}

// The plots of node 3 are drawn by the one process that runs node 3: the
// same gnuplot command streams as in the serial run, no more.
TEST_P(OverProcesses, PlotsOfANodeComeFromTheProcessThatRunsIt)
{
    if (fixedGnuplotInstalled()) GTEST_SKIP() << "/opt/local/bin/gnuplot would be started instead of the fake";
    const FakeGnuplot gnuplot(FakeGnuplot::recording);
    RunSetup setup;
    setup.data = unconnectedNodes("plot_distrib 3 50 all\nplot_thermo 3 100 all\nplot_final 3 all\n");
    setup.environment = {{"PATH", gnuplot.directory() + ":" + std::getenv("PATH")}};
    const OstrelRun serial(setup);
    ASSERT_EQ(serial.exitCode(), 0) << serial.console();
    ASSERT_EQ(gnuplotInputs(serial.workDir().path()).size(), 3u);
    expectSameRun(serial, OstrelRun(overProcesses(setup, GetParam())));
}

// Runs with mechanics: the strength after every step, hardening coupled to
// the steps or integrated after the run by each node's process, and a
// mechanics-only rerun, unconnected and connected.
TEST_P(OverProcesses, MechanicsRunsWriteTheSerialLinesAndFiles)
{
    const std::vector<std::string> cases = {"examples/al-cu-ageing-tensile", "tests/golden/mechanics-strong-coupling",
                                            "tests/golden/mechanics-semi-coupling",
                                            "tests/golden/mechanics-only-rerun"};
    for (const std::string& folder : cases) {
        SCOPED_TRACE(folder);
        RunSetup setup;
        for (const auto& entry : fs::directory_iterator(fs::path(OSTREL_SOURCE_DIR) / folder)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && name != "README.md") setup.files[name] = sourceFile(folder + "/" + name);
        }
        const OstrelRun serial(setup);
        ASSERT_EQ(serial.exitCode(), 0) << serial.console();
        expectSameRun(serial, OstrelRun(overProcesses(setup, GetParam())));
        if (folder.ends_with("mechanics-only-rerun")) {
            setup.files["data"] += "connect 0 1 1e-8\n";
            const OstrelRun connectedSerial(setup);
            ASSERT_EQ(connectedSerial.exitCode(), 0) << connectedSerial.console();
            expectSameRun(connectedSerial, OstrelRun(overProcesses(setup, GetParam())));
        }
    }
}
