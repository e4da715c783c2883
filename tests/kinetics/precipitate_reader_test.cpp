#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/data_file_reader.h"
#include "kinetics/precipitate.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

const std::vector<std::string> nodeElements{"Nb", "C", "Fe"};

Precipitate read(const std::string& text)
{
    KeywordLine line;
    DataFileReader::splitArguments(text, line);
    Precipitate p(nodeElements);
    p.ReadPrecipitate(line);
    return p;
}

} // namespace

TEST(PrecipitateReader, PlainSphericalPhase)
{
    const Precipitate p = read("precipitate NbC 1.3e-29 0.5 7000 3 sphere homogeneous Nb 1 C 1");
    EXPECT_EQ(p.name, "NbC");
    EXPECT_FALSE(p.dormant);
    EXPECT_DOUBLE_EQ(p.atomicVolume, 1.3e-29);
    EXPECT_DOUBLE_EQ(p.surfaceEnergy, 0.5);
    EXPECT_DOUBLE_EQ(p.solubilityA, 7000.0);
    EXPECT_DOUBLE_EQ(p.solubilityB, 3.0);
    EXPECT_EQ(p.solubilityC, 0.0);
    EXPECT_EQ(p.shapeName, "sphere");
    EXPECT_EQ(p.shape, shape::sphere);
    EXPECT_EQ(p.aspectRatio, 1.0);
    EXPECT_EQ(p.nucleationTypeName, "homogeneous");
    EXPECT_EQ(p.nucleationType, 1);
    EXPECT_EQ(p.heterogeneousCoefficient, 1.0);
    EXPECT_EQ(p.siteDensity, 0.0);
    EXPECT_FALSE(p.siteSaturation);
    EXPECT_EQ(p.stoichiometry, (std::vector<double>{1.0, 1.0, 0.0}));
    EXPECT_EQ(p.precipitateFraction, (std::vector<double>{0.5, 0.5, 0.0}));
    EXPECT_EQ(p.stoichiometrySum, 2.0);
    EXPECT_EQ(p.elementCount(), 3u);
    EXPECT_EQ(p.classCount(), 0u);
}

TEST(PrecipitateReader, DormantAndThirdSolubilityCoefficient)
{
    Precipitate p = read("precipitate NbC dormant 1.3e-29 0.5 7000 3 sphere homogeneous Nb 1 C 1");
    EXPECT_TRUE(p.dormant);
    EXPECT_EQ(p.solubilityC, 0.0);
    EXPECT_EQ(p.shape, shape::sphere);

    p = read("precipitate NbC dormant 1.3e-29 0.5 7000 3 -2e5 sphere homogeneous Nb 1 C 1");
    EXPECT_TRUE(p.dormant);
    EXPECT_DOUBLE_EQ(p.solubilityC, -2e5);
    EXPECT_EQ(p.stoichiometry, (std::vector<double>{1.0, 1.0, 0.0}));

    // A carbide of the matrix metal, with three solubility coefficients.
    p = read("precipitate cem 2e-29 0.2 1000 1 50 sphere homogeneous Fe 3 C 1");
    EXPECT_FALSE(p.dormant);
    EXPECT_DOUBLE_EQ(p.solubilityC, 50.0);
    EXPECT_EQ(p.stoichiometry, (std::vector<double>{0.0, 1.0, 3.0}));
    EXPECT_EQ(p.precipitateFraction, (std::vector<double>{0.0, 0.25, 0.75}));
}

