#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mechanics/mechanical_model.h"
#include "mechanics_fixture.h"
#include "support/fatal.h"

using mechanics_testing::MechanicsNode;
using mechanics_testing::readModel;
using mechanics_testing::strengthKeywords;
using mechanics_testing::writeFile;
using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

const std::string model1 = strengthKeywords;

// Model 1 with law `law`, its parameters and a strain history of two points.
std::string withHardening(const std::string& law, const std::string& parameters)
{
    writeFile("strain.txt", "time strain\n0 0\n3600 0.1\n");
    return model1 + "hardeningModel " + law + "\nparametersForHardening " + parameters + "\nstrainLoad strain .txt\n";
}

// strengthKeywords without the line of `keyword`.
std::string without(const std::string& keyword)
{
    std::string text;
    std::string rest = model1;
    while (!rest.empty()) {
        const std::string line = rest.substr(0, rest.find('\n') + 1);
        rest.erase(0, line.size());
        if (line.compare(0, keyword.size() + 1, keyword + " ") != 0) text += line;
    }
    return text;
}

} // namespace

TEST(MechanicalInput, WithoutMechanicalKeywordsConfirmsTheLoadAndStaysOff)
{
    ScopedWorkDir dir;
    writeFile("data", "matrix Al 4.05e-10 1.66e-29 26.98\n");
    MechanicsNode node;
    MechanicalModel model;
    testing::internal::CaptureStdout();
    model.ReadMechanicalInput("data", node.elements, node.precipitates, node.profile, 0, false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Load mechanical data: OK\n");
    EXPECT_FALSE(model.mechanicsOn);
    EXPECT_FALSE(model.hardeningComputation);
}

TEST(MechanicalInput, CompleteDescriptionIsStoredAndReported)
{
    ScopedWorkDir dir;
    writeFile("pull.dat", "temps deformation\n0 0\nskipped\n1800 0.05\n3600 0.1 extra\n");
    writeFile("data", model1 + "SSconstant Mg MPa_Wpct 20\n"
                               "hardeningModel 6 extra\n"
                               "parametersForHardening 1e9 100 200 5\n"
                               "grainSize 50e-6 0 10 0.1e6\n"
                               "strainLoad pull .dat\n"
                               "couplingHardening Semi\n");
    MechanicsNode node;
    MechanicalModel model;
    testing::internal::CaptureStdout();
    model.ReadMechanicalInput("data", node.elements, node.precipitates, node.profile, 0, false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Mechanical model: element Cu taken into account in SScontribution\n"
              "The number of SS contributions is: 1\n"
              "Mechanical model: precipitate beta taken into account in 'precipitateConstants'\n"
              "mechanicalSemiHardeningCoupling is true\n"
              "Load mechanical data: OK\n");
    const auto log = readLines("log.log");
    EXPECT_EQ(log, (std::vector<std::string>{
                       "WARNING: 'hardeningChoice' needs only one arguments, extra arguments are neglected.",
                       "WARNING: If you have only one couple temperature-Young modulus, Young modulus is independant of temperature",
                       "WARNING: If you have only one couple temperature-Poisson coeff, Poisson coeff is independant of temperature"}));

    EXPECT_TRUE(model.mechanicsOn);
    EXPECT_EQ(model.mechanicModel, 1);
    EXPECT_EQ(model.solidSolution.size(), 2u);
    EXPECT_EQ(model.solidSolution[0].k, 10.0);
    EXPECT_EQ(model.solidSolution[0].unitName, "MPa_Xat");
    EXPECT_EQ(model.solidSolution[1].k, 0.0);
    namespace hp = hardeningParameter;
    EXPECT_EQ(model.hardeningParameters.value[hp::C1], 1e9);
    EXPECT_EQ(model.hardeningParameters.value[hp::gamma0], 100.0);
    EXPECT_EQ(model.hardeningParameters.value[hp::gammaInfinity], 200.0);
    EXPECT_EQ(model.hardeningParameters.value[hp::omega], 5.0);
    EXPECT_EQ(model.loadTimes, (std::vector<double>{0, 1800, 3600}));
    EXPECT_EQ(model.loadStrains, (std::vector<double>{0, 0.05, 0.1}));
    EXPECT_EQ(model.strainFileName, "pull.dat");
    EXPECT_TRUE(model.mechanicalSemiHardeningCoupling);
    EXPECT_EQ(model.precipitateConstants[0].path, obstaclePath::triangular);
    EXPECT_EQ(model.precipitateConstants[0].loopSaturation, 10.0);
    // A single pair holds at every temperature.
    model.temperature = 900;
    EXPECT_EQ(model.GetYoung(), 70e9);
}

TEST(MechanicalInput, SwitchesAndFlagsOfTheLoopLaws)
{
    ScopedWorkDir dir;
    MechanicalModel law13 = readModel(withHardening("13", "1e8 5 10 0 1"));
    EXPECT_TRUE(law13.hardeningParameters.switchA);
    EXPECT_FALSE(law13.hardeningParameters.switchB);
    EXPECT_EQ(law13.hardeningParameters.value[hardeningParameter::k2a], 5.0);
    MechanicalModel law16 = readModel(withHardening("16", "1e8 5 10 1 2 0 3 0 0.5"));
    EXPECT_EQ(law16.hardeningParameters.flag, (std::array<bool, 4>{false, true, false, true}));
    EXPECT_EQ(law16.hardeningParameters.value[hardeningParameter::cG], 2.0);
}

TEST(MechanicalInput, TablesInterpolateAndHoldTheirEndValues)
{
    ScopedWorkDir dir;
    MechanicalModel model = readModel(without("young") + "young 300 70e9 500 60e9 600 50e9\n");
    const double expected[][2] = {{250, 70e9}, {300, 70e9}, {400, 65e9}, {500, 60e9}, {575, 52.5e9}, {700, 50e9}};
    for (const auto& [T, E] : expected) {
        model.temperature = T;
        EXPECT_DOUBLE_EQ(model.GetYoung(), E) << T;
    }
}

TEST(MechanicalInput, EffectiveModulusUsesTheModuliAtTheFirstProfileTemperature)
{
    ScopedWorkDir dir;
    // At 433 K, the first temperature of the profile, the table gives E = 63.35 GPa.
    MechanicalModel table = readModel(without("young") + "young 300 70e9 500 60e9\n");
    MechanicalModel constant = readModel(without("young") + "young 300 63.35e9\n");
    EXPECT_DOUBLE_EQ(table.precipitateConstants[0].effectiveModulus, constant.precipitateConstants[0].effectiveModulus);
    EXPECT_GT(table.precipitateConstants[0].effectiveModulus, 0.0);
}

TEST(MechanicalInputDeathTest, ModelChoiceAndModelCheck)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readModel("mechanicModel 1\nmechanicModel 2\n"), "More than one 'mechanicModel' information given");
    EXPECT_FATAL(readModel(model1 + "mechanicModel 7\n"), "More than one 'mechanicModel' information given");
    EXPECT_FATAL(readModel("mechanicModel 7\n"), "The actived mechanical model # 7 is not implemented");
    EXPECT_FATAL(readModel("mechanicModel -1\n"), "The actived mechanical model # -1 is not implemented");
    EXPECT_FATAL(readModel(without("SSconstant")), "for Model #1: SSconstant must be Loaded");
    EXPECT_FATAL(readModel(without("precipitateConstants")), "for Model #1: transRadius must be Loaded");
    EXPECT_FATAL(readModel(without("dislocations")), "for Model #1: dislocations must be Loaded");
}

