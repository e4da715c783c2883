#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

constexpr double T = 673.0;
constexpr double dt = 10.0;

Element element(const std::string& name, double ssFraction, double D0, double Q)
{
    Element e;
    e.name = name;
    e.ssFraction = ssFraction;
    e.D0 = D0;
    e.Q = Q;
    return e;
}

struct Alloy {
    std::vector<Element> elements;
    Matrix matrix;
    Precipitate phase;
};

Precipitate phaseOf(const Alloy& alloy, const std::string& name, const std::vector<double>& nu)
{
    std::vector<std::string> names;
    for (const Element& e : alloy.elements) names.push_back(e.name);
    Precipitate p(names);
    p.name = name;
    p.stoichiometry = nu;
    for (double v : nu) p.stoichiometrySum += v;
    p.shape = shape::sphere;
    p.aspectRatio = 1.0;
    return p;
}

// Al3Sc in aluminium: scandium is the only limiting solute, the matrix is
// part of the phase and enters the product of the fast elements.
Alloy aluminiumScandium()
{
    Alloy a;
    a.elements = {element("Sc", 0.002, 5.31e-4, 173000.0), element("Al", 0.998, 0.0, 0.0)};
    a.matrix.name = "Al";
    a.matrix.VatSS = 1.66e-29;
    a.phase = phaseOf(a, "Al3Sc", {1.0, 3.0});
    a.phase.atomicVolume = 1.72e-29;
    a.phase.surfaceEnergy = 0.2;
    a.phase.solubilityA = 5000.0;
    a.phase.solubilityB = 2.0;
    a.phase.SetDistribution({1e-9, 3e-9, 1e-8}, {1e22, 5e21, 1e20});
    return a;
}

// Mg2Si in aluminium: magnesium and silicon diffuse alike, both limit growth.
Alloy aluminiumMagnesiumSilicon()
{
    Alloy a;
    a.elements = {element("Mg", 0.006, 1.49e-4, 120500.0), element("Si", 0.004, 1.38e-4, 117600.0),
                  element("Al", 0.99, 0.0, 0.0)};
    a.matrix.name = "Al";
    a.matrix.VatSS = 1.66e-29;
    a.phase = phaseOf(a, "Mg2Si", {2.0, 1.0, 0.0});
    a.phase.atomicVolume = 2.13e-29;
    a.phase.surfaceEnergy = 0.1;
    a.phase.solubilityA = 5000.0;
    a.phase.solubilityB = 2.04;
    a.phase.SetDistribution({1e-9, 2e-9, 5e-9}, {1e22, 1e22, 1e21});
    return a;
}

// VC in iron with diffusivities set directly (no activation energy): carbon
// diffuses 10^5 times faster than vanadium.
Alloy ironVanadiumCarbon()
{
    Alloy a;
    a.elements = {element("V", 0.002, 1e-18, 0.0), element("C", 0.001, 1e-13, 0.0),
                  element("Fe", 0.997, 0.0, 0.0)};
    a.matrix.name = "Fe";
    a.matrix.VatSS = 1.18e-29;
    a.phase = phaseOf(a, "VC", {1.0, 1.0, 0.0});
    a.phase.atomicVolume = 1.13e-29;
    a.phase.surfaceEnergy = 0.5;
    a.phase.solubilityA = 9500.0;
    a.phase.solubilityB = 6.72;
    a.phase.SetDistribution({2e-9}, {1e22});
    return a;
}

double shapeFactor(const Precipitate& p)
{
    if (p.shape == shape::rod) return 3.0 / (4.0 * p.aspectRatio);
    if (p.shape == shape::cylinder) return p.aspectRatio / 2.0;
    return 1.0;
}

} // namespace

