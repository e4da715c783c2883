#include <cmath>
#include <string>

#include "core/constants.h"
#include "core/log.h"
#include "kinetics/precipitate.h"
#include "material/element.h"
#include "mechanics/mechanical_model.h"

namespace {

constexpr double pi = constants::pi;
constexpr double twoPi = 6.283185307179586;
constexpr double sqrtTwo = 1.4142135623730951;
constexpr double sqrtThree = 1.7320508075688772;
constexpr double twoSqrtThree = 3.4641016151377544;
constexpr double fourthRootOfThree = 1.3160740129524924;
constexpr double eighthRootOfThree = 1.1472026904398771;
constexpr double sqrtTwoThirds = 0.816496580927726;
constexpr double fourthRootOfThreeHalves = 1.1066819197003215;
constexpr double sqrtSixOverPi = 1.381976597885342;
constexpr double sqrtThreeOverTwoPi = 0.690988298942671;
// Spacing of obstacles of a kind that has no particle.
constexpr double noSpacing = 1e300;

// How the models differ in the common frame.
struct StrengthModelRules {
    const char* structureMessage;
    double solidSolutionExponent;
    bool grainBoundaryComputed; // models 2-4 leave SigmaGrain as it is
    bool grainBoundaryInFlow;   // model 1 reports it without adding it
};

const StrengthModelRules rules[] = {
    {"In model n°0 just 'cfc' structure is considered", 0.5, true, true},
    {"In model 1 just 'cfc' structure is considered", 2.0 / 3.0, true, false},
    {"In model n°2 just 'cfc' structure is considered", 2.0 / 3.0, false, false},
    {"In model n°3 just 'cfc' structure is considered", 2.0 / 3.0, false, false},
    {"In model n°4 just 'cfc' structure is considered", 2.0 / 3.0, false, false},
    {"In model n°1 just 'cfc' structure is considered", 0.5, true, true},
    {"In model n°6 just 'cfc' structure is considered", 0.5, true, true},
};

// Matrix quantities every precipitate law reads, fixed within one call.
struct Frame {
    double mu;     // shear modulus, Pa
    double M;      // Taylor factor
    double b;      // Burgers vector, m
    double beta;
    double Gamma;  // line tension beta mu b^2
};

// Obstacle strength of rods and spheres when the input leaves it at 0.
double rodObstacleStrength(const Frame& f, const PrecipitateConstants& c)
{
    return 2.0 * f.beta * f.b / (c.transitionRadius * fourthRootOfThree);
}

void requireTriangular(const PrecipitateConstants& c, const char* message)
{
    if (c.path != obstaclePath::triangular) Log::fatalError(message);
}

// Model 0: shearing and bypassing of plates.
void platesLaw(const Precipitate& p, PrecipitateConstants& c, const Frame& f, PrecipitateStrength& r)
{
    if (p.shape != shape::cylinderFunction) Log::fatalError("Mechanical model Vento is just implemented for plates");
    requireTriangular(c, "Just 'triangularPath' is implemented in mechanical model n°1");
    if (c.obstacleStrength == 0.0)
        c.obstacleStrength = 2.0 * f.beta * f.b
                             * std::sqrt(sqrtTwoThirds * p.CylinderFunctionAspectRatio(c.transitionRadius))
                             / c.transitionRadius;
    // The plate thickness of every class follows the aspect ratio of the mean radius.
    const double meanAspectRatio = p.CylinderFunctionAspectRatio(p.MeanRadius());
    const double sqrtMeanAspectRatio = std::sqrt(meanAspectRatio);

    double S1 = 0.0, S2 = 0.0, S3 = 0.0, nb = 0.0, S4 = 0.0, S5 = 0.0, ns = 0.0;
    const std::size_t n = std::min(p.radius.size(), p.number.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double R = p.radius[i];
        const double N = p.number[i];
        if (R >= c.transitionRadius) {
            const double t = 2.0 * R / meanAspectRatio;
            S1 += R * N;
            S2 += t * N;
            S3 += R * R * t * N;
            nb += N;
        } else {
            S4 += R * N;
            S5 += R * N / sqrtMeanAspectRatio;
            ns += N;
        }
    }

    r.bypassedFraction = pi * S3;
    r.bypassedNumber = nb;
    double Lb = noSpacing;
    if (nb > 0.0) {
        r.bypassedRadius = S1 / nb;
        r.bypassedThickness = S2 / nb;
        Lb = std::sqrt(3.0 / (4.0 * sqrtTwo * S1)) - (pi / 4.0) * r.bypassedRadius
             - (1.5 / sqrtTwo) * r.bypassedThickness;
    } else {
        r.bypassedRadius = 0.0;
        r.bypassedThickness = 0.0;
    }
    double meanShearForce = 0.0;
    double Ls = noSpacing;
    if (ns > 0.0) {
        meanShearForce = fourthRootOfThreeHalves * c.obstacleStrength * f.mu * f.b * S5 / ns;
        Ls = std::sqrt(4.0 * f.Gamma / (sqrtThree * meanShearForce)) * std::sqrt(3.0 / (4.0 * sqrtTwo * S4));
    }
    r.bypassedSpacing = Lb;
    r.shearedSpacing = Ls;
    r.bypassed = nb > 0.0 ? (f.M / f.b) * 2.0 * f.Gamma / Lb : 0.0;
    r.sheared = ns > 0.0 ? (f.M / f.b) * meanShearForce / Ls : 0.0;
    r.total = std::sqrt(r.sheared * r.sheared + r.bypassed * r.bypassed);
}

// Model 1: shearing and bypassing of rods.
void rodsLaw(const Precipitate& p, PrecipitateConstants& c, const Frame& f, PrecipitateStrength& r)
{
    if (p.shape != shape::rod && p.shape != shape::rodFunction)
        Log::fatalError("Mechanical model 1 is just implemented for 'Rod' and 'RodFuction'");
    if (c.obstacleStrength == 0.0) c.obstacleStrength = rodObstacleStrength(f, c);
    requireTriangular(c, "Just 'triangularPath' is implemented in mechanical model 1");
    double A = 0.0;
    switch (p.shape) {
    case shape::rod: A = p.aspectRatio; break;
    case shape::rodFunction: A = p.RodFunctionAspectRatio(p.MeanRadius()); break;
    default: Log::fatalError("In modelOne; only 'rod' and 'rodFuntion' are implemented");
    }

    double Sb = 0.0, Vb = 0.0, nb = 0.0, RNb = 0.0, Ss = 0.0, RNs = 0.0, ns = 0.0;
    const std::size_t n = std::min(p.radius.size(), p.number.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double R = p.radius[i];
        const double N = p.number[i];
        if (R >= c.transitionRadius) {
            Sb += R * A * N;
            Vb += R * R * R * N;
            nb += N;
            RNb += R * N;
        } else {
            Ss += R * A * N;
            RNs += R * N;
            ns += N;
        }
    }

    r.bypassedFraction = (A - 2.0 / 3.0) * pi * Vb;
    r.bypassedRadius = nb == 0.0 ? 0.0 : RNb / nb;
    r.bypassedLength = nb == 0.0 ? 0.0 : Sb / nb;
    r.bypassedNumber = nb;
    const double Lb = nb == 0.0 ? noSpacing : std::sqrt(2.0 / Sb);
    const double Ls = ns == 0.0 ? noSpacing : std::sqrt(2.0 / Ss);
    r.bypassedSpacing = Lb;
    r.shearedSpacing = Ls;
    if (ns == 0.0)
        r.meanSpacing = Lb;
    else if (nb != 0.0)
        r.meanSpacing = (ns * Ls + nb * Lb) / (ns + nb);
    else
        r.meanSpacing = Ls;

    r.bypassed = sqrtTwo * f.M * f.beta * f.mu * f.b * std::sqrt(Sb);
    // Without sheared particles there is no shearing stress (not 0/0).
    r.sheared = ns == 0.0 ? 0.0
                          : std::sqrt(Ss / (2.0 * f.beta * f.b)) * eighthRootOfThree * f.M * f.mu
                                * std::pow(c.obstacleStrength * (RNs / ns), 1.5);
    r.total = std::sqrt(r.sheared * r.sheared + r.bypassed * r.bypassed);
}

// Sums over the classes of rods for models 2-4, in one pass.
struct RodSums {
    double number = 0.0;      // sum N
    double radius = 0.0;      // sum N R
    double volume = 0.0;      // sum R^3 N
    double force = 0.0;       // sum N F
    double length = 0.0;      // sum N R A
};

RodSums rodSums(const Precipitate& p, const PrecipitateConstants& c, const Frame& f)
{
    RodSums sums;
    const double A = p.aspectRatio;
    const std::size_t n = std::min(p.radius.size(), p.number.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double R = p.radius[i];
        const double N = p.number[i];
        const double F = R >= c.transitionRadius ? 2.0 * f.Gamma : 2.0 * f.Gamma * R / c.transitionRadius;
        sums.number += N;
        sums.radius += N * R;
        sums.volume += R * R * R * N;
        sums.force += N * F;
        sums.length += N * R * A;
    }
    return sums;
}

void requireRod(const Precipitate& p, int model)
{
    if (p.shape == shape::rod) return;
    Log::fatalError("Mechanical model n°" + std::to_string(model) + " is just implemented for rods");
}

// Models 2-4: the mean obstacle force over the classes (2) or the force of
// the mean radius (4), the spacing from the line tension (2) or from the
// volume fraction along the obstacle path (3, 4).
void rodsMeanForceLaw(const Precipitate& p, const PrecipitateConstants& c, const Frame& f, int model,
                      PrecipitateStrength& r)
{
    requireRod(p, model);
    if (model == strengthModel::rodsMeanForce)
        requireTriangular(c, "Just 'triangularPath' is implemented in mechanical model n°2");
    else if (c.path != obstaclePath::regular && c.path != obstaclePath::triangular)
        Log::fatalError("Just 'regularPath' and 'triangularPath' are implemented in mechanical model n°"
                        + std::to_string(model));

    const RodSums sums = rodSums(p, c, f);
    const double meanForce = sums.number == 0.0 ? 0.0 : sums.force / sums.number;
    if (model == strengthModel::rodsMeanForce) {
        r.total = f.M * std::pow(meanForce, 1.5) / f.b * std::sqrt(sums.length / (twoSqrtThree * f.Gamma));
        return;
    }

    const double meanRadius = sums.number == 0.0 ? 0.0 : sums.radius / sums.number;
    const double fv = (p.aspectRatio - 2.0 / 3.0) * pi * sums.volume;
    if (meanRadius == 0.0 || fv == 0.0) {
        r.total = 0.0;
        return;
    }
    double F = meanForce;
    if (model == strengthModel::rodsMeanRadiusForce)
        F = meanRadius >= c.transitionRadius ? 2.0 * f.Gamma : 2.0 * f.Gamma * meanRadius / c.transitionRadius;
    const double L = c.path == obstaclePath::regular
                         ? meanRadius * std::sqrt(4.0 * pi * f.Gamma / (3.0 * F * fv))
                         : meanRadius * std::sqrt(twoSqrtThree * pi * f.Gamma / (F * fv));
    r.total = F * f.M / (L * f.b);
}

// Model 5: plates, the sheared and bypassed strengths weighted by the volume
// of the bypassed classes.
void volumeWeightedPlatesLaw(const Precipitate& p, const PrecipitateConstants& c, const Frame& f,
                             PrecipitateStrength& r)
{
    if (p.shape != shape::cylinderFunction) Log::fatalError("Mechanical model n°5 is just implemented for plates");
    r.total = r.sheared = r.bypassed = 0.0;
    r.bypassedFraction = r.bypassedNumber = 0.0;
    if (c.path != obstaclePath::triangular) return;

    const double k = 2.0 * f.beta * f.b / c.transitionRadius;
    double number = 0.0, radius = 0.0, volume = 0.0, nb = 0.0, bypassedVolume = 0.0;
    const std::size_t n = std::min(p.radius.size(), p.number.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double R = p.radius[i];
        const double N = p.number[i];
        number += N;
        radius += N * R;
        volume += R * R * R * N;
        if (R >= c.transitionRadius) {
            nb += N;
            bypassedVolume += 2.0 * R * R * R * N / p.CylinderFunctionAspectRatio(R);
        }
    }
    const double fvb = pi * bypassedVolume;
    r.bypassedFraction = fvb;
    r.bypassedNumber = nb;
    // A phase without particles adds nothing (and is no 0/0).
    const double meanRadius = n == 0 || number == 0.0 ? 0.0 : radius / number;
    const double fv = n == 0 ? 0.0 : (twoPi / p.aspectRatio) * volume;
    if (meanRadius == 0.0 || fv == 0.0) return;

    r.bypassed = sqrtSixOverPi * f.beta * f.M * f.mu * f.b * std::sqrt(fv) / meanRadius;
    r.sheared = sqrtThreeOverTwoPi * k * f.M * f.mu * std::sqrt(fv);
    r.total = (1.0 - fvb / fv) * r.sheared + (fvb / fv) * r.bypassed;
}

// Model 6: shearing and bypassing of spheres.
void spheresLaw(const Precipitate& p, PrecipitateConstants& c, const Frame& f, PrecipitateStrength& r)
{
    if (p.shape != shape::sphere)
        Log::fatalError("Mechanical model VentoModel for spheres is just implemented for spheres");
    requireTriangular(c, "Just 'triangularPath' is implemented in mechanical model n°1");
    if (c.obstacleStrength == 0.0) c.obstacleStrength = rodObstacleStrength(f, c);

    double S1 = 0.0, V = 0.0, nb = 0.0, S4 = 0.0, ns = 0.0;
    const std::size_t n = std::min(p.radius.size(), p.number.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double R = p.radius[i];
        const double N = p.number[i];
        if (R >= c.transitionRadius) {
            S1 += R * N;
            V += R * R * R * N;
            nb += N;
        } else {
            S4 += R * N;
            ns += N;
        }
    }

    r.bypassedFraction = pi * V;
    r.bypassedNumber = nb;
    double Lb = noSpacing;
    r.bypassedRadius = 0.0;
    if (nb > 0.0) {
        r.bypassedRadius = S1 / nb;
        Lb = std::sqrt(sqrtThree / (4.0 * S1)) - (pi / 4.0) * r.bypassedRadius;
    }
    double meanShearForce = 0.0;
    double Ls = noSpacing;
    if (ns > 0.0) {
        meanShearForce = c.obstacleStrength * f.mu * f.b * S4 / ns;
        Ls = std::sqrt(3.0 * f.Gamma / (8.0 * meanShearForce)) / std::sqrt(S4);
    }
    r.bypassedSpacing = Lb;
    r.shearedSpacing = Ls;
    r.bypassed = (f.M / f.b) * 2.0 * f.Gamma / Lb;
    r.sheared = ns > 0.0 ? (f.M / f.b) * meanShearForce / Ls : 0.0;
    r.total = std::pow(r.sheared * r.sheared + r.bypassed * r.bypassed, 0.5);
}

double rate(double now, double before, double dt) { return dt > 0.0 ? (now - before) / dt : 0.0; }

PrecipitateStrength rates(const PrecipitateStrength& now, const PrecipitateStrength& before, double dt)
{
    PrecipitateStrength r;
    r.total = rate(now.total, before.total, dt);
    r.sheared = rate(now.sheared, before.sheared, dt);
    r.bypassed = rate(now.bypassed, before.bypassed, dt);
    r.bypassedFraction = rate(now.bypassedFraction, before.bypassedFraction, dt);
    r.bypassedRadius = rate(now.bypassedRadius, before.bypassedRadius, dt);
    r.bypassedLength = rate(now.bypassedLength, before.bypassedLength, dt);
    r.bypassedThickness = rate(now.bypassedThickness, before.bypassedThickness, dt);
    r.bypassedNumber = rate(now.bypassedNumber, before.bypassedNumber, dt);
    r.bypassedSpacing = rate(now.bypassedSpacing, before.bypassedSpacing, dt);
    r.shearedSpacing = rate(now.shearedSpacing, before.shearedSpacing, dt);
    r.meanSpacing = rate(now.meanSpacing, before.meanSpacing, dt);
    return r;
}

StrengthTerms rates(const StrengthTerms& now, const StrengthTerms& before, double dt)
{
    return {rate(now.dislocations, before.dislocations, dt), rate(now.solidSolution, before.solidSolution, dt),
            rate(now.grainBoundary, before.grainBoundary, dt), rate(now.precipitates, before.precipitates, dt),
            rate(now.flowStress, before.flowStress, dt)};
}

} // namespace

