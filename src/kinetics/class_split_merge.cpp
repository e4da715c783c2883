#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "kinetics/class_management_methods.h"
#include "kinetics/precipitate.h"

namespace {

// Radius differences at or below this are treated as equal radii.
constexpr double radiusResolution = 2.220446049250313e-16;

// Builds in `splitRadius`/`splitNumber` the classes of the phase with a new
// class in each wide gap. The triples examined are those whose first class
// is 0, then 1 ... n - 4: inserting a class moves the next triple along with
// it, so the set does not depend on how many classes were inserted.
void splitInto(const Precipitate& phase, std::vector<double>& splitRadius,
               std::vector<double>& splitNumber)
{
    const std::vector<double>& R = phase.radius;
    const std::vector<double>& N = phase.number;
    const std::size_t n = R.size();
    const auto [smallest, largest] = std::minmax_element(R.begin(), R.end());
    const double wide = 2.0 * (*largest - *smallest) / phase.targetClassNumber;
    const std::size_t examinedEnd = std::max<std::size_t>(1, n - 3);

    splitRadius.clear();
    splitNumber.clear();
    splitRadius.reserve(n + examinedEnd);
    splitNumber.reserve(n + examinedEnd);
    for (std::size_t k = 0; k < n; ++k) {
        if (k < examinedEnd) {
            const double l = R[k];
            const double m = R[k + 1];
            const double o = R[k + 2];
            if (std::fabs(l - m) > wide && std::fabs(m - o) > radiusResolution
                && (o - m) * (m - l) > 0.0) {
                const double inserted = ((m - l) * N[k + 1] / (o - m) + N[k]) / 4.0;
                splitRadius.push_back(l);
                splitNumber.push_back(N[k] / 2.0);
                splitRadius.push_back((l + m) / 2.0);
                splitNumber.push_back(inserted);
                continue;
            }
        }
        splitRadius.push_back(R[k]);
        splitNumber.push_back(N[k]);
    }
}

// Merges, in place, each class with its upper neighbour when the gap between
// them is narrow and the next gap goes the same way; the merged class takes
// over the neighbour's share of the interval up to the class after it.
void mergeNarrowGaps(Precipitate& phase)
{
    std::vector<double>& R = phase.radius;
    std::vector<double>& N = phase.number;
    const std::size_t count = R.size();
    const auto [smallest, largest] = std::minmax_element(R.begin(), R.end());
    const double narrow = (*largest - *smallest) / (2.0 * phase.targetClassNumber);

    // `current` is the class examined, `next` the first class not yet kept.
    std::size_t current = 0;
    std::size_t next = 1;
    do {
        const double gap = std::fabs(R[next] - R[current]);
        if (narrow > gap && gap > radiusResolution
            && (R[next + 1] - R[next]) * (R[next] - R[current]) > 0.0) {
            N[current] = N[current] * (R[next + 1] - R[current]) / (R[next] - R[current]);
            ++next;
        } else {
            ++current;
            R[current] = R[next];
            N[current] = N[next];
            ++next;
        }
    } while (next + 1 < count);
    for (; next < count; ++next) {
        ++current;
        R[current] = R[next];
        N[current] = N[next];
    }
    R.resize(current + 1);
    N.resize(current + 1);
}

// Splits the wide gaps and keeps the volume fraction. On success the phase
// holds the split classes and `before*` the original ones; otherwise the
// phase is unchanged (with a warning) and false is returned.
bool splitAndRescale(Precipitate& phase, double volumeFractionBefore,
                     std::vector<double>& beforeRadius, std::vector<double>& beforeNumber)
{
    splitInto(phase, beforeRadius, beforeNumber);
    phase.radius.swap(beforeRadius);
    phase.number.swap(beforeNumber);
    if (!class_management::rescaleNumbers(phase, volumeFractionBefore)) {
        phase.radius.swap(beforeRadius);
        phase.number.swap(beforeNumber);
        class_management::warnSkipped(phase, "the new classes cannot keep the volume fraction.");
        return false;
    }
    return true;
}

} // namespace

void class_management::splitWideGaps(Precipitate& phase)
{
    if (phase.radius.size() <= 2 || phase.number.size() != phase.radius.size()) return;
    const double volumeFractionBefore = phase.VolumeFraction();
    std::vector<double> beforeRadius;
    std::vector<double> beforeNumber;
    splitAndRescale(phase, volumeFractionBefore, beforeRadius, beforeNumber);
}

void class_management::splitWideThenMergeNarrowGaps(Precipitate& phase)
{
    if (phase.radius.size() <= 2 || phase.number.size() != phase.radius.size()) return;
    const double volumeFractionBefore = phase.VolumeFraction();
    std::vector<double> beforeRadius;
    std::vector<double> beforeNumber;
    if (splitAndRescale(phase, volumeFractionBefore, beforeRadius, beforeNumber)) {
        mergeNarrowGaps(phase);
        if (!rescaleNumbers(phase, volumeFractionBefore)) {
            phase.radius.swap(beforeRadius);
            phase.number.swap(beforeNumber);
            warnSkipped(phase, "the new classes cannot keep the volume fraction.");
        } else {
            warnNegativeNumbers(phase);
        }
    }
}