TEST(GrowthTest, OneLimitingSoluteFollowsTheGibbsThomsonLawForEveryShape)
{
    for (int shapeCode : {shape::sphere, shape::rod, shape::cylinder}) {
        Alloy a = aluminiumScandium();
        a.phase.shape = shapeCode;
        a.phase.aspectRatio = shapeCode == shape::sphere ? 1.0 : 5.0;
        a.phase.boostPrecipitateDiffusion = 2.0;
        // Many radii, so that a regrouped product would show in some last bit.
        std::vector<double> radii;
        for (int k = 0; k < 200; ++k) radii.push_back(5e-10 * std::pow(1.03, k));
        a.phase.SetDistribution(radii, std::vector<double>(radii.size(), 1e20));
        const Precipitate before = a.phase;
        a.phase.Growth(a.elements, a.matrix, dt, T);

        // Same operations as the growth law, through the public interface
        // product: results must agree to the last bit.
        const double alpha = a.matrix.VatSS / before.atomicVolume;
        const double fastProduct = 1.0 * std::pow(a.elements[1].ssFraction, 3.0);
        const double X = a.elements[0].ssFraction;
        const double Xp = 1.0 / before.stoichiometrySum;
        const double D = a.elements[0].DiffusionCoefficient(T) * 2.0 * shapeFactor(before);
        for (std::size_t k = 0; k < before.radius.size(); ++k) {
            const double R = before.radius[k];
            const double Xi = std::pow(before.InterfaceSolubilityProduct(T, R) / fastProduct, 1.0 / 1.0);
            const double expected = R + (X - Xi) / std::fabs(alpha * Xp - Xi) * (D / R) * dt;
            EXPECT_EQ(a.phase.radius[k], expected) << "shape " << shapeCode << " class " << k;
        }
        EXPECT_EQ(a.phase.number, before.number);
    }
}

TEST(GrowthTest, ClassesShrinkBelowTheInterfaceFractionAndGrowAbove)
{
    Alloy a = aluminiumScandium();
    const double R = 2e-9;
    a.phase.SetDistribution({R}, {1e22});
    // The interface fraction holds the matrix's share of the product (Al^3).
    const double interfaceFraction =
        a.phase.InterfaceSolubilityProduct(T, R) / std::pow(a.elements[1].ssFraction, 3.0);

    const auto grownWith = [&](double scandium) {
        Alloy copy = a;
        copy.elements[0].ssFraction = scandium;
        copy.phase.Growth(copy.elements, copy.matrix, dt, T);
        return copy.phase.radius[0];
    };
    EXPECT_LT(grownWith(0.9 * interfaceFraction), R);
    EXPECT_EQ(grownWith(interfaceFraction), R);
    EXPECT_GT(grownWith(1.1 * interfaceFraction), R);
}

TEST(GrowthTest, FastSoluteIsTakenAtEquilibriumUnlessTheRatioIsRaised)
{
    Alloy a = ironVanadiumCarbon();
    const double R = a.phase.radius[0];
    // Vanadium at its interface fraction with carbon as the fast element:
    // one-element growth leaves the class as it is.
    a.elements[0].ssFraction = a.phase.InterfaceSolubilityProduct(T, R) / a.elements[1].ssFraction;

    Alloy oneElement = a;
    oneElement.phase.Growth(oneElement.elements, oneElement.matrix, dt, T);
    EXPECT_EQ(oneElement.phase.radius[0], R);

    // Above the ratio of the diffusivities (10^5) both solutes limit growth,
    // and carbon, far from its equilibrium, drives the class.
    Alloy twoElements = a;
    twoElements.phase.diffusionCoefficientRatio = 1e6;
    twoElements.phase.Growth(twoElements.elements, twoElements.matrix, dt, T);
    EXPECT_NE(twoElements.phase.radius[0], R);
}

TEST(GrowthTest, TwoLimitingSolutesGrowAtTheSameRateWithEverySolver)
{
    for (double algorithm : {1.0, 2.0, 3.0, 4.0}) {
        Alloy a = aluminiumMagnesiumSilicon();
        a.phase.nonLinearAlgorithm = algorithm;
        const Precipitate before = a.phase;
        const double step = 100.0;
        a.phase.Growth(a.elements, a.matrix, step, 453.0);

        // Interface fractions back from the radius change of magnesium, then
        // silicon's from the interface product; both fluxes must match.
        const double alpha = a.matrix.VatSS / before.atomicVolume;
        const double X1 = a.elements[0].ssFraction;
        const double X2 = a.elements[1].ssFraction;
        const double D1 = a.elements[0].DiffusionCoefficient(453.0);
        const double D2 = a.elements[1].DiffusionCoefficient(453.0);
        const double Xp1 = 2.0 / 3.0;
        const double Xp2 = 1.0 / 3.0;
        for (std::size_t k = 0; k < before.radius.size(); ++k) {
            const double R = before.radius[k];
            const double u = (a.phase.radius[k] - R) * R / (D1 * step);
            const double x = (X1 - u * alpha * Xp1) / (1.0 - u);
            const double y = before.InterfaceSolubilityProduct(453.0, R) / (x * x);
            ASSERT_GT(x, 0.0);
            ASSERT_LT(x, alpha * Xp1);
            const double magnesiumFlux = D1 * (X1 - x) * (alpha * Xp2 - y);
            const double siliconFlux = D2 * (X2 - y) * (alpha * Xp1 - x);
            EXPECT_NEAR(magnesiumFlux, siliconFlux, 1e-3 * std::fabs(siliconFlux))
                << "algorithm " << algorithm << " class " << k;
        }
    }
}

