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

} // namespace

void Element::MassBalance(const Matrix& matrix, const std::vector<Precipitate>& precipitates)
{
    if (standardMassBalance)
        StandardMassBalance(matrix, precipitates);
    else
        ImprovedMassBalance(matrix, precipitates);
}

// Solute left outside the precipitates over the atoms left in solid solution.
void Element::StandardMassBalance(const Matrix& matrix, const std::vector<Precipitate>& precipitates)
{
    const double V = matrix.VatSS;
    double x = nominalFraction;
    double c = 0.0;
    for (const Precipitate& precipitate : precipitates) {
        const double f = precipitate.VolumeFraction();
        if (f == 0.0) continue; // adds nothing, and keeps 0 * inf out for a phase of zero atomic volume
        const double a = V / precipitate.atomicVolume;
        x = x - f * a * stoichiometryOf(precipitate, *this) / precipitate.stoichiometrySum;
        c = c + f * a;
    }
    ssFraction = x / (1.0 - c);
    if (checkFraction && !(std::isfinite(ssFraction) && ssFraction >= 0.0))
        Log::fatalError("X is not >0 for first massBalance, so initialDistrib have a problem");
}

// Measures the solid solution by its volume share 1 - F instead of by the atoms removed.
void Element::ImprovedMassBalance(const Matrix& matrix, const std::vector<Precipitate>& precipitates)
{
    const double V = matrix.VatSS;
    double F = 0.0;
    double A = 0.0;
    double B = 0.0;
    for (const Precipitate& precipitate : precipitates) {
        const double f = precipitate.VolumeFraction();
        if (f == 0.0) continue; // adds nothing, and keeps 0 * inf out for a phase of zero atomic volume
        const double a = V / precipitate.atomicVolume;
        F += f;
        A += f * a;
        B += f * a * stoichiometryOf(precipitate, *this) / precipitate.stoichiometrySum;
    }
    ssFraction = ((1.0 - F + A) * nominalFraction - B) / (1.0 - F);
    if (checkFraction && !(std::isfinite(ssFraction) && ssFraction >= 0.0 && ssFraction <= 1.0))
        Log::fatalError("Initial Distribution leads to unphysical atomic fractions");
}
