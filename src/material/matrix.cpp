#include "material/matrix.h"

#include <cmath>

#include "core/log.h"
#include "core/number_conversion.h"
#include "material/element.h"

namespace {

// A missing token reads as an empty argument (value 0) instead of past the line.
double numberAt(const KeywordLine& tokens, std::size_t position)
{
    return position < tokens.size() ? conversion::toDouble(tokens[position]) : 0.0;
}

// Zero is a valid entry; negative, infinite and not-a-number values are not.
bool isNonNegativeNumber(double value)
{
    return std::isfinite(value) && value >= 0.0;
}

} // namespace

void Matrix::ReadMatrix(const KeywordLine& tokens)
{
    name = tokens.size() > 1 ? tokens[1] : std::string();
    latticeParameter = numberAt(tokens, 2);
    if (!isNonNegativeNumber(latticeParameter)) Log::fatalError("Invalid lattice parameter for the matrix");
    atomicVolume = numberAt(tokens, 3);
    if (!isNonNegativeNumber(atomicVolume)) Log::fatalError("Invalid atomic volume for the matrix");
    molarMass = numberAt(tokens, 4);
    if (!isNonNegativeNumber(molarMass)) Log::fatalError("Invalid molar mass for the matrix");
    VatSS = atomicVolume;
}

void Matrix::UpdateVatSS(const std::vector<Element>& elements, bool useNominal)
{
    if (!computeVatSS || elements.size() <= 1) return;
    double interstitialFraction = 0.0;
    const std::size_t soluteCount = elements.size() - 1; // the matrix is the last entry
    for (std::size_t i = 0; i < soluteCount; ++i) {
        const Element& solute = elements[i];
        if (!isInterstitial(solute.name)) continue;
        interstitialFraction += useNominal ? solute.nominalFraction : solute.ssFraction;
    }
    VatSS = (1.0 - interstitialFraction) * atomicVolume;
}
