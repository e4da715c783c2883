#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

constexpr double pi = 3.141592653589793;

// A phase of a node with the solutes Nb and C and the matrix Fe.
Precipitate phase(int shapeCode, double aspectRatio, std::vector<double> nu)
{
    Precipitate p({"Nb", "C", "Fe"});
    p.shape = shapeCode;
    p.aspectRatio = aspectRatio;
    p.stoichiometry = nu;
    p.stoichiometrySum = 0.0;
    for (double v : nu) p.stoichiometrySum += v;
    return p;
}

std::vector<Element> solidSolution(double nb, double c, double fe)
{
    std::vector<Element> elements(3);
    elements[0].name = "Nb";
    elements[0].ssFraction = nb;
    elements[1].name = "C";
    elements[1].ssFraction = c;
    elements[2].name = "Fe";
    elements[2].ssFraction = fe;
    return elements;
}

} // namespace

TEST(PrecipitateThermodynamics, SolubilityAndSupersaturation)
{
    Precipitate p = phase(shape::sphere, 1.0, {0.0, 1.0, 3.0});
    p.solubilityA = 7000.0;
    p.solubilityB = 3.0;
    p.solubilityC = 1e5;
    // log10 Ks = 3 - 7 + 0.1 at 1000 K.
    EXPECT_NEAR(p.SolubilityProduct(1000.0), std::pow(10.0, -3.9), 1e-12 * std::pow(10.0, -3.9));

    // The matrix takes part in the product; an absent element (nu = 0) with a
    // zero fraction leaves it untouched.
    p.solubilityA = 0.0;
    p.solubilityB = -2.0;
    p.solubilityC = 0.0;
    p.Supersaturation(solidSolution(0.0, 2e-3, 0.997), 1000.0);
    const double expected = 2e-3 * 0.997 * 0.997 * 0.997 / 0.01;
    EXPECT_NEAR(p.supersaturation, expected, 1e-12 * expected);
    EXPECT_NEAR(p.lnSupersaturation, std::log(expected), 1e-12);
}

TEST(PrecipitateThermodynamics, DrivingForceRecomputesTheCoefficientSum)
{
    Precipitate p = phase(shape::sphere, 1.0, {1.0, 1.0, 2.0});
    p.stoichiometrySum = 99.0;
    p.atomicVolume = 1e-29;
    p.lnSupersaturation = 2.0;
    p.DrivingForce(1000.0);
    EXPECT_DOUBLE_EQ(p.stoichiometrySum, 4.0);
    // -kB T ln S / (sum Vat) = -1.38e-20 * 2 / 4e-29
    EXPECT_NEAR(p.drivingForce, -6.9e8, 1e-12 * 6.9e8);
}

TEST(PrecipitateThermodynamics, CriticalRadiusPerShape)
{
    struct Case {
        int shape;
        double f;
        double expected;
    };
    // gamma = 0.5 J/m2, dGv = -1e9 J/m3.
    const Case cases[] = {
        {shape::sphere, 1.0, 1e-9},
        {shape::rod, 4.0, 8e-10},          // 4 gamma f / (3 |dGv| (f - 2/3))
        {shape::rodFunction, 4.0, 8e-10},
        {shape::cylinder, 4.0, 2e-9},      // 2 gamma (f + 2) / (3 |dGv|)
        {shape::cylinderFunction, 4.0, 2e-9},
    };
    for (const Case& c : cases) {
        Precipitate p = phase(c.shape, c.f, {1.0, 1.0, 0.0});
        p.surfaceEnergy = 0.5;
        p.drivingForce = -1e9;
        p.Rstar();
        EXPECT_NEAR(p.criticalRadius, c.expected, 1e-12 * c.expected) << "shape " << c.shape;
    }
}

