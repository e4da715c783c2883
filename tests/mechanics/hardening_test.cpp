#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <sstream>
#include <string>

#include "mechanics/mechanical_model.h"
#include "mechanics_fixture.h"
#include "support/fatal.h"

using mechanics_testing::MechanicsNode;
using mechanics_testing::readModel;
using testing_support::ScopedWorkDir;

namespace {

namespace hv = hardeningVariable;

constexpr double E = 70e9;
constexpr double yieldSize = 100e6; // microstructural flow stress, Pa

std::string text(double value)
{
    std::ostringstream out;
    out.precision(17);
    out << value;
    return out.str();
}

// A node whose strength is already known, with law `law` and its parameters.
MechanicalModel phenomenological(int law, std::initializer_list<double> parameters)
{
    MechanicalModel model;
    model.mechanicsOn = true;
    model.mechanicModel = strengthModel::rods;
    model.hardeningModelChosen = law;
    model.hardeningComputation = true;
    model.young = E;
    model.strength.flowStress = yieldSize;
    model.frictionStress = yieldSize; // yield size of the physical laws
    KeywordLine line{"parametersForHardening"};
    for (double p : parameters) line.push_back(text(p));
    model.DefineCoefficientsForHardeningModel(line);
    return model;
}

// One increment of the strain history from the last strain to `strain` over
// one second, at the interval's strain rate.
void strainTo(MechanicalModel& model, double strain, double t = 0.0)
{
    model.strainRate = strain - model.lastStrain;
    model.modelImplementationAndComputation(t, 1.0, strain);
}

double slope(double K) { return E * K / (E + K); }

} // namespace

TEST(ElastoPlastic, HistoryBelowTheYieldSizeStaysElastic)
{
    MechanicalModel model = phenomenological(hardeningLaw::linearIsotropic, {1e9});
    for (double strain : {0.0005, 0.001, -0.0012, 0.0014}) {
        strainTo(model, strain);
        EXPECT_EQ(model.hardening[hv::stress], E * strain);
        EXPECT_EQ(model.lastStrain, strain);
    }
    EXPECT_EQ(model.hardening[hv::plasticStrain], 0.0);
    EXPECT_EQ(model.hardening[hv::cumulatedPlasticStrain], 0.0);
    EXPECT_EQ(model.hardening[hv::isotropic], 0.0);
}

TEST(ElastoPlastic, LinearHardeningYieldsAtTheYieldSizeThenFollowsTheTangentSlope)
{
    const double K1 = 2e9;
    const double yieldStrain = yieldSize / E;
    // One coarse increment far past the yield strain: the elastic part ends
    // on the yield surface, the rest flows with slope E K1 / (E + K1).
    MechanicalModel coarse = phenomenological(hardeningLaw::linearIsotropic, {K1});
    strainTo(coarse, 0.01);
    EXPECT_NEAR(coarse.hardening[hv::stress], yieldSize + slope(K1) * (0.01 - yieldStrain), 1e-6);
    EXPECT_NEAR(coarse.hardening[hv::isotropic], coarse.hardening[hv::stress] - yieldSize, 1e-6);
    EXPECT_EQ(coarse.lastStrain, 0.01);

    // The same history in small increments: each starts on the surface.
    MechanicalModel fine = phenomenological(hardeningLaw::linearIsotropic, {K1});
    strainTo(fine, yieldStrain);
    EXPECT_NEAR(fine.hardening[hv::stress], yieldSize, 1e-6);
    double before = fine.hardening[hv::stress];
    for (int i = 1; i <= 10; ++i) {
        const double strain = yieldStrain + i * 0.001;
        strainTo(fine, strain, i);
        EXPECT_NEAR(fine.hardening[hv::stress] - before, slope(K1) * (strain - fine.lastStrain + 0.001), 1e-6);
        before = fine.hardening[hv::stress];
    }
    EXPECT_NEAR(fine.hardening[hv::plasticStrain], fine.hardening[hv::cumulatedPlasticStrain], 1e-18);
}

