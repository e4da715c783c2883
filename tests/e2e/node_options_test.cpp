// End-to-end checks of the node's option keywords: each test walks one
// keyword's checks in order, from the refusals to the accepted value.
#include <gtest/gtest.h>

#include "support/ostrel_run.h"

using testing_support::OstrelRun;
using testing_support::runOstrel;

namespace {

const std::string alloy =
    "matrix Al 4.05e-10 1.66e-29 26.98\n"
    "element Sc 0.2 44.96 5.31e-4 173000\n";
const std::string phase = "precipitate Al3Sc 1.72e-29 0.1 3981 1.5065 sphere homogeneous Sc 1 Al 3\n";
const std::string rest =
    "temperatureProfile 0 623 10 623\n"
    "savethermodynamics resultsThermo 10\n"
    "savedistribution distribution 10\n"
    "nodes 1\n";

std::string dataWith(const std::string& extra) { return alloy + phase + rest + extra; }

void expectFatal(const OstrelRun& run, const std::string& message)
{
    EXPECT_EQ(run.exitCode(), 1) << run.console();
    ASSERT_FALSE(run.logLines().empty());
    EXPECT_EQ(run.logLines().back(), "FATAL ERROR: " + message) << run.console();
}

void expectFatal(const std::string& extra, const std::string& message)
{
    expectFatal(runOstrel(dataWith(extra)), message);
}

} // namespace

TEST(NodeOptions, ValidFileRunsToTheEnd)
{
    const OstrelRun run = runOstrel(dataWith(""));
    EXPECT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.hasFile("computation.end"));
    EXPECT_TRUE(run.consoleHasLine("Temperature profile: OK"));
}

TEST(NodeOptions, Criterion)
{
    expectFatal("criterion rStar\ncriterion rStar\n", "criterion defined twice.");
    expectFatal("criterion\n", "criterion must have 1 argument.");
    expectFatal("criterion rStar solContent\n", "criterion must have 1 argument.");
    expectFatal("criterion RStar\n", "This criterion is not active");
    // The confirmation is printed even when the node is silenced.
    const OstrelRun run = runOstrel(dataWith("notVerbose\ncriterion solcontent\n"));
    EXPECT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine("criterion is:solcontent"));
}

TEST(NodeOptions, SingleValuePatternAndRangeChecks)
{
    expectFatal("increaseDT 1.2\nincreaseDT 1.3\n", "increaseDT defined twice.");
    expectFatal("increaseDT\n", "Too low nb of arguments defined for increaseDT.");
    expectFatal("increaseDT 0.99\n", "Incorrect value for increaseDT (must be >=1)");
    expectFatal("increaseDT abc\n", "Incorrect value for increaseDT (must be >=1)");
    expectFatal("timeStepManagement 2\n", "Incorrect value for timeStepManagement (must be 1 or 3)");
    expectFatal("timeStepManagement 3.9\n", "Incorrect value for timeStepManagement (must be 1 or 3)");
    expectFatal("tol_Brent_Dicho 1e-9\ntol_Brent_Dicho 1e-9\n", "BrentDichoTolerance defined twice.");
    expectFatal("tol_divideResidu_NR\n", "Too low nb of arguments defined for NRtolerance.");
    expectFatal("nonLinearAlgorithm newton\n", "This choice for nonLinearAlgorithm is not recognized");
    expectFatal("classManagementType Quad\n",
                "Incorrect value for classManagementType (must be quad, lin, distrib, old or no)");
    expectFatal("initialDT 0\n", "Incorrect value for initialDT (must be >0)");
    expectFatal("targetClassNumber 1\n", "Incorrect value for targetClassNumber (must be >=2 and <=10000000)");
    expectFatal("NR_maximumCount inf\n", "Incorrect value for NR_maximumCount (must be a finite number)");
    expectFatal("tol_Brent_Dicho nan\n", "Incorrect value for BrentDichoTolerance (must be a finite number)");

    const OstrelRun run = runOstrel(dataWith("increaseDT 1.2 7\n"
                                             "timeStepManagement 3.0\n"
                                             "targetClassNumber 0x20\n"
                                             "classManagementType quad\n"
                                             "changeNumberInClass 2\n"
                                             "nonLinearAlgorithm brent\n"
                                             "initialDT 1e-5\n"));
    EXPECT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.consoleHasLine("increaseDT changed to: 1.2"));
    EXPECT_TRUE(run.logHasLine(
        "WARNING: Too many arguments defined for increaseDT, only the first is taken into account."));
    EXPECT_TRUE(run.consoleHasLine("timeStepManagement changed to: 3.0"));
    EXPECT_TRUE(run.consoleHasLine("targetClassNumber changed to: 0x20"));
    EXPECT_TRUE(run.consoleHasLine("classManagementType changed to: quad"));
    EXPECT_TRUE(run.logHasLine("WARNING: Incorrect value for changeNumberInClass (must be ]0;1])"));
    EXPECT_TRUE(run.consoleHasLine("changeNumberInClass changed to: 2"));
    EXPECT_TRUE(run.consoleHasLine("nonLinearAlgorithm changed to: brent"));
    EXPECT_TRUE(run.consoleHasLine("initialDT changed to: 1e-5"));
}

