// End-to-end runs with a mechanical model: the two mechanical results files,
// the points of the strain history under a coupling, mechanics-only reruns
// and the checks that only a whole run reaches.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "support/ostrel_run.h"
#include "support/result_comparison.h"

using testing_support::numbers;
using testing_support::OstrelRun;
using testing_support::RunSetup;

namespace {

const std::string alloy = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                          "element Sc 0.2 44.96 5.31e-4 173000\n"
                          "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n"
                          "classManagementType lin\ntargetClassNumber 40\n";
// Strength model 6 (spheres) with linear hardening along pull.txt.
const std::string mechanics = "mechanicModel 6\nhardeningModel 1\nparametersForHardening 2e9\n"
                              "SSconstant Sc MPa_Wpct 20\nyoung 300 70e9\npoisson 300 0.33\n"
                              "dislocations 1e12 0.3 0.36\ncristalloConstant 10e6 3.06 2.86e-10 cfc\n"
                              "precipitateConstants Al3Sc 2e-9 triangular 160e9 0.3 0 0 0 0\n"
                              "strainLoad pull .txt\n";
const std::string pull = "time strain\n0 0\n250 0.001\n510 0.004\n1200 0.006\n3600 0.01\n";

RunSetup setupWith(const std::string& data)
{
    RunSetup setup;
    setup.data = data;
    setup.files["pull.txt"] = pull;
    return setup;
}

std::vector<std::vector<double>> recordsAfter(const OstrelRun& run, const std::string& file, std::size_t headerLines)
{
    std::vector<std::vector<double>> rows;
    const auto lines = run.fileLines(file);
    for (std::size_t i = headerLines; i < lines.size(); ++i) rows.push_back(numbers(lines[i]));
    return rows;
}

std::vector<double> column(const std::vector<std::vector<double>>& rows, std::size_t c)
{
    std::vector<double> values;
    for (const auto& row : rows) values.push_back(row.at(c));
    return values;
}

// No results file of the run holds a number that is not finite.
void expectOnlyFiniteNumbers(const OstrelRun& run)
{
    for (const auto& entry : std::filesystem::directory_iterator(run.workDir().path()))
        if (entry.path().extension() == ".dat") {
            EXPECT_FALSE(testing_support::firstNonFiniteLine(testing_support::readLines(entry.path())))
                << entry.path().filename();
        }
}

void expectFatal(const RunSetup& setup, const std::string& message)
{
    const OstrelRun run(setup);
    EXPECT_EQ(run.exitCode(), 1) << setup.data;
    ASSERT_FALSE(run.logLines().empty()) << setup.data;
    EXPECT_EQ(run.logLines().back(), "FATAL ERROR: " + message) << setup.data;
}

} // namespace

TEST(MechanicsRun, BothFilesNamesHeadersAndMegapascals)
{
    const OstrelRun run(setupWith(alloy + "temperatureProfile 0 623 3600 623\nsavethermodynamics res 3\n"
                                          "savedistribution d 100\nnodes 1\n" + mechanics));
    ASSERT_EQ(run.exitCode(), 0) << run.console();

    // The strength file: named after the thermodynamic stem, a record beside
    // every thermodynamic record, no hardening columns without strong coupling.
    const auto strength = run.fileLines("resMechanic_0.dat");
    ASSERT_GT(strength.size(), 5u);
    EXPECT_EQ(strength[1], "Elements SS contribution: Sc [MPa_Wpct]  ");
    EXPECT_EQ(strength[3], "t[s] dt[s] T[K] SigmaDislo[MPa] SigmaSS[MPa] SigmaGrain[MPa] SigmaPreciTOT[MPa] "
                           "sigmaFlowMicro[MPa] sigmaAl3Sc[MPa] sigmaAl3Sc_sh[MPa] sigmaAl3Sc_bp[MPa] ");
    const auto rows = recordsAfter(run, "resMechanic_0.dat", 4);
    const auto thermo = testing_support::thermoRecords(run, "res_0.dat");
    EXPECT_EQ(column(rows, 0), column(thermo, 0));
    EXPECT_EQ(column(rows, 1), column(thermo, 1));
    // The initial record: all Sc in solid solution, 20 MPa per (wt%)^(1/2),
    // no precipitate; the flow stress adds the friction stress of 10 MPa.
    ASSERT_EQ(rows[0].size(), 11u);
    EXPECT_NEAR(rows[0][4], 20.0 * std::sqrt(0.2), 1e-12);
    EXPECT_EQ(rows[0][6], 0.0);
    EXPECT_NEAR(rows[0][7], 10.0 + rows[0][3] + rows[0][4], 1e-12);
    EXPECT_GT(rows.back()[6], 100.0);

    // The stress response, after the run: one line per strain point after the
    // first, elastic (70 GPa) at 0.1 % strain.
    const auto response = run.fileLines("pull_node0.dat");
    ASSERT_EQ(response.size(), 5u);
    EXPECT_EQ(response[0], "time[s] eps[] sig[MPa] yield[MPa] R[MPa] X[MPa] ");
    const auto firstLine = numbers(response[1]);
    EXPECT_EQ(std::vector<double>(firstLine.begin(), firstLine.begin() + 3), (std::vector<double>{250, 0.001, 70}));
    const auto lastLine = numbers(response.back());
    EXPECT_EQ(lastLine[0], 3600.0);
    EXPECT_NEAR(lastLine[3], rows.back()[7], 1e-5 * rows.back()[7]);
    EXPECT_EQ(testing_support::countConsoleLinesStartingWith(run, "Mechanical computation "), 4);
    expectOnlyFiniteNumbers(run);
}