TEST(PrecipitateReader, ShapesTakeTheirNumbers)
{
    Precipitate p = read("precipitate P 1e-29 0.5 7000 3 rod 4 homogeneous Nb 1 C 1");
    EXPECT_EQ(p.shape, shape::rod);
    EXPECT_EQ(p.aspectRatio, 4.0);
    EXPECT_EQ(p.stoichiometrySum, 2.0);

    p = read("precipitate P 1e-29 0.5 7000 3 cylinder 5 homogeneous Nb 1 C 1");
    EXPECT_EQ(p.shape, shape::cylinder);
    EXPECT_EQ(p.aspectRatio, 5.0);

    p = read("precipitate P 1e-29 0.5 7000 3 cylinderFunction 10 1 2 3 4 5e-9 6e-9 homogeneous Nb 1 C 1");
    EXPECT_EQ(p.shape, shape::cylinderFunction);
    EXPECT_EQ(p.shapeName, "cylinderFunction");
    EXPECT_EQ(p.aspectRatio, 10.0);
    const double cylinderNumbers[7] = {10, 1, 2, 3, 4, 5e-9, 6e-9};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(p.shapeParameters[i], cylinderNumbers[i]);
    EXPECT_EQ(p.nucleationType, 1);
    EXPECT_EQ(p.stoichiometrySum, 2.0);

    p = read("precipitate P 1e-29 0.5 7000 3 RodFunction 0.3 8 heterogeneous 0.5 1e22 Nb 1 C 1");
    EXPECT_EQ(p.shape, shape::rodFunction);
    EXPECT_EQ(p.shapeParameters[0], 0.3);
    EXPECT_EQ(p.shapeParameters[1], 8.0);
    EXPECT_EQ(p.aspectRatio, 8.0);
    EXPECT_EQ(p.nucleationType, 2);
    EXPECT_EQ(p.stoichiometrySum, 2.0);
}

TEST(PrecipitateReader, HeterogeneousNucleationAndSiteSaturation)
{
    Precipitate p = read("precipitate P 1e-29 0.5 7000 3 sphere heterogeneous 0 1e20 Nb 1 C 1");
    EXPECT_EQ(p.nucleationTypeName, "heterogeneous");
    EXPECT_EQ(p.nucleationType, 2);
    EXPECT_EQ(p.heterogeneousCoefficient, 0.0);
    EXPECT_EQ(p.siteDensity, 1e20);

    p = read("precipitate P 1e-29 0.5 7000 3 sphere heterogeneous 1 0 siteSaturation vol Nb 1 C 1");
    EXPECT_EQ(p.heterogeneousCoefficient, 1.0);
    EXPECT_EQ(p.siteDensity, 0.0);
    EXPECT_TRUE(p.siteSaturation);
    EXPECT_EQ(p.siteSaturationType, "vol");
    EXPECT_EQ(p.stoichiometrySum, 2.0);

    for (const char* type : {"lin", "surf"}) {
        p = read(std::string("precipitate P 1e-29 0.5 7000 3 sphere homogeneous siteSaturation ") + type
                 + " Nb 2 C 1");
        EXPECT_EQ(p.siteSaturationType, type);
        EXPECT_EQ(p.stoichiometry, (std::vector<double>{2.0, 1.0, 0.0}));
    }
}

TEST(PrecipitateReaderDeathTest, ShapeAndNucleationWords)
{
    ScopedWorkDir dir;
    // A fifth number must be the whole token to count as the third coefficient.
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 2e5x sphere homogeneous Nb 1 C 1"),
                 "Undefined shape for precipitate: 2e5x, should be sphere, rod, cylinder, cylinderFunction");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 cube homogeneous Nb 1 C 1"),
                 "Undefined shape for precipitate: cube, should be sphere, rod, cylinder, cylinderFunction");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 LorkCylinder 4 homogeneous Nb 1 C 1"),
                 "LorkCylinder option valid only for debugging");
    // Without its number, "rod" eats the nucleation word as aspect ratio 0.
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 rod homogeneous Nb 1 C 1"),
                 "Invalid nucleation type: Nb, should be homogeneous or heterogeneous");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere Homogeneous Nb 1 C 1"),
                 "Invalid nucleation type: Homogeneous, should be homogeneous or heterogeneous");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere heterogeneous 1.5 1e20 Nb 1 C 1"),
                 "Invalid heterogeneous nucleation coefficient for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere heterogeneous -0.1 1e20 Nb 1 C 1"),
                 "Invalid heterogeneous nucleation coefficient for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere heterogeneous 0.5 -1 Nb 1 C 1"),
                 "Invalid heterogeneous nucleation sites density for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere homogeneous siteSaturation area Nb 1 C 1"),
                 "Invalid siteSaturation type: should be 'lin', 'surf' or 'vol' !");
}

