#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "kinetics/solvers.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

// F(x) = c0 x^((p+q)/q) + c1 x^(p/q) + c2 x + c3
GrowthEquation equation(double c0, double c1, double c2, double c3, double p, double q)
{
    GrowthEquation eq;
    eq.c0 = c0;
    eq.c1 = c1;
    eq.c2 = c2;
    eq.c3 = c3;
    eq.p = p;
    eq.q = q;
    return eq;
}

// x - 0.3 (p = q: the x^2 term has c0 = 0).
GrowthEquation linear() { return equation(0.0, 1.0, 0.0, -0.3, 1.0, 1.0); }
// x^2 - r^2 (p/q = 2).
GrowthEquation square(double root) { return equation(0.0, 1.0, 0.0, -root * root, 2.0, 1.0); }
// sqrt(x) - 0.1 (p/q = 1/2), root 0.01; Newton from 0.5 jumps below 0.
GrowthEquation squareRoot() { return equation(0.0, 1.0, 0.0, -0.1, 1.0, 2.0); }

bool logIsEmpty() { return testing_support::readLines("log.log").empty(); }

} // namespace

TEST(SolverSettingsTest, EverySolverFindsTheRoot)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    const GrowthEquation eq = square(0.1);
    double factor = 1.0;
    EXPECT_NEAR(solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, eq), 0.1, 1e-9);
    EXPECT_NEAR(solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, eq), 0.1, 1e-9);
    EXPECT_NEAR(solver.Brent(0.0, 1.0, twoElementSphere, factor, eq), 0.1, 1e-9);
    EXPECT_NEAR(solver.Dichotomy(0.0, 1.0, twoElementSphere, factor, eq), 0.1, 1e-9);
    EXPECT_TRUE(logIsEmpty());
}

TEST(SolverSettingsTest, BracketWithoutSignChangeIsExtendedSilently)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    double factor = 2.0; // [0, 0.25] holds no root, [0, 0.5] does
    EXPECT_NEAR(solver.Brent(0.0, 0.25, twoElementSphere, factor, linear()), 0.3, 1e-9);
    EXPECT_NEAR(solver.Dichotomy(0.0, 0.25, twoElementSphere, factor, linear()), 0.3, 1e-9);
    EXPECT_EQ(factor, 2.0);
    EXPECT_TRUE(logIsEmpty());
}

TEST(SolverSettingsTest, DichotomyReturnsTheMidpointOfItsLastBracket)
{
    SolverSettings solver;
    solver.tolBrentDicho = 0.1;
    double factor = 1.0;
    // Brackets [0,1] [0,.5] [.25,.5] [.25,.375] [.25,.3125]: last tested .3125.
    EXPECT_EQ(solver.Dichotomy(0.0, 1.0, twoElementSphere, factor, linear()), 0.28125);
    solver.tolBrentDicho = 2.0;
    EXPECT_EQ(solver.Dichotomy(0.0, 1.0, twoElementSphere, factor, linear()), 0.5);
}

TEST(SolverSettingsTest, ToleranceBelowTheResolutionOfTheRootStillEnds)
{
    SolverSettings solver;
    solver.tolBrentDicho = 0.0;
    double factor = 1.0;
    EXPECT_NEAR(solver.Brent(0.0, 1.0, twoElementSphere, factor, linear()), 0.3, 1e-15);
    EXPECT_NEAR(solver.Dichotomy(0.0, 1.0, twoElementSphere, factor, linear()), 0.3, 1e-15);
}

TEST(SolverSettingsTest, SmallEndResidualTightensTheNewtonTolerance)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    // |F(0)| = 1e-12 < 1e-9: Newton must go on to |F| < 1e-15. With the plain
    // tolerance it would stop near x = 3e-5, far from the root 1e-6.
    const GrowthEquation eq = square(1e-6);
    double factor = 1.0;
    const double newton = solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, eq);
    EXPECT_LT(std::fabs(newton * newton - 1e-12), 1e-15);
    const double constrained = solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, eq);
    EXPECT_LT(std::fabs(constrained * constrained - 1e-12), 1e-15);
    EXPECT_TRUE(logIsEmpty());
}

