// End-to-end checks of the gnuplot plots: the exact command streams (read
// back from a fake gnuplot), the pictures of the real one, and runs whose
// gnuplot is missing or quits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "output/gnuplot_pipe.h"
#include "support/fake_gnuplot.h"
#include "support/ostrel_run.h"

using testing_support::FakeGnuplot;
using testing_support::fixedGnuplotInstalled;
using testing_support::gnuplotInputs;
using testing_support::OstrelRun;
using testing_support::RunSetup;
using testing_support::TempDir;

namespace {

const std::string alloy = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                          "element Sc 0.2 44.96 5.31e-4 173000\n";
const std::string al3sc = "1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n";
const std::string oneAl3Sc = alloy + "precipitate Al3Sc " + al3sc + "temperatureProfile 0 623 10 623\n";

// Radii 2^-33 ... 2^-29 m: every class width is a power of two, so the bar
// heights below are exact. Class 1 lies under the critical radius
// (about 4.3e-10 m), classes 2 to 4 above it.
const std::string alphaClasses = "R 1.16415321826934814453125e-10 2.3283064365386962890625e-10 "
                                 "4.656612873077392578125e-10 9.31322574615478515625e-10 "
                                 "1.86264514923095703125e-9\n"
                                 "N 1e18 2e18 3e18 4e18 5e18\n"
                                 "D 0 0 0 0 0\n";

const std::string alphaChart = "set format x \"%g\"\n"
                               "set title \"alpha - time(s)=0.0000\"\n"
                               "plot '-' t \"Sub-critical\" w boxes ,'-' t \"Super-critical\" w boxes lt 3\n"
                               "0 0 \n"
                               "2.32830643653869628906E-10 1.71798691840000000000E+28\n"
                               "e\n"
                               "0 0 \n"
                               "4.65661287307739257812E-10 1.28849018880000000000E+28\n"
                               "9.31322574615478515625E-10 8.58993459200000000000E+27\n"
                               "1.86264514923095703125E-09 5.36870912000000000000E+27\n"
                               "e\n";
// A single class is never drawn: two empty charts.
const std::string betaChart = "set format x \"%g\"\n"
                              "set title \"beta - time(s)=0.0000\"\n"
                              "plot '-' t \"Sub-critical\" w boxes ,'-' t \"Super-critical\" w boxes lt 3\n"
                              "0 0 \ne\n0 0 \ne\n";

const std::string liveHeader = "set terminal x11 enhanced\n";

// The six plots of one results file for the single phase Al3Sc: `block` is
// the phase's first column, `second` the column of the second element (Al).
std::string thermoScript(const std::string& file, int block, int second)
{
    const std::string f = "'" + file + "' u 1:";
    auto c = [](int column) { return std::to_string(column); };
    return "set format y \"%g\"\n"
           "set xlabel \"Time (s)\"\n"
           "set ylabel \"Time Step (s)\"\n"
           "set logscale\n"
           "plot " + f + "2 t \"dt\" w l lw 2\n"
           "set ylabel \"Radius (m)\"\n"
           "set logscale\n"
           "plot " + f + c(block) + " t \"Al3Sc (<R>)\" w l lw 2," + f + c(block + 1) + " t \"Al3Sc (R*)\"w l lw 1\n"
           "set ylabel \"Number density (#/m^3)\"\n"
           "set logscale\n"
           "plot " + f + c(block + 3) + " t \"Al3Sc\" w l lw 2\n"
           "set ylabel \"Solute content (at. frac.)\"\n"
           "set logscale\n"
           "plot " + f + "4 t \"Sc\" w l lw 2," + f + c(second) + " t \"Al\" w l lw 2\n"
           "set ylabel \"Precipitate volume fraction\"\n"
           "unset logscale y\n"
           "plot " + f + c(block + 2) + " t \"Al3Sc\" w l lw 2\n"
           "set ylabel \"Number of classes\"\n"
           "unset logscale y\n"
           "plot " + f + c(block + 4) + " t \"Al3Sc\" w l lw 2\n";
}

OstrelRun runWithGnuplot(const std::string& data, const std::string& path,
                         const std::map<std::string, std::string>& files = {})
{
    RunSetup setup;
    setup.data = data;
    setup.files = files;
    setup.environment["PATH"] = path;
    return OstrelRun(setup);
}

std::string sourceFile(const std::string& relativePath)
{
    std::ifstream in(std::string(OSTREL_SOURCE_DIR) + "/" + relativePath);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs whose gnuplot is a recorder first on PATH.
class RecordedPlots : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (fixedGnuplotInstalled()) GTEST_SKIP() << "/opt/local/bin/gnuplot would be started instead of the fake";
    }

    // The command streams of a successful run, one per gnuplot process.
    std::vector<std::string> plotsOf(const std::string& data, const std::map<std::string, std::string>& files = {})
    {
        const OstrelRun run = runWithGnuplot(data, gnuplot.directory(), files);
        EXPECT_EQ(run.exitCode(), 0) << run.console();
        thermoLines = run.fileLines("r_0.dat");
        return gnuplotInputs(run.workDir().path());
    }

    const FakeGnuplot gnuplot{FakeGnuplot::recording};
    std::vector<std::string> thermoLines;
};

} // namespace