TEST(MechanicsRun, CoupledRecordsFallExactlyOnTheStrainPoints)
{
    // A strain point 10 s after a profile point: the step ends on the profile
    // point first, then on the strain point.
    const std::string run = alloy + "temperatureProfile 0 623 500 623 3600 623\nsavethermodynamics r coupling\n"
                                    "savedistribution d 100\nnodes 1\n" + mechanics;
    for (const std::string coupling : {"semi", "strong"}) {
        const OstrelRun coupled(setupWith(run + "couplingHardening " + coupling + "\n"));
        ASSERT_EQ(coupled.exitCode(), 0) << coupled.console();
        const auto response = recordsAfter(coupled, "pull_node0.dat", 1);
        EXPECT_EQ(column(response, 0), (std::vector<double>{0, 250, 510, 1200, 3600})) << coupling;
        EXPECT_EQ(column(response, 1), (std::vector<double>{0, 0.001, 0.004, 0.006, 0.01})) << coupling;
        EXPECT_EQ(column(testing_support::thermoRecords(coupled, "r_0.dat"), 0),
                  (std::vector<double>{0, 500, 3600}))
            << coupling;
        expectOnlyFiniteNumbers(coupled);
    }
    // Strong coupling adds the hardening state to the strength file.
    const OstrelRun strong(setupWith(run + "couplingHardening strong\n"));
    const std::string titles = strong.fileLines("rMechanic_0.dat")[3];
    const std::string hardening = "sigmaAl3Sc_bp[MPa] strain[] flowStress[MPa] isotropHard[MPa] kinematicHard[MPa]";
    EXPECT_EQ(titles.substr(titles.size() - hardening.size()), hardening);
}

TEST(MechanicsRun, CouplingChecksOfEveryNode)
{
    const std::string network = alloy + "temperatureProfile 0 623 100 623\nsavethermodynamics r 10\n"
                                         "savedistribution d 100\nnodes 2\nnode 0 0 0 0 1\nnode 1 1e-6 0 0 1\n"
                                + mechanics + "couplingHardening semi\n";
    RunSetup setup = setupWith(network + "nodeProperty 1 1 strainLoad short .txt\n");
    setup.files["pull.txt"] = "time strain\n0 0\n50 0.001\n100 0.002\n";
    setup.files["short.txt"] = "time strain\n0 0\n50.5 0.001\n";
    // The joined file name, times with six significant digits.
    expectFatal(setup, "Node:1, File 'short.txt': If hardening/precipitation coupling is actived the finalMechanical "
                       "time 50.5 must be the same than final 'temperatureProfile' time100");

    // A first strain point within the first time step would never be reached.
    setup.files["short.txt"] = "time strain\n0 0\n1e-6 0.001\n100 0.002\n";
    expectFatal(setup, "Node:1, File 'short.txt': with a hardening coupling the second strain time must lie beyond "
                       "the first time step");
}

