#include "kinetics/precipitate.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/constants.h"
#include "core/log.h"
#include "kinetics/rk45.h"
#include "material/element.h"
#include "material/matrix.h"

namespace {

constexpr double sixteenThirds = 5.333333333333333;
constexpr double thirtyTwoThirds = 10.666666666666666;
constexpr double twoPi = 6.283185307179586;
constexpr double threePi = 9.42477796076938;
constexpr double fourPi = 12.566370614359172;

// Nucleated densities at or below this fraction of the existing particles
// (plus one) are not worth a class of their own.
constexpr double newClassThreshold = 1e-5;
// Beyond this many classes per targeted class, class management must run
// even while particles keep nucleating.
constexpr long long classCountFactor = 10;

// Share of the stationary rate reached under the integrated incubation law,
// from the ratio u of the integrated state to its stationary value. An
// overshoot above 1 is reflected; anything outside (0, 2) (1 included)
// stops nucleation.
double unstationaryFactor(double u)
{
    if (u > 0.0 && u < 1.0) return u;
    if (u > 1.0 && u < 2.0) return 2.0 - u;
    return 0.0;
}

} // namespace

void Precipitate::Nucleation(const std::vector<Element>& elements, const Matrix& matrix, double T,
                             const NodeClock& clock)
{
    const double kT = constants::boltzmann * T;
    const double gamma = surfaceEnergy;
    totalNumber = TotalNumber();

    ThermodynamicState(elements, T);

    if (!(lnSupersaturation <= 0.0)) {
        const double dGv = drivingForce;
        const double rStar = criticalRadius;
        const double f = aspectRatio;
        const double c = heterogeneousCoefficient;
        const double gamma3 = gamma * gamma * gamma;

        double barrier = 0.0;
        double zeldovich = 0.0;
        switch (shape) {
        case shape::sphere:
            barrier = c * sixteenThirds * constants::pi * gamma3 / (dGv * dGv);
            zeldovich = std::sqrt(gamma / kT) * stoichiometrySum * atomicVolume
                        / (twoPi * (rStar * rStar));
            break;
        case shape::rod:
        case shape::rodFunction:
            barrier = c * thirtyTwoThirds * constants::pi * gamma3 * (f * f * f)
                      / ((dGv * dGv) * ((3.0 * f - 2.0) * (3.0 * f - 2.0)));
            zeldovich = std::sqrt(2.0 * f * gamma / kT) * stoichiometrySum * atomicVolume
                        / ((3.0 * f - 2.0) * constants::pi * (rStar * rStar));
            break;
        case shape::cylinder:
        case shape::cylinderFunction:
            barrier = c * sixteenThirds * constants::pi * gamma3 / (dGv * dGv)
                      * ((f + 2.0) * (f + 2.0) * (f + 2.0)) / (18.0 * f);
            zeldovich = std::sqrt(f * gamma * (f + 2.0) / (2.0 * kT)) * stoichiometrySum
                        * atomicVolume / (threePi * (rStar * rStar));
            break;
        default:
            Log::fatalError("This shape is not implemented in nucleation");
        }

        // Condensation rate: the solutes of the phase arrive in series; the
        // matrix (no diffusion coefficient) never limits it.
        const std::size_t elementTotal = std::min(elements.size(), stoichiometry.size());
        double resistance = 0.0;
        for (std::size_t i = 0; i < elementTotal; ++i) {
            if (stoichiometry[i] == 0.0) continue;
            const double D = elements[i].DiffusionCoefficient(T);
            if (D * boostPrecipitateDiffusion == 0.0) continue;
            resistance += precipitateFraction[i]
                          / (elements[i].ssFraction * D * boostPrecipitateDiffusion);
        }
        const double a = matrix.latticeParameter;
        const double condensation = fourPi * (rStar * rStar) / ((a * a * a * a) * resistance);
        const double incubationTime = 4.0 / (twoPi * condensation * (zeldovich * zeldovich));

        double sites = 0.0;
        switch (nucleationType) {
        case nucleation_type::homogeneous:
            sites = 1.0 / matrix.VatSS;
            break;
        case nucleation_type::heterogeneous:
            sites = siteDensity;
            break;
        default:
            Log::fatalError("This nucleation is not implemented");
        }

        if (siteSaturation) {
            const double meanRadius = MeanRadius();
            const double Ntot = totalNumber;
            if (siteSaturationType == "lin")
                sites = sites - meanRadius * Ntot / a;
            else if (siteSaturationType == "surf")
                sites = sites - Ntot * constants::pi * ((meanRadius / a) * (meanRadius / a));
            else if (siteSaturationType == "vol")
                sites = sites - Ntot * (4.0 / 3.0) * constants::pi
                                    * ((meanRadius / a) * (meanRadius / a) * (meanRadius / a));
            if (sites < 0.0) sites = 0.0;
        }

        const double rate = sites * zeldovich * condensation * std::exp(-barrier / kT);

        double incubation = 0.0;
        if (clock.timeStepManagement == time_step_management::version1) {
            incubation = 1.0 - std::exp(-clock.time / incubationTime);
        } else if (!unstationnaryNucleation) {
            incubation = 1.0 - std::exp(-(clock.time + clock.timeStep - clock.profileStart)
                                        / incubationTime);
        } else {
            const double stationaryState = std::sqrt(2.0 * condensation * incubationTime);
            nucleationProgress =
                integrateRelaxation(clock.timeStep, clock.time, clock.time + clock.timeStep,
                                    nucleationProgress, stationaryState, incubationTime);
            incubation = unstationaryFactor(nucleationProgress / stationaryState);
        }

        const double nucleated = incubation * rate * clock.timeStep;
        if (nucleated / (totalNumber + 1.0) > newClassThreshold) {
            const double newRadius = rStar + 0.5 * std::sqrt(kT / (constants::pi * gamma));
            if (!std::isfinite(nucleated) || !std::isfinite(newRadius))
                Log::fatalError("Nucleation of precipitate " + name
                                + " gives an infinite or undefined new class");
            // The count before the new class decides.
            const bool crowded = static_cast<long long>(classCount())
                                 > classCountFactor * static_cast<long long>(targetClassNumber);
            radius.push_back(newRadius);
            number.push_back(nucleated);
            classManagementDue = crowded;
        } else {
            classManagementDue = true;
        }
    } else {
        classManagementDue = true;
    }
}
