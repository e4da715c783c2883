#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kinetics/rk45.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

// Exact solution of dy/dt = (B - y) / tau from y0 at t0.
double relaxed(double y0, double B, double tau, double t0, double t)
{
    return B + (y0 - B) * std::exp(-(t - t0) / tau);
}

} // namespace

TEST(Rk45, FollowsTheExactRelaxationAndLandsOnTheEndTime)
{
    const double B = 2.0;
    const double tau = 3.0;
    const auto rows = functionRk45adapt(20.0, {1.0, 21.0}, {0.0, 5.0}, 1, {B, tau});
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows.front().time, 1.0);
    EXPECT_EQ(rows.front().y, (std::vector<double>{0.0, 5.0}));
    EXPECT_EQ(rows.back().time, 21.0);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Rk45Point& row = rows[r];
        EXPECT_GT(row.time, rows[r - 1].time);
        ASSERT_EQ(row.y.size(), 2u);
        EXPECT_NEAR(row.y[0], relaxed(0.0, B, tau, 1.0, row.time), 1e-9 * B);
        EXPECT_NEAR(row.y[1], relaxed(5.0, B, tau, 1.0, row.time), 1e-9 * B);
    }
}

TEST(Rk45, SmallFirstStepGrowsAtMostTenfold)
{
    const auto rows = functionRk45adapt(1e-3, {0.0, 1.0}, {0.0}, 1, {1.0, 100.0});
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[1].time, 1e-3);
    EXPECT_LE(rows[2].time - rows[1].time, 1e-2 * (1.0 + 1e-12));
    EXPECT_EQ(rows.back().time, 1.0);
    EXPECT_NEAR(rows.back().y[0], relaxed(0.0, 1.0, 100.0, 0.0, 1.0), 1e-12);
}

TEST(Rk45, ScalarIntegrationMatchesTheRows)
{
    const auto rows = functionRk45adapt(0.7, {10.0, 13.5}, {0.25}, 1, {1.5, 0.4});
    EXPECT_EQ(integrateRelaxation(0.7, 10.0, 13.5, 0.25, 1.5, 0.4), rows.back().y[0]);
    // An empty interval leaves the state as it is.
    EXPECT_EQ(integrateRelaxation(1.0, 5.0, 5.0, 0.25, 1.5, 0.4), 0.25);
}

TEST(Rk45DeathTest, RefusesOtherIntervalsAndFunctions)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(functionRk45adapt(1.0, {0.0, 1.0, 2.0}, {0.0}, 1, {1.0, 1.0}),
                 "vector temps must have size 2");
    EXPECT_FATAL(functionRk45adapt(1.0, {0.0, 1.0}, {0.0}, 2, {1.0, 1.0}),
                 "In functionRk45adapt, 'indexFonctionAresoudre' must be 1 or other functions "
                 "have to be implemented");
    EXPECT_FATAL(functionRk45adapt(1.0, {0.0, 1.0}, {0.0}, 1, {1.0}),
                 "In functionRk45adapt, function 1 needs two parameters");
    // A step that cannot move the time forward would never end.
    EXPECT_FATAL(functionRk45adapt(0.0, {0.0, 1.0}, {0.0}, 1, {1.0, 1.0}),
                 "In functionRk45adapt, the step became too small to advance the time");
}
