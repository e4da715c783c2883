#pragma once

#include <string_view>

#include "core/variant_word.h"

// Codes of nonLinearAlgorithm, the root finder of two-element growth, and the
// words that select them.
namespace nonlinear_algorithm {
inline constexpr int newtonRaphson = 1;
inline constexpr int constrainedNewtonRaphson = 2;
inline constexpr int brent = 3;
inline constexpr int dichotomy = 4;
} // namespace nonlinear_algorithm

inline constexpr VariantWord nonLinearAlgorithmWords[] = {
    {"NR", nonlinear_algorithm::newtonRaphson},
    {"CNR", nonlinear_algorithm::constrainedNewtonRaphson},
    {"brent", nonlinear_algorithm::brent},
    {"dicho", nonlinear_algorithm::dichotomy},
};

// Coefficients of the interface-composition equation of two-element growth,
// named "2elementSphere":
//   F(x) = c0 x^((p+q)/q) + c1 x^(p/q) + c2 x + c3
struct GrowthEquation {
    double c0 = 0.0;
    double c1 = 0.0;
    double c2 = 0.0;
    double c3 = 0.0;
    double p = 0.0;
    double q = 0.0;
};

inline constexpr std::string_view twoElementSphere = "2elementSphere";

// Root finders of one precipitate phase with their tolerances. Each solves
// the named equation on the bracket [a, b]; Brent and the dichotomy extend b
// by `factor` once when the bracket shows no sign change.
class SolverSettings {
public:
    double tolBrentDicho = 1e-9;
    double tolNR = 1000.0;
    double maxCountNR = 100.0;

    double NewtonRaphson(double a, double b, std::string_view equation, double& factor,
                         const GrowthEquation& eq) const;
    double constrainedNewtonRaphson(double a, double b, std::string_view equation, double& factor,
                                    const GrowthEquation& eq) const;
    double Brent(double a, double b, std::string_view equation, double& factor,
                 const GrowthEquation& eq) const;
    double Dichotomy(double a, double b, std::string_view equation, double& factor,
                     const GrowthEquation& eq) const;
};
