#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "mechanics/mechanical_model.h"
#include "mechanics/mechanical_results.h"
#include "mechanics_fixture.h"
#include "support/fatal.h"

using mechanics_testing::MechanicsNode;
using mechanics_testing::readModel;
using mechanics_testing::writeFile;
using testing_support::fields;
using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

// Model 1 of MechanicsNode, its strength evaluated once, with the extra lines.
MechanicalModel evaluated(MechanicsNode& node, const std::string& extra = "")
{
    MechanicalModel model = readModel(std::string(mechanics_testing::strengthKeywords) + extra, node);
    model.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    return model;
}

std::string hardeningData(const std::string& law, const std::string& parameters, const std::string& extra = "")
{
    writeFile("pull.txt", "time strain\n0 0\n1800 0.005\n3600 0.01\n");
    return "hardeningModel " + law + "\nparametersForHardening " + parameters + "\nstrainLoad pull .txt\n" + extra;
}

} // namespace

TEST(MechanicalResults, StrengthFileHeaderAndRecordsInMegapascal)
{
    ScopedWorkDir dir;
    MechanicsNode node;
    node.precipitates[0].SetDistribution({1e-9, 5e-9}, {1e22, 1e21});
    MechanicalModel model = evaluated(node);
    TimeStepMechanicalResults("resultsThermo", 3, true, 15, 0, 0, 433, model, node.elements, node.precipitates);
    model.strength.dislocations = 2.5e8;
    TimeStepMechanicalResults("resultsThermo", 3, false, 15, 10, 0.5, 433, model, node.elements, node.precipitates);

    const auto lines = readLines("resultsThermoMechanic_3.dat");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Initial yield='1e+07'");
    EXPECT_EQ(lines[1], "Elements SS contribution: Cu [MPa_Xat]  ");
    EXPECT_EQ(lines[2], "Precipitates: beta Rc=3e-09[m]");
    EXPECT_EQ(lines[3], "t[s] dt[s] T[K] SigmaDislo[MPa] SigmaSS[MPa] SigmaGrain[MPa] SigmaPreciTOT[MPa] "
                        "sigmaFlowMicro[MPa] sigmabeta[MPa] sigmabeta_sh[MPa] sigmabeta_bp[MPa] ");
    const auto first = fields(lines[4]);
    ASSERT_EQ(first.size(), 11u);
    EXPECT_EQ(first[4], "0.1"); // 1e5 Pa of solid solution
    EXPECT_NEAR(std::stod(first[6]), model.strength.precipitates * 1e-6, 1e-12);
    EXPECT_EQ(lines[5].substr(0, 15), "10 0.5 433 250 ");
    EXPECT_EQ(lines[5].back(), ' ');
}

TEST(MechanicalResults, NodeWithoutPrecipitatesOrSolidSolutionHardening)
{
    ScopedWorkDir dir;
    MechanicsNode node;
    node.precipitates.clear();
    std::string data = mechanics_testing::strengthKeywords;
    data.replace(data.find("SSconstant Cu MPa_Xat 10"), 24, "SSconstant Cu MPa_Xat 0");
    MechanicalModel model = readModel(data, node);
    model.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    TimeStepMechanicalResults("r", 0, true, 6, 0, 0, 433, model, node.elements, node.precipitates);
    const auto lines = readLines("rMechanic_0.dat");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Elements SS contribution: no SS contribution");
    EXPECT_EQ(lines[2], "t[s] dt[s] T[K] SigmaDislo[MPa] SigmaSS[MPa] SigmaGrain[MPa] SigmaPreciTOT[MPa] "
                        "sigmaFlowMicro[MPa] ");
    EXPECT_EQ(fields(lines[3]).size(), 8u);
}

TEST(MechanicalResults, StrongCouplingAddsTheHardeningStateWithSixDigits)
{
    ScopedWorkDir dir;
    MechanicsNode node;
    MechanicalModel model = evaluated(node, hardeningData("1", "2e9", "couplingHardening strong\n"));
    // Without strong coupling the same model writes no hardening column.
    MechanicalModel uncoupled = evaluated(node, hardeningData("1", "2e9"));
    TimeStepMechanicalResults("u", 0, true, 15, 0, 0, 433, uncoupled, node.elements, node.precipitates);
    EXPECT_EQ(fields(readLines("uMechanic_0.dat")[4]).size(), 11u);

    model.mechanicalComputation(mechanicalCall::step, node.elements, node.precipitates, 433, 0, 1000, 0);
    TimeStepMechanicalResults("s", 0, true, 15, 0, 1000, 433, model, node.elements, node.precipitates);
    const auto lines = readLines("sMechanic_0.dat");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[3].find("sigmabeta_bp[MPa] strain[] flowStress[MPa] isotropHard[MPa] kinematicHard[MPa]"),
              std::string::npos);
    const auto record = fields(lines[4]);
    ASSERT_EQ(record.size(), 15u);
    std::ostringstream strain;
    strain.precision(6);
    strain << 0.01 / 3.6;
    EXPECT_EQ(record[11], strain.str());
    EXPECT_LE(record[12].size(), 7u); // six significant digits of the stress in MPa
}

