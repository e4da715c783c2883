#include "mechanics/hardening_laws.h"

#include <cmath>
#include <string>

#include "core/log.h"
#include "kinetics/rk45.h"

namespace {

namespace hv = hardeningVariable;
namespace hp = hardeningParameter;

constexpr double twoPi = 6.283185307179586;
constexpr double sqrtThree = 1.7320508075688772;

// Per law: its `parametersForHardening` slots and its integrated state.
const HardeningLawLayout layouts[] = {
    // 1: linear isotropic hardening.
    {1, "For hardening model 1, the number of parameters for 'parametersForHardening' must be 1",
     {hp::K1}, 4, {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic}},
    // 2: linear kinematic hardening.
    {1, "For hardening model 2, the number of parameters for 'parametersForHardening' must be 1",
     {hp::K2}, 4, {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::backStress}},
    // 3: both linear hardenings.
    {2, "For hardening model 3, the number of parameters for 'parametersForHardening' must be 2",
     {hp::K1, hp::K2}, 5,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::backStress}},
    // 4: isotropic hardening saturating at Q.
    {2, "For hardening model 4, the number of parameters for 'parametersForHardening' must be 2",
     {hp::Q, hp::B}, 4, {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic}},
    // 5: non-linear kinematic hardening.
    {2, "For hardening model 5, the number of parameters for 'parametersForHardening' must be 2",
     {hp::C1, hp::gamma1}, 4, {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::backStress}},
    // 6: non-linear kinematic hardening with a recall term depending on p.
    {4, "For hardening model 6, the number of parameters for 'parametersForHardening' must be 4",
     {hp::C1, hp::gamma0, hp::gammaInfinity, hp::omega}, 4,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::backStress}},
    // 7: laws 4 and 5 together.
    {4, "For hardening model 7, the number of parameters for 'parametersForHardening' must be 4",
     {hp::C1, hp::gamma1, hp::Q, hp::B}, 5,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::backStress}},
    // 8: laws 4 and 6 together.
    {6, "For hardening model 8, the number of parameters for 'parametersForHardening' must be 6",
     {hp::C1, hp::gamma0, hp::gammaInfinity, hp::omega, hp::Q, hp::B}, 5,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::backStress}},
    // 9: storage and recovery of dislocations.
    {2, "For hardening model 9 or 10, the number of parameters for 'parametersForHardening' must be 2",
     {hp::k1, hp::k2}, 5,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity}},
    // 10: law 9 following the precipitation.
    {2, "For hardening model 9 or 10, the number of parameters for 'parametersForHardening' must be 2",
     {hp::k1, hp::k2}, 5,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity}},
    // 11: law 9 with loops stored at the grain boundaries.
    {4, "For hardening model 11 or 12, the number of parameters for 'parametersForHardening' must be 4",
     {hp::k1, hp::k2, hp::kG, hp::cG}, 7,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity,
      hv::grainLoops, hv::grainBackStress}},
    // 12: law 11 following the precipitation.
    {4, "For hardening model 11 or 12, the number of parameters for 'parametersForHardening' must be 4",
     {hp::k1, hp::k2, hp::kG, hp::cG}, 7,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity,
      hv::grainLoops, hv::grainBackStress}},
    // 13: law 9 with loops stored around the precipitates.
    {5, "For hardening model 13 or 14, the number of parameters for 'parametersForHardening' must be 5",
     {hp::k1, hp::k2a, hp::k2b, hp::switchA, hp::switchB}, 7,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity,
      hv::precipitateLoops, hv::precipitateBackStress}},
    // 14: law 13 following the precipitation.
    {5, "For hardening model 13 or 14, the number of parameters for 'parametersForHardening' must be 5",
     {hp::k1, hp::k2a, hp::k2b, hp::switchA, hp::switchB}, 7,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity,
      hv::precipitateLoops, hv::precipitateBackStress}},
    // 15: law 14 with loops at the grain boundaries too.
    {7, "For hardening model 15, the number of parameters for 'parametersForHardening' must be 7",
     {hp::k1, hp::k2a, hp::k2b, hp::switchA, hp::kG, hp::cG, hp::switchB}, 9,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity,
      hv::precipitateLoops, hv::precipitateBackStress, hv::grainLoops, hv::grainBackStress}},
    // 16: reversible strength contributions.
    {9, "For hardening model 16, the number of parameters for 'parametersForHardening' must be 9",
     {hp::k1, hp::k2a, hp::k2b, hp::kG, hp::cG, hp::F1, hp::F2, hp::F3, hp::F4}, 7,
     {hv::plasticStrain, hv::cumulatedPlasticStrain, hv::stress, hv::isotropic, hv::burgersDensity,
      hv::grainLoops, hv::grainBackStress}},
};

