#include "kinetics/precipitate.h"

#include <algorithm>

#include "core/log.h"

// Removes the classes that are too small or too thin and thins the classes
// between the two dissolution radii linearly, so that particles below the
// lower radius vanish gradually rather than at once. Surviving classes are
// moved down in place, keeping their order, so nothing is allocated.
void Precipitate::Dissolve()
{
    if (shape < shape::sphere || shape > shape::rodFunction)
        Log::fatalError("Dissolution routine not defined for this shape");

    const double lower = minDissolutionLimit;
    const double upper = maxDissolutionLimit;
    const double limit = limitOfpreciInClassForDissolution;
    const bool thinning = lower < upper;
    const double width = upper - lower;

    const std::size_t n = std::min(radius.size(), number.size());
    std::size_t kept = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const double R = radius[k];
        double N = number[k];
        if (R < lower || N < limit) continue;
        if (thinning && R < upper) N = (R - lower) / width * N;
        radius[kept] = R;
        number[kept] = N;
        ++kept;
    }
    radius.resize(kept);
    number.resize(kept);
}