TEST(MechanicalInputDeathTest, HardeningChoiceAndItsParameters)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readModel(model1 + "hardeningModel 1\nhardeningModel 2\n"),
                 "More than one 'hardeningChoice' information given");
    EXPECT_FATAL(readModel("hardeningModel 1\n"), "If you have 'hardeningModel' you must have 'mechanicModel'");
    EXPECT_FATAL(readModel(model1 + "parametersForHardening 1e9\n"),
                 "If the 'hardeningModel' is present you must have parameters of model 'parametersForHardening'");
    EXPECT_FATAL(readModel(withHardening("1", "1e9\nparametersForHardening 2e9")),
                 "More than one 'parametersForHardening' information given");
    EXPECT_FATAL(readModel(withHardening("1", "")), "Nb of arguments for 'parametersForHardening' must be bigger than 1");
    EXPECT_FATAL(readModel(withHardening("6", "1 2 3")),
                 "For hardening model 6, the number of parameters for 'parametersForHardening' must be 4");
    EXPECT_FATAL(readModel(withHardening("10", "1")),
                 "For hardening model 9 or 10, the number of parameters for 'parametersForHardening' must be 2");
    EXPECT_FATAL(readModel(withHardening("17", "1")),
                 "This 'hardeningModelChosen' is not implemented in 'DefineCoefficientsForHardeningModel'");
}

