#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "support/fatal.h"

using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

enum Method { no = 1, old = 2, lin = 3, distrib = 4, quad = 5, oldWithLess = 6 };

// A spherical phase whose class management is due.
Precipitate managed(Method method, int target, const std::vector<double>& radii,
                    const std::vector<double>& numbers)
{
    Precipitate phase;
    phase.name = "P";
    phase.shape = shape::sphere;
    phase.aspectRatio = 1.0;
    phase.classManagementType = method;
    phase.targetClassNumber = target;
    phase.classManagementDue = true;
    phase.SetDistribution(radii, numbers);
    return phase;
}

// A bell-shaped distribution of n classes between 1 and 5 nm, increasing radii.
Precipitate bell(Method method, int target, std::size_t n)
{
    std::vector<double> radii(n);
    std::vector<double> numbers(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double x = static_cast<double>(k) / (n - 1);
        radii[k] = 1e-9 + 4e-9 * x * x;
        numbers[k] = 1e20 * std::exp(-(x - 0.4) * (x - 0.4) / 0.05);
    }
    return managed(method, target, radii, numbers);
}

std::vector<std::string> warnings()
{
    return readLines("log.log");
}

} // namespace

TEST(ClassManagement, RegriddingKeepsMeanRadiusAndVolumeFraction)
{
    for (Method method : {lin, quad, distrib}) {
        Precipitate phase = bell(method, 50, 300);
        const double fv = phase.VolumeFraction();
        const double mean = phase.MeanRadius();
        phase.ClassManagement();
        ASSERT_EQ(phase.classCount, 50u) << method;
        ASSERT_EQ(phase.number.size(), 50u);
        EXPECT_NEAR(phase.VolumeFraction(), fv, 1e-12 * fv) << method;
        EXPECT_NEAR(phase.MeanRadius(), mean, 1e-12 * mean) << method;
        const double step = phase.radius[1] - phase.radius[0];
        EXPECT_GT(step, 0.0);
        EXPECT_NEAR(phase.radius[49] - phase.radius[48], step, 1e-9 * step) << method;
        EXPECT_TRUE(std::all_of(phase.number.begin(), phase.number.end(),
                                [](double N) { return N >= 0.0; }));
    }
}

TEST(ClassManagement, RegriddingSamplesTheOldDistribution)
{
    // Old classes 1 nm apart, so that g = N / 1 nm, and new classes 1/3 nm
    // apart. A density linear in R is reproduced by lin; a quadratic one by
    // quad wherever the nearest old class is an inner one (the end classes
    // are interpolated linearly). The final rescalings multiply all radii
    // alike and all numbers alike, keeping the ratios checked here.
    const std::vector<double> radii = {1e-9, 2e-9, 3e-9, 4e-9, 5e-9};
    Precipitate linear = managed(lin, 13, radii, {1.0, 2.0, 3.0, 4.0, 5.0});
    Precipitate quadratic = managed(quad, 13, radii, {1.0, 4.0, 9.0, 16.0, 25.0});
    linear.ClassManagement();
    quadratic.ClassManagement();
    ASSERT_EQ(linear.classCount, 13u);
    ASSERT_EQ(quadratic.classCount, 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        const double r = linear.radius[i] / linear.radius[0];
        EXPECT_NEAR(linear.number[i] / linear.number[0], r, 1e-12 * r) << i;
        if (i < 2 || i > 10) continue;
        const double q = quadratic.radius[i] / quadratic.radius[0];
        EXPECT_NEAR(quadratic.number[i] / quadratic.number[0], q * q, 1e-12 * q * q) << i;
    }
    // Nearest to the first old class: linear between the first two.
    EXPECT_NEAR(quadratic.number[1] / quadratic.number[0], 2.0, 1e-12);

    // Old classes on the new grid points stay (nearly) where they are.
    Precipitate shared = managed(distrib, 5, radii, {1.0, 2.0, 3.0, 4.0, 5.0});
    shared.ClassManagement();
    ASSERT_EQ(shared.classCount, 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(shared.radius[i], radii[i], 1e-3 * radii[i]) << i;
        EXPECT_NEAR(shared.number[i], i + 1.0, 2e-3 * (i + 1.0)) << i;
    }
}

TEST(ClassManagement, RegriddingSortsUnorderedClassesFirst)
{
    const std::vector<double> radii = {1e-9, 2e-9, 2.5e-9, 4e-9, 5e-9};
    const std::vector<double> numbers = {1e20, 3e20, 4e20, 2e20, 1e19};
    const std::vector<std::size_t> shuffled = {3, 0, 4, 2, 1};
    for (Method method : {lin, quad}) {
        Precipitate sorted = managed(method, 10, radii, numbers);
        Precipitate unordered = managed(method, 10, {}, {});
        for (std::size_t k : shuffled) {
            unordered.radius.push_back(radii[k]);
            unordered.number.push_back(numbers[k]);
        }
        unordered.classCount = 5;
        sorted.ClassManagement();
        unordered.ClassManagement();
        EXPECT_EQ(unordered.radius, sorted.radius) << method;
        EXPECT_EQ(unordered.number, sorted.number) << method;
    }
}

TEST(ClassManagement, DistribWaitsForNearlyTheTargetCount)
{
    Precipitate phase = bell(distrib, 500, 449);
    const Precipitate before = phase;
    phase.ClassManagement();
    EXPECT_EQ(phase.radius, before.radius);
    EXPECT_EQ(phase.number, before.number);
    EXPECT_EQ(phase.classCount, 449u);

    Precipitate enough = bell(distrib, 500, 450);
    enough.ClassManagement();
    EXPECT_EQ(enough.classCount, 500u);
}

