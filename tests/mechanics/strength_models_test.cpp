#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mechanics/mechanical_model.h"
#include "mechanics_fixture.h"
#include "support/fatal.h"

using mechanics_testing::MechanicsNode;
using mechanics_testing::readModel;
using testing_support::ScopedWorkDir;

namespace {

// strengthKeywords with another model number and extra lines.
std::string strengthModelData(int model, const std::string& extra = "")
{
    std::string text = mechanics_testing::strengthKeywords;
    text.replace(text.find("mechanicModel 1"), 15, "mechanicModel " + std::to_string(model));
    return text + extra;
}

// The node's phase as the shape a model accepts.
MechanicsNode nodeFor(int model)
{
    MechanicsNode node;
    Precipitate& beta = node.precipitates[0];
    switch (model) {
    case strengthModel::plates:
    case strengthModel::volumeWeightedPlates:
        beta.shape = shape::cylinderFunction;
        beta.aspectRatio = 10.0;
        // f0 = 10 below 1 um, then 2 a R + b.
        beta.shapeParameters[0] = 10.0;
        beta.shapeParameters[1] = 0.0;
        beta.shapeParameters[2] = 10.0;
        beta.shapeParameters[3] = 1e6;
        beta.shapeParameters[4] = 5.0;
        beta.shapeParameters[5] = 1e-6;
        beta.shapeParameters[6] = 2e-6;
        break;
    case strengthModel::spheres:
        beta.shape = shape::sphere;
        beta.aspectRatio = 1.0;
        break;
    default: break;
    }
    return node;
}

MechanicalModel strengthAt(int model, MechanicsNode& node, const std::string& extra = "")
{
    MechanicalModel mechanics = readModel(strengthModelData(model, extra), node);
    mechanics.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    return mechanics;
}

} // namespace

TEST(StrengthModels, SolidSolutionTermFollowsEachModelsExponent)
{
    ScopedWorkDir dir;
    // k = 10 MPa per atomic fraction^q for Cu at 0.001 in solid solution.
    MechanicsNode rods = nodeFor(strengthModel::rods);
    EXPECT_NEAR(strengthAt(strengthModel::rods, rods).strength.solidSolution, 1e5, 1e-6);
    MechanicsNode spheres = nodeFor(strengthModel::spheres);
    EXPECT_NEAR(strengthAt(strengthModel::spheres, spheres).strength.solidSolution, 10 * 1e6 * std::sqrt(0.001), 1e-6);

    // Weight percent in Pa: Cu at 0.001 atomic fraction is 0.2353 wt% in Al.
    MechanicalModel weight = strengthAt(strengthModel::rods, rods, "SSconstant Cu Pa_Wpct 3e6\n");
    const double wtPercent = 100 * 0.001 * 63.55 / (0.001 * 63.55 + 0.999 * 26.98);
    EXPECT_NEAR(weight.strength.solidSolution, 3e6 * std::pow(wtPercent, 2.0 / 3.0), 1e-6);
}

TEST(StrengthModels, ModelOneReportsTheGrainBoundaryTermWithoutAddingIt)
{
    ScopedWorkDir dir;
    const std::string grain = "grainSize 1e-4 0 10 1e5\n";
    MechanicsNode rods = nodeFor(strengthModel::rods);
    const MechanicalModel withGrain = strengthAt(strengthModel::rods, rods, grain);
    const MechanicalModel withoutGrain = strengthAt(strengthModel::rods, rods);
    EXPECT_NEAR(withGrain.strength.grainBoundary, 1e7, 1e-6);
    EXPECT_EQ(withoutGrain.strength.grainBoundary, 0.0);
    EXPECT_EQ(withGrain.strength.flowStress, withoutGrain.strength.flowStress);

    MechanicsNode spheres = nodeFor(strengthModel::spheres);
    const MechanicalModel sphereGrain = strengthAt(strengthModel::spheres, spheres, grain);
    const MechanicalModel sphereNoGrain = strengthAt(strengthModel::spheres, spheres);
    EXPECT_NEAR(sphereGrain.strength.flowStress - sphereNoGrain.strength.flowStress, 1e7, 1e-6);
}

