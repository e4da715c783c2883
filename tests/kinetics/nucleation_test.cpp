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
        return phase.radius.size() > before ? phase.number.back() : 0.0;
    }
};

} // namespace

TEST(Nucleation, AppendsOneClassAboveTheCriticalRadius)
{
    AlSc run;
    run.phase.SetDistribution({3e-9}, {1e10});
    const double added = run.nucleate();
    ASSERT_EQ(run.phase.classCount(), 2u);
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
        EXPECT_EQ(run.phase.classCount(), existing + 1);
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

namespace {

// Al3(Sc0.6,Zr0.4) at 603 K, with a two-solute condensation rate, a boosted
// diffusion and a solubility with a 1/T^2 term; two existing classes.
struct ScZr {
    std::vector<Element> elements;
    Matrix matrix;
    Precipitate phase{std::vector<std::string>{"Sc", "Zr", "Al"}};
    NodeClock clock;

    ScZr(int shapeCode, int nucleationType, const std::string& saturation, int management,
         bool crowded)
    {
        elements.resize(3);
        elements[0].name = "Sc";
        elements[0].ssFraction = 0.002;
        elements[0].D0 = 5.31e-4;
        elements[0].Q = 173000.0;
        elements[1].name = "Zr";
        elements[1].ssFraction = 0.0007;
        elements[1].D0 = 7.28e-2;
        elements[1].Q = 242000.0;
        elements[2].name = "Al";
        elements[2].ssFraction = 0.9973;
        matrix.latticeParameter = 4.05e-10;
        matrix.VatSS = 1.66e-29;
        phase.name = "Al3ScZr";
        phase.atomicVolume = 1.7e-29;
        phase.surfaceEnergy = 0.12;
        phase.solubilityA = 3000.0;
        phase.solubilityB = 1.0;
        phase.solubilityC = 1.5e4;
        phase.stoichiometry = {0.6, 0.4, 3.0};
        phase.precipitateFraction = {0.15, 0.1, 0.75};
        phase.boostPrecipitateDiffusion = 1.7;
        phase.shape = shapeCode;
        phase.aspectRatio = shapeCode == shape::sphere ? 1.0 : 2.7;
        phase.nucleationType = nucleationType;
        phase.heterogeneousCoefficient = nucleationType == 1 ? 1.0 : 0.35;
        phase.siteDensity = nucleationType == 1 ? 0.0 : 3e24;
        phase.siteSaturation = !saturation.empty();
        phase.siteSaturationType = saturation;
        if (crowded)
            phase.SetDistribution({1e-7, 3e-7}, {6e14, 4e14});
        else
            phase.SetDistribution({1e-7, 3e-7}, {600.0, 400.0});
        clock.time = 250.0;
        clock.timeStep = 3.0;
        clock.profileStart = 20.0;
        clock.timeStepManagement = management;
    }
};

} // namespace

TEST(Nucleation, NewClassOfEveryShapeSiteCountAndIncubationLaw)
{
    // Radius and number of the new class, worked out independently at 40
    // digits from the barrier, Zeldovich factor, condensation rate, sites and
    // incubation factor of each case.
    struct Case {
        int shapeCode;
        int nucleationType;
        const char* saturation;
        int management;
        bool crowded;
        double radius;
        double number;
    };
    const Case cases[] = {
        {shape::sphere, 1, "", 1, false, 8.8623681459689668e-10, 7323.6557746458732},
        {shape::sphere, 2, "lin", 3, true, 8.8623681459689668e-10, 59301178078.903795},
        {shape::sphere, 2, "surf", 1, true, 8.8623681459689668e-10, 63613764548.517741},
        {shape::rod, 2, "vol", 3, true, 7.9306204596792105e-10, 13095605305.902892},
        {shape::rodFunction, 2, "", 1, true, 7.9306204596792105e-10, 16013907767.934301},
        {shape::cylinder, 2, "", 3, false, 1.3463426958742668e-9, 15147.81826823164},
        {shape::cylinderFunction, 2, "vol", 1, false, 1.3463426958742668e-9, 16252.743068674766},
    };
    for (const Case& c : cases) {
        ScZr run(c.shapeCode, c.nucleationType, c.saturation, c.management, c.crowded);
        run.phase.Nucleation(run.elements, run.matrix, 603.0, run.clock);
        ASSERT_EQ(run.phase.classCount(), 3u) << c.shapeCode << ' ' << c.saturation;
        EXPECT_NEAR(run.phase.radius[2], c.radius, 1e-12 * c.radius) << c.shapeCode;
        EXPECT_NEAR(run.phase.number[2], c.number, 1e-12 * c.number)
            << c.shapeCode << ' ' << c.saturation << ' ' << c.management;
    }

    // A solute outside the phase never enters the condensation rate, even
    // when it has left the solid solution entirely.
    ScZr extra(shape::sphere, 1, "", 1, false);
    Element mg;
    mg.name = "Mg";
    mg.D0 = 1e-4;
    mg.Q = 130000.0;
    extra.elements.insert(extra.elements.begin() + 2, mg);
    extra.phase.elementNames.insert(extra.phase.elementNames.begin() + 2, "Mg");
    extra.phase.stoichiometry = {0.6, 0.4, 0.0, 3.0};
    extra.phase.precipitateFraction = {0.15, 0.1, 0.0, 0.75};
    extra.phase.Nucleation(extra.elements, extra.matrix, 603.0, extra.clock);
    ASSERT_EQ(extra.phase.classCount(), 3u);
    EXPECT_NEAR(extra.phase.number[2], 7323.6557746458732, 1e-12 * 7323.6557746458732);
}

TEST(NucleationDeathTest, AnInfiniteNewClassStopsTheRun)
{
    ScopedWorkDir dir;
    AlSc run;
    run.matrix.VatSS = 0.0; // infinitely many sites
    EXPECT_FATAL(run.nucleate(),
                 "Nucleation of precipitate Al3Sc gives an infinite or undefined new class");
}