void MechanicalModel::ComputeStrength(const std::vector<Element>& elements,
                                      const std::vector<Precipitate>& precipitates, double dt)
{
    if (mechanicModel < strengthModel::first || mechanicModel > strengthModel::last)
        Log::fatalError("In 'mechanicalComputation' model n°" + std::to_string(mechanicModel) + " is not defined");
    const StrengthModelRules& rule = rules[mechanicModel];
    if (structure != "cfc") Log::fatalError(rule.structureMessage);

    young = GetYoung();
    poisson = GetPoisson();
    shearModulus = young / (2.0 * (1.0 + poisson));
    const Frame frame{shearModulus, taylorFactor, burgers, beta, beta * shearModulus * burgers * burgers};

    StrengthTerms now = strength;
    now.dislocations = taylorFactor * alpha * shearModulus * burgers * std::sqrt(dislocationDensity);

    now.solidSolution = 0.0;
    const std::size_t constantCount = std::min(elements.size(), solidSolution.size());
    for (std::size_t i = 0; i < constantCount; ++i) {
        const SolidSolutionConstant& constant = solidSolution[i];
        if (!constant.contributes()) continue;
        double content = 0.0;
        double unit = 1.0;
        switch (constant.unit) {
        case solidSolutionUnit::megapascalWeightPercent:
            content = elements[i].SolidSolutionWtPercent(elements);
            unit = 1e6;
            break;
        case solidSolutionUnit::megapascalAtomicFraction:
            content = elements[i].ssFraction;
            unit = 1e6;
            break;
        case solidSolutionUnit::pascalWeightPercent: content = elements[i].SolidSolutionWtPercent(elements); break;
        case solidSolutionUnit::pascalAtomicFraction: content = elements[i].ssFraction; break;
        default: Log::fatalError("This unit " + constant.unitName + " for SScontribution doesn't exist");
        }
        now.solidSolution += constant.k * std::pow(content, rule.solidSolutionExponent) * unit;
    }

    if (precipitates.size() > precipitateConstants.size())
        Log::fatalError("Precipitate " + precipitates[precipitateConstants.size()].name
                        + " not defined in 'precipitateConstants'");
    // Sized once: a node keeps its precipitate list, so this allocates only at the first call.
    precipitateStrength.resize(precipitateConstants.size());
    precipitateStrengthRate.resize(precipitateConstants.size());
    double sumOfSquares = 0.0;
    for (std::size_t k = 0; k < precipitates.size(); ++k) {
        PrecipitateStrength result = precipitateStrength[k];
        PrecipitateConstants& constants = precipitateConstants[k];
        switch (mechanicModel) {
        case strengthModel::plates: platesLaw(precipitates[k], constants, frame, result); break;
        case strengthModel::rods: rodsLaw(precipitates[k], constants, frame, result); break;
        case strengthModel::rodsMeanForce:
        case strengthModel::rodsMeanForceSpacing:
        case strengthModel::rodsMeanRadiusForce:
            rodsMeanForceLaw(precipitates[k], constants, frame, mechanicModel, result);
            break;
        case strengthModel::volumeWeightedPlates:
            volumeWeightedPlatesLaw(precipitates[k], constants, frame, result);
            break;
        case strengthModel::spheres: spheresLaw(precipitates[k], constants, frame, result); break;
        default: Log::fatalError("In 'mechanicalComputation' model n°" + std::to_string(mechanicModel) + " is not defined");
        }
        precipitateStrengthRate[k] = rates(result, precipitateStrength[k], dt);
        precipitateStrength[k] = result;
        sumOfSquares += result.total * result.total;
    }
    now.precipitates = std::sqrt(sumOfSquares);

    // Without a grain size there is no grain-boundary strength (not 0 times infinity).
    if (rule.grainBoundaryComputed) now.grainBoundary = grainSize == 0.0 ? 0.0 : hallPetch * std::pow(grainSize, -0.5);
    now.flowStress = std::sqrt(now.precipitates * now.precipitates + now.dislocations * now.dislocations)
                     + now.solidSolution + frictionStress;
    if (rule.grainBoundaryInFlow) now.flowStress += now.grainBoundary;

    // Constants that make a term infinite or undefined (a zero line tension,
    // Burgers vector or transition radius, an aspect ratio law that diverges)
    // must not reach the results.
    if (!std::isfinite(now.dislocations) || !std::isfinite(now.solidSolution) || !std::isfinite(now.grainBoundary)
        || !std::isfinite(now.precipitates) || !std::isfinite(now.flowStress))
        Log::fatalError("Mechanical model n°" + std::to_string(mechanicModel)
                        + " gives a strength that is not a finite number: check the mechanical constants");

    strengthRate = rates(now, strength, dt);
    strength = now;
}