TEST(MechanicalInputDeathTest, MaterialConstants)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readModel(model1 + "SSconstant Cu MPa_Xat\n"), "SSconstant Cu must have three arguments.");
    EXPECT_FATAL(readModel(model1 + "SSconstant Cu GPa_Xat 3\n"), "This unit for Cu is not known in SScontribution");
    EXPECT_FATAL(readModel(model1 + "grainSize 1e-5 0 1 1\ngrainSize 1e-5 0 1 1\n"),
                 "You can have only 1keyword 'grainSize' in input data");
    EXPECT_FATAL(readModel(model1 + "grainSize 1e-5 0 1\n"), "'grainSize' must have 4 arguments.");
    EXPECT_FATAL(readModel(model1 + "grainSize -1e-5 0 1 1\n"), "Invalid grain size in 'grainSize' (<0)");
    EXPECT_FATAL(readModel(model1 + "dislocations 1e12 0.3 0.36\n"),
                 "You can have only 1keyword 'dislocations' in input data");
    EXPECT_FATAL(readModel(without("dislocations") + "dislocations 1e12 0.3\n"), "dislocations must have 3 arguments.");
    EXPECT_FATAL(readModel(without("dislocations") + "dislocations -1 0.3 0.36\n"),
                 "Invalid dislocation density in 'dislocations' (<0)");
    EXPECT_FATAL(readModel(model1 + "cristalloConstant 1 1 1 cfc\n"),
                 "You can have only 1keyword 'cristalloConstant' in input data");
    EXPECT_FATAL(readModel(without("cristalloConstant") + "cristalloConstant 1 1 cfc\n"),
                 "'cristalloConstant' must have, at least 4 arguments.");
    EXPECT_FATAL(readModel(without("cristalloConstant") + "cristalloConstant 1 1 1 bcc\n"),
                 "In mechanical part 'DefineCristalloConstant' only 'cfc' structure is possible");
}

TEST(MechanicalInputDeathTest, YoungAndPoissonTables)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readModel(model1 + "young 300 70e9\n"), "You have one matrix so you must have only one Young modulus");
    EXPECT_FATAL(readModel(without("young") + "young 300 70e9 400\n"),
                 "You must have for each temperature a young modulus (pair arguments)");
    EXPECT_FATAL(readModel(without("young") + "young\n"),
                 "You must have for each temperature a young modulus (pair arguments)");
    EXPECT_FATAL(readModel(without("young") + "young 300 70e9 200 65e9\n"),
                 "Temperature value for Young modulus definition must be increasing");
    EXPECT_FATAL(readModel(without("young") + "young -300 70e9\n"),
                 "Invalid temperature for temperature-YoungModulus history (<0)");
    EXPECT_FATAL(readModel(without("young") + "young 300 -70e9\n"),
                 "Invalid YoungModulus for temperature-YoungModulus history (<0)");
    EXPECT_FATAL(readModel(model1 + "poisson 300 0.3\n"),
                 "You have one matrix so you must have only one Poisson coefficient");
    EXPECT_FATAL(readModel(without("poisson") + "poisson 300\n"),
                 "You must have for each temperature a Poisson coeff (pair arguments)");
    EXPECT_FATAL(readModel(without("poisson") + "poisson 300 0.3 300 0.3\n"),
                 "Temperature value for Poisson coeff definition must be increasing");
    EXPECT_FATAL(readModel(without("poisson") + "poisson 300 1\n"),
                 "Invalid PoissonCoeff for temperature-PoissonCoeff history (>=1)");
}

