#pragma once

#include "core/variant_word.h"

class Precipitate;

// The class-management methods of one phase. Each keeps the phase's volume
// fraction by a final rescaling of the numbers; the regridding methods also
// keep its mean radius. When that rescaling cannot be done (a zero or
// undefined mean radius or volume fraction of the new classes), or when two
// classes share a radius in the methods that need a density per unit radius,
// the phase is left as it was and a warning says why.
namespace class_management {

// Codes of classManagementType, and the words that select them.
namespace method {
inline constexpr int no = 1;
inline constexpr int old = 2;
inline constexpr int lin = 3;
inline constexpr int distrib = 4;
inline constexpr int quad = 5;
inline constexpr int oldWithLess = 6;
} // namespace method

inline constexpr VariantWord methodWords[] = {
    {"no", method::no},           {"old", method::old},   {"lin", method::lin},
    {"distrib", method::distrib}, {"quad", method::quad}, {"oldWithLess", method::oldWithLess},
};

// `lin`: new regular grid, density per unit radius interpolated linearly.
void regridLinear(Precipitate& phase);
// `quad`: new regular grid, density per unit radius interpolated through the
// three nearest old classes.
void regridQuadratic(Precipitate& phase);
// `distrib`: new regular grid, each old class shared between the two nearest
// new radii; only once the phase holds nearly targetClassNumber classes.
void regridByDistribution(Precipitate& phase);
// `old`: splits the wide gaps between neighbouring classes.
void splitWideGaps(Precipitate& phase);
// `oldWithLess`: splits the wide gaps, then merges the narrow ones.
void splitWideThenMergeNarrowGaps(Precipitate& phase);

// Warns once per class whose number is negative.
void warnNegativeNumbers(const Precipitate& phase);

// Shared steps of the methods.
// Logs "Class management skipped for precipitate <name>: <reason>".
void warnSkipped(const Precipitate& phase, const char* reason);
// Multiplies every radius by meanRadiusBefore / MeanRadius(), or returns
// false (nothing changed) when that factor is not a finite number.
bool rescaleRadii(Precipitate& phase, double meanRadiusBefore);
// Multiplies every number by volumeFractionBefore / VolumeFraction(), or
// returns false (nothing changed) when that factor is not a finite number.
bool rescaleNumbers(Precipitate& phase, double volumeFractionBefore);

} // namespace class_management
