#include "kinetics/solvers.h"

#include "core/log.h"

// Work in progress: bodies follow.
double SolverSettings::NewtonRaphson(double, double, std::string_view, double&, const GrowthEquation&) const { Log::fatalError("NewtonRaphson: not built yet"); }
double SolverSettings::constrainedNewtonRaphson(double, double, std::string_view, double&, const GrowthEquation&) const { Log::fatalError("constrainedNewtonRaphson: not built yet"); }
double SolverSettings::Brent(double, double, std::string_view, double&, const GrowthEquation&) const { Log::fatalError("Brent: not built yet"); }
double SolverSettings::Dichotomy(double, double, std::string_view, double&, const GrowthEquation&) const { Log::fatalError("Dichotomy: not built yet"); }
