#include <cmath>

#include "core/log.h"
#include "kinetics/rk45.h"
#include "mechanics/mechanical_model.h"

namespace {

namespace hv = hardeningVariable;

// Where along an increment the elastic path sigma(lambda) leaves the elastic
// domain, with g(lambda) = sigma(lambda) - back stress running linearly from
// g0 to g1 and the yield size Y: the smallest lambda in [0, 1] where
// |g| - Y reaches 0 while growing.
double elasticFraction(double g0, double g1, double Y)
{
    const double change = g1 - g0;
    double lambda = 0.0;
    if (std::fabs(g0) - Y < 0.0) {
        // Inside: the path leaves through the side it is heading to.
        lambda = ((g1 > 0.0 ? Y : -Y) - g0) / change;
    } else {
        // On or outside the surface: moving outward flows at once; unloading
        // stays elastic until the opposite side.
        const bool outward = change == 0.0 || g0 == 0.0 || (g0 > 0.0) == (change > 0.0);
        if (outward || Y < 0.0) return 0.0;
        lambda = ((g0 > 0.0 ? -Y : Y) - g0) / change;
    }
    // Clamped to [0, 1]; an undefined lambda flows from the start, where the
    // integration reports the undefined state.
    return lambda > 1.0 ? 1.0 : (lambda > 0.0 ? lambda : 0.0);
}

} // namespace

HardeningInputs MechanicalModel::hardeningInputs() const
{
    HardeningInputs in;
    in.law = hardeningModelChosen;
    in.young = young;
    in.strainRate = strainRate;
    in.parameters = hardeningParameters;
    in.start = hardening;
    in.shearModulus = shearModulus;
    in.taylorFactor = taylorFactor;
    in.alpha = alpha;
    in.beta = beta;
    in.burgers = burgers;
    in.grainSize = grainSize;
    in.grainLoopSaturation = grainLoopSaturation;
    in.superpositionExponent = superpositionExponent;
    in.precipitateStress = strength.precipitates;
    in.precipitateStressRate = strengthRate.precipitates;
    in.solidSolutionStress = strength.solidSolution;
    in.solidSolutionStressRate = strengthRate.solidSolution;
    in.grainBoundaryStress = strength.grainBoundary;
    if (!precipitateConstants.empty()) {
        const PrecipitateConstants& constants = precipitateConstants[0];
        in.loopCoefficient = constants.loopCoefficient;
        in.effectiveModulus = constants.effectiveModulus;
        in.precipitateLoopSaturation = constants.loopSaturation;
    }
    if (!precipitateStrength.empty()) {
        const PrecipitateStrength& now = precipitateStrength[0];
        const PrecipitateStrength& rate = precipitateStrengthRate[0];
        in.bypassedSpacing = now.bypassedSpacing;
        in.bypassedLength = now.bypassedLength;
        in.bypassedLengthRate = rate.bypassedLength;
        in.bypassedFraction = now.bypassedFraction;
        in.bypassedFractionRate = rate.bypassedFraction;
        in.bypassedNumber = now.bypassedNumber;
        in.bypassedNumberRate = rate.bypassedNumber;
        in.bypassedRadius = now.bypassedRadius;
        in.bypassedRadiusRate = rate.bypassedRadius;
    }
    return in;
}

double MechanicalModel::PrecipitateLoopDensity() const
{
    return precipitateLoopDensity(hardeningInputs(), hardening[hv::precipitateLoops]);
}

void MechanicalModel::PrepareHardeningStart(std::size_t precipitateCount)
{
    const int law = hardeningModelChosen;
    if (!hardeningLaw::isPhysical(law)) return;
    if (!dislocationsLoaded || !transitionRadiusLoaded)
        Log::fatalError("DislocationsConstants and PrecipitateConstants must be loaded for physical hardening model");
    if (precipitateCount > 1) Log::fatalError("Physical model not adapted when number of preciptiates > 1.");
    if (law == hardeningLaw::reversible && !grainSizeLoaded) Log::fatalError("Grainsize must be loaded for model 16");
    if ((law == hardeningLaw::grainLoops || law == hardeningLaw::grainLoopsCoupled || law == hardeningLaw::allLoops)
        && !grainSizeLoaded)
        Log::fatalError("Grainsize must be loaded for model 11,12 and 15");
    // Law 16 superposes its strengths with the exponent c5; 0 has no meaning.
    if (law == hardeningLaw::reversible && superpositionExponent == 0.0)
        Log::fatalError("For hardening model 16, 'cristalloConstant' must have a fifth argument, the superposition exponent, not 0");

    const HardeningInputs in = hardeningInputs();
    const double M = taylorFactor;
    const double b = burgers;
    const double mu = shearModulus;
    const double rho0 = initialDislocationDensity;
    const double sigmaD0 = alpha * M * mu * b * std::sqrt(rho0);
    const double sigmaP = strength.precipitates;

    hardening[hv::burgersDensity] = b * rho0;
    hardening[hv::grainLoops] = initialGrainLoops;
    hardening[hv::grainBackStress] =
        grainSize == 0.0 ? 0.0 : 2.0 * M * beta * mu * b * hardening[hv::grainLoops] / grainSize;
    const double nP = initialPrecipitateLoops;
    hardening[hv::precipitateLoops] = nP;
    hardening[hv::precipitateBackStress] =
        in.bypassedLength == 0.0 ? 0.0
                                 : in.loopCoefficient * in.effectiveModulus * in.bypassedFraction * nP / in.bypassedLength;
    const double eP = precipitateLoopDensity(in, nP);
    const double sigmaDLoops = alpha * M * mu * b * std::sqrt(rho0 + eP);

    double R = 0.0;
    switch (law) {
    case hardeningLaw::dislocations:
    case hardeningLaw::grainLoops: R = sigmaD0; break;
    case hardeningLaw::precipitateLoops: R = sigmaDLoops; break;
    case hardeningLaw::dislocationsCoupled:
    case hardeningLaw::grainLoopsCoupled:
        R = std::sqrt(sigmaP * sigmaP + sigmaD0 * sigmaD0) + strength.solidSolution;
        break;
    case hardeningLaw::precipitateLoopsCoupled:
        R = std::sqrt(sigmaP * sigmaP + sigmaDLoops * sigmaDLoops) + strength.solidSolution;
        break;
    case hardeningLaw::allLoops:
        R = std::sqrt(sigmaP * sigmaP + sigmaDLoops * sigmaDLoops) + strength.solidSolution + strength.grainBoundary;
        break;
    case hardeningLaw::reversible: {
        const double c5 = superpositionExponent;
        R = std::pow(std::pow(sigmaP, c5) + std::pow(sigmaD0, c5), 1.0 / c5) + strength.solidSolution
            + strength.grainBoundary;
        break;
    }
    default: Log::fatalError("Error in physical model initialization, hardeningModelChosen");
    }
    hardening[hv::isotropic] = R;
}