TEST(MechanicsRun, PhysicalLawRefusedWithAnotherStrengthModel)
{
    RunSetup setup;
    setup.files["pull.txt"] = pull;
    setup.data = "matrix Al 4.05e-10 1.66e-29 26.98\nelement Cu 2.0 63.55 6.5e-5 135000\n"
                 "precipitate S 1.58e-29 0.06 2500 1.985 rod 8 homogeneous Cu 1 Al 2\n"
                 "temperatureProfile 0 523 3600 523\nsavethermodynamics r 10\nsavedistribution d 100\nnodes 1\n"
                 "mechanicModel 2\nhardeningModel 9\nparametersForHardening 3e8 10\nSSconstant Cu MPa_Wpct 13\n"
                 "young 300 70e9\npoisson 300 0.33\ndislocations 1e13 0.3 0.36\n"
                 "cristalloConstant 10e6 3.06 2.86e-10 cfc\n"
                 "precipitateConstants S 1.5e-9 triangular 110e9 0.3 0 10 0.5 0\nstrainLoad pull .txt\n";
    expectFatal(setup, "If 'activedMicrostructuralModel' is not one the physical hardening 9-15 are not usable");
}

TEST(MechanicsRun, OnlyMechanicOnTheDistributionsOfAnEarlierRun)
{
    // Two nodes of different compositions precipitate; the rerun loads each
    // node's final distribution and keeps it along the whole history.
    const std::string precipitation = alloy + "temperatureProfile 0 623 3600 623\nsavethermodynamics r 10\n"
                                              "savedistribution d 100\nnodes 2\nnode 0 0 0 0 1\nnode 1 1e-6 0 0 1\n"
                                              "nodeProperty 1 1 element Sc 0.3 44.96 5.31e-4 173000\n";
    const OstrelRun earlier(setupWith(precipitation));
    ASSERT_EQ(earlier.exitCode(), 0) << earlier.console();

    RunSetup setup = setupWith(precipitation + "onlyMechanic\n" + mechanics);
    for (const std::string file : {"dAl3Sc_0.dat", "dAl3Sc_1.dat"}) setup.files[file] = earlier.file(file);
    const OstrelRun rerun(setup);
    ASSERT_EQ(rerun.exitCode(), 0) << rerun.console();
    EXPECT_TRUE(rerun.logHasLine("WARNING: If you use 'onlyMechanic' precipitation and diffusion are not computed"));
    for (const std::string node : {"0", "1"}) {
        const auto before = testing_support::thermoRecords(earlier, "r_" + node + ".dat").back();
        const auto records = testing_support::thermoRecords(rerun, "r_" + node + ".dat");
        ASSERT_GT(records.size(), 3u);
        for (const auto& record : records) {
            // The loaded phase (mean radius, volume fraction, number density,
            // classes) and the solid solution it leaves, whatever the time.
            for (std::size_t c : {5u, 7u, 8u, 9u}) EXPECT_NEAR(record[c], before[c], 1e-12 * before[c]) << node;
            EXPECT_NEAR(record[3], before[3], 1e-9 * before[3]) << node;
        }
        EXPECT_TRUE(rerun.hasFile("pull_node" + node + ".dat"));
    }
    EXPECT_NE(rerun.fileLines("pull_node0.dat").back(), rerun.fileLines("pull_node1.dat").back());
    expectOnlyFiniteNumbers(rerun);

    RunSetup missing = setupWith(precipitation + "onlyMechanic\n");
    missing.files["dAl3Sc_0.dat"] = earlier.file("dAl3Sc_0.dat");
    expectFatal(missing, "File dAl3Sc_1.dat not found");
    expectFatal(setupWith("matrix Al 4.05e-10 1.66e-29 26.98\nelement Sc 0.2 44.96 5.31e-4 173000\nnoPrecipitation\n"
                          "temperatureProfile 0 623 3600 623\nsavethermodynamics r 10\nsavedistribution d 100\n"
                          "nodes 1\nonlyMechanic\n"),
                "Incorrect number of arguments in 'onlyMechanicComputation' 0 : 0");
}
