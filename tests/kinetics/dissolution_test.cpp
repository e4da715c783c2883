#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

TEST(Dissolve, RemovesSmallClassesAndThinsTheNextOnes)
{
    Precipitate phase;
    // Defaults: removed below 1e-10 m, thinned linearly up to 2e-10 m.
    phase.SetDistribution({5e-10, 0.5e-10, 1e-10, 1.5e-10, 0.99e-10, 2e-10},
                          {1.0, 2.0, 3.0, 4.0, 5.0, 6.0});
    phase.Dissolve();
    EXPECT_EQ(phase.radius, (std::vector<double>{5e-10, 1e-10, 1.5e-10, 2e-10}));
    ASSERT_EQ(phase.classCount(), 4u);
    EXPECT_EQ(phase.number[0], 1.0);
    EXPECT_EQ(phase.number[1], 0.0); // exactly at the lower radius: kept, emptied
    EXPECT_NEAR(phase.number[2], 2.0, 1e-12);
    EXPECT_EQ(phase.number[3], 6.0);

    // Without a thinning band the lower radius is a plain cut.
    phase.maxDissolutionLimit = phase.minDissolutionLimit;
    phase.SetDistribution({1e-10, 1.5e-10}, {3.0, 4.0});
    phase.Dissolve();
    EXPECT_EQ(phase.number, (std::vector<double>{3.0, 4.0}));
}

TEST(Dissolve, RemovesClassesWithTooFewPrecipitates)
{
    Precipitate phase;
    phase.limitOfpreciInClassForDissolution = 1e10;
    phase.SetDistribution({1e-9, 2e-9, 3e-9, 4e-9}, {5e9, 1e10, 9.99e9, 2e12});
    phase.Dissolve();
    EXPECT_EQ(phase.radius, (std::vector<double>{2e-9, 4e-9}));
    EXPECT_EQ(phase.number, (std::vector<double>{1e10, 2e12}));
    EXPECT_EQ(phase.classCount(), 2u);

    phase.SetDistribution({1e-9}, {1.0});
    phase.Dissolve();
    EXPECT_TRUE(phase.radius.empty());
    EXPECT_TRUE(phase.number.empty());
    EXPECT_EQ(phase.classCount(), 0u);
}

TEST(DissolveDeathTest, UnknownShapeStopsTheRun)
{
    ScopedWorkDir dir;
    Precipitate phase;
    phase.shape = 7;
    EXPECT_FATAL(phase.Dissolve(), "Dissolution routine not defined for this shape");
}