TEST_F(RecordedPlots, DistributionChartsOfTheSelectedPhases)
{
    const std::string twoPhases = alloy + "precipitate alpha " + al3sc + "precipitate beta " + al3sc +
                                  "temperatureProfile 0 623 1 623\n"
                                  "initialDistrib alpha alpha.txt beta beta.txt\n"
                                  "savethermodynamics r 10\nsavedistribution d 10\nnodes 1\n";
    const std::map<std::string, std::string> files{{"alpha.txt", alphaClasses}, {"beta.txt", "R 1e-9\nN 1e18\nD 0\n"}};
    const std::string opening = liveHeader + "set xrange [0:]\nset boxwidth 8.000000e-13\n";

    // Period 1000000: only the record of step 0 is plotted.
    EXPECT_EQ(plotsOf(twoPhases + "plot_distrib 0 1000000 all\n", files),
              std::vector<std::string>{opening + "set multiplot layout 2,1\n" + alphaChart + betaChart + "unset multiplot\n"});

    // One chart, but the node still has two phases.
    EXPECT_EQ(plotsOf(twoPhases + "plot_distrib 0 1000000 beta\n", files),
              std::vector<std::string>{opening + "set multiplot layout 1,1\n" + betaChart + "unset multiplot\n"});
}

TEST_F(RecordedPlots, LiveThermoPanelsRedrawnThroughOneProcess)
{
    const auto inputs = plotsOf(oneAl3Sc + "savethermodynamics r 1\nsavedistribution d 10\nnodes 1\nplot_thermo 0 1 all\n");

    // One redraw for each record of the results file, all in one window.
    ASSERT_GT(thermoLines.size(), 5u);
    std::string expected = liveHeader + "set output 'results.eps'\n";
    for (std::size_t record = 3; record < thermoLines.size(); ++record)
        expected += "set multiplot layout 2,3\n" + thermoScript("r_0.dat", 6, 5) + "unset multiplot\n";
    EXPECT_EQ(inputs, std::vector<std::string>{expected});
}

TEST_F(RecordedPlots, FinalFigureOfAnotherNodeWithWeightPercents)
{
    EXPECT_EQ(plotsOf(oneAl3Sc + "savethermodynamics r 10\nsavedistribution d 10\nheavyOuputs\n"
                                 "nodes 2\nnode 0 0 0 0 1\nnode 1 1 0 0 1\nplot_final 1 all\n"),
              std::vector<std::string>{"set terminal postscript enhanced color\nset output 'Results.eps'\n"
                                       "set size .75,.75\n" + thermoScript("r_1.dat", 8, 6)});
}

TEST(Plots, RealGnuplotWritesTheSixPagesOfResultsEps)
{
    if (findGnuplotOnPath().empty()) GTEST_SKIP() << "gnuplot is not installed";
    const OstrelRun run = testing_support::runOstrel(oneAl3Sc + "savethermodynamics r 10\nsavedistribution d 10\n"
                                                                "nodes 1\nplot_final 0 all\n");
    ASSERT_EQ(run.exitCode(), 0) << run.console();
    const auto eps = run.fileLines("Results.eps");
    ASSERT_FALSE(eps.empty());
    EXPECT_EQ(eps[0].rfind("%!PS-Adobe", 0), 0u) << eps[0];
    int pages = 0;
    for (const auto& line : eps) pages += line.rfind("%%Page: ", 0) == 0;
    EXPECT_EQ(pages, 6);
}

TEST(Plots, PictureScriptDrawsTheAlScExample)
{
    const std::string gnuplot = findGnuplotOnPath();
    if (gnuplot.empty()) GTEST_SKIP() << "gnuplot is not installed";
    RunSetup setup;
    setup.files["data"] = sourceFile("examples/al-sc/data");
    const OstrelRun run(setup);
    ASSERT_EQ(run.exitCode(), 0) << run.console();

    const std::string folder = run.workDir().path().string();
    const std::string command = "'" + gnuplot + "' -e \"run='" + folder + "'\" '" OSTREL_SOURCE_DIR
                                "/tools/plot_run.gp' > '" + folder + "/plot.log' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << run.file("plot.log");
    for (const char* picture : {"radius", "number_density", "volume_fraction", "solute", "classes", "distribution"}) {
        const std::string png = run.file(std::string(picture) + ".png");
        EXPECT_EQ(png.substr(0, 4), "\x89PNG") << picture;
    }
}

TEST(Plots, MissingOrQuittingGnuplotLeavesTheResultsAlone)
{
    if (fixedGnuplotInstalled()) GTEST_SKIP() << "/opt/local/bin/gnuplot would be started";
    const std::string data = alloy + "precipitate Al3Sc " + al3sc + "temperatureProfile 0 623 3600 623\n"
                             "savethermodynamics r 5\nsavedistribution d 5\nnodes 1\n";
    const std::string plots = "plot_distrib 0 1 all\nplot_thermo 0 1 all\nplot_final 0 all\n";
    const OstrelRun plain = testing_support::runOstrel(data);
    ASSERT_EQ(plain.exitCode(), 0) << plain.console();
    const std::string warning = "WARNING: Unable to open gnuplot. Computation continues.";
    auto warnings = [&](const OstrelRun& run) {
        const auto lines = run.logLines();
        return std::count(lines.begin(), lines.end(), warning);
    };

    const TempDir emptyFolder;
    const FakeGnuplot quitting(FakeGnuplot::quitting);
    for (const std::string& path : {emptyFolder.path().string(), quitting.directory()}) {
        const OstrelRun run = runWithGnuplot(data + plots, path);
        ASSERT_EQ(run.exitCode(), 0) << run.console();
        EXPECT_TRUE(run.hasFile("computation.end"));
        // One warning per start: the two live windows and the final figure.
        EXPECT_EQ(warnings(run), path == quitting.directory() ? 0 : 3);
        EXPECT_EQ(run.file("r_0.dat"), plain.file("r_0.dat"));
        EXPECT_EQ(run.file("dAl3Sc_0.dat"), plain.file("dAl3Sc_0.dat"));
    }
}