TEST(MechanicalResults, StressResponseFileOfEachFamilyOfLaws)
{
    ScopedWorkDir dir;
    const struct {
        std::string law;
        std::string parameters;
        std::string titles;
        std::size_t columns;
    } families[] = {
        {"3", "1e9 2e9", "yield[MPa] R[MPa] X[MPa] ", 6},
        {"13", "1e8 10 20 1 1",
         "epsP[] epsPcum[] dislo[m^-2] disloPPT[m^-2] nG[] X_G[MPa] nPPT[] Xppt[MPa] R[MPa] 'fv_bp[0]' "
         "'meanL_bp[0]' 'distanceBetweenPPT[0]'",
         15},
        {"16", "1e8 10 20 1 1 0 0 0 0", "epsP[] epsPcum[] dislo[m^-2] nG[] X_G[MPa] R[MPa] 'fv_bp[0]'", 10},
    };
    for (const auto& family : families) {
        MechanicsNode node;
        MechanicalModel model = evaluated(node, hardeningData(family.law, family.parameters));
        HardeningResults(true, false, 0, model, 3, {});
        const auto lines = readLines("pull_node3.dat");
        ASSERT_EQ(lines.size(), 2u) << family.law;
        EXPECT_EQ(lines[0], "time[s] eps[] sig[MPa] " + family.titles) << family.law;
        EXPECT_EQ(fields(lines[1]).size(), family.columns) << family.law;
        EXPECT_EQ(lines[1].back(), ' ');
    }
}

TEST(MechanicalResults, UncoupledRunReplacesTheInitialLineByTheHistory)
{
    ScopedWorkDir dir;
    MechanicsNode node;
    MechanicalModel model = evaluated(node, hardeningData("1", "2e9"));
    HardeningResults(true, false, 0, model, 0, {});
    HardeningResults(true, true, 3600, model, 0, {});
    EXPECT_EQ(readLines("pull_node0.dat").size(), 1u);
    const std::vector<HardeningRecord> records = model.BehaviourUncoupledIntegration(1);
    HardeningResults(false, true, 3600, model, 0, records);
    const auto lines = readLines("pull_node0.dat");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(fields(lines[1])[0], "1800");
    EXPECT_EQ(fields(lines[2])[1], "0.01");
}

TEST(MechanicalResults, UnopenableFileCostsAWarningAndTheRecord)
{
    ScopedWorkDir dir;
    MechanicsNode node;
    MechanicalModel model = evaluated(node);
    TimeStepMechanicalResults("missing/r", 0, true, 15, 0, 0, 433, model, node.elements, node.precipitates);
    EXPECT_EQ(readLines("log.log").back(), "WARNING: Unable to open file:missing/rMechanic_0.dat. Computation continues.");
}

TEST(MechanicalResultsDeathTest, EmptyHistoryAndFailedWritesStopTheRun)
{
    ScopedWorkDir dir;
    MechanicsNode node;
    MechanicalModel model = evaluated(node, hardeningData("1", "2e9"));
    EXPECT_FATAL(HardeningResults(false, true, 0, model, 0, {}),
                 "In 'Output.HardeningResults': 'nbOfTimesResults' must be >0");
    EXPECT_FATAL(HardeningResults(false, true, 0, model, 0, {{1.0}, {}}),
                 "In 'Output.HardeningResults': 'nbOfResults' must be >0");

    // A full disk: the record cannot be written.
    std::filesystem::create_symlink("/dev/full", "pull_node0.dat");
    EXPECT_FATAL(HardeningResults(true, false, 0, model, 0, {}), "Unable to write file pull_node0.dat");
    std::filesystem::create_symlink("/dev/full", "resultsThermoMechanic_0.dat");
    EXPECT_FATAL(TimeStepMechanicalResults("resultsThermo", 0, false, 15, 0, 0, 433, model, node.elements,
                                           node.precipitates),
                 "Unable to write file resultsThermoMechanic_0.dat");
}
