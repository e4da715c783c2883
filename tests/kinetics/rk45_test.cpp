#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kinetics/rk45.h"
#include "mechanics/hardening_laws.h"
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

namespace {

// Accepted times of an integration of dy/dt = 0, whose error estimate is 0.
std::vector<double> acceptedTimesOfAConstant(const DormandPrinceSettings& settings)
{
    double y = 1.0;
    double work[dormand_prince::workSize(1)];
    std::vector<double> times;
    integrateDormandPrince(settings, 1e-3, 0.0, 1.0, &y, 1, work,
                           [](double, const double*, double* dydt) { dydt[0] = 0.0; },
                           [&times](double t, const double*) { times.push_back(t); });
    return times;
}

} // namespace

TEST(DormandPrince, HardeningLimitsTheGrowthBeforeLandingOnTheEnd)
{
    // Incubation lands on the end as soon as the proposal reaches it; the
    // hardening integration first grows the step at most tenfold.
    DormandPrinceSettings incubation;
    EXPECT_EQ(acceptedTimesOfAConstant(incubation), (std::vector<double>{1e-3, 1.0}));
    const std::vector<double> hardening = acceptedTimesOfAConstant(hardeningIntegration());
    ASSERT_EQ(hardening.size(), 4u);
    EXPECT_DOUBLE_EQ(hardening[1], 0.011);
    EXPECT_DOUBLE_EQ(hardening[2], 0.111);
    EXPECT_EQ(hardening[3], 1.0);
}

TEST(DormandPrince, HardeningAcceptsStepsBelowTheTimeResolutionWithAWarning)
{
    ScopedWorkDir dir;
    // At t = 1e6 s a first step of 1e-20 s leaves t unchanged; it is
    // accepted, logged once, and the steps grow until they reach the end.
    double y = 0.5;
    double work[dormand_prince::workSize(1)];
    std::vector<double> times;
    integrateDormandPrince(hardeningIntegration(), 1e-20, 1e6, 1e6 + 1.0, &y, 1, work,
                           [](double, const double*, double* dydt) { dydt[0] = 0.0; },
                           [&times](double t, const double*) { times.push_back(t); });
    EXPECT_EQ(times.front(), 1e6);
    EXPECT_EQ(times.back(), 1e6 + 1.0);
    EXPECT_EQ(y, 0.5);
    EXPECT_EQ(testing_support::readLines("log.log"),
              (std::vector<std::string>{"WARNING: In functionRK45adapt, a step too small to advance the time was accepted"}));
}

TEST(DormandPrinceDeathTest, HardeningStopsOnANonFiniteOrUnsettledState)
{
    ScopedWorkDir dir;
    const auto integrate = [](double t, double* y, std::size_t n, auto rhs) {
        double work[dormand_prince::workSize(2)];
        integrateDormandPrince(hardeningIntegration(), 1.0, t, t + 1.0, y, n, work, rhs, [](double, const double*) {});
    };
    const auto blowUp = [&integrate] {
        double y[2] = {1.0, 1.0};
        integrate(0.0, y, 2, [](double, const double* state, double* dydt) {
            dydt[0] = 0.0;
            dydt[1] = std::sqrt(-state[1]);
        });
    };
    EXPECT_FATAL(blowUp(), "In functionRK45adapt, the hardening state became non-finite");
    // A decay a million times faster than the resolution of t = 1e6 s ends in
    // rounding noise that keeps asking for steps which do not advance t.
    const auto stiff = [&integrate] {
        double y = 1.0;
        integrate(1e6, &y, 1, [](double, const double* state, double* dydt) { dydt[0] = -state[0] / 1e-12; });
    };
    EXPECT_FATAL(stiff(), "In functionRK45adapt, the hardening state does not settle at the resolution of the time");
}
