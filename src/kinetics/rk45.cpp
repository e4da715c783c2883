#include "kinetics/rk45.h"

#include <cmath>
#include <cstddef>

#include "core/log.h"

namespace {

// Step control of the incubation integrator: error norm tolerance, relative
// and absolute scales of each component, safety factor and step limits.
constexpr double errorTolerance = 1e-6;
constexpr double relativeScale = 1e-10;
constexpr double absoluteScale = 1e-15;
constexpr double safetyFactor = 0.8;
constexpr double smallestShrink = 0.2;
constexpr double largestGrowth = 10.0;
// Accepted steps in a row that leave t unchanged before the integration is
// given up; a relaxation settles within a few thousand of them.
constexpr unsigned long stalledStepLimit = 1000000;

// Dormand-Prince 5(4) tableau.
constexpr double c2 = 1.0 / 5.0, c3 = 3.0 / 10.0, c4 = 4.0 / 5.0, c5 = 8.0 / 9.0;
constexpr double a21 = 1.0 / 5.0;
constexpr double a31 = 3.0 / 40.0, a32 = 9.0 / 40.0;
constexpr double a41 = 44.0 / 45.0, a42 = -56.0 / 15.0, a43 = 32.0 / 9.0;
constexpr double a51 = 19372.0 / 6561.0, a52 = -25360.0 / 2187.0, a53 = 64448.0 / 6561.0,
                 a54 = -212.0 / 729.0;
constexpr double a61 = 9017.0 / 3168.0, a62 = -355.0 / 33.0, a63 = 46732.0 / 5247.0,
                 a64 = 49.0 / 176.0, a65 = -5103.0 / 18656.0;
// Fifth-order weights (also the seventh stage's row).
constexpr double b1 = 35.0 / 384.0, b3 = 500.0 / 1113.0, b4 = 125.0 / 192.0,
                 b5 = -2187.0 / 6784.0, b6 = 11.0 / 84.0;
// Fifth-order minus fourth-order weights.
constexpr double e1 = 35.0 / 384.0 - 5179.0 / 57600.0;
constexpr double e3 = 500.0 / 1113.0 - 7571.0 / 16695.0;
constexpr double e4 = 125.0 / 192.0 - 393.0 / 640.0;
constexpr double e5 = -2187.0 / 6784.0 - -92097.0 / 339200.0;
constexpr double e6 = 11.0 / 84.0 - 187.0 / 2100.0;
constexpr double e7 = 0.0 - 1.0 / 40.0;

// Scratch of one integration: seven stages, the stage argument and y5, each
// of n components, laid out one after the other in `work` (9 n values).
//
// rhs(t, y, dydt) fills dydt; onAccept(t, y) sees every accepted point.
template <typename Rhs, typename OnAccept>
void dormandPrince(double h, double t, double tEnd, double* y, std::size_t n, double* work,
                   Rhs rhs, OnAccept onAccept)
{
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
    unsigned long stalledSteps = 0;

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
        const double hNew = safetyFactor * h * std::pow(errorTolerance / err, 1.0 / 5.0);

        if (err > errorTolerance) {
            h = hNew < smallestShrink * h ? smallestShrink * h : hNew;
            continue;
        }
        // A step of no length leaves the next step undefined.
        if (h <= 0.0)
            Log::fatalError("In functionRk45adapt, the step became too small to advance the time");
        // A step shorter than the resolution of t still advances the state, and
        // the steps grow again as the state settles; only an endless run of
        // them means the integration can no longer reach the end time. (An
        // undefined state makes t undefined instead, which ends the loop.)
        const double tNext = t + h;
        if (tNext == t) {
            if (++stalledSteps > stalledStepLimit)
                Log::fatalError("In functionRk45adapt, the step became too small to advance the time");
        } else {
            stalledSteps = 0;
        }
        t = tNext;
        for (std::size_t i = 0; i < n; ++i) y[i] = y5[i];
        onAccept(t, y);
        const double remaining = tEnd - t;
        if (remaining <= hNew)
            h = remaining;
        else
            h = hNew > largestGrowth * h ? largestGrowth * h : hNew;
    }
}

} // namespace

std::vector<Rk45Point> functionRk45adapt(double h0, const std::vector<double>& times,
                                         const std::vector<double>& y0, int functionIndex,
                                         const std::vector<double>& parameters)
{
    if (times.size() != 2) Log::fatalError("vector temps must have size 2");
    if (functionIndex != 1)
        Log::fatalError("In functionRk45adapt, 'indexFonctionAresoudre' must be 1 or other functions have to be implemented");
    if (parameters.size() < 2)
        Log::fatalError("In functionRk45adapt, function 1 needs two parameters");

    const std::size_t n = y0.size();
    std::vector<double> y = y0;
    std::vector<double> work(9 * n);
    std::vector<Rk45Point> rows;
    rows.push_back({times[0], y});

    const double target = parameters[0];
    const double relaxationTime = parameters[1];
    auto relax = [n, target, relaxationTime](double, const double* state, double* dydt) {
        for (std::size_t i = 0; i < n; ++i) dydt[i] = (target - state[i]) / relaxationTime;
    };
    auto record = [&rows, n](double t, const double* state) {
        rows.push_back({t, std::vector<double>(state, state + n)});
    };
    dormandPrince(h0, times[0], times[1], y.data(), n, work.data(), relax, record);
    return rows;
}

double integrateRelaxation(double h0, double tStart, double tEnd, double y0, double target,
                           double relaxationTime)
{
    double y = y0;
    double work[9];
    auto relax = [target, relaxationTime](double, const double* state, double* dydt) {
        dydt[0] = (target - state[0]) / relaxationTime;
    };
    dormandPrince(h0, tStart, tEnd, &y, 1, work, relax, [](double, const double*) {});
    return y;
}
