#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

// Al3Sc in an aluminium matrix holding 0.2 at.% Sc at 573 K: about 2e17
// nuclei per m^3 and s, an incubation time of a few hundred seconds.
struct AlSc {
    std::vector<Element> elements;
    Matrix matrix;
    Precipitate phase{std::vector<std::string>{"Sc", "Al"}};
    NodeClock clock;
    double T = 573.0;

    AlSc()
    {
        elements.resize(2);
        elements[0].name = "Sc";
        elements[0].ssFraction = 0.002;
        elements[0].D0 = 5.31e-4;
        elements[0].Q = 173000.0;
        elements[1].name = "Al";
        elements[1].ssFraction = 0.998;
        matrix.latticeParameter = 4.05e-10;
        matrix.VatSS = 1.66e-29;
        phase.name = "Al3Sc";
        phase.atomicVolume = 1.7e-29;
        phase.surfaceEnergy = 0.12;
        phase.solubilityA = 3000.0;
        phase.solubilityB = 1.0;
        phase.stoichiometry = {1.0, 3.0};
        phase.precipitateFraction = {0.25, 0.75};
        clock.time = 100.0;
        clock.timeStep = 1.0;
        clock.timeStepManagement = 1;
    }

    // The number of the class the step adds (0 when none is added).
    double nucleate()
    {
        const std::size_t before = phase.radius.size();
        phase.Nucleation(elements, matrix, T, clock);
        EXPECT_EQ(phase.classCount, phase.radius.size());
        return phase.radius.size() > before ? phase.number.back() : 0.0;
    }
};

} // namespace

TEST(Nucleation, AppendsOneClassAboveTheCriticalRadius)
{
    AlSc run;
    run.phase.SetDistribution({3e-9}, {1e10});
    const double added = run.nucleate();
    ASSERT_EQ(run.phase.classCount, 2u);
    EXPECT_GT(added, 1e10);
    EXPECT_GT(run.phase.radius.back(), run.phase.criticalRadius);
    EXPECT_LT(run.phase.drivingForce, 0.0);
    EXPECT_EQ(run.phase.totalNumber, 1e10);
    EXPECT_FALSE(run.phase.classManagementDue);
}

TEST(Nucleation, NoNucleationWithoutSupersaturation)
{
    // Undersaturated: the state is refreshed and class management may run.
    AlSc run;
    run.elements[0].ssFraction = 1e-8;
    run.phase.criticalRadius = 7.0;
    run.phase.drivingForce = 7.0;
    EXPECT_EQ(run.nucleate(), 0.0);
    EXPECT_TRUE(run.phase.classManagementDue);
    EXPECT_LT(run.phase.lnSupersaturation, 0.0);
    EXPECT_GT(run.phase.drivingForce, 0.0);
    EXPECT_NE(run.phase.criticalRadius, 7.0);

    // ln S exactly 0: Ks = 1 and a phase of pure Sc at fraction 1.
    AlSc saturated;
    saturated.phase.solubilityA = 0.0;
    saturated.phase.solubilityB = 0.0;
    saturated.phase.stoichiometry = {1.0, 0.0};
    saturated.elements[0].ssFraction = 1.0;
    EXPECT_EQ(saturated.nucleate(), 0.0);
    EXPECT_EQ(saturated.phase.lnSupersaturation, 0.0);
    EXPECT_EQ(saturated.phase.drivingForce, 0.0);
    EXPECT_TRUE(saturated.phase.classManagementDue);
}

TEST(Nucleation, NewClassThresholdIsRelativeToTheExistingParticles)
{
    AlSc first;
    const double q = first.nucleate(); // with no particles yet
    ASSERT_GT(q, 1e-5);

    // The same step with an existing population N such that q / (N + 1) is
    // exactly the threshold adds nothing; a slightly smaller population does.
    double N = q / 1e-5 - 1.0;
    for (int i = 0; i < 200 && q / (N + 1.0) != 1e-5; ++i)
        N = std::nextafter(N, q / (N + 1.0) > 1e-5 ? 2 * N : 0.0);
    ASSERT_EQ(q / (N + 1.0), 1e-5);
    AlSc atThreshold;
    atThreshold.phase.SetDistribution({3e-9}, {N});
    atThreshold.phase.classManagementDue = false;
    EXPECT_EQ(atThreshold.nucleate(), 0.0);
    EXPECT_TRUE(atThreshold.phase.classManagementDue);

    double below = N;
    while (!(q / (below + 1.0) > 1e-5)) below = std::nextafter(below, 0.0);
    AlSc above;
    above.phase.SetDistribution({3e-9}, {below});
    EXPECT_EQ(above.nucleate(), q);
}

TEST(Nucleation, ClassManagementFlagComparesTheCountBeforeTheNewClass)
{
    for (unsigned int existing : {10u, 11u}) {
        AlSc run;
        run.phase.targetClassNumber = 1;
        run.phase.SetDistribution(std::vector<double>(existing, 3e-9),
                                  std::vector<double>(existing, 1.0));
        EXPECT_GT(run.nucleate(), 0.0);
        EXPECT_EQ(run.phase.classCount, existing + 1);
        EXPECT_EQ(run.phase.classManagementDue, existing > 10u) << existing;
    }
}

TEST(Nucleation, VolumeSiteSaturationEmptiesTheSites)
{
    // 1e18 particles of 2 um fill every site of the matrix.
    AlSc free;
    free.phase.SetDistribution({2e-6}, {1e18});
    EXPECT_GT(free.nucleate(), 0.0);

    AlSc saturated;
    saturated.phase.SetDistribution({2e-6}, {1e18});
    saturated.phase.siteSaturation = true;
    saturated.phase.siteSaturationType = "vol";
    EXPECT_EQ(saturated.nucleate(), 0.0);
    EXPECT_TRUE(saturated.phase.classManagementDue);
}

TEST(Nucleation, IncubationLaws)
{
    // Management 1 counts the incubation from time 0, whatever the profile
    // start; management 3 counts it from the profile start to the step's end.
    AlSc fromZero;
    fromZero.clock.profileStart = 40.0;
    AlSc fromStart;
    fromStart.clock.timeStepManagement = 3;
    fromStart.clock.profileStart = fromStart.clock.timeStep;
    const double first = fromZero.nucleate();
    EXPECT_GT(first, 0.0);
    EXPECT_NEAR(fromStart.nucleate(), first, 1e-12 * first);

    // The integrated law follows 1 - exp(-(t - start)/tau) step after step.
    AlSc stationary;
    AlSc integrated;
    for (AlSc* run : {&stationary, &integrated}) {
        run->clock.timeStepManagement = 3;
        run->clock.profileStart = 0.0;
        run->clock.timeStep = 50.0;
    }
    integrated.phase.unstationnaryNucleation = true;
    for (double t = 0.0; t < 2000.0; t += 50.0) {
        stationary.clock.time = t;
        integrated.clock.time = t;
        const double expected = stationary.nucleate();
        EXPECT_NEAR(integrated.nucleate(), expected, 1e-8 * expected) << t;
    }
    EXPECT_GT(integrated.phase.nucleationProgress, 0.0);
}

TEST(NucleationDeathTest, AnInfiniteNewClassStopsTheRun)
{
    ScopedWorkDir dir;
    AlSc run;
    run.matrix.VatSS = 0.0; // infinitely many sites
    EXPECT_FATAL(run.nucleate(),
                 "Nucleation of precipitate Al3Sc gives an infinite or undefined new class");
}