TEST(ElastoPlastic, ReversalIsElasticUntilTheOppositeSideOfTheSurface)
{
    const double K1 = 2e9;
    MechanicalModel model = phenomenological(hardeningLaw::linearIsotropic, {K1});
    strainTo(model, 0.01);
    const double R1 = model.hardening[hv::isotropic];
    const double reversalStart = model.hardening[hv::stress];
    strainTo(model, -0.01, 1.0);

    // Elastic down to -(Y + R1), then isotropic hardening on the way back.
    const double elasticStrain = (reversalStart + yieldSize + R1) / E;
    const double plasticPart = 0.02 - elasticStrain;
    EXPECT_NEAR(model.hardening[hv::stress], -(yieldSize + R1) - slope(K1) * plasticPart, 1e-6);
    EXPECT_NEAR(model.hardening[hv::cumulatedPlasticStrain],
                (0.01 - yieldSize / E) * E / (E + K1) + plasticPart * E / (E + K1), 1e-15);
    EXPECT_EQ(model.lastStrain, -0.01);
}

TEST(ElastoPlastic, SaturatingIsotropicHardeningReachesQ)
{
    const double Q = 50e6;
    const double B = 50.0;
    MechanicalModel model = phenomenological(hardeningLaw::saturatingIsotropic, {Q, B});
    for (int i = 1; i <= 40; ++i) {
        strainTo(model, 0.005 * i, i);
        const double p = model.hardening[hv::cumulatedPlasticStrain];
        EXPECT_NEAR(model.hardening[hv::isotropic], Q * (1.0 - std::exp(-B * p)), 1e-6 * Q);
    }
    EXPECT_NEAR(model.hardening[hv::isotropic], Q, 1e-3 * Q);
    // The tangent vanishes with Q - R: one more increment hardly raises the stress.
    const double before = model.hardening[hv::stress];
    strainTo(model, 0.205, 41);
    EXPECT_LT(model.hardening[hv::stress] - before, 1e-3 * slope(B * Q) * 0.005);
}

TEST(ElastoPlastic, NonLinearKinematicHardeningSaturates)
{
    const double C1 = 10e9;
    const double gamma1 = 100.0;
    MechanicalModel constant = phenomenological(hardeningLaw::nonLinearKinematic, {C1, gamma1});
    for (int i = 1; i <= 20; ++i) {
        strainTo(constant, 0.005 * i, i);
        const double p = constant.hardening[hv::cumulatedPlasticStrain];
        EXPECT_NEAR(constant.hardening[hv::backStress], C1 / gamma1 * (1.0 - std::exp(-gamma1 * p)),
                    1e-6 * C1 / gamma1);
    }
    EXPECT_NEAR(constant.hardening[hv::backStress], C1 / gamma1, 1e-4 * C1 / gamma1);

    // Law 6: the recall coefficient moves from gamma0 to gammaInfinity with p.
    const double gammaInfinity = 200.0;
    MechanicalModel variable =
        phenomenological(hardeningLaw::nonLinearKinematicVariable, {C1, gamma1, gammaInfinity, 50.0});
    for (int i = 1; i <= 40; ++i) strainTo(variable, 0.01 * i, i);
    EXPECT_NEAR(variable.hardening[hv::backStress], C1 / gammaInfinity, 1e-4 * C1 / gammaInfinity);
}

