#include "kinetics/precipitate.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "core/log.h"
#include "material/element.h"
#include "material/matrix.h"

namespace {

// Factor on the diffusivity that turns the spherical growth law into the
// law of the phase's shape; false for a shape growth does not know.
bool growthShapeFactor(int shapeCode, double f, double& factor)
{
    switch (shapeCode) {
    case shape::sphere:
        factor = 1.0;
        return true;
    case shape::rod:
    case shape::rodFunction:
        factor = 3.0 / (4.0 * f);
        return true;
    case shape::cylinder:
    case shape::cylinderFunction:
        factor = f / 2.0;
        return true;
    default:
        return false;
    }
}

// What every class of one growth call shares.
struct GrowthStep {
    double alpha;        // VatSS / Vat_p
    double fastProduct;  // product of X^nu over the fast elements
    double dt;
    double T;
};

// x^e, skipping the power function for the common unit exponent (pow gives
// x itself there, so the result is the same).
inline double powerOf(double x, double e) { return e == 1.0 ? x : std::pow(x, e); }

void refuseZeroRadius(double R)
{
    if (R == 0.0) Log::fatalError("we can't have radius equal to 0 in growth");
}

void storeRadius(Precipitate& phase, std::size_t k, double newRadius)
{
    if (!std::isfinite(newRadius))
        Log::fatalError("Growth gives a non-finite radius for precipitate " + phase.name);
    phase.radius[k] = newRadius;
}

void growOneElement(Precipitate& phase, const Element& element, double nu, const GrowthStep& step)
{
    double shapeFactor = 0.0;
    if (!growthShapeFactor(phase.shape, phase.aspectRatio, shapeFactor))
        Log::fatalError("This shape is not implemented in growth 1 elements");

    const double X = element.ssFraction;
    const double Xp = nu / phase.stoichiometrySum;
    const double D = element.DiffusionCoefficient(step.T) * phase.boostPrecipitateDiffusion * shapeFactor;
    const double inverseNu = 1.0 / nu;
    const double alphaXp = step.alpha * Xp;
    const InterfaceSolubility interfaceSolubility(phase, step.T);

    for (std::size_t k = 0; k < phase.radius.size(); ++k) {
        const double R = phase.radius[k];
        refuseZeroRadius(R);
        const double K = interfaceSolubility.at(R);
        const double interfaceFraction = powerOf(K / step.fastProduct, inverseNu);
        storeRadius(phase, k,
                    R + (X - interfaceFraction) / std::fabs(alphaXp - interfaceFraction) * (D / R) * step.dt);
    }
}

void growTwoElements(Precipitate& phase, const Element& first, double p, const Element& second, double q,
                     const GrowthStep& step)
{
    double shapeFactor = 0.0;
    if (!growthShapeFactor(phase.shape, phase.aspectRatio, shapeFactor))
        Log::fatalError("This shape is not implemented in growth 2 elements");
    const int solver = codeOfValue(nonLinearAlgorithmWords, phase.nonLinearAlgorithm);
    if (solver == 0) Log::fatalError("This choice for nonLinearAlgorithm is not recognized");

    const double alpha = step.alpha;
    const double X1 = first.ssFraction;
    const double X2 = second.ssFraction;
    const double Xp1 = p / phase.stoichiometrySum;
    const double Xp2 = q / phase.stoichiometrySum;
    const double D1 = first.DiffusionCoefficient(step.T) * phase.boostPrecipitateDiffusion * shapeFactor;
    const double D2 = second.DiffusionCoefficient(step.T) * phase.boostPrecipitateDiffusion * shapeFactor;

    // Flux balance D1 (X1 - x)(alpha Xp2 - y) = D2 (X2 - y)(alpha Xp1 - x)
    // with x^p y^q = K; only c2 and c3 depend on the class radius.
    GrowthEquation equation;
    equation.c0 = X2 * D2 - D1 * alpha * Xp2;
    equation.c1 = X1 * D1 * alpha * Xp2 - X2 * D2 * alpha * Xp1;
    equation.p = p;
    equation.q = q;
    const double c2PerK = D1 - D2;
    const double c3PerK = D2 * alpha * Xp1 - X1 * D1;
    const double inverseQ = 1.0 / q;
    const InterfaceSolubility interfaceSolubility(phase, step.T);

    for (std::size_t k = 0; k < phase.radius.size(); ++k) {
        const double R = phase.radius[k];
        refuseZeroRadius(R);
        const double K = interfaceSolubility.at(R) / step.fastProduct;
        const double KPrime = powerOf(K, inverseQ);
        equation.c2 = c2PerK * KPrime;
        equation.c3 = c3PerK * KPrime;

        double factor = alpha;
        double x = 0.0;
        switch (solver) {
        case nonlinear_algorithm::newtonRaphson:
            x = phase.solver.NewtonRaphson(0.0, Xp1, twoElementSphere, factor, equation);
            break;
        case nonlinear_algorithm::constrainedNewtonRaphson:
            x = phase.solver.constrainedNewtonRaphson(0.0, Xp1, twoElementSphere, factor, equation);
            break;
        case nonlinear_algorithm::brent:
            x = phase.solver.Brent(0.0, Xp1, twoElementSphere, factor, equation);
            break;
        case nonlinear_algorithm::dichotomy:
            x = phase.solver.Dichotomy(0.0, Xp1, twoElementSphere, factor, equation);
            break;
        default:
            Log::fatalError("This choice for nonLinearAlgorithm is not recognized");
        }
        storeRadius(phase, k, R + (X1 - x) / std::fabs(Xp1 * alpha - x) * (D1 / R) * step.dt);
    }
}

void skipShapeChange(const Precipitate& phase)
{
    Log::logWarning("Aspect ratio law undefined for precipitate " + phase.name + ": shape change skipped.");
}

// New aspect ratio from the mean radius of the grown distribution; numbers
// are rescaled so that the change of shape keeps the volume fraction. A law
// that is undefined here, or a volume fraction that cannot be carried over
// (zero, sign change, non-finite), leaves shape and numbers as they are.
void updateVariableAspectRatio(Precipitate& phase)
{
    const double meanRadius = phase.MeanRadius();
    double f = 0.0;
    if (phase.shape == shape::rodFunction) {
        if (1.0 - meanRadius * phase.shapeParameters[0] <= 0.0) {
            skipShapeChange(phase);
            return;
        }
        f = phase.RodFunctionAspectRatio(meanRadius);
    } else {
        f = phase.CylinderFunctionAspectRatio(meanRadius);
    }
    if (!std::isfinite(f)) {
        skipShapeChange(phase);
        return;
    }
    // Without classes there is no volume to carry over.
    if (phase.radius.empty()) {
        phase.aspectRatio = f;
        return;
    }

    const double previousAspectRatio = phase.aspectRatio;
    const double before = phase.VolumeFraction();
    phase.aspectRatio = f;
    const double after = phase.VolumeFraction();
    const double ratio = before / after;
    if (after == 0.0 || !std::isfinite(ratio) || ratio < 0.0) {
        phase.aspectRatio = previousAspectRatio;
        skipShapeChange(phase);
        return;
    }
    for (double& n : phase.number) n = n * before / after;
}

} // namespace

