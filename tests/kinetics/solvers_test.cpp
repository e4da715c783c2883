#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "kinetics/solvers.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;
using testing_support::lastLogLine;

namespace {

// F(x) = c0 x^((p+q)/q) + c1 x^(p/q) + c2 x + c3
GrowthEquation equation(double c0, double c1, double c2, double c3, double p, double q)
{
    return GrowthEquation{c0, c1, c2, c3, p, q};
}
GrowthEquation linear() { return equation(0.0, 1.0, 0.0, -0.3, 1.0, 1.0); }                      // x - 0.3
GrowthEquation square(double r) { return equation(0.0, 1.0, 0.0, -r * r, 2.0, 1.0); }            // x^2 - r^2
GrowthEquation squareRoot() { return equation(0.0, 1.0, 0.0, -0.1, 1.0, 2.0); }                  // sqrt(x) - 0.1

bool logIsEmpty() { return testing_support::readLines("log.log").empty(); }

} // namespace

TEST(SolverSettingsTest, BracketsAreExtendedSilentlyAndTheDichotomyEndsOnAMidpoint)
{
    ScopedWorkDir dir;
    SolverSettings solver;
    double factor = 2.0; // [0, 0.25] holds no root, [0, 0.5] does
    EXPECT_NEAR(solver.Brent(0.0, 0.25, twoElementSphere, factor, linear()), 0.3, 1e-9);
    EXPECT_NEAR(solver.Dichotomy(0.0, 0.25, twoElementSphere, factor, linear()), 0.3, 1e-9);
    EXPECT_TRUE(logIsEmpty());

    // Brackets [0,1] [0,.5] [.25,.5] [.25,.375] [.25,.3125]: last tested .3125.
    solver.tolBrentDicho = 0.1;
    EXPECT_EQ(solver.Dichotomy(0.0, 1.0, twoElementSphere, factor, linear()), 0.28125);
    solver.tolBrentDicho = 2.0;
    EXPECT_EQ(solver.Dichotomy(0.0, 1.0, twoElementSphere, factor, linear()), 0.5);
    // A tolerance below the resolution of the root must still end.
    solver.tolBrentDicho = 0.0;
    EXPECT_NEAR(solver.Brent(0.0, 1.0, twoElementSphere, factor, linear()), 0.3, 1e-15);
    EXPECT_NEAR(solver.Dichotomy(0.0, 1.0, twoElementSphere, factor, linear()), 0.3, 1e-15);
}

TEST(SolverSettingsTest, SmallEndResidualTightensTheNewtonTolerance)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    // |F(0)| = 1e-12 < 1e-9: Newton must reach |F| < 1e-15. With the plain
    // tolerance it would stop near x = 3e-5, far from the root 1e-6.
    double factor = 1.0;
    const double newton = solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, square(1e-6));
    EXPECT_LT(std::fabs(newton * newton - 1e-12), 1e-15);
    const double constrained = solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, square(1e-6));
    EXPECT_LT(std::fabs(constrained * constrained - 1e-12), 1e-15);
    EXPECT_TRUE(logIsEmpty());
}

TEST(SolverSettingsTest, NewtonLimitHandsOverToBrentWithAWarning)
{
    ScopedWorkDir dir;
    SolverSettings solver;
    double factor = 1.0;
    solver.maxCountNR = 1.0; // no update at all
    const double brent = solver.Brent(0.0, 1.0, twoElementSphere, factor, square(0.1));
    EXPECT_EQ(solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, square(0.1)), brent);
    EXPECT_EQ(lastLogLine(), "WARNING: NewtonRaphson met its maximum nb of iterations->switch on dichotomy algorithm");
    EXPECT_EQ(solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, square(0.1)), brent);
    EXPECT_EQ(lastLogLine(),
              "WARNING: Constraied NewtonRaphson met its maximum nb of iterations->switch on dichotomy algorithm");

    // A linear residual needs one update: with limit 2 it reaches the limit
    // (Brent takes over although Newton converged), with limit 3 it does not.
    std::remove("log.log");
    solver.maxCountNR = 2.0;
    solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, linear());
    EXPECT_EQ(testing_support::readLines("log.log").size(), 1u);
    std::remove("log.log");
    solver.maxCountNR = 3.0;
    EXPECT_NEAR(solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, linear()), 0.3, 1e-15);
    EXPECT_TRUE(logIsEmpty());
}

TEST(SolverSettingsTest, NewtonStepsBelowZeroAreRelaxedOrHandedToBrent)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    double factor = 1.0;
    // From 0.5 the first update lands below 0, where x^(1/2) has no value.
    EXPECT_NEAR(solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor, squareRoot()), 0.01, 1e-9);
    EXPECT_TRUE(logIsEmpty());
    EXPECT_NEAR(solver.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, squareRoot()), 0.01, 1e-9);
    EXPECT_EQ(lastLogLine(),
              "WARNING: NewtonRaphson left the domain of the growth equation->switch on Brent algorithm");

    // The update that leaves the domain is also the last one allowed: the
    // counter has reached its limit, and that is what the log reports.
    SolverSettings limited;
    limited.maxCountNR = 2.0;
    std::remove("log.log");
    EXPECT_NEAR(limited.NewtonRaphson(0.0, 1.0, twoElementSphere, factor, squareRoot()), 0.01, 1e-9);
    EXPECT_EQ(testing_support::readLines("log.log"),
              std::vector<std::string>{
                  "WARNING: NewtonRaphson met its maximum nb of iterations->switch on dichotomy algorithm"});
}

TEST(SolverSettingsDeathTest, UnknownEquationsBadBracketsAndRunawayRelaxationStop)
{
    ScopedWorkDir dir;
    const SolverSettings solver;
    double factor = 1.0;
    EXPECT_FATAL(solver.NewtonRaphson(0.0, 1.0, "2elementRod", factor, linear()),
                 "Newton raphson not implemented for this growth equation");
    EXPECT_FATAL(solver.constrainedNewtonRaphson(0.0, 1.0, "2elementRod", factor, linear()),
                 "v not implemented for this growth equation");
    EXPECT_FATAL(solver.Brent(0.0, 1.0, "2elementRod", factor, linear()), "Brent not implemented for this");
    EXPECT_FATAL(solver.Dichotomy(0.0, 1.0, "", factor, linear()), "Dichotomy not implemented for this");
    // The name decides, not the address of the constant.
    EXPECT_NEAR(solver.Brent(0.0, 1.0, std::string(twoElementSphere), factor, linear()), 0.3, 1e-9);

    factor = 1.1; // [0, 0.275] still holds no root
    EXPECT_FATAL(solver.Brent(0.0, 0.25, twoElementSphere, factor, linear()), "Brent Sphere2elem: invalid bounds f");
    EXPECT_FATAL(solver.Dichotomy(0.0, 0.25, twoElementSphere, factor, linear()),
                 "Dicho Sphere2elem: invalid bounds f");

    // x^2 - x + 0.3 has a zero slope at the starting point 0.5.
    EXPECT_FATAL(solver.constrainedNewtonRaphson(0.0, 1.0, twoElementSphere, factor,
                                                 equation(0.0, 1.0, -1.0, 0.3, 2.0, 1.0)),
                 "Huge relaxation in constrained NR->we strop algorithm");
}
