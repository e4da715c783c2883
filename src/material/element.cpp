#include "material/element.h"

#include <cmath>

#include "core/constants.h"

double Element::DiffusionCoefficient(double T) const
{
    // Without activation energy the Arrhenius factor is 1 at every temperature;
    // returning D0 directly also keeps 0/0 out at T = 0 K.
    if (Q == 0.0) return D0;
    return D0 * std::exp(-Q / (constants::gasConstant * T));
}

void Element::ComputeNominalFraction(const std::vector<Element>& elements)
{
    double moles = 0.0;
    for (const Element& element : elements) moles += element.wtPercent / element.molarMass;
    nominalFraction = (wtPercent / molarMass) / moles;
}

double Element::SolidSolutionWtPercent(const std::vector<Element>& elements) const
{
    double mass = 0.0;
    for (const Element& element : elements) mass += element.ssFraction * element.molarMass;
    return 100.0 * ssFraction * molarMass / mass;
}

void Element::SetDiffusionInflation(double factor)
{
    diffusionInflation = factor;
    D0 = factor * D0;
}

bool isInterstitial(const std::string& name)
{
    return name.size() == 1 && (name[0] == 'C' || name[0] == 'N' || name[0] == 'H');
}
