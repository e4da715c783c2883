#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "output/gnuplot_pipe.h"
#include "output/output.h"
#include "support/fake_gnuplot.h"
#include "support/temp_dir.h"

using testing_support::FakeGnuplot;
using testing_support::fixedGnuplotInstalled;
using testing_support::gnuplotInputs;
using testing_support::readLines;
using testing_support::ScopedWorkDir;
using testing_support::TempDir;

namespace {

// PATH set for the lifetime of the object, then put back.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& value)
    {
        if (const char* old = std::getenv("PATH")) previous = old;
        setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath()
    {
        if (previous)
            setenv("PATH", previous->c_str(), 1);
        else
            unsetenv("PATH");
    }

private:
    std::optional<std::string> previous;
};

} // namespace

TEST(GnuplotPipe, OneOwnerPerProcess)
{
    if (fixedGnuplotInstalled()) GTEST_SKIP() << "/opt/local/bin/gnuplot would be started instead of the fake";
    ScopedWorkDir dir;
    const FakeGnuplot gnuplot(FakeGnuplot::recording);
    const ScopedPath path(gnuplot.directory());

    Output plotting;
    ASSERT_TRUE(plotting.thermoPipe.start());
    plotting.thermoPipe.print("set %s %i\n", "first", 1);

    // A node copied from a plotting node gets no process: its writes go nowhere.
    Output node = plotting;
    EXPECT_FALSE(node.thermoPipe.isOpen());
    node.thermoPipe.print("from the copy\n");
    node.thermoPipe.flush();

    GnuplotPipe moved(std::move(plotting.thermoPipe));
    EXPECT_FALSE(plotting.thermoPipe.isOpen());
    ASSERT_TRUE(moved.isOpen());
    const std::string longName(2000, 'x');
    moved.print("set title \"%s\"\n", longName.c_str());

    GnuplotPipe assigned;
    assigned = moved;
    EXPECT_FALSE(assigned.isOpen());
    EXPECT_TRUE(moved.isOpen());

    moved.close();
    EXPECT_FALSE(moved.isOpen());
    moved.close();
    EXPECT_EQ(gnuplotInputs(dir.path()), std::vector<std::string>{"set first 1\nset title \"" + longName + "\"\n"});
}

TEST(GnuplotPipe, QuitGnuplotSwallowsWritesAndTheirSignal)
{
    if (fixedGnuplotInstalled()) GTEST_SKIP() << "/opt/local/bin/gnuplot would be started instead of the fake";
    const FakeGnuplot gnuplot(FakeGnuplot::quitting);
    const ScopedPath path(gnuplot.directory());
    ScopedWorkDir dir;

    GnuplotPipe pipe;
    ASSERT_TRUE(pipe.start());
    // More than a pipe holds: the write waits until the process has gone.
    const std::string block(4096, 'x');
    for (int i = 0; i < 64; ++i) pipe.print("%s\n", block.c_str());
    pipe.flush();
    EXPECT_FALSE(pipe.writable());
    EXPECT_TRUE(pipe.isOpen());
    pipe.print("after\n");
    pipe.close();

    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
    EXPECT_TRUE(readLines("log.log").empty());
}

TEST(GnuplotPipe, PathSearchSkipsWhatCannotRun)
{
    // Neither a file without execute permission nor a folder named gnuplot is the program.
    const TempDir notExecutable;
    notExecutable.write("gnuplot", "#!/bin/sh\n");
    const TempDir folder;
    std::filesystem::create_directory(folder.path() / "gnuplot");
    const FakeGnuplot gnuplot(FakeGnuplot::recording);
    const ScopedPath path(notExecutable.path().string() + "::" + folder.path().string() + ":" + gnuplot.directory());
    EXPECT_EQ(findGnuplotOnPath(), gnuplot.directory() + "/gnuplot");
}
