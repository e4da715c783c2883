#include "output/density_per_radius.h"

#include <algorithm>
#include <cmath>

#include "kinetics/precipitate.h"

double densityPerUnitRadius(const Precipitate& phase, std::size_t i, bool towardsNext)
{
    const std::vector<double>& R = phase.radius;
    const std::size_t n = std::min(R.size(), phase.number.size());
    const auto widthTowards = [&](bool next) {
        if (next) return i + 1 < n ? std::fabs(R[i + 1] - R[i]) : 0.0;
        return i > 0 ? std::fabs(R[i] - R[i - 1]) : 0.0;
    };
    double width = widthTowards(towardsNext);
    if (width == 0.0) width = widthTowards(!towardsNext);
    return width == 0.0 ? 0.0 : phase.number[i] / width;
}