double sign(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

// Rates common to every law: plastic strain, cumulated plastic strain and
// stress from the plastic multiplier pDot and the flow direction s.
void flow(const HardeningInputs& in, double s, double pDot, HardeningState& rate)
{
    rate[hv::plasticStrain] = s * pDot;
    rate[hv::cumulatedPlasticStrain] = pDot;
    rate[hv::stress] = in.young * (in.strainRate - s * pDot);
}

double parameter(const HardeningInputs& in, int slot) { return in.parameters.value[slot]; }

// Laws 1-8: phenomenological hardening.

void linearIsotropic(const HardeningInputs& in, const HardeningState& v, HardeningState& rate)
{
    const double E = in.young;
    const double K1 = parameter(in, hp::K1);
    const double s = sign(v[hv::stress]);
    const double pDot = E * in.strainRate * s / (E + K1);
    flow(in, s, pDot, rate);
    rate[hv::isotropic] = K1 * pDot;
}

void linearKinematic(const HardeningInputs& in, const HardeningState& v, HardeningState& rate)
{
    const double E = in.young;
    const double K2 = parameter(in, hp::K2);
    const double s = sign(v[hv::stress] - v[hv::backStress]);
    const double pDot = E * in.strainRate * s / (E + K2);
    flow(in, s, pDot, rate);
    rate[hv::backStress] = K2 * pDot * s;
}

void linearMixed(const HardeningInputs& in, const HardeningState& v, HardeningState& rate)
{
    const double E = in.young;
    const double K1 = parameter(in, hp::K1);
    const double K2 = parameter(in, hp::K2);
    const double s = sign(v[hv::stress] - v[hv::backStress]);
    const double pDot = E * in.strainRate * s / (E + K1 + K2);
    flow(in, s, pDot, rate);
    rate[hv::isotropic] = K1 * pDot;
    rate[hv::backStress] = K2 * pDot * s;
}

void saturatingIsotropic(const HardeningInputs& in, const HardeningState& v, HardeningState& rate)
{
    const double E = in.young;
    const double Q = parameter(in, hp::Q);
    const double B = parameter(in, hp::B);
    const double R = v[hv::isotropic];
    const double s = sign(v[hv::stress]);
    const double pDot = E * in.strainRate * s / ((Q - R) * B + E);
    flow(in, s, pDot, rate);
    rate[hv::isotropic] = (Q - R) * B * pDot;
}

// gamma(p) of laws 6 and 8.
double variableRecall(const HardeningInputs& in, double p)
{
    const double gamma0 = parameter(in, hp::gamma0);
    const double gammaInfinity = parameter(in, hp::gammaInfinity);
    return gammaInfinity + (gamma0 - gammaInfinity) * std::exp(-parameter(in, hp::omega) * p);
}

// Laws 5 and 6 (without isotropic part), 7 and 8 (with it): kinematic
// hardening with the recall coefficient gamma.
void nonLinearKinematic(const HardeningInputs& in, const HardeningState& v, HardeningState& rate,
                        double gamma, bool withIsotropic)
{
    const double E = in.young;
    const double C1 = parameter(in, hp::C1);
    const double X = v[hv::backStress];
    const double s = sign(v[hv::stress] - X);
    double pDot = 0.0;
    if (withIsotropic) {
        const double Q = parameter(in, hp::Q);
        const double B = parameter(in, hp::B);
        const double R = v[hv::isotropic];
        pDot = E * in.strainRate * s / ((Q - R) * B + E + C1 - X * gamma * s);
        rate[hv::isotropic] = (Q - R) * B * pDot;
    } else {
        pDot = E * in.strainRate * s / (E + C1 - X * gamma * s);
    }
    flow(in, s, pDot, rate);
    rate[hv::backStress] = C1 * pDot * s - gamma * X * pDot;
}

// Laws 9-16: dislocation-based hardening. Quantities shared by these laws at
// one state.
struct Dislocations {
    double rho;     // m^-2
    double sqrtRho;
};

Dislocations dislocationsOf(const HardeningInputs& in, const HardeningState& v)
{
    const double rho = v[hv::burgersDensity] / in.burgers;
    return {rho, std::sqrt(rho)};
}

// Loops stored at the grain boundaries (laws 11, 12, 15, 16).
struct GrainLoops {
    double g;        // rate of n_G per unit p
    double W;        // back stress per loop
    double backStressDrift; // Xdot_d, from the grain-size rate
    double storage;  // (kG / (b d)) (1 - |n_G / n_G*|)
};

GrainLoops grainLoopsOf(const HardeningInputs& in, const HardeningState& v, double s)
{
    const double M = in.taylorFactor;
    const double b = in.burgers;
    const double d = in.grainSize;
    const double nG = v[hv::grainLoops];
    const double nGStar = in.grainLoopSaturation;
    GrainLoops loops{};
    loops.g = (M * parameter(in, hp::cG) / b) * (s - nG / nGStar);
    loops.W = 2.0 * M * in.beta * in.shearModulus * b / d;
    loops.backStressDrift = -2.0 * M * in.beta * in.shearModulus * b * nG * in.grainSizeRate / (d * d);
    loops.storage = (parameter(in, hp::kG) / (b * d)) * (1.0 - std::fabs(nG / nGStar));
    return loops;
}

// Loops stored around the first precipitate (laws 13-15).
struct PrecipitateLoops {
    double k2;   // recovery coefficient
    double NP;   // rate of n_P per unit p and length
    double gP;   // back stress coefficient q8 mu*
    double rhoE; // effective dislocation density, m^-2
    double cP;
    double WP;
    double aP;
    double rP;
};

// Recovery coefficient of laws 13-16 from the bypassed-obstacle spacing.
double recoveryCoefficient(const HardeningInputs& in, double sqrtRho)
{
    const double k2a = parameter(in, hp::k2a);
    const double k2b = parameter(in, hp::k2b);
    return k2b + (k2a - k2b) * std::exp(-in.loopCoefficient / (in.bypassedSpacing * sqrtRho));
}

PrecipitateLoops precipitateLoopsOf(const HardeningInputs& in, const HardeningState& v,
                                    const Dislocations& dislocations, double s)
{
    const double M = in.taylorFactor;
    const double b = in.burgers;
    const double q8 = in.loopCoefficient;
    const double nP = v[hv::precipitateLoops];
    const double l = in.bypassedLength;
    const double f = in.bypassedFraction;
    PrecipitateLoops loops{};
    loops.k2 = in.parameters.switchA ? parameter(in, hp::k2a) : recoveryCoefficient(in, dislocations.sqrtRho);
    loops.NP = (M / (sqrtThree * b)) * (s - nP / in.precipitateLoopSaturation);
    loops.gP = q8 * in.effectiveModulus;
    loops.rhoE = dislocations.rho + precipitateLoopDensity(in, nP);
    loops.cP = 0.5 * M * in.alpha * in.shearModulus * b / std::sqrt(loops.rhoE);
    if (!in.parameters.switchB) {
        loops.WP = twoPi * q8 * sign(nP) * in.bypassedNumber * in.bypassedRadius;
        loops.aP = twoPi * q8 * std::fabs(nP)
                   * (in.bypassedRadius * in.bypassedNumberRate + in.bypassedNumber * in.bypassedRadiusRate);
    }
    const double fractionOverLengthRate =
        l == 0.0 ? 0.0 : (in.bypassedFractionRate * l - f * in.bypassedLengthRate) / (l * l);
    loops.rP = nP * fractionOverLengthRate;
    return loops;
}

// Strength of the dislocations and of the precipitates together, for the
// laws that follow the precipitation (10, 12, 14, 15).
struct Superposition {
    double sigmaP; // precipitates
    double sigmaD; // dislocations
    double sigmaT; // both
};

Superposition superposition(const HardeningInputs& in, double sqrtRho)
{
    const double sigmaP = in.precipitateStress;
    const double sigmaD = in.alpha * in.taylorFactor * in.shearModulus * in.burgers * sqrtRho;
    return {sigmaP, sigmaD, std::sqrt(sigmaP * sigmaP + sigmaD * sigmaD)};
}

// Laws 9 (storage and recovery), 10 (9 following the precipitation), 11
// (9 with loops at the grain boundaries) and 12 (11 following the precipitation).
void dislocationHardening(const HardeningInputs& in, const HardeningState& v, HardeningState& rate, bool coupled,
                          bool withGrainLoops)
{
    const double E = in.young;
    const double M = in.taylorFactor;
    const double b = in.burgers;
    const double k1 = parameter(in, hp::k1);
    const double k2 = parameter(in, hp::k2);
    const Dislocations dislocations = dislocationsOf(in, v);
    const double s = sign(v[hv::stress]);
    const GrainLoops loops = withGrainLoops ? grainLoopsOf(in, v, s) : GrainLoops{};
    double hardening = k1 - k2 * dislocations.sqrtRho;
    if (withGrainLoops) hardening = hardening + loops.storage / dislocations.sqrtRho;
    const double H = 0.5 * M * M * in.alpha * in.shearModulus * b * hardening;

    const Superposition both = coupled ? superposition(in, dislocations.sqrtRho) : Superposition{};
    double numerator = E * in.strainRate * s;
    double denominator = 0.0;
    if (coupled) {
        numerator = numerator - in.solidSolutionStressRate - both.sigmaP * in.precipitateStressRate / both.sigmaT;
        denominator = both.sigmaD * H / both.sigmaT + E;
    } else {
        denominator = E + H;
    }
    if (withGrainLoops) {
        numerator = numerator - loops.backStressDrift * s;
        denominator = denominator + loops.W * loops.g * s;
    }
    const double pDot = numerator / denominator;
    if (coupled) {
        rate[hv::isotropic] =
            (both.sigmaD * H * pDot + both.sigmaP * in.precipitateStressRate) / both.sigmaT + in.solidSolutionStressRate;
    } else {
        rate[hv::isotropic] = H * pDot;
    }
    flow(in, s, pDot, rate);
    double storage = k1 * dislocations.sqrtRho - k2 * dislocations.rho;
    if (withGrainLoops) storage = storage + loops.storage;
    rate[hv::burgersDensity] = M * b * storage * pDot;
    if (withGrainLoops) {
        rate[hv::grainLoops] = loops.g * pDot;
        rate[hv::grainBackStress] = loops.W * loops.g * pDot + loops.backStressDrift;
    }
}

// Laws 13 (not coupled), 14 (coupled) and 15 (coupled, with grain loops).
void precipitateLoopHardening(const HardeningInputs& in, const HardeningState& v, HardeningState& rate,
                              bool coupled, bool withGrainLoops)
{
    const double E = in.young;
    const double M = in.taylorFactor;
    const double b = in.burgers;
    const double k1 = parameter(in, hp::k1);
    const double l = in.bypassedLength;
    const double f = in.bypassedFraction;
    const Dislocations dislocations = dislocationsOf(in, v);
    const double s = withGrainLoops
                         ? sign(v[hv::stress] - v[hv::precipitateBackStress] - v[hv::grainBackStress])
                         : sign(v[hv::stress]);
    const PrecipitateLoops loops = precipitateLoopsOf(in, v, dislocations, s);
    const GrainLoops grain = withGrainLoops ? grainLoopsOf(in, v, s) : GrainLoops{};
    // Storage minus recovery (plus the grain-boundary storage of law 15).
    double storage = k1 * dislocations.sqrtRho - loops.k2 * dislocations.rho;
    if (withGrainLoops) storage = storage + grain.storage;
    const double YP = M * storage;
    const double hardening = loops.WP * loops.NP * l + YP;

    double pDot = 0.0;
    if (!coupled) {
        pDot = (E * in.strainRate * s - loops.aP * loops.cP - loops.gP * s * loops.rP)
               / (hardening * loops.cP + E + loops.gP * s * loops.NP * f);
        rate[hv::isotropic] = hardening * loops.cP * pDot + loops.aP * loops.cP;
    } else {
        const auto [sigmaP, sigmaD, sigmaT] = superposition(in, std::sqrt(loops.rhoE));
        const double numerator =
            withGrainLoops
                ? E * in.strainRate * s - in.solidSolutionStressRate
                      - (sigmaP * in.precipitateStressRate + sigmaD * loops.aP * loops.cP) / sigmaT
                      - (loops.gP * loops.rP + grain.backStressDrift) * s
                : E * in.strainRate * s - in.solidSolutionStressRate
                      - (sigmaP * in.precipitateStressRate + sigmaD * loops.aP * loops.cP) / sigmaT
                      - loops.gP * s * loops.rP;
        const double denominator =
            withGrainLoops ? sigmaD * hardening * loops.cP / sigmaT + E
                                 + (loops.gP * loops.NP * f + grain.W * grain.g) * s
                           : sigmaD * hardening * loops.cP / sigmaT + E + loops.gP * s * loops.NP * f;
        pDot = numerator / denominator;
        rate[hv::isotropic] =
            (sigmaD * (hardening * loops.cP * pDot + loops.aP * loops.cP) + sigmaP * in.precipitateStressRate)
                / sigmaT
            + in.solidSolutionStressRate;
    }
    flow(in, s, pDot, rate);
    rate[hv::burgersDensity] = M * b * storage * pDot;
    rate[hv::precipitateLoops] = loops.NP * l * pDot;
    rate[hv::precipitateBackStress] = loops.gP * f * loops.NP * pDot + loops.gP * loops.rP;
    if (withGrainLoops) {
        rate[hv::grainLoops] = grain.g * pDot;
        rate[hv::grainBackStress] = grain.W * grain.g * pDot + grain.backStressDrift;
    }
}

// Law 16: dislocation, precipitate and grain-boundary strengths that partly
// recover on a reversal of the plastic flow.
void reversibleContributions(const HardeningInputs& in, const HardeningState& v, HardeningState& rate)
{
    const double E = in.young;
    const double M = in.taylorFactor;
    const double b = in.burgers;
    const double d = in.grainSize;
    const double mu = in.shearModulus;
    const double c5 = in.superpositionExponent;
    const double Lambda = in.bypassedSpacing;
    const double epsP = v[hv::plasticStrain];
    const Dislocations dislocations = dislocationsOf(in, v);
    const double rho = dislocations.rho;
    const double sqrtRho = dislocations.sqrtRho;
    const double s = sign(v[hv::stress] - v[hv::grainBackStress]);

    const double phi = sign(epsP * in.strainRate);
    const double k2 = recoveryCoefficient(in, sqrtRho);
    const GrainLoops loops = grainLoopsOf(in, v, s);
    const double Y16 = M * b * (parameter(in, hp::k1) * sqrtRho - k2 * rho + loops.storage);

    const auto& flags = in.parameters.flag;
    const double aD = flags[1] ? loops.g : 0.0;
    const double aGB = flags[2] ? loops.g : 0.0;
    const double aP = flags[3] ? loops.g : 0.0;

    const double eD = std::exp(-phi * epsP / (b * sqrtRho));
    const double eP = std::exp(-phi * epsP / (Lambda * b * rho));
    const double eGB = std::exp(-phi * epsP / (d * b * rho));

    const double sigmaD = in.alpha * M * mu * b * sqrtRho;
    const double sigmaP = in.precipitateStress;
    const double sigmaDRev = (1.0 - aD * eD) * sigmaD;
    const double sigmaPRev = (1.0 - aP * eP) * sigmaP;

    const double Z = rho * s - epsP * Y16 / b;
    const double DD = (1.0 - aD * eD) * in.alpha * M * mu * Y16 / (2.0 * sqrtRho)
                      + phi * aD * Z * eD * sigmaD / (b * std::pow(rho, 1.5));
    const double DP = phi * aP * Z * eP * sigmaP / (Lambda * b * (rho * rho));
    const double V = std::pow(std::pow(sigmaDRev, c5) + std::pow(sigmaPRev, c5), (1.0 - c5) / c5)
                     * (std::pow(sigmaDRev, c5 - 1.0) * DD + std::pow(sigmaPRev, c5 - 1.0) * DP);
    const double H16 = V + eGB * phi * aGB * Z * in.grainBoundaryStress / (d * b * (rho * rho))
                       + in.solidSolutionStress;

    const double pDot = E * in.strainRate * s / (loops.W * loops.g * s + E + H16);
    flow(in, s, pDot, rate);
    rate[hv::isotropic] = H16 * pDot;
    rate[hv::burgersDensity] = Y16 * pDot;
    rate[hv::grainLoops] = loops.g * pDot;
    rate[hv::grainBackStress] = loops.W * loops.g * pDot;
}

} // namespace