void MechanicalModel::modelImplementationAndComputation(double t, double dt, double strain)
{
    if (!hardeningLaw::exists(hardeningModelChosen))
        Log::fatalError("This hardening mode lis not implemented in 'modelImplementationAndComputation'");
    elastoPlasticSolving(t, dt, strain);
}

void MechanicalModel::elastoPlasticSolving(double t, double dt, double strain)
{
    const int law = hardeningModelChosen;
    const double E = young;
    const double plasticStrain = hardening[hv::plasticStrain];
    const double trialStress = E * (strain - plasticStrain);
    const double startStress = E * (lastStrain - plasticStrain);

    // Yield function |sigma - back stress| - yield size.
    double gStart = 0.0;
    double gEnd = 0.0;
    double yieldSize = 0.0;
    if (law >= hardeningLaw::first && law < hardeningLaw::dislocations) {
        gStart = startStress - hardening[hv::backStress];
        gEnd = trialStress - hardening[hv::backStress];
        yieldSize = strength.flowStress + hardening[hv::isotropic];
    } else if (law >= hardeningLaw::dislocations && law < hardeningLaw::reversible) {
        if (mechanicModel != strengthModel::rods)
            Log::fatalError("If 'activedMicrostructuralModel' is not one the physical hardening 9-15 are not usable");
        gStart = startStress - hardening[hv::grainBackStress] - hardening[hv::precipitateBackStress];
        gEnd = trialStress - hardening[hv::grainBackStress] - hardening[hv::precipitateBackStress];
        yieldSize = frictionStress + hardening[hv::isotropic];
    } else if (law == hardeningLaw::reversible) {
        if (mechanicModel != strengthModel::rods)
            Log::fatalError("If 'activedMicrostructuralModel' is not one the physical hardening 16 is not usable");
        gStart = startStress - hardening[hv::grainBackStress];
        gEnd = trialStress - hardening[hv::grainBackStress];
        yieldSize = frictionStress + hardening[hv::isotropic];
    } else {
        Log::fatalError("in elastoPlasticSolving problem in hardenng model choice");
    }

    if (std::fabs(gEnd) - yieldSize <= 0.0) {
        hardening[hv::stress] = trialStress;
        lastStrain = strain;
        return;
    }

    const HardeningLawLayout& layout =
        hardeningLawLayout(law, "This hardening model is not implemented in 'elastoPlasticSolving'");
    // The increment follows the elastic path up to the yield surface and
    // flows plastically from there on.
    const double lambda = elasticFraction(gStart, gEnd, yieldSize);
    const double strainAtYield = lastStrain + lambda * (strain - lastStrain);
    hardening[hv::stress] = E * (strainAtYield - plasticStrain);

    const HardeningInputs inputs = hardeningInputs();
    checkHardeningInputs(inputs, hardeningComputation);
    double y[9];
    double work[dormand_prince::workSize(9)];
    for (std::size_t i = 0; i < layout.stateSize; ++i) y[i] = hardening[layout.state[i]];
    const double tStart = t + lambda * dt;
    const double tEnd = t + dt;
    integrateDormandPrince(hardeningIntegration(), tEnd - tStart, tStart, tEnd, y, layout.stateSize, work,
                           HardeningRhs(inputs), [](double, const double*) {});
    for (std::size_t i = 0; i < layout.stateSize; ++i) hardening[layout.state[i]] = y[i];

    if (hardeningLaw::isPhysical(law)) dislocationDensity = hardening[hv::burgersDensity] / burgers;
    lastStrain = strain;
}