TEST(ElastoPlastic, DislocationLawSaturatesItsDensityFromTheStartValues)
{
    ScopedWorkDir dir;
    MechanicsNode node;
    const double k1 = 2e8;
    const double k2 = 20.0;
    mechanics_testing::writeFile("strain.txt", "time strain\n0 0\n3600 0.36\n");
    MechanicalModel model = readModel(std::string(mechanics_testing::strengthKeywords)
                                          + "hardeningModel 9\n"
                                            "parametersForHardening 2e8 20\n"
                                            "strainLoad strain .txt\n"
                                            "couplingHardening strong\n",
                                      node);
    model.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    // Start values of the physical laws: b rho0 and R = sigma_d0.
    EXPECT_EQ(model.hardening[hv::burgersDensity], 2.86e-10 * 1e12);
    EXPECT_NEAR(model.hardening[hv::isotropic], model.strength.dislocations, 1e-9 * model.strength.dislocations);

    // Plastic flow drives rho to (k1 / k2)^2, and the strength model follows it.
    for (unsigned int step = 0; step < 36; ++step)
        model.mechanicalComputation(mechanicalCall::step, node.elements, node.precipitates, 433, step * 100.0,
                                    100.0, 0);
    const double saturation = (k1 / k2) * (k1 / k2);
    EXPECT_NEAR(model.dislocationDensity, saturation, 1e-3 * saturation);
    EXPECT_EQ(model.dislocationDensity, model.hardening[hv::burgersDensity] / 2.86e-10);
}

TEST(ElastoPlasticDeathTest, PhysicalLawsRefuseOtherStrengthModelsAndSingularInputs)
{
    ScopedWorkDir dir;
    MechanicalModel model = phenomenological(hardeningLaw::dislocations, {1e8, 10});
    model.mechanicModel = strengthModel::rodsMeanForce;
    EXPECT_FATAL(strainTo(model, 0.01),
                 "If 'activedMicrostructuralModel' is not one the physical hardening 9-15 are not usable");
    MechanicalModel reversible = phenomenological(hardeningLaw::reversible, {1, 1, 1, 1, 1, 0, 0, 0, 0});
    reversible.mechanicModel = strengthModel::spheres;
    EXPECT_FATAL(strainTo(reversible, 0.01),
                 "If 'activedMicrostructuralModel' is not one the physical hardening 16 is not usable");

    // Singular inputs stop the run at the first plastic increment only.
    MechanicalModel grain = phenomenological(hardeningLaw::grainLoops, {1e8, 10, 1, 1});
    grain.grainSize = 1e-5;
    strainTo(grain, 1e-4);
    EXPECT_FATAL(strainTo(grain, 0.01), "If 'nG_star=0' or 'grainSize=0' model 11 have singularities");
    MechanicalModel loops = phenomenological(hardeningLaw::precipitateLoopsCoupled, {1e8, 10, 10, 1, 1});
    EXPECT_FATAL(strainTo(loops, 0.01), "If 'nPPT_star=0' model 14 have singularities");
    MechanicalModel distance = phenomenological(hardeningLaw::reversible, {1, 1, 1, 1, 1, 1, 0, 0, 0});
    distance.grainSize = 1e-5;
    distance.grainLoopSaturation = 10;
    EXPECT_FATAL(strainTo(distance, 0.01), "distance_SS for SS reversibility is not implemented");
}

TEST(ElastoPlasticDeathTest, UndefinedHardeningStateStopsTheIntegration)
{
    ScopedWorkDir dir;
    // Law 10 without precipitates and without dislocations divides 0 by 0.
    MechanicalModel model = phenomenological(hardeningLaw::dislocationsCoupled, {1e8, 10});
    model.burgers = 2.86e-10;
    EXPECT_FATAL(strainTo(model, 0.01), "In functionRK45adapt, the hardening state became non-finite");
}

namespace {

// Model 1 strength of MechanicsNode with law `law`, the strain history of
// strain.txt and the extra lines.
MechanicalModel scheduled(const std::string& law, const std::string& parameters, const std::string& extra,
                          const MechanicsNode& node = MechanicsNode())
{
    return readModel(std::string(mechanics_testing::strengthKeywords) + "hardeningModel " + law
                         + "\nparametersForHardening " + parameters + "\nstrainLoad strain .txt\n" + extra,
                     node);
}

} // namespace

