#include <gtest/gtest.h>

#include "node/ostrel.h"
#include "support/temp_dir.h"

using testing_support::ScopedWorkDir;

namespace {

Ostrel nodeWithProfile(std::vector<double> times)
{
    Ostrel node;
    KeywordLine line{"temperatureProfile"};
    for (double t : times) {
        line.push_back(std::to_string(t));
        line.push_back("600");
    }
    node.temperatureProfile.setProfile(line);
    node.temperatureProfile.times = times; // exact values, not their text
    node.increaseDT = 1.0;
    return node;
}

struct Work {
    Matrix matrix;
    std::vector<Element> elements;
    std::vector<Precipitate> precipitates;
};

} // namespace

TEST(AcceptTimeStep, ShortenedStepEndsExactlyOnTheProfilePoint)
{
    ScopedWorkDir dir;
    // Here t + (tp - t) rounds one unit below tp.
    const double t = 1432.0421609885282;
    const double tp = 3756.627076532653;
    ASSERT_NE(t + (tp - t), tp);
    Ostrel node = nodeWithProfile({0.0, tp, 5000.0});
    node.time = t;
    node.timeStep = tp - t;
    node.profilePointReached = true;
    Work work;
    node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 5, false);
    EXPECT_EQ(node.time, tp);
    EXPECT_EQ(node.profileIndex, 2u);
}

TEST(AcceptTimeStep, PointAtTheVeryEndOfTheNextStepIsFlagged)
{
    ScopedWorkDir dir;
    Ostrel node = nodeWithProfile({0.0, 2.0, 3.0});
    node.time = 0.0;
    node.timeStep = 1.0;
    Work work;
    EXPECT_EQ(node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 1, false), 1.0);
    EXPECT_TRUE(node.profilePointReached);
    node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 2, false);
    EXPECT_EQ(node.time, 2.0);
    EXPECT_EQ(node.profileIndex, 2u);
}

TEST(AcceptTimeStep, RetryAfterARejectionDoesNotAdvanceTheProfile)
{
    ScopedWorkDir dir;
    Ostrel node = nodeWithProfile({0.0, 2.0, 3.0});
    node.time = 1.5;
    node.timeStep = 0.25; // the shortened step 0.5, halved after a rejection
    node.profilePointReached = true;
    Work work;
    const double next = node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 3, true);
    EXPECT_EQ(node.time, 1.75);
    EXPECT_EQ(node.profileIndex, 1u);
    // The next step is shortened onto the point again.
    EXPECT_TRUE(node.profilePointReached);
    EXPECT_EQ(next, 0.25);
}

TEST(AcceptTimeStep, Version1AdvancesByTheIncreasedStepPastTheProfilePoint)
{
    ScopedWorkDir dir;
    Ostrel node = nodeWithProfile({1.0, 2.0, 3.0});
    node.timeStepManagement = 1;
    node.increaseDT = 1.1;
    node.time = 1.0;
    node.timeStep = 0.5;
    Work work;
    // The step grows first and the clock moves by the grown step; the next
    // one is then shortened onto the point at 2 s.
    const double grown = 0.5 * 1.1;
    EXPECT_EQ(node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 1, false), 2.0 - (1.0 + grown));
    EXPECT_EQ(node.time, 1.0 + grown);
    EXPECT_TRUE(node.profilePointReached);
    // The shortened step grows too, so the clock passes the point while the
    // profile moves on to the next one.
    const double shortened = node.timeStep;
    node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 2, false);
    EXPECT_EQ(node.time, 1.0 + grown + shortened * 1.1);
    EXPECT_GT(node.time, 2.0);
    EXPECT_EQ(node.profileIndex, 2u);
    EXPECT_FALSE(node.profilePointReached);
}

TEST(AcceptTimeStep, CoupledStepEndsOnTheNearerOfAProfileAndALoadPoint)
{
    ScopedWorkDir dir;
    Ostrel node = nodeWithProfile({0.0, 2.0, 10.0});
    node.increaseDT = 4.0;
    MechanicalModel& mechanics = node.mechanicalModel;
    mechanics.mechanicalSemiHardeningCoupling = true;
    mechanics.loadTimes = {0.0, 2.5, 10.0};
    mechanics.loadStrains = {0.0, 0.001, 0.002};
    node.time = 0.0;
    node.timeStep = 0.5;
    Work work;
    // The next step, 0.5 to 2.5 s, holds both points (the load point at its
    // very end): it ends on the nearer one, and only that one is reached.
    EXPECT_EQ(node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 1, false), 1.5);
    EXPECT_TRUE(node.profilePointReached);
    EXPECT_FALSE(node.loadPointReached);
    node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 2, false);
    EXPECT_EQ(node.time, 2.0);
    EXPECT_EQ(node.profileIndex, 2u);
    EXPECT_EQ(node.loadIndex, 1u);
    // Then on the load point.
    EXPECT_TRUE(node.loadPointReached);
    EXPECT_EQ(node.timeStep, 0.5);
    node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 3, false);
    EXPECT_EQ(node.time, 2.5);
    EXPECT_EQ(node.loadIndex, 2u);
    EXPECT_FALSE(node.loadPointReached);

    // Points at the same time are both reached by one step.
    node.time = 8.0;
    node.timeStep = 0.5;
    EXPECT_EQ(node.acceptTimeStep(work.matrix, work.elements, work.precipitates, 600, 4, false), 1.5);
    EXPECT_TRUE(node.profilePointReached);
    EXPECT_TRUE(node.loadPointReached);
}