const DormandPrinceSettings& hardeningIntegration()
{
    // The state spans stresses of 1e8 Pa and strains of 1e-3; its tolerance
    // asks for every digit a double holds, so steps below the resolution of
    // the time are accepted (once logged). A state that keeps needing them,
    // a stiff law caught in the noise of its last digits, would never reach
    // the end of the increment: a million of them in a row stop the run.
    static const DormandPrinceSettings settings{
        1e-8, false, "In functionRK45adapt, the hardening state became non-finite",
        "In functionRK45adapt, the hardening state does not settle at the resolution of the time", 1000000,
        "In functionRK45adapt, a step too small to advance the time was accepted"};
    return settings;
}

const HardeningLawLayout& hardeningLawLayout(int law, const char* message)
{
    if (!hardeningLaw::exists(law)) Log::fatalError(message);
    return layouts[law - hardeningLaw::first];
}

void checkHardeningInputs(const HardeningInputs& in, bool hardeningComputation)
{
    if (!hardeningComputation) Log::fatalError("The hardening model can't be called if 'hardeningComputation' is false");
    const int law = in.law;
    if (!hardeningLaw::exists(law)) Log::fatalError("This hardening model is not implemented in 'functionRK45adapt'");
    const bool grainLoops = law == hardeningLaw::grainLoops || law == hardeningLaw::grainLoopsCoupled
                            || law == hardeningLaw::allLoops || law == hardeningLaw::reversible;
    if (grainLoops && (in.grainLoopSaturation == 0.0 || in.grainSize == 0.0))
        Log::fatalError("If 'nG_star=0' or 'grainSize=0' model " + std::to_string(law) + " have singularities");
    const bool precipitateLoops = law == hardeningLaw::precipitateLoops
                                  || law == hardeningLaw::precipitateLoopsCoupled || law == hardeningLaw::allLoops;
    if (precipitateLoops && in.precipitateLoopSaturation == 0.0)
        Log::fatalError("If 'nPPT_star=0' model " + std::to_string(law) + " have singularities");
    if (law == hardeningLaw::reversible && in.parameters.flag[0])
        Log::fatalError("distance_SS for SS reversibility is not implemented");
}

