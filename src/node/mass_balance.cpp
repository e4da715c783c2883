#include "node/mass_balance.h"

#include <cmath>

#include "core/log.h"
#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"

namespace {

// Stoichiometric coefficient of the element in the phase. Every phase lists
// the node's elements in the node's order, so the element's position finds it
// without comparing names; the name lookup stays as a guard for a list that
// does not reach that far.
double stoichiometryOf(const Precipitate& precipitate, const Element& element)
{
    const auto position = static_cast<std::size_t>(element.index);
    if (element.index >= 0 && position < precipitate.stoichiometry.size())
        return precipitate.stoichiometry[position];
    return precipitate.Stoichiometry(element.name);
}

// Solute left outside the precipitates over the atoms left in solid solution.
template <typename VolumeFractionOf>
double standardBalance(const Element& element, const Matrix& matrix, const std::vector<Precipitate>& precipitates,
                       VolumeFractionOf volumeFractionOf)
{
    const double V = matrix.VatSS;
    double x = element.nominalFraction;
    double c = 0.0;
    for (std::size_t p = 0; p < precipitates.size(); ++p) {
        const Precipitate& precipitate = precipitates[p];
        const double f = volumeFractionOf(p);
        if (f == 0.0) continue; // adds nothing, and keeps 0 * inf out for a phase of zero atomic volume
        const double a = V / precipitate.atomicVolume;
        x = x - f * a * stoichiometryOf(precipitate, element) / precipitate.stoichiometrySum;
        c = c + f * a;
    }
    return x / (1.0 - c);
}

// Measures the solid solution by its volume share 1 - F instead of by the atoms removed.
template <typename VolumeFractionOf>
double improvedBalance(const Element& element, const Matrix& matrix, const std::vector<Precipitate>& precipitates,
                       VolumeFractionOf volumeFractionOf)
{
    const double V = matrix.VatSS;
    double F = 0.0;
    double A = 0.0;
    double B = 0.0;
    for (std::size_t p = 0; p < precipitates.size(); ++p) {
        const Precipitate& precipitate = precipitates[p];
        const double f = volumeFractionOf(p);
        if (f == 0.0) continue; // adds nothing, and keeps 0 * inf out for a phase of zero atomic volume
        const double a = V / precipitate.atomicVolume;
        F += f;
        A += f * a;
        B += f * a * stoichiometryOf(precipitate, element) / precipitate.stoichiometrySum;
    }
    return ((1.0 - F + A) * element.nominalFraction - B) / (1.0 - F);
}

void checkStandardResult(const Element& element)
{
    if (element.checkFraction && !(std::isfinite(element.ssFraction) && element.ssFraction >= 0.0))
        Log::fatalError("X is not >0 for first massBalance, so initialDistrib have a problem");
}

void checkImprovedResult(const Element& element)
{
    const double x = element.ssFraction;
    if (element.checkFraction && !(std::isfinite(x) && x >= 0.0 && x <= 1.0))
        Log::fatalError("Initial Distribution leads to unphysical atomic fractions");
}

// The variant the element's flag selects, with its check.
template <typename VolumeFractionOf>
void balance(Element& element, const Matrix& matrix, const std::vector<Precipitate>& precipitates,
             VolumeFractionOf volumeFractionOf)
{
    if (element.standardMassBalance) {
        element.ssFraction = standardBalance(element, matrix, precipitates, volumeFractionOf);
        checkStandardResult(element);
    } else {
        element.ssFraction = improvedBalance(element, matrix, precipitates, volumeFractionOf);
        checkImprovedResult(element);
    }
}

} // namespace

void MassBalance(Element& element, const Matrix& matrix, const std::vector<Precipitate>& precipitates)
{
    balance(element, matrix, precipitates,
            [&precipitates](std::size_t p) { return precipitates[p].VolumeFraction(); });
}

void MassBalance(Element& element, const Matrix& matrix, const std::vector<Precipitate>& precipitates,
                 const std::vector<double>& volumeFractions)
{
    balance(element, matrix, precipitates, [&volumeFractions](std::size_t p) { return volumeFractions[p]; });
}