TEST(HardeningSchedules, UncoupledIntegrationFollowsTheWholeHistory)
{
    ScopedWorkDir dir;
    mechanics_testing::writeFile("strain.txt", "time strain\n0 0\n1800 0.005\n3600 0.01\n");
    MechanicsNode node;
    MechanicalModel model = scheduled("1", "2e9", "", node);
    model.quiet = false;
    model.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    const double Y = model.strength.flowStress;

    testing::internal::CaptureStdout();
    const std::vector<HardeningRecord> records = model.BehaviourUncoupledIntegration(node.precipitates.size());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Mechanical computation 1800\nMechanical computation 3600\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][0], 1800.0);
    EXPECT_EQ(records[1][0], 3600.0);
    EXPECT_EQ(records[1][1], 0.01);
    // Time, strain, stress, yield size, R, X: stresses in MPa.
    EXPECT_NEAR(records[1][2], (Y + slope(2e9) * (0.01 - Y / E)) * 1e-6, 1e-9);
    EXPECT_EQ(records[1][3], Y * 1e-6);
    EXPECT_EQ(records[1][5], 0.0);
    EXPECT_EQ(model.strainRate, 0.005 / 1800);
}

TEST(HardeningSchedules, CoupledSchedulesIntegrateTheirIntervals)
{
    ScopedWorkDir dir;
    mechanics_testing::writeFile("strain.txt", "time strain\n0 0\n1800 0.005\n3600 0.01\n");
    MechanicsNode node;
    MechanicalModel strong = scheduled("1", "2e9", "couplingHardening strong\n", node);
    strong.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    strong.mechanicalComputation(mechanicalCall::step, node.elements, node.precipitates, 433, 0, 900, 0);
    EXPECT_EQ(strong.lastStrain, 0.0025);
    const double Y = strong.strength.flowStress;
    EXPECT_NEAR(strong.hardening[hardeningVariable::stress], Y + slope(2e9) * (0.0025 - Y / E), 1e-3);
    strong.mechanicalComputation(mechanicalCall::loadPoint, node.elements, node.precipitates, 433, 900, 900, 1);
    EXPECT_EQ(strong.lastStrain, 0.0025);

    MechanicalModel semi = scheduled("1", "2e9", "couplingHardening semi\n", node);
    semi.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
    semi.mechanicalComputation(mechanicalCall::step, node.elements, node.precipitates, 433, 0, 900, 0);
    EXPECT_EQ(semi.lastStrain, 0.0);
    semi.mechanicalComputation(mechanicalCall::loadPoint, node.elements, node.precipitates, 433, 1800, 900, 2);
    EXPECT_EQ(semi.lastStrain, 0.01);
    EXPECT_EQ(semi.strainRate, 0.005 / 1800);
    EXPECT_GT(semi.hardening[hardeningVariable::plasticStrain], 0.0);
}

