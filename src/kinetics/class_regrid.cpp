#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "kinetics/class_management_methods.h"
#include "kinetics/precipitate.h"

namespace {

enum class Interpolation { linear, quadratic };

// The density per unit radius g between old points a and b, at radius x.
double linearDensity(const std::vector<double>& R, const std::vector<double>& g, std::size_t a,
                     std::size_t b, double x)
{
    return g[a] + (g[b] - g[a]) * (x - R[a]) / (R[b] - R[a]);
}

// Lagrange parabola of g through old points v - 1, v and v + 1, at radius x.
double quadraticDensity(const std::vector<double>& R, const std::vector<double>& g, std::size_t v,
                        double x)
{
    const double r0 = R[v - 1];
    const double r1 = R[v];
    const double r2 = R[v + 1];
    return g[v - 1] * ((x - r1) * (x - r2)) / ((r0 - r1) * (r0 - r2))
           + g[v] * ((x - r0) * (x - r2)) / ((r1 - r0) * (r1 - r2))
           + g[v + 1] * ((x - r0) * (x - r1)) / ((r2 - r0) * (r2 - r1));
}

// The old class nearest to radius x, the first one on equal distances, given
// `above`, the first old class with x <= R[above] (n when there is none).
// Over sorted radii the computed distances never rise before `above` and never
// fall from it on, but distances that round to the same value can form a
// plateau, whose first class is then the nearest one.
std::size_t nearestClass(const std::vector<double>& R, std::size_t n, std::size_t above, double x)
{
    if (above == 0) return 0;
    if (above < n && std::fabs(R[above] - x) < std::fabs(R[above - 1] - x)) return above;
    std::size_t v = above - 1;
    while (v > 0 && std::fabs(R[v - 1] - x) == std::fabs(R[v] - x)) --v;
    return v;
}

// Sorts the classes by radius when they are not already in order.
void sortIfNeeded(Precipitate& phase)
{
    if (!std::is_sorted(phase.radius.begin(), phase.radius.end())) phase.SortClasses();
}

// M regularly spaced radii from the smallest old radius to the largest one
// (sorted old classes), all with number 0.
void buildGrid(const std::vector<double>& R, int M, std::vector<double>& gridRadius,
               std::vector<double>& gridNumber, double& spacing)
{
    const double span = R.back() - R.front();
    spacing = span / (M - 1);
    gridRadius.resize(static_cast<std::size_t>(M));
    gridNumber.assign(static_cast<std::size_t>(M), 0.0);
    for (int i = 0; i < M; ++i) gridRadius[i] = R.front() + i * spacing;
}

// Puts the new classes in place of the old ones and restores the mean radius
// and the volume fraction measured before. When that cannot be done the old
// classes come back and the phase is left as it was.
void install(Precipitate& phase, std::vector<double>& gridRadius, std::vector<double>& gridNumber,
             double meanRadiusBefore, double volumeFractionBefore)
{
    phase.radius.swap(gridRadius);
    phase.number.swap(gridNumber);
    if (!class_management::rescaleRadii(phase, meanRadiusBefore)
        || !class_management::rescaleNumbers(phase, volumeFractionBefore)) {
        phase.radius.swap(gridRadius);
        phase.number.swap(gridNumber);
        class_management::warnSkipped(
            phase, "the new classes cannot keep the mean radius and the volume fraction.");
    }
}

// `lin` and `quad`: the new numbers sample the old number density per unit
// radius on the new grid.
void regridFromDensity(Precipitate& phase, Interpolation interpolation)
{
    const std::size_t n = std::min(phase.radius.size(), phase.number.size());
    if (n <= 1) return;
    sortIfNeeded(phase);
    const std::vector<double>& R = phase.radius;
    const std::vector<double>& N = phase.number;
    for (std::size_t k = 1; k < n; ++k) {
        if (R[k] == R[k - 1]) {
            class_management::warnSkipped(phase, "two classes have the same radius.");
            return;
        }
    }
    const int M = phase.targetClassNumber;
    if (M < 2) {
        class_management::warnSkipped(phase, "targetClassNumber must be at least 2.");
        return;
    }

    const double volumeFractionBefore = phase.VolumeFraction();
    const double meanRadiusBefore = phase.MeanRadius();

    std::vector<double> g(n);
    for (std::size_t k = 0; k + 1 < n; ++k) g[k] = N[k] / std::fabs(R[k + 1] - R[k]);
    g[n - 1] = N[n - 1] / std::fabs(R[n - 1] - R[n - 2]);

    std::vector<double> gridRadius;
    std::vector<double> gridNumber;
    double spacing = 0.0;
    buildGrid(R, M, gridRadius, gridNumber, spacing);
    const std::size_t last = static_cast<std::size_t>(M) - 1;
    gridNumber[0] = spacing * g[0];
    gridNumber[last] = spacing * g[n - 1];

    // Both radius lists are increasing, so one walk over the old classes
    // serves the whole grid.
    if (interpolation == Interpolation::linear) {
        std::size_t j = 1; // first old class with x <= R[j]
        for (std::size_t i = 1; i < last; ++i) {
            const double x = gridRadius[i];
            while (j < n && !(x <= R[j])) ++j;
            if (j == n) break;
            if (R[j - 1] < x) gridNumber[i] = spacing * linearDensity(R, g, j - 1, j, x);
        }
    } else {
        std::size_t above = 0; // first old class with x <= R[above]
        for (std::size_t i = 1; i < last; ++i) {
            const double x = gridRadius[i];
            while (above < n && !(x <= R[above])) ++above;
            const std::size_t v = nearestClass(R, n, above, x);
            double density = 0.0;
            if (v == 0) {
                density = linearDensity(R, g, 0, 1, x);
            } else if (v == n - 1) {
                density = linearDensity(R, g, n - 2, n - 1, x);
            } else {
                density = quadraticDensity(R, g, v, x);
                if (density < 0.0) density = linearDensity(R, g, v - 1, v + 1, x);
            }
            gridNumber[i] = spacing * density;
        }
    }

    install(phase, gridRadius, gridNumber, meanRadiusBefore, volumeFractionBefore);
}

} // namespace