TEST(StrengthModels, ModelOneSplitsShearedAndBypassedRods)
{
    ScopedWorkDir dir;
    const double M = 3.06, b = 2.86e-10, beta = 0.36, rc = 3e-9, A = 8.0;
    const double mu = 70e9 / (2.0 * 1.33);

    MechanicsNode sheared = nodeFor(strengthModel::rods);
    sheared.precipitates[0].SetDistribution({1e-9, 2e-9}, {1e22, 2e22});
    const MechanicalModel shear = strengthAt(strengthModel::rods, sheared);
    const PrecipitateStrength& s = shear.precipitateStrength[0];
    const double kObs = 2 * beta * b / (rc * std::pow(3.0, 0.25));
    EXPECT_DOUBLE_EQ(shear.precipitateConstants[0].obstacleStrength, kObs);
    const double area = (1e-9 * 1e22 + 2e-9 * 2e22) * A;
    const double meanRadius = (1e-9 * 1e22 + 2e-9 * 2e22) / 3e22;
    EXPECT_NEAR(s.sheared / (std::sqrt(area / (2 * beta * b)) * std::pow(3.0, 0.125) * M * mu * std::pow(kObs * meanRadius, 1.5)),
                1.0, 1e-14);
    EXPECT_EQ(s.bypassed, 0.0);
    EXPECT_EQ(s.total, s.sheared);
    EXPECT_EQ(s.bypassedSpacing, 1e300);
    EXPECT_EQ(s.meanSpacing, s.shearedSpacing);

    MechanicsNode bypassed = nodeFor(strengthModel::rods);
    bypassed.precipitates[0].SetDistribution({5e-9}, {1e22});
    const MechanicalModel bypass = strengthAt(strengthModel::rods, bypassed);
    const PrecipitateStrength& p = bypass.precipitateStrength[0];
    EXPECT_EQ(p.sheared, 0.0);
    EXPECT_NEAR(p.bypassed / (std::sqrt(2.0) * M * beta * mu * b * std::sqrt(5e-9 * A * 1e22)), 1.0, 1e-14);
    EXPECT_EQ(p.total, p.bypassed);
    EXPECT_NEAR(p.bypassedFraction / ((A - 2.0 / 3.0) * M_PI * 125e-27 * 1e22), 1.0, 1e-14);
    EXPECT_EQ(p.bypassedLength, 5e-9 * A);
    EXPECT_EQ(p.meanSpacing, p.bypassedSpacing);
}

TEST(StrengthModels, PhasesWithoutParticlesAddNothing)
{
    ScopedWorkDir dir;
    for (int model = strengthModel::first; model <= strengthModel::last; ++model) {
        MechanicsNode node = nodeFor(model);
        const MechanicalModel mechanics = strengthAt(model, node);
        EXPECT_EQ(mechanics.strength.precipitates, 0.0) << model;
        EXPECT_TRUE(std::isfinite(mechanics.strength.flowStress)) << model;
        // A phase whose classes hold no particle either.
        node.precipitates[0].SetDistribution({1e-9, 5e-9}, {0.0, 0.0});
        const MechanicalModel empty = strengthAt(model, node);
        EXPECT_LT(empty.strength.precipitates, 1e-200) << model;
    }
}

TEST(StrengthModels, EveryModelSeesBothKindsOfParticles)
{
    ScopedWorkDir dir;
    for (int model = strengthModel::first; model <= strengthModel::last; ++model) {
        MechanicsNode node = nodeFor(model);
        node.precipitates[0].SetDistribution({1e-9, 2e-9, 4e-9, 8e-9}, {1e22, 1e22, 1e21, 1e20});
        const MechanicalModel mechanics = strengthAt(model, node);
        const StrengthTerms& s = mechanics.strength;
        EXPECT_GT(s.precipitates, 1e6) << model;
        EXPECT_LT(s.precipitates, 1e10) << model;
        EXPECT_EQ(s.precipitates, mechanics.precipitateStrength[0].total) << model;
        EXPECT_NEAR(s.flowStress,
                    std::sqrt(s.precipitates * s.precipitates + s.dislocations * s.dislocations) + s.solidSolution + 10e6,
                    1e-6)
            << model;
    }
}