TEST(MechanicalInputDeathTest, PrecipitateConstants)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readModel(without("cristalloConstant")),
                 "'CristalloConstant, YoungModulusLoaded, PoissonCoeffLoaded' must be loaded before "
                 "'PrecipitateConstants' (because of taylor's fator using here)");
    EXPECT_FATAL(readModel(model1 + "precipitateConstants gamma 1 triangular 1 0.3 0 10 0.5\n"),
                 "precipitateConstants # betagamma must have 9 arguments.");
    EXPECT_FATAL(readModel(model1 + "precipitateConstants beta 3e-9 triangular 100e9 0.3 0 10 0.5 0\n"),
                 "Precipitate beta defined twice in 'precipitateConstants'");
    EXPECT_FATAL(readModel(without("precipitateConstants")
                           + "precipitateConstants gamma 3e-9 triangular 100e9 0.3 0 10 0.5 0\n"),
                 "Precipitate beta not defined in 'precipitateConstants'");
    EXPECT_FATAL(readModel(without("precipitateConstants")
                           + "precipitateConstants beta 3e-9 square 100e9 0.3 0 10 0.5 0\n"),
                 "This precipitate path is not defined in 'DefinePrecipitateConstants'");

    MechanicsNode spheres;
    spheres.precipitates[0].shape = shape::sphere;
    spheres.precipitates[0].aspectRatio = 1.0;
    EXPECT_FATAL(readModel(withHardening("9", "1 1"), spheres), "Only rods now if physical hardening is chosen");
    MechanicsNode cylinders;
    cylinders.precipitates[0].shape = shape::cylinder;
    EXPECT_FATAL(readModel(model1, cylinders), "'omegaEshelby' is just implemented for rods and sphere");
    // A rod of aspect ratio 2 has no Eshelby factor; the loop laws need it.
    MechanicsNode shortRods;
    shortRods.precipitates[0].aspectRatio = 2.0;
    EXPECT_FATAL(readModel(withHardening("13", "1 1 1 1 1"), shortRods),
                 "The effective modulus of precipitate beta is not defined in 'DefinePrecipitateConstants' (a rod "
                 "needs an aspect ratio above 2)");
}

TEST(MechanicalInputDeathTest, StrainHistory)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readModel(withHardening("1", "1e9") + "strainLoad strain .txt\n"),
                 "you can have only one line 'strainLoad'");
    EXPECT_FATAL(readModel(model1 + "hardeningModel 1\nparametersForHardening 1e9\nstrainLoad strain.txt\n"),
                 "'strainLoad' must have 2arguments: 1)the name of the file 2) the extension");
    EXPECT_FATAL(readModel(model1 + "hardeningModel 1\nparametersForHardening 1e9\n"),
                 "If you have 'hardeningModel' you must have 'strainLoad' keyword");
    EXPECT_FATAL(readModel(model1 + "strainLoad strain .txt\n"),
                 "If the 'hardeningModelChosen' have not been chosen we can't have the keyword 'strainLoad'");
    EXPECT_FATAL(readModel(model1 + "hardeningModel 1\nparametersForHardening 1e9\nstrainLoad missing .txt\n"),
                 "File 'missing' not found for the command 'strainLoad'");

    const std::string data = withHardening("1", "1e9");
    const auto refused = [&data](const std::string& strainFile, const std::string& message) {
        writeFile("strain.txt", strainFile);
        EXPECT_FATAL(readModel(data), message);
    };
    refused("", "The file 'strain' must have in first line the legend");
    refused(" \t\r\n0 0\n1 1\n", "The file 'strain' must have in first line the legend");
    refused("t eps\n0 0\n1 1\n", "The first column of 'strain' must be 'time' or 'temps' (begin by 'temp' or 'tim')");
    refused("time\n0 0\n1 1\n",
            "The second column of 'strain' must begin by 'temp' or 'tim' or must be 'strain'");
    refused("time sigma\n0 0\n1 1\n",
            "The second column of 'strain' must begin by 'temp' or 'tim' or must be 'strain'");
    refused("time eps\n0 0\n", "The file 'strain' must have at least two points (time and strain)");
    refused("time eps\n0 0\n10 0.1\n10 0.2\n", "Times of the file 'strain' must be increasing");
    refused("time eps\n0 0\n10 nan\n", "The file 'strain' must have finite times and strains");
}

