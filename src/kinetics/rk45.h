#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "core/log.h"

// Step control and failure handling of one use of the Dormand-Prince 5(4)
// integrator. Nucleation and hardening integrate different quantities with
// different tolerances and report trouble with their own messages.
struct DormandPrinceSettings {
    // A step is accepted when the scaled error norm is not above this.
    double errorTolerance = 1e-6;
    // After an accepted step: true lands on the end time as soon as the
    // remaining interval is not longer than the proposed step, before the
    // tenfold growth limit applies; false applies the limit first.
    bool landBeforeGrowthLimit = true;
    // Fatal when the error estimate or a component of the new state is not
    // finite; nullptr leaves such values unchecked.
    const char* nonFiniteMessage = nullptr;
    // Fatal when an accepted step has no length, or when stalledStepLimit
    // accepted steps in a row leave the time unchanged; nullptr: never.
    const char* stalledMessage = nullptr;
    unsigned long stalledStepLimit = 0;
    // Logged once per integration when an accepted step leaves the time
    // unchanged; nullptr: silent.
    const char* notAdvancingWarning = nullptr;
};

namespace dormand_prince {

// Scales of the error norm of each component, safety factor and step limits.
inline constexpr double relativeScale = 1e-10;
inline constexpr double absoluteScale = 1e-15;
inline constexpr double safetyFactor = 0.8;
inline constexpr double smallestShrink = 0.2;
inline constexpr double largestGrowth = 10.0;

// Dormand-Prince 5(4) tableau.
inline constexpr double c2 = 1.0 / 5.0, c3 = 3.0 / 10.0, c4 = 4.0 / 5.0, c5 = 8.0 / 9.0;
inline constexpr double a21 = 1.0 / 5.0;
inline constexpr double a31 = 3.0 / 40.0, a32 = 9.0 / 40.0;
inline constexpr double a41 = 44.0 / 45.0, a42 = -56.0 / 15.0, a43 = 32.0 / 9.0;
inline constexpr double a51 = 19372.0 / 6561.0, a52 = -25360.0 / 2187.0, a53 = 64448.0 / 6561.0,
                        a54 = -212.0 / 729.0;
inline constexpr double a61 = 9017.0 / 3168.0, a62 = -355.0 / 33.0, a63 = 46732.0 / 5247.0,
                        a64 = 49.0 / 176.0, a65 = -5103.0 / 18656.0;
// Fifth-order weights (also the seventh stage's row).
inline constexpr double b1 = 35.0 / 384.0, b3 = 500.0 / 1113.0, b4 = 125.0 / 192.0,
                        b5 = -2187.0 / 6784.0, b6 = 11.0 / 84.0;
// Fifth-order minus fourth-order weights.
inline constexpr double e1 = 35.0 / 384.0 - 5179.0 / 57600.0;
inline constexpr double e3 = 500.0 / 1113.0 - 7571.0 / 16695.0;
inline constexpr double e4 = 125.0 / 192.0 - 393.0 / 640.0;
inline constexpr double e5 = -2187.0 / 6784.0 - -92097.0 / 339200.0;
inline constexpr double e6 = 11.0 / 84.0 - 187.0 / 2100.0;
inline constexpr double e7 = 0.0 - 1.0 / 40.0;

// Values of scratch space the integration of n components needs.
constexpr std::size_t workSize(std::size_t n) { return 9 * n; }

} // namespace dormand_prince