void Precipitate::Growth(const std::vector<Element>& elements, const Matrix& matrix, double dt, double T)
{
    const std::size_t n = elements.size();
    if (stoichiometry.size() != n)
        Log::fatalError("Element list of precipitate " + name + " does not match the node's elements");

    // Classification of the elements, once per call.
    std::vector<unsigned char>& limiting = growthWorkspace.limiting;
    std::vector<unsigned char>& fast = growthWorkspace.fast;
    limiting.assign(n, 1);
    fast.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        if (stoichiometry[i] == 0.0) limiting[i] = 0;
    // The matrix is everywhere at the interface: never rate-limiting.
    for (std::size_t i = 0; i < n; ++i) {
        if (elements[i].name == matrix.name && stoichiometry[i] != 0.0) {
            limiting[i] = 0;
            fast[i] = 1;
        }
    }
    // A solute much faster than another limiting solute is taken to be at
    // equilibrium in the matrix. The matrix (last entry) takes no part.
    const std::size_t solutes = n == 0 ? 0 : n - 1;
    for (std::size_t i = 0; i < solutes; ++i) {
        for (std::size_t j = 0; j < solutes; ++j) {
            if (i == j || !limiting[i] || !limiting[j]) continue;
            if (elements[i].DiffusionCoefficient(T) / elements[j].DiffusionCoefficient(T) /
                    diffusionCoefficientRatio >
                1.0) {
                limiting[i] = 0;
                fast[i] = 1;
            }
        }
    }

    GrowthStep step;
    step.alpha = matrix.VatSS / atomicVolume;
    step.fastProduct = 1.0;
    step.dt = dt;
    step.T = T;
    std::size_t limitingCount = 0;
    std::size_t limitingIndex[2] = {0, 0};
    for (std::size_t i = 0; i < n; ++i) {
        if (fast[i]) step.fastProduct *= std::pow(elements[i].ssFraction, stoichiometry[i]);
        if (limiting[i]) {
            if (limitingCount < 2) limitingIndex[limitingCount] = i;
            ++limitingCount;
        }
    }

    switch (limitingCount) {
    case 1:
        growOneElement(*this, elements[limitingIndex[0]], stoichiometry[limitingIndex[0]], step);
        break;
    case 2:
        growTwoElements(*this, elements[limitingIndex[0]], stoichiometry[limitingIndex[0]],
                        elements[limitingIndex[1]], stoichiometry[limitingIndex[1]], step);
        break;
    default:
        Log::fatalError("Still a bug in GrowthGeneral resolution");
    }

    if (shape == shape::cylinderFunction || shape == shape::rodFunction) updateVariableAspectRatio(*this);
}

// Parameters (f0, a1, b1, a2, b2, R1, R2): constant below R1, then two linear laws.
double Precipitate::CylinderFunctionAspectRatio(double R) const
{
    const double f0 = shapeParameters[0];
    const double a1 = shapeParameters[1];
    const double b1 = shapeParameters[2];
    const double a2 = shapeParameters[3];
    const double b2 = shapeParameters[4];
    const double R1 = shapeParameters[5];
    const double R2 = shapeParameters[6];
    if (R < R1) return f0;
    if (R < R2) return 2.0 * a1 * R + b1;
    return 2.0 * a2 * R + b2;
}

// Parameters (k, f0): f0 / (1 - R k).
double Precipitate::RodFunctionAspectRatio(double R) const
{
    const double k = shapeParameters[0];
    const double f0 = shapeParameters[1];
    return f0 / (1.0 - R * k);
}