double precipitateLoopDensity(const HardeningInputs& in, double precipitateLoops)
{
    if (in.parameters.switchB) return 0.0;
    return twoPi * in.loopCoefficient * std::fabs(precipitateLoops) * in.bypassedNumber * in.bypassedRadius;
}

HardeningRhs::HardeningRhs(const HardeningInputs& inputs)
    : in(inputs), layout(hardeningLawLayout(inputs.law, "This hardening model is not implemented in 'functionRK45adapt'"))
{
}

void HardeningRhs::operator()(double, const double* y, double* dydt) const
{
    HardeningState v = in.start;
    for (std::size_t i = 0; i < layout.stateSize; ++i) v[layout.state[i]] = y[i];
    HardeningState rate{};

    switch (in.law) {
    case hardeningLaw::linearIsotropic: linearIsotropic(in, v, rate); break;
    case hardeningLaw::linearKinematic: linearKinematic(in, v, rate); break;
    case hardeningLaw::linearMixed: linearMixed(in, v, rate); break;
    case hardeningLaw::saturatingIsotropic: saturatingIsotropic(in, v, rate); break;
    case hardeningLaw::nonLinearKinematic:
        nonLinearKinematic(in, v, rate, parameter(in, hp::gamma1), false);
        break;
    case hardeningLaw::nonLinearKinematicVariable:
        nonLinearKinematic(in, v, rate, variableRecall(in, v[hv::cumulatedPlasticStrain]), false);
        break;
    case hardeningLaw::saturatingMixed:
        nonLinearKinematic(in, v, rate, parameter(in, hp::gamma1), true);
        break;
    case hardeningLaw::saturatingMixedVariable:
        nonLinearKinematic(in, v, rate, variableRecall(in, v[hv::cumulatedPlasticStrain]), true);
        break;
    case hardeningLaw::dislocations: dislocationHardening(in, v, rate, false, false); break;
    case hardeningLaw::dislocationsCoupled: dislocationHardening(in, v, rate, true, false); break;
    case hardeningLaw::grainLoops: dislocationHardening(in, v, rate, false, true); break;
    case hardeningLaw::grainLoopsCoupled: dislocationHardening(in, v, rate, true, true); break;
    case hardeningLaw::precipitateLoops: precipitateLoopHardening(in, v, rate, false, false); break;
    case hardeningLaw::precipitateLoopsCoupled: precipitateLoopHardening(in, v, rate, true, false); break;
    case hardeningLaw::allLoops: precipitateLoopHardening(in, v, rate, true, true); break;
    case hardeningLaw::reversible: reversibleContributions(in, v, rate); break;
    default: Log::fatalError("This hardening model is not implemented in 'functionRK45adapt'");
    }

    for (std::size_t i = 0; i < layout.stateSize; ++i) dydt[i] = rate[layout.state[i]];
}