TEST(HardeningSchedulesDeathTest, EachScheduleRefusesTheOthersAndIncompletePhysicalData)
{
    ScopedWorkDir dir;
    mechanics_testing::writeFile("strain.txt", "time strain\n0 0\n3600 0.01\n");
    MechanicsNode node;
    MechanicalModel strong = scheduled("1", "2e9", "couplingHardening strong\n", node);
    EXPECT_FATAL(strong.BehaviourUncoupledIntegration(1),
                 "You cannot go in 'BehaviourUncoupledIntegration' if you have an hardening coupling option");
    EXPECT_FATAL(strong.BehaviourSemiCoupledIntegration(1),
                 "You cannot go in the function 'BehaviourSemiCoupledIntegration' if 'mechanicalSemiHardeningCoupling' is not true");
    strong.mechanicalSemiHardeningCoupling = true;
    EXPECT_FATAL(strong.mechanicalComputation(mechanicalCall::step, node.elements, node.precipitates, 433, 0, 1, 0),
                 "You cannot have 'mechanicalHardeningCoupling' & 'mechanicalSemiHardeningCoupling'");
    MechanicalModel uncoupled = scheduled("1", "2e9", "", node);
    EXPECT_FATAL(uncoupled.BehaviourCoupledIntegration(0, 1),
                 "You cannot go in the function 'BehaviourCoupledIntegration' if 'mechanicalHardeningCoupling' is not true");

    MechanicalModel noGrain = scheduled("11", "1e8 10 1 1", "", node);
    EXPECT_FATAL(noGrain.BehaviourUncoupledIntegration(1), "Grainsize must be loaded for model 11,12 and 15");
    MechanicalModel reversible = scheduled("16", "1e8 10 10 1 1 0 0 0 0", "", node);
    EXPECT_FATAL(reversible.BehaviourUncoupledIntegration(1), "Grainsize must be loaded for model 16");
    MechanicalModel noExponent = scheduled("16", "1e8 10 10 1 1 0 0 0 0", "grainSize 1e-5 0 10 0\n", node);
    EXPECT_FATAL(noExponent.BehaviourUncoupledIntegration(1),
                 "For hardening model 16, 'cristalloConstant' must have a fifth argument, the superposition exponent, not 0");
    MechanicalModel twoPhases = scheduled("9", "1e8 10", "", node);
    EXPECT_FATAL(twoPhases.BehaviourUncoupledIntegration(2), "Physical model not adapted when number of preciptiates > 1.");
    twoPhases.dislocationsLoaded = false;
    EXPECT_FATAL(twoPhases.BehaviourUncoupledIntegration(1),
                 "DislocationsConstants and PrecipitateConstants must be loaded for physical hardening model");
}

TEST(HardeningLaws, EveryLawKeepsHookesLawAlongATensileHistoryOfAnAgingAlloy)
{
    ScopedWorkDir dir;
    mechanics_testing::writeFile("strain.txt", "time strain\n0 0\n3600 0.1\n");
    const char* parameters[] = {"2e9", "2e9", "1e9 1e9", "50e6 20", "10e9 100", "10e9 100 200 5",
                                "10e9 100 50e6 20", "10e9 100 200 5 50e6 20", "2e8 20", "2e8 20",
                                "2e8 20 1e-3 1e-10", "2e8 20 1e-3 1e-10", "2e8 20 10 1 1", "2e8 20 10 0 0",
                                "2e8 20 10 1 1e-3 1e-10 1", "2e8 20 10 1e-3 1e-10 0 1 1 0"};
    const std::string extra = "grainSize 50e-6 0 10 0.1e6\ncouplingHardening strong\n";
    for (int law = hardeningLaw::first; law <= hardeningLaw::last; ++law) {
        MechanicsNode node;
        node.precipitates[0].SetDistribution({1e-9, 2e-9, 4e-9, 8e-9}, {1e22, 1e22, 1e21, 1e20});
        MechanicalModel model = scheduled(std::to_string(law), parameters[law - 1], extra, node);
        model.superpositionExponent = 2.0; // of law 16
        model.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, 433, 0, 0, 0);
        double cumulated = 0.0;
        for (int step = 0; step < 12; ++step) {
            // The largest rods keep growing in number: the microstructure ages under load.
            node.precipitates[0].number[3] *= 1.05;
            model.mechanicalComputation(mechanicalCall::step, node.elements, node.precipitates, 433, step * 300.0,
                                        300.0, 0);
            const HardeningState& h = model.hardening;
            EXPECT_NEAR(h[hv::stress], model.young * (model.lastStrain - h[hv::plasticStrain]), 1e-3) << law;
            EXPECT_GE(h[hv::cumulatedPlasticStrain], cumulated) << law;
            cumulated = h[hv::cumulatedPlasticStrain];
        }
        EXPECT_GT(cumulated, 0.05) << law;
        for (double value : model.HardeningResultRecord(3600)) EXPECT_TRUE(std::isfinite(value)) << law;
    }
}