TEST(GrowthTest, RodFunctionWithoutSlopeKeepsShapeAndNumbers)
{
    Alloy a = aluminiumScandium();
    a.phase.shape = shape::rodFunction;
    a.phase.shapeParameters[0] = 0.0; // k
    a.phase.shapeParameters[1] = 4.0; // f0
    a.phase.aspectRatio = 4.0;
    const std::vector<double> numbers = a.phase.number;
    a.phase.Growth(a.elements, a.matrix, dt, T);
    EXPECT_EQ(a.phase.aspectRatio, 4.0);
    for (std::size_t k = 0; k < numbers.size(); ++k) EXPECT_DOUBLE_EQ(a.phase.number[k], numbers[k]);
}

TEST(GrowthTest, ShapeChangeKeepsTheVolumeFraction)
{
    // dt = 0 keeps the radii, so the volume fraction before the call is the
    // one to keep.
    Alloy rod = aluminiumScandium();
    rod.phase.shape = shape::rodFunction;
    rod.phase.shapeParameters[0] = 5e7; // k: R k is about 0.05
    rod.phase.shapeParameters[1] = 4.0;
    rod.phase.aspectRatio = 4.0;
    const double rodVolume = rod.phase.VolumeFraction();
    rod.phase.Growth(rod.elements, rod.matrix, 0.0, T);
    EXPECT_EQ(rod.phase.aspectRatio, rod.phase.RodFunctionAspectRatio(rod.phase.MeanRadius()));
    EXPECT_GT(rod.phase.aspectRatio, 4.0);
    EXPECT_NEAR(rod.phase.VolumeFraction(), rodVolume, 1e-12 * rodVolume);

    Alloy cylinder = aluminiumScandium();
    cylinder.phase.shape = shape::cylinderFunction;
    const double law[7] = {3.0, 1e9, 2.0, 0.0, 10.0, 1e-9, 5e-9}; // middle branch
    for (int i = 0; i < 7; ++i) cylinder.phase.shapeParameters[i] = law[i];
    cylinder.phase.aspectRatio = 3.0;
    const double cylinderVolume = cylinder.phase.VolumeFraction();
    const double meanRadius = cylinder.phase.MeanRadius();
    cylinder.phase.Growth(cylinder.elements, cylinder.matrix, 0.0, T);
    EXPECT_EQ(cylinder.phase.aspectRatio, 2.0 * 1e9 * meanRadius + 2.0);
    EXPECT_NEAR(cylinder.phase.VolumeFraction(), cylinderVolume, 1e-12 * cylinderVolume);
}

TEST(GrowthTest, UndefinedShapeChangeIsSkippedWithAWarning)
{
    ScopedWorkDir dir;
    const std::string warning =
        "WARNING: Aspect ratio law undefined for precipitate Al3Sc: shape change skipped.";
    Alloy a = aluminiumScandium();
    a.phase.shape = shape::rodFunction;
    a.phase.aspectRatio = 4.0;

    // 1 - R k <= 0 for the mean radius.
    Alloy steep = a;
    steep.phase.shapeParameters[0] = 1e10;
    steep.phase.shapeParameters[1] = 4.0;
    steep.phase.Growth(steep.elements, steep.matrix, 0.0, T);
    EXPECT_EQ(steep.phase.aspectRatio, 4.0);
    EXPECT_EQ(steep.phase.number, a.phase.number);
    EXPECT_EQ(testing_support::lastLogLine(), warning);

    // A law giving f = 2/3 leaves a rod without volume.
    std::remove("log.log");
    Alloy flat = a;
    flat.phase.shapeParameters[0] = 0.0;
    flat.phase.shapeParameters[1] = 2.0 / 3.0;
    flat.phase.Growth(flat.elements, flat.matrix, 0.0, T);
    EXPECT_EQ(flat.phase.aspectRatio, 4.0);
    EXPECT_EQ(flat.phase.number, a.phase.number);
    EXPECT_EQ(testing_support::lastLogLine(), warning);

    // Without classes there is nothing to carry over: the law just applies.
    std::remove("log.log");
    Alloy empty = a;
    empty.phase.SetDistribution({}, {});
    empty.phase.shapeParameters[0] = 1e8;
    empty.phase.shapeParameters[1] = 5.0;
    empty.phase.Growth(empty.elements, empty.matrix, dt, T);
    EXPECT_EQ(empty.phase.aspectRatio, 5.0);
    EXPECT_TRUE(testing_support::readLines("log.log").empty());
}