TEST(PrecipitateThermodynamics, GibbsThomsonPerShape)
{
    // With Vat = 1.38e-29, kT = 1.38e-20, R = 1 nm, sum nu = 2 and gamma = 0.5
    // the exponent is 2 (sphere), 1.6 (rod, f = 4) and 4 (cylinder, f = 4).
    struct Case {
        int shape;
        double f;
        double exponent;
    };
    const Case cases[] = {
        {shape::sphere, 1.0, 2.0},
        {shape::rod, 4.0, 1.6},
        {shape::rodFunction, 4.0, 1.6},
        {shape::cylinder, 4.0, 4.0},
        {shape::cylinderFunction, 4.0, 4.0},
    };
    for (const Case& c : cases) {
        Precipitate p = phase(c.shape, c.f, {1.0, 1.0, 0.0});
        p.surfaceEnergy = 0.5;
        p.atomicVolume = 1.38e-29;
        p.solubilityB = -2.0;
        const double expected = 0.01 * std::exp(c.exponent);
        EXPECT_NEAR(p.InterfaceSolubilityProduct(1000.0, 1e-9), expected, 1e-12 * expected)
            << "shape " << c.shape;
        EXPECT_EQ(p.InterfaceSolubilityProduct(1000.0, 0.0), 0.0);
    }
}

TEST(PrecipitateDistribution, VolumeFractionPerShape)
{
    // s = sum r^3 n = 1e-27 * 1e21 + 8e-27 * 1e20 = 1.8e-6
    const double s = 1.8e-6;
    struct Case {
        int shape;
        double f;
        double expected;
    };
    const Case cases[] = {
        {shape::sphere, 1.0, 4.0 / 3.0 * pi * s},
        {shape::rod, 4.0, (4.0 - 2.0 / 3.0) * pi * s},
        {shape::rodFunction, 4.0, (4.0 - 2.0 / 3.0) * pi * s},
        {shape::cylinder, 4.0, 2.0 * pi / 4.0 * s},
        {shape::cylinderFunction, 4.0, 2.0 * pi / 4.0 * s},
    };
    for (const Case& c : cases) {
        Precipitate p = phase(c.shape, c.f, {1.0, 1.0, 0.0});
        EXPECT_EQ(p.VolumeFraction(), 0.0);
        p.SetDistribution({1e-9, 2e-9}, {1e21, 1e20});
        EXPECT_NEAR(p.VolumeFraction(), c.expected, 1e-12 * c.expected) << "shape " << c.shape;
    }
}

TEST(PrecipitateDistribution, MeanRadiusTotalNumberAndEmptyDistribution)
{
    Precipitate p = phase(shape::sphere, 1.0, {1.0, 1.0, 0.0});
    EXPECT_EQ(p.MeanRadius(), 0.0);
    EXPECT_EQ(p.TotalNumber(), 0.0);
    EXPECT_EQ(p.Number(5), 0.0);

    p.SetDistribution({1e-9, 2e-9}, {1e21, 1e20});
    EXPECT_EQ(p.classCount(), 2u);
    EXPECT_NEAR(p.MeanRadius(), 1.2e12 / 1.1e21, 1e-12 * 1.2e12 / 1.1e21);
    EXPECT_NEAR(p.TotalNumber(), 1.1e21, 1e5);

    p.SetDistribution({1e-9, 2e-9}, {0.0, 0.0});
    EXPECT_EQ(p.MeanRadius(), 0.0);
}

TEST(PrecipitateDistribution, SortClassesMovesPairsTogether)
{
    Precipitate p = phase(shape::sphere, 1.0, {1.0, 1.0, 0.0});
    p.SetDistribution({3e-9, 1e-9, 2e-9, 1e-9}, {30.0, 10.0, 20.0, 11.0});
    p.SortClasses();
    EXPECT_EQ(p.radius, (std::vector<double>{1e-9, 1e-9, 2e-9, 3e-9}));
    EXPECT_EQ(p.number, (std::vector<double>{10.0, 11.0, 20.0, 30.0}));
    EXPECT_EQ(p.classCount(), 4u);
}

TEST(PrecipitateDeathTest, RefusesWhatItCannotCompute)
{
    ScopedWorkDir dir;
    Precipitate p = phase(5, 1.0, {1.0, 1.0, 0.0});
    p.drivingForce = -1e9;
    p.SetDistribution({1e-9}, {1.0});
    EXPECT_FATAL(p.Rstar(), "This shape is not implemented in Rstar calculation");
    EXPECT_FATAL(p.InterfaceSolubilityProduct(1000.0, 1e-9), "This shape is not implemented in nucleation");
    EXPECT_FATAL(p.VolumeFraction(), "This shape is not implemented in VolumeFraction");
    EXPECT_FATAL(p.Number(1), "Index is larger than size of Number vector");
    EXPECT_FATAL(p.Stoichiometry("Ti"), "element unfound in element list.");
}
