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

TEST(Rk45, StepControlFromAnOversizedFirstStep)
{
    // A first step of 20 s on a 3 s relaxation is refused five times at the
    // 0.2 floor, then shortened to the proposed step; the accepted steps then
    // follow the proposal, shrinking as well as growing. Row times and the end
    // value are those of the Dormand-Prince pair with this step control.
    const auto rows = functionRk45adapt(20.0, {0.0, 20.0}, {0.0}, 1, {1.0, 3.0});
    ASSERT_EQ(rows.size(), 1923u);
    EXPECT_EQ(rows[1].time, 0x1.e259e8928ac4p-10);
    EXPECT_EQ(rows[1].y[0], 0.00061315321898149804);
    EXPECT_EQ(rows[2].time, 0x1.bc8ed842a5062p-9);
    EXPECT_EQ(rows[3].time, 0x1.52e2ae104e25ap-8);
    EXPECT_EQ(rows.back().time, 20.0);
    EXPECT_EQ(rows.back().y[0], 0.99872736619865976);
}

TEST(Rk45, StepsBelowTheTimeResolutionStillReachTheEnd)
{
    // At t = 1e6 s a relaxation time of 1e-12 s asks for steps that do not
    // change t; the state settles on its target, the steps grow again and the
    // integration ends on time.
    const auto rows = functionRk45adapt(1.0, {1e6, 1e6 + 1.0}, {0.0}, 1, {1.0, 1e-12});
    EXPECT_EQ(rows.back().time, 1e6 + 1.0);
    EXPECT_EQ(rows.back().y[0], 1.0);
    EXPECT_EQ(integrateRelaxation(1.0, 1e6, 1e6 + 1.0, 0.0, 1.0, 1e-12), 1.0);
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
    // A step of no length would leave the next one undefined.
    EXPECT_FATAL(functionRk45adapt(0.0, {0.0, 1.0}, {0.0}, 1, {1.0, 1.0}),
                 "In functionRk45adapt, the step became too small to advance the time");
}