// Integrates dy/dt = rhs(t, y) from t to tEnd with the embedded Dormand-Prince
// 5(4) pair, first trying the step h, and lands exactly on tEnd. y holds the n
// components and receives the final state; work holds workSize(n) values of
// scratch (the caller owns it, so a warm integration allocates nothing).
// rhs(t, y, dydt) fills dydt; onAccept(t, y) sees every accepted point.
template <typename Rhs, typename OnAccept>
void integrateDormandPrince(const DormandPrinceSettings& settings, double h, double t, double tEnd,
                            double* y, std::size_t n, double* work, Rhs&& rhs, OnAccept&& onAccept)
{
    using namespace dormand_prince;
    double* k1 = work;
    double* k2 = k1 + n;
    double* k3 = k2 + n;
    double* k4 = k3 + n;
    double* k5 = k4 + n;
    double* k6 = k5 + n;
    double* k7 = k6 + n;
    double* stage = k7 + n;
    double* y5 = stage + n;
    const double inverseCount = n == 0 ? 0.0 : 1.0 / static_cast<double>(n);
    const double tolerance = settings.errorTolerance;
    unsigned long stalledSteps = 0;
    bool notAdvancingLogged = false;

    while (t < tEnd) {
        rhs(t, y, k1);
        for (std::size_t i = 0; i < n; ++i) stage[i] = y[i] + h * (a21 * k1[i]);
        rhs(t + c2 * h, stage, k2);
        for (std::size_t i = 0; i < n; ++i) stage[i] = y[i] + h * (a31 * k1[i] + a32 * k2[i]);
        rhs(t + c3 * h, stage, k3);
        for (std::size_t i = 0; i < n; ++i)
            stage[i] = y[i] + h * (a41 * k1[i] + a42 * k2[i] + a43 * k3[i]);
        rhs(t + c4 * h, stage, k4);
        for (std::size_t i = 0; i < n; ++i)
            stage[i] = y[i] + h * (a51 * k1[i] + a52 * k2[i] + a53 * k3[i] + a54 * k4[i]);
        rhs(t + c5 * h, stage, k5);
        for (std::size_t i = 0; i < n; ++i)
            stage[i] = y[i] + h * (a61 * k1[i] + a62 * k2[i] + a63 * k3[i] + a64 * k4[i]
                                   + a65 * k5[i]);
        rhs(t + h, stage, k6);
        for (std::size_t i = 0; i < n; ++i)
            y5[i] = y[i] + h * (b1 * k1[i] + b3 * k3[i] + b4 * k4[i] + b5 * k5[i] + b6 * k6[i]);
        rhs(t + h, y5, k7);

        double sum = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double e = h * (e1 * k1[i] + e3 * k3[i] + e4 * k4[i] + e5 * k5[i] + e6 * k6[i]
                                  + e7 * k7[i]);
            const double scale = relativeScale * std::fmax(std::fabs(y[i]), std::fabs(y5[i]))
                                 + absoluteScale;
            sum += (e / scale) * (e / scale);
        }
        const double err = std::sqrt(inverseCount * sum);
        if (settings.nonFiniteMessage != nullptr) {
            bool finite = std::isfinite(err);
            for (std::size_t i = 0; i < n; ++i) finite = finite && std::isfinite(y5[i]);
            if (!finite) Log::fatalError(settings.nonFiniteMessage);
        }
        const double hNew = safetyFactor * h * std::pow(tolerance / err, 1.0 / 5.0);

        if (err > tolerance) {
            h = hNew < smallestShrink * h ? smallestShrink * h : hNew;
            continue;
        }
        // A step of no length leaves the next step undefined.
        if (settings.stalledMessage != nullptr && h <= 0.0) Log::fatalError(settings.stalledMessage);
        // A step shorter than the resolution of t still advances the state, and
        // the steps grow again as the state settles.
        const double tNext = t + h;
        if (tNext == t) {
            if (settings.stalledMessage != nullptr && ++stalledSteps > settings.stalledStepLimit)
                Log::fatalError(settings.stalledMessage);
            if (settings.notAdvancingWarning != nullptr && !notAdvancingLogged) {
                Log::logWarning(settings.notAdvancingWarning);
                notAdvancingLogged = true;
            }
        } else {
            stalledSteps = 0;
        }
        t = tNext;
        for (std::size_t i = 0; i < n; ++i) y[i] = y5[i];
        onAccept(t, static_cast<const double*>(y));
        const double remaining = tEnd - t;
        if (settings.landBeforeGrowthLimit) {
            if (remaining <= hNew)
                h = remaining;
            else
                h = hNew > largestGrowth * h ? largestGrowth * h : hNew;
        } else {
            h = hNew > largestGrowth * h ? largestGrowth * h : hNew;
            if (h >= remaining) h = remaining;
        }
    }
}

// One accepted point of an integration: the time and the state there.
struct Rk45Point {
    double time = 0.0;
    std::vector<double> y;
};

// The incubation integration with every accepted point (nucleation calls
// integrateRelaxation below, the same steps without the rows): integrates dy/dt = g(t, y) from
// times[0] to times[1], starting with step h0, and returns the starting point
// followed by every accepted step. The only right-hand side, functionIndex 1,
// relaxes each component towards parameters[0] with the time constant
// parameters[1]: g = (parameters[0] - y) / parameters[1].
std::vector<Rk45Point> functionRk45adapt(double h0, const std::vector<double>& times,
                                         const std::vector<double>& y0, int functionIndex,
                                         const std::vector<double>& parameters);

// The same integration for one component relaxing towards `target` with the
// time constant `relaxationTime`; returns y at tEnd. Allocates nothing, so
// nucleation can call it at every time-step attempt.
double integrateRelaxation(double h0, double tStart, double tEnd, double y0, double target,
                           double relaxationTime);