TEST(ClassManagement, OldSplitsWideGapsOfTheExaminedTriples)
{
    // Two classes: nothing to examine.
    Precipitate two = managed(old, 500, {1e-9, 2e-9}, {10.0, 20.0});
    two.ClassManagement();
    EXPECT_EQ(two.classCount, 2u);

    // Three and four classes: only the first triple is examined, even when
    // the next one would qualify too.
    for (std::size_t n : {3u, 4u}) {
        const std::vector<double> radii = {1e-9, 2e-9, 4e-9, 8e-9};
        const std::vector<double> numbers = {10.0, 20.0, 30.0, 40.0};
        Precipitate phase = managed(old, 500, {radii.begin(), radii.begin() + n},
                                    {numbers.begin(), numbers.begin() + n});
        const double fv = phase.VolumeFraction();
        phase.ClassManagement();
        ASSERT_EQ(phase.classCount, n + 1) << n;
        EXPECT_DOUBLE_EQ(phase.radius[1], 1.5e-9);
        // The new class takes ((m - l) N_m / (o - m) + N_l) / 4 = 5, the
        // lower class keeps half of its 10; then all are rescaled alike.
        const double scale = phase.number[3] / 30.0;
        EXPECT_NEAR(phase.number[0], 5.0 * scale, 1e-12 * scale);
        EXPECT_NEAR(phase.number[1], 5.0 * scale, 1e-12 * scale);
        EXPECT_NEAR(phase.number[2], 20.0 * scale, 1e-12 * scale);
        EXPECT_NEAR(phase.VolumeFraction(), fv, 1e-12 * fv);
    }
}

TEST(ClassManagement, OldWithLessMergesNarrowGaps)
{
    // Gaps: 0.0001 nm (narrow), then 1 nm and 1 nm; nothing is wide enough to
    // split with a target of 10 classes.
    Precipitate phase = managed(oldWithLess, 10, {1e-9, 1.0001e-9, 2e-9, 3e-9},
                                {10.0, 10.0, 10.0, 10.0});
    const double fv = phase.VolumeFraction();
    phase.ClassManagement();
    EXPECT_EQ(phase.radius, (std::vector<double>{1e-9, 2e-9, 3e-9}));
    ASSERT_EQ(phase.classCount, 3u);
    // The first class takes the share (R2 - R0) / (R1 - R0) = 1e4 of itself.
    EXPECT_NEAR(phase.number[0] / phase.number[1], 1e4, 1e-4);
    EXPECT_EQ(phase.number[1], phase.number[2]);
    EXPECT_NEAR(phase.VolumeFraction(), fv, 1e-12 * fv);
}

TEST(ClassManagement, NothingHappensUnlessDue)
{
    ScopedWorkDir dir;
    Precipitate phase = bell(lin, 50, 300);
    phase.classManagementDue = false;
    phase.ClassManagement();
    EXPECT_EQ(phase.classCount, 300u);

    // "no" leaves the classes alone but still reports negative numbers.
    Precipitate negative = managed(no, 50, {1e-9, 2e-9, 3e-9}, {-1.0, 2.0, -3.0});
    negative.ClassManagement();
    EXPECT_EQ(negative.number, (std::vector<double>{-1.0, 2.0, -3.0}));
    const std::string warning =
        "WARNING: Class management leads to negative number of precipitate in a class :-(";
    EXPECT_EQ(warnings(), (std::vector<std::string>{warning, warning}));
}

TEST(ClassManagement, SkipsWhenTheNewClassesWouldNotBeFinite)
{
    ScopedWorkDir dir;
    // Two equal radii: infinite density per unit radius.
    for (Method method : {lin, quad}) {
        Precipitate phase = managed(method, 10, {1e-9, 3e-9, 2e-9, 3e-9}, {1.0, 2.0, 3.0, 4.0});
        phase.ClassManagement();
        EXPECT_EQ(phase.classCount, 4u);
        EXPECT_EQ(phase.radius.size(), 4u);
    }
    // No particles at all: neither the mean radius nor the volume fraction
    // can be restored.
    Precipitate empty = managed(lin, 10, {1e-9, 2e-9, 3e-9}, {0.0, 0.0, 0.0});
    empty.ClassManagement();
    EXPECT_EQ(empty.number, (std::vector<double>{0.0, 0.0, 0.0}));
    // A grid needs two points.
    Precipitate single = managed(quad, 1, {1e-9, 2e-9}, {1.0, 1.0});
    single.ClassManagement();
    EXPECT_EQ(single.classCount, 2u);

    const std::string prefix = "WARNING: Class management skipped for precipitate P: ";
    EXPECT_EQ(warnings(),
              (std::vector<std::string>{
                  prefix + "two classes have the same radius.",
                  prefix + "two classes have the same radius.",
                  prefix + "the new classes cannot keep the mean radius and the volume fraction.",
                  prefix + "targetClassNumber must be at least 2."}));
}

TEST(ClassManagementDeathTest, UnknownMethodStopsTheRun)
{
    ScopedWorkDir dir;
    for (double type : {0.0, 2.5, 7.0}) {
        Precipitate phase = managed(lin, 10, {1e-9, 2e-9}, {1.0, 1.0});
        phase.classManagementType = type;
        EXPECT_FATAL(phase.ClassManagement(), "Uncorrect choice of class management method.");
    }
}