TEST(GrowthTest, AspectRatioLaws)
{
    Precipitate p;
    const double law[7] = {3.0, 1e9, 2.0, 2e8, 8.0, 1e-9, 5e-9};
    for (int i = 0; i < 7; ++i) p.shapeParameters[i] = law[i];
    EXPECT_EQ(p.CylinderFunctionAspectRatio(0.5e-9), 3.0);
    EXPECT_EQ(p.CylinderFunctionAspectRatio(1e-9), 2.0 * 1e9 * 1e-9 + 2.0);
    EXPECT_EQ(p.CylinderFunctionAspectRatio(5e-9), 2.0 * 2e8 * 5e-9 + 8.0);

    p.shapeParameters[0] = 1e8; // k
    p.shapeParameters[1] = 4.0; // f0
    EXPECT_EQ(p.RodFunctionAspectRatio(0.0), 4.0);
    EXPECT_DOUBLE_EQ(p.RodFunctionAspectRatio(5e-9), 8.0);
}

TEST(GrowthDeathTest, UnsupportedNumbersOfLimitingSolutesStop)
{
    ScopedWorkDir dir;
    Alloy three;
    three.elements = {element("Ti", 0.001, 1e-18, 0.0), element("Nb", 0.001, 2e-18, 0.0),
                      element("V", 0.001, 3e-18, 0.0), element("Fe", 0.997, 0.0, 0.0)};
    three.matrix.name = "Fe";
    three.matrix.VatSS = 1.18e-29;
    three.phase = phaseOf(three, "TiNbV", {1.0, 1.0, 1.0, 0.0});
    three.phase.atomicVolume = 1.2e-29;
    three.phase.SetDistribution({1e-9}, {1e20});
    EXPECT_FATAL(three.phase.Growth(three.elements, three.matrix, dt, T), "Still a bug in GrowthGeneral resolution");

    // Only the matrix in the chemistry: nothing limits growth.
    Alloy none = three;
    none.phase.stoichiometry = {0.0, 0.0, 0.0, 1.0};
    EXPECT_FATAL(none.phase.Growth(none.elements, none.matrix, dt, T), "Still a bug in GrowthGeneral resolution");
}

TEST(GrowthDeathTest, InvalidStatesStopTheRun)
{
    ScopedWorkDir dir;
    Alloy zero = aluminiumScandium();
    zero.phase.SetDistribution({1e-9, 0.0}, {1e20, 1e20});
    EXPECT_FATAL(zero.phase.Growth(zero.elements, zero.matrix, dt, T), "we can't have radius equal to 0 in growth");

    Alloy twoZero = aluminiumMagnesiumSilicon();
    twoZero.phase.SetDistribution({0.0}, {1e20});
    EXPECT_FATAL(twoZero.phase.Growth(twoZero.elements, twoZero.matrix, dt, 453.0),
                 "we can't have radius equal to 0 in growth");

    Alloy oneShape = aluminiumScandium();
    oneShape.phase.shape = 5;
    EXPECT_FATAL(oneShape.phase.Growth(oneShape.elements, oneShape.matrix, dt, T),
                 "This shape is not implemented in growth 1 elements");

    Alloy twoShape = aluminiumMagnesiumSilicon();
    twoShape.phase.shape = 5;
    EXPECT_FATAL(twoShape.phase.Growth(twoShape.elements, twoShape.matrix, dt, 453.0),
                 "This shape is not implemented in growth 2 elements");

    Alloy solver = aluminiumMagnesiumSilicon();
    solver.phase.nonLinearAlgorithm = 5.0;
    EXPECT_FATAL(solver.phase.Growth(solver.elements, solver.matrix, dt, 453.0),
                 "This choice for nonLinearAlgorithm is not recognized");

    Alloy endless = aluminiumScandium();
    EXPECT_FATAL(endless.phase.Growth(endless.elements, endless.matrix, std::numeric_limits<double>::infinity(), T),
                 "Growth gives a non-finite radius for precipitate Al3Sc");

    Alloy mismatch = aluminiumScandium();
    mismatch.elements.push_back(element("Cu", 0.001, 1e-18, 0.0));
    EXPECT_FATAL(mismatch.phase.Growth(mismatch.elements, mismatch.matrix, dt, T),
                 "Element list of precipitate Al3Sc does not match the node's elements");
}