void class_management::regridLinear(Precipitate& phase)
{
    regridFromDensity(phase, Interpolation::linear);
}

void class_management::regridQuadratic(Precipitate& phase)
{
    regridFromDensity(phase, Interpolation::quadratic);
}

void class_management::regridByDistribution(Precipitate& phase)
{
    const std::size_t n = std::min(phase.radius.size(), phase.number.size());
    const int M = phase.targetClassNumber;
    if (n < 2 || static_cast<double>(n) < 0.9 * M) return;
    if (M < 2) {
        class_management::warnSkipped(phase, "targetClassNumber must be at least 2.");
        return;
    }
    sortIfNeeded(phase);
    const std::vector<double>& R = phase.radius;
    const std::vector<double>& N = phase.number;

    const double volumeFractionBefore = phase.VolumeFraction();
    const double meanRadiusBefore = phase.MeanRadius();

    std::vector<double> gridRadius;
    std::vector<double> gridNumber;
    double spacing = 0.0;
    buildGrid(R, M, gridRadius, gridNumber, spacing);

    // The small widening of the span keeps the largest class below the last
    // grid point, so that its upper neighbour exists.
    const double span = R[n - 1] - R[0];
    const double widenedSpan = span + 1e-12;
    const int lastLower = M - 2;
    for (std::size_t k = 0; k < n; ++k) {
        const double p = (R[k] - R[0]) / widenedSpan * (M - 1);
        int u = 0;
        if (p >= lastLower)
            u = lastLower;
        else if (p > 0.0)
            u = static_cast<int>(p);
        gridNumber[u] += (u + 1 - p) * N[k];
        gridNumber[u + 1] += (p - u) * N[k];
    }

    install(phase, gridRadius, gridNumber, meanRadiusBefore, volumeFractionBefore);
}