TEST(StrengthModels, RatesAreTheChangeOverTheTimeStep)
{
    ScopedWorkDir dir;
    MechanicsNode node = nodeFor(strengthModel::rods);
    node.precipitates[0].SetDistribution({1e-9}, {1e22});
    MechanicalModel model = strengthAt(strengthModel::rods, node);
    // The first call compares with nothing: its rates are 0.
    EXPECT_EQ(model.strengthRate.flowStress, 0.0);
    const StrengthTerms before = model.strength;
    const PrecipitateStrength phaseBefore = model.precipitateStrength[0];

    node.elements[0].ssFraction = 0.0005;
    node.precipitates[0].SetDistribution({1e-9, 4e-9}, {1e22, 1e21});
    model.mechanicalComputation(mechanicalCall::step, node.elements, node.precipitates, 433, 0, 10, 0);
    EXPECT_EQ(model.strengthRate.solidSolution, (model.strength.solidSolution - before.solidSolution) / 10);
    EXPECT_EQ(model.strengthRate.precipitates, (model.strength.precipitates - before.precipitates) / 10);
    EXPECT_EQ(model.precipitateStrengthRate[0].bypassedNumber, 1e20);
    EXPECT_EQ(model.precipitateStrengthRate[0].bypassedRadius,
              (model.precipitateStrength[0].bypassedRadius - phaseBefore.bypassedRadius) / 10);
}

TEST(StrengthModelsDeathTest, ShapesPathsAndStructureEachModelRefuses)
{
    ScopedWorkDir dir;
    const auto refused = [](int model, MechanicsNode node, const std::string& message, const std::string& extra = "") {
        EXPECT_FATAL(strengthAt(model, node, extra), message);
    };
    refused(strengthModel::plates, nodeFor(strengthModel::rods), "Mechanical model Vento is just implemented for plates");
    refused(strengthModel::rods, nodeFor(strengthModel::spheres),
            "Mechanical model 1 is just implemented for 'Rod' and 'RodFuction'");
    refused(strengthModel::rodsMeanForce, nodeFor(strengthModel::plates),
            "Mechanical model n°2 is just implemented for rods");
    refused(strengthModel::rodsMeanForceSpacing, nodeFor(strengthModel::spheres),
            "Mechanical model n°3 is just implemented for rods");
    refused(strengthModel::volumeWeightedPlates, nodeFor(strengthModel::rods),
            "Mechanical model n°5 is just implemented for plates");
    refused(strengthModel::spheres, nodeFor(strengthModel::rods),
            "Mechanical model VentoModel for spheres is just implemented for spheres");

    const std::string regular = "precipitateConstants beta 3e-9 regular 100e9 0.3 0 10 0.5 0\n";
    const auto regularPath = [&regular](int model) {
        std::string text = strengthModelData(model);
        text.erase(text.find("precipitateConstants"));
        MechanicsNode node = nodeFor(model);
        MechanicalModel mechanics = readModel(text + regular, node);
        mechanics.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    };
    EXPECT_FATAL(regularPath(strengthModel::rods), "Just 'triangularPath' is implemented in mechanical model 1");
    EXPECT_FATAL(regularPath(strengthModel::rodsMeanForce), "Just 'triangularPath' is implemented in mechanical model n°2");
    EXPECT_FATAL(regularPath(strengthModel::spheres), "Just 'triangularPath' is implemented in mechanical model n°1");

    MechanicsNode rods = nodeFor(strengthModel::rods);
    MechanicalModel bcc = readModel(strengthModelData(strengthModel::rods), rods);
    bcc.structure = "bcc";
    EXPECT_FATAL(bcc.mechanicalComputation(mechanicalCall::initialisation, rods.elements, rods.precipitates, 433, 0, 0, 0),
                 "In model 1 just 'cfc' structure is considered");
    bcc.mechanicModel = 8;
    EXPECT_FATAL(bcc.ComputeStrength(rods.elements, rods.precipitates, 0),
                 "In 'mechanicalComputation' model n°8 is not defined");

    // A line tension of 0 leaves the spacing of model 3 undefined.
    MechanicsNode classes = nodeFor(strengthModel::rods);
    classes.precipitates[0].SetDistribution({1e-9}, {1e22});
    std::string noTension = strengthModelData(strengthModel::rodsMeanForceSpacing);
    noTension.replace(noTension.find("dislocations 1e12 0.3 0.36"), 26, "dislocations 1e12 0.3 0");
    MechanicalModel undefined = readModel(noTension, classes);
    EXPECT_FATAL(undefined.mechanicalComputation(mechanicalCall::initialisation, classes.elements, classes.precipitates,
                                                 433, 0, 0, 0),
                 "Mechanical model n°3 gives a strength that is not a finite number: check the mechanical constants");
}