TEST(MechanicalInputDeathTest, Coupling)
{
    ScopedWorkDir dir;
    const std::string data = withHardening("1", "1e9");
    EXPECT_FATAL(readModel(data + "couplingHardening strong\ncouplingHardening strong\n"),
                 "couplingHardening defined twice.");
    EXPECT_FATAL(readModel(model1 + "couplingHardening strong\n"),
                 "If you have 'couplingHardening' you must have 'hardeningComputation'");
    EXPECT_FATAL(readModel(data + "couplingHardening\n"),
                 "You must have one argument for 'couplingHardening': strong or semi");
    EXPECT_FATAL(readModel(data + "couplingHardening SEMI\n"),
                 "For 'couplingHardening' it is 'strong' or 'semi' for argument");

    // The strain history must cover the temperature history exactly.
    writeFile("strain.txt", "time strain\n0 0\n3600.5 0.1\n");
    EXPECT_FATAL(readModel(data + "couplingHardening strong\n", MechanicsNode(), 4),
                 "Node:4, File 'strain.txt': If hardening/precipitation coupling is actived the finalMechanical time "
                 "3600.5 must be the same than final 'temperatureProfile' time3600");
    writeFile("strain.txt", "time strain\n1e-3 0\n3600 0.1\n");
    EXPECT_FATAL(readModel(data + "couplingHardening semi\n"),
                 "Node:0, File 'strain.txt': If hardening/precipitation coupling is actived the firstMechanical time "
                 "0.001 must be the same than first 'temperatureProfile' time0");
}

TEST(StrainHistory, StrainBetweenAndOnThePoints)
{
    ScopedWorkDir dir;
    const std::string data = withHardening("1", "1e9");
    writeFile("strain.txt", "time strain\n0 0\n100 0.01\n300 0.03\n");
    MechanicalModel model = readModel(data);
    EXPECT_EQ(model.lastStrain, 0.0);
    EXPECT_EQ(model.GetStrain(100), 0.01);
    EXPECT_DOUBLE_EQ(model.GetStrain(200), 0.02);
    // A time one rounding unit past the last point is the last point.
    EXPECT_EQ(model.GetStrain(std::nextafter(300.0, 400.0)), 0.03);
    EXPECT_EQ(model.GetMechanicalTimeWithIndex(2), 300.0);
    EXPECT_EQ(model.GetStrainWithIndex(1), 0.01);
}

TEST(StrainHistoryDeathTest, IndexAndTimeOutOfRange)
{
    ScopedWorkDir dir;
    MechanicalModel model = readModel(withHardening("1", "1e9"));
    EXPECT_FATAL(model.GetStrain(3601), "time out of range for 'strain'");
    EXPECT_FATAL(model.GetMechanicalTimeWithIndex(2),
                 "Time index '2' just after the time'3600' is out of range for 'GetMechanicalTimeWithIndex'");
    EXPECT_FATAL(model.GetStrainWithIndex(2), "Strain index out of range in 'GetStrainWithIndex'");
}