TEST(NodeOptions, FlagsAndTheirWarnings)
{
    expectFatal("notVerbose\nnotVerbose\n", "notVerbose defined twice.");
    expectFatal("noVatSS\nnoVatSS\n", "noVatSS defined twice.");
    expectFatal("improvedMassBalance\nimprovedMassBalance\n", "improvedMassBalance defined twice.");
    expectFatal("unstationnaryNucleation\nunstationnaryNucleation\n", "unstationnaryNucleation defined twice.");

    const OstrelRun run = runOstrel(dataWith("noVatSS x\nimprovedMassBalance y\nunstationnaryNucleation\n"));
    EXPECT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.logHasLine("WARNING: No arguments necessary for noVatSS, extra arguments are neglected."));
    EXPECT_TRUE(run.consoleHasLine("No computation of VatSS the choice is always VatSS=VatM"));
    EXPECT_TRUE(run.logHasLine(
        "WARNING: No arguements necessary for improvedMassBalance, extra arguments are neglected."));
    EXPECT_TRUE(run.consoleHasLine("Use of improved mass balance."));
    EXPECT_TRUE(run.logHasLine("WARNING: unstationnaryNucleation changed to: true"));

    const OstrelRun silent = runOstrel(dataWith("notVerbose\nnoVatSS\n"));
    EXPECT_EQ(silent.exitCode(), 0);
    EXPECT_FALSE(silent.consoleHasLine("No computation of VatSS the choice is always VatSS=VatM"));
    EXPECT_FALSE(silent.consoleHasLine("Temperature profile: OK"));
}

TEST(NodeOptions, NoPrecipitation)
{
    const OstrelRun run = runOstrel(alloy + rest + "noPrecipitation\nnoPrecipitation\ntargetClassNumber 100\n");
    EXPECT_EQ(run.exitCode(), 0) << run.console();
    int warnings = 0;
    for (const auto& line : run.logLines()) warnings += line == "WARNING: 'noPrecitation' by default in input file";
    EXPECT_EQ(warnings, 1);
    EXPECT_TRUE(run.consoleHasLine("targetClassNumber changed to: 100"));

    expectFatal(runOstrel(alloy + rest + "noPrecipitation\nboostPrecipitateDiffusion Al3Sc 2\n"),
                "nb of 'boostPrecipitateDiffusion' must be equal to the nb of precipitates");
    expectFatal(runOstrel(alloy + rest), "keyword precipitate not found in datafile.");
}

TEST(NodeOptions, InflateDiffusionCoeffAndBoost)
{
    expectFatal("inflateDiffusionCoeff Sc 2\ninflateDiffusionCoeff Sc 2\ninflateDiffusionCoeff Al 2\n",
                "nb of inflateDiffusionCoeff cannot be greather than nbOfElement.");
    expectFatal("inflateDiffusionCoeff Sc\n", "Too low nb of arguments defined for inflateDiffusionCoeff.");
    expectFatal("inflateDiffusionCoeff Cu 2\n", "inflateDiffusionCoeff: this element Cu was not found");
    expectFatal("inflateDiffusionCoeff Sc 0\n", "Incorrect value for inflateDiffusionCoeff (must be >0)");
    expectFatal("boostPrecipitateDiffusion Al3Sc\n",
                "Too low nb of arguments defined for boostPrecipitateDiffusion (2 required).");
    expectFatal("boostPrecipitateDiffusion Al3Sc 2 3\n",
                "Too many arguments defined for boostPrecipitateDiffusion (2 required).");
    // A factor that would stop or reverse diffusion is refused.
    for (const std::string factor : {"-1.5", "0", "abc", "nan", "inf"})
        expectFatal("boostPrecipitateDiffusion Al3Sc " + factor + "\n",
                    "Incorrect value for boostPrecipitateDiffusion (must be >0)");

    const OstrelRun run =
        runOstrel(dataWith("inflateDiffusionCoeff Sc 2 9\ninflateDiffusionCoeff Sc 3\nboostPrecipitateDiffusion other 5\n"));
    EXPECT_EQ(run.exitCode(), 0) << run.console();
    EXPECT_TRUE(run.logHasLine(
        "WARNING: Too many arguments defined for inflateDiffusionCoeff (element Sc only the 2 first are taken into "
        "account."));
    EXPECT_TRUE(run.consoleHasLine("inflateDiffusionCoeff changed to: 2 for element Sc"));
    EXPECT_TRUE(run.consoleHasLine("inflateDiffusionCoeff changed to: 3 for element Sc"));
    EXPECT_TRUE(run.consoleHasLine("boostPrecipitateDiffusion changed to: 5 for other"));
}
