#include "kinetics/rk45.h"

#include <cstddef>

#include "core/log.h"

namespace {

// Step control of the incubation integrator. Accepted steps in a row that
// leave t unchanged before the integration is given up; a relaxation settles
// within a few thousand of them.
const DormandPrinceSettings incubationSettings{
    1e-6, true, nullptr, "In functionRk45adapt, the step became too small to advance the time", 1000000,
    nullptr};

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
    std::vector<double> work(dormand_prince::workSize(n));
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
    integrateDormandPrince(incubationSettings, h0, times[0], times[1], y.data(), n, work.data(), relax,
                           record);
    return rows;
}

double integrateRelaxation(double h0, double tStart, double tEnd, double y0, double target,
                           double relaxationTime)
{
    double y = y0;
    double work[dormand_prince::workSize(1)];
    auto relax = [target, relaxationTime](double, const double* state, double* dydt) {
        dydt[0] = (target - state[0]) / relaxationTime;
    };
    integrateDormandPrince(incubationSettings, h0, tStart, tEnd, &y, 1, work, relax,
                           [](double, const double*) {});
    return y;
}
