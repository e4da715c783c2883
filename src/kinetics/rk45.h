#pragma once

#include <vector>

// One accepted point of an integration: the time and the state there.
struct Rk45Point {
    double time = 0.0;
    std::vector<double> y;
};

// Integrates dy/dt = g(t, y) from times[0] to times[1] with the embedded
// Dormand-Prince 5(4) pair and adaptive steps, starting with step h0 and
// landing exactly on times[1]. Returns the starting point followed by every
// accepted step. The only right-hand side, functionIndex 1, relaxes each
// component towards parameters[0] with the time constant parameters[1]:
// g = (parameters[0] - y) / parameters[1].
std::vector<Rk45Point> functionRk45adapt(double h0, const std::vector<double>& times,
                                         const std::vector<double>& y0, int functionIndex,
                                         const std::vector<double>& parameters);

// The same integration for one component relaxing towards `target` with the
// time constant `relaxationTime`; returns y at tEnd. Allocates nothing, so
// nucleation can call it at every time-step attempt.
double integrateRelaxation(double h0, double tStart, double tEnd, double y0, double target,
                           double relaxationTime);