TEST(SolverSettingsTest, NewtonLimitHandsOverToBrentWithAWarning)
{
    ScopedWorkDir dir;
    SolverSettings solver;
    solver.maxCountNR = 1.0; // no update at all
    const GrowthEquation eq = square(0.1);
    double factor = 1.0;
    const double brent = solver.Brent(0.0, 1.0, twoElementSphere, factor, eq);

    EXPECT_EQ(solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, eq), brent);
    EXPECT_EQ(testing_support::lastLogLine(),
              "WARNING: NewtonRaphson met its maximum nb of iterations->switch on dichotomy algorithm");
    EXPECT_EQ(solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, eq), brent);
    EXPECT_EQ(testing_support::lastLogLine(),
              "WARNING: Constraied NewtonRaphson met its maximum nb of iterations->switch on dichotomy algorithm");
}

TEST(SolverSettingsTest, NewtonMakesOneUpdateLessThanItsLimit)
{
    ScopedWorkDir dir;
    SolverSettings solver;
    double factor = 1.0;
    // A linear residual needs one update. With limit 2 that update reaches
    // the limit, and Brent takes over although Newton converged.
    solver.maxCountNR = 2.0;
    solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, linear());
    EXPECT_EQ(testing_support::readLines("log.log").size(), 1u);

    std::remove("log.log");
    solver.maxCountNR = 3.0;
    EXPECT_NEAR(solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, linear()), 0.3, 1e-15);
    EXPECT_TRUE(logIsEmpty());
}

TEST(SolverSettingsTest, ConstrainedNewtonRelaxesStepsThatLeaveTheBracket)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    double factor = 1.0;
    EXPECT_NEAR(solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, squareRoot()), 0.01, 1e-9);
    EXPECT_TRUE(logIsEmpty());
}

TEST(SolverSettingsTest, NewtonLeavingTheDomainHandsOverToBrent)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    double factor = 1.0;
    // The first update lands below 0, where x^(1/2) has no value.
    const double root = solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, squareRoot());
    EXPECT_TRUE(std::isfinite(root));
    EXPECT_NEAR(root, 0.01, 1e-9);
    EXPECT_EQ(testing_support::lastLogLine(),
              "WARNING: NewtonRaphson left the domain of the growth equation->switch on Brent algorithm");
}

TEST(SolverSettingsDeathTest, OnlyTheTwoElementSphereEquationIsKnown)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    const GrowthEquation eq = linear();
    double factor = 1.0;
    EXPECT_FATAL(solver.NewtonRaphson(0.0, 1.0, "2elementRod", factor, eq),
                 "Newton raphson not implemented for this growth equation");
    EXPECT_FATAL(solver.constrainedNewtonRaphson(0.0, 1.0, "2elementRod", factor, eq),
                 "v not implemented for this growth equation");
    EXPECT_FATAL(solver.Brent(0.0, 1.0, "2elementRod", factor, eq), "Brent not implemented for this");
    EXPECT_FATAL(solver.Dichotomy(0.0, 1.0, "", factor, eq), "Dichotomy not implemented for this");
    // The name, not its address, decides.
    const std::string copy(twoElementSphere);
    EXPECT_NEAR(solver.Brent(0.0, 1.0, copy, factor, eq), 0.3, 1e-9);
}

TEST(SolverSettingsDeathTest, BracketWithoutSignChangeAfterExtensionStops)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    double factor = 1.1; // [0, 0.275] still holds no root
    EXPECT_FATAL(solver.Brent(0.0, 0.25, twoElementSphere, factor, linear()),
                 "Brent Sphere2elem: invalid bounds f");
    EXPECT_FATAL(solver.Dichotomy(0.0, 0.25, twoElementSphere, factor, linear()),
                 "Dicho Sphere2elem: invalid bounds f");
}

TEST(SolverSettingsDeathTest, RunawayRelaxationStops)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    // x^2 - x + 0.3 has a zero slope at the starting point 0.5.
    const GrowthEquation eq = equation(0.0, 1.0, -1.0, 0.3, 2.0, 1.0);
    double factor = 1.0;
    EXPECT_FATAL(solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, eq),
                 "Huge relaxation in constrained NR->we strop algorithm");
}