TEST(PrecipitateReaderDeathTest, NumbersAndChemistry)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(read("precipitate P -1e-29 0.5 7000 3 sphere homogeneous Nb 1 C 1"),
                 "Invalid atomic volume for precipitate: P");
    // Every kinetic formula divides by the atomic volume.
    EXPECT_FATAL(read("precipitate P 0 0.5 7000 3 sphere homogeneous Nb 1 C 1"),
                 "Invalid atomic volume for precipitate: P");
    EXPECT_FATAL(read("precipitate P nan 0.5 7000 3 sphere homogeneous Nb 1 C 1"),
                 "Invalid atomic volume for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 -0.5 7000 3 sphere homogeneous Nb 1 C 1"),
                 "Invalid surface energy for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 inf sphere homogeneous Nb 1 C 1"),
                 "Invalid solubility product for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 rod nan homogeneous Nb 1 C 1"),
                 "Invalid shape parameters for precipitate: P");

    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere homogeneous Nb 1 Ti 1"),
                 "element Ti for precipitates not found in defined elements.");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere homogeneous Nb 1 C -1"),
                 "Invalid chemistry for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere homogeneous Nb 1 C"),
                 "Invalid chemistry for precipitate: P");
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere homogeneous Nb 0 C 0"),
                 "Invalid chemistry for precipitate: P");
    EXPECT_FATAL(read("precipitate P dormant 1e-29 0.5 7000 3 rod 4 homogeneous"),
                 "Invalid chemistry for precipitate: P");
}

TEST(PrecipitateReaderDeathTest, LinesThatRunOut)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(read("precipitate P 1e-29 0.5 7000 3 sphere homogeneous Nb"),
                 "Insufficient number of arguments for precipitate P");
    EXPECT_FATAL(read("precipitate"), "Insufficient number of arguments for precipitate ");
    // Long enough at first, too short once the optional words are taken out.
    EXPECT_FATAL(read("precipitate P dormant 1e-29 0.5 7000 3 1e5 cylinderFunction 1 2"),
                 "Insufficient number of arguments for precipitate P");
    EXPECT_FATAL(read("precipitate P dormant 1e-29 0.5 7000 3 RodFunction 1 2"),
                 "Insufficient number of arguments for precipitate P");
    EXPECT_FATAL(read("precipitate P dormant 1e-29 0.5 7000 3 sphere heterogeneous 0.5"),
                 "Insufficient number of arguments for precipitate P");
    EXPECT_FATAL(read("precipitate P dormant 1e-29 0.5 7000 3 sphere homogeneous siteSaturation"),
                 "Insufficient number of arguments for precipitate P");
}

TEST(ReadPrecipitates, ConsoleLinesAndOrder)
{
    ScopedWorkDir dir;
    dir.write("data", "matrix Fe 2.86e-10 1.18e-29 55.85\n"
                      "precipitate NbC 1.3e-29 0.5 7000 3 sphere homogeneous Nb 1 C 1\n"
                      "precipitate cem 2e-29 0.2 1000 1 sphere homogeneous Fe 3 C 1\n");
    testing::internal::CaptureStdout();
    const std::vector<Precipitate> phases = readPrecipitates("data", nodeElements, Console(false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "2 precipitate(s) defined in the data file.\n"
              "Precipitate NbC: OK\n"
              "Precipitate cem: OK\n");
    ASSERT_EQ(phases.size(), 2u);
    EXPECT_EQ(phases[0].name, "NbC");
    EXPECT_EQ(phases[1].name, "cem");
    EXPECT_EQ(phases[1].elementNames, nodeElements);

    testing::internal::CaptureStdout();
    EXPECT_EQ(readPrecipitates("data", nodeElements, Console(true)).size(), 2u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ReadPrecipitatesDeathTest, DuplicateOrMissingPhases)
{
    ScopedWorkDir dir;
    dir.write("twice", "precipitate NbC 1.3e-29 0.5 7000 3 sphere homogeneous Nb 1 C 1\n"
                       "precipitate NbC dormant 1.3e-29 0.5 7000 3 sphere homogeneous Nb 1 C 1\n");
    EXPECT_FATAL(readPrecipitates("twice", nodeElements, Console(true)), "precipitate NbC defined twice.");
    dir.write("none", "matrix Fe 2.86e-10 1.18e-29 55.85\n");
    EXPECT_FATAL(readPrecipitates("none", nodeElements, Console(true)), "keyword precipitate not found in datafile.");
}
