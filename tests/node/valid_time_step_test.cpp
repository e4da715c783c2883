#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "node/ostrel.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

Element makeElement(const std::string& name, double ssFraction)
{
    Element element;
    element.name = name;
    element.ssFraction = ssFraction;
    return element;
}

// A node validating with solContent, two elements and a comfortable step.
Ostrel solContentNode(double referenceSc)
{
    Ostrel node;
    node.criterion = criterion::solContent;
    node.timeStep = 1e-3;
    node.criterionReference = {referenceSc, 0.99};
    return node;
}

} // namespace

TEST(ValidTimeStep, SolContentFirstStepToleratesSmallAbsoluteChanges)
{
    Ostrel node = solContentNode(1e-7);
    std::vector<Element> elements{makeElement("Sc", 1.5e-7), makeElement("Al", 0.99)};
    std::vector<Precipitate> none;
    std::string reason;
    // 50 % relative change but only 5e-8 absolute: passes on the first step only.
    EXPECT_TRUE(node.validTimeStep(elements, none, 600, 1, reason));
    EXPECT_FALSE(node.validTimeStep(elements, none, 600, 2, reason));
    EXPECT_EQ(reason, "criterion for time step validation (solContent) is not fulfilled");

    elements[0].ssFraction = 1e-2;
    EXPECT_FALSE(node.validTimeStep(elements, none, 600, 1, reason));
    EXPECT_EQ(reason, "criterion for time step validation (solContent) is not fulfilled (first time step)");

    // A relative change of 0.5 % passes the default 1 % limit.
    elements[0].ssFraction = 1.005e-7;
    EXPECT_TRUE(node.validTimeStep(elements, none, 600, 5, reason));
}

TEST(ValidTimeStep, SolContentWithAZeroReference)
{
    Ostrel node = solContentNode(0.0);
    std::vector<Element> elements{makeElement("Sc", 0.0), makeElement("Al", 0.99)};
    std::vector<Precipitate> none;
    std::string reason;
    // 0/0 is not a number and lets the step pass; any change is infinite.
    EXPECT_TRUE(node.validTimeStep(elements, none, 600, 3, reason));
    elements[0].ssFraction = 1e-9;
    EXPECT_TRUE(node.validTimeStep(elements, none, 600, 1, reason));
    EXPECT_FALSE(node.validTimeStep(elements, none, 600, 3, reason));
}

TEST(ValidTimeStep, FractionsOutOfRangeRejectOrStop)
{
    ScopedWorkDir dir;
    Ostrel node = solContentNode(1e-3);
    node.console = Console(true);
    std::vector<Element> elements{makeElement("Sc", -1e-12), makeElement("Al", 0.99)};
    std::vector<Precipitate> none;
    std::string reason;
    EXPECT_FALSE(node.validTimeStep(elements, none, 600, 3, reason));
    EXPECT_EQ(reason, "Element Sc has concentration <0 or >1");

    elements[0].ssFraction = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(node.validTimeStep(elements, none, 600, 3, reason));
    EXPECT_EQ(reason, "Element Sc is nan of inf");
    EXPECT_EQ(testing_support::lastLogLine(), "WARNING: GetSolidSolContent is nan or inf in valid time step");

    node.timeStep = 1e-10;
    EXPECT_FATAL(node.validTimeStep(elements, none, 600, 3, reason),
                 "Smallest time step value reached with nan or inf solid solution.");
    elements[0].ssFraction = 1.5;
    EXPECT_FATAL(node.validTimeStep(elements, none, 600, 3, reason),
                 "Smallest time step value reached with incorrect solid solution content values.");
}

TEST(ValidTimeStep, BelowTheSmallestStepTheCriterionIsSkipped)
{
    ScopedWorkDir dir;
    Ostrel node = solContentNode(1e-3);
    node.nodeNumber = 4;
    node.timeStep = 5e-10;
    std::vector<Element> elements{makeElement("Sc", 5e-4), makeElement("Al", 0.99)};
    std::vector<Precipitate> none;
    std::string reason;
    EXPECT_TRUE(node.validTimeStep(elements, none, 600, 3, reason));
    EXPECT_EQ(testing_support::lastLogLine(), "WARNING: Time step < lowerLimite. Node : 4");
    EXPECT_EQ(node.criterionReference[0], 5e-4);

    // A step equal to the limit is validated normally.
    node.timeStep = node.smallestTimeStep;
    elements[0].ssFraction = 1e-3;
    EXPECT_FALSE(node.validTimeStep(elements, none, 600, 3, reason));
}

TEST(ValidTimeStep, RStarIgnoresPhasesWithoutClasses)
{
    Ostrel node;
    node.timeStep = 1e-3;
    std::vector<Element> elements{makeElement("Sc", 1e-3), makeElement("Al", 0.999)};
    Precipitate phase(std::vector<std::string>{"Sc", "Al"});
    phase.name = "beta";
    phase.atomicVolume = 1.7e-29;
    phase.surfaceEnergy = 0.1;
    phase.solubilityA = 4000;
    phase.solubilityB = 1.5;
    phase.aspectRatio = 1.0;
    phase.stoichiometry = {1.0, 0.0};
    std::vector<Precipitate> phases{phase};
    node.criterionReference = {1.0}; // far from any critical radius
    std::string reason;
    EXPECT_TRUE(node.validTimeStep(elements, phases, 600, 3, reason));

    phases[0].SetDistribution({1e-9}, {1e20});
    EXPECT_FALSE(node.validTimeStep(elements, phases, 600, 3, reason));
    EXPECT_EQ(reason, "criterion for time step validation (rStar) is not fulfilled");

    node.criterionReference = {phases[0].criticalRadius * 1.005};
    EXPECT_TRUE(node.validTimeStep(elements, phases, 600, 3, reason));
}
