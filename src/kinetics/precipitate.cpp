#include "kinetics/precipitate.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/constants.h"
#include "core/log.h"
#include "material/element.h"

namespace {

constexpr double fourPiOverThree = 4.1887902047863905;
constexpr double twoPi = 6.283185307179586;
constexpr double ln10 = 2.302585092994046;

} // namespace

Precipitate::Precipitate(const std::vector<std::string>& nodeElementNames)
    : elementNames(nodeElementNames),
      stoichiometry(nodeElementNames.size(), 0.0),
      precipitateFraction(nodeElementNames.size(), 0.0)
{
}

double Precipitate::SolubilityProduct(double T) const
{
    return std::exp(ln10 * (solubilityB - solubilityA / T + solubilityC / (T * T)));
}

void Precipitate::Supersaturation(const std::vector<Element>& elements, double T)
{
    const double Ks = SolubilityProduct(T);
    // Element i of the node pairs with coefficient i of the phase.
    const std::size_t n = std::min(elements.size(), stoichiometry.size());
    double product = 1.0;
    for (std::size_t i = 0; i < n; ++i)
        product *= std::pow(elements[i].ssFraction, stoichiometry[i]);
    supersaturation = product / Ks;
    lnSupersaturation = std::log(supersaturation);
}

void Precipitate::DrivingForce(double T)
{
    stoichiometrySum = 0.0;
    for (double nu : stoichiometry) stoichiometrySum += nu;
    drivingForce = -constants::boltzmann * T * lnSupersaturation / (stoichiometrySum * atomicVolume);
}

void Precipitate::Rstar()
{
    const double gamma = surfaceEnergy;
    const double dGv = drivingForce;
    const double f = aspectRatio;
    switch (shape) {
    case shape::sphere:
        criticalRadius = -2.0 * gamma / dGv;
        break;
    case shape::rod:
    case shape::rodFunction:
        criticalRadius = -4.0 * gamma * f / (3.0 * dGv * (f - 2.0 / 3.0));
        break;
    case shape::cylinder:
    case shape::cylinderFunction:
        criticalRadius = -2.0 * gamma * (f + 2.0) / (3.0 * dGv);
        break;
    default:
        Log::fatalError("This shape is not implemented in Rstar calculation");
    }
}

void Precipitate::ThermodynamicState(const std::vector<Element>& elements, double T)
{
    Supersaturation(elements, T);
    DrivingForce(T);
    Rstar();
}

double Precipitate::InterfaceSolubilityProduct(double T, double R) const
{
    if (R == 0.0) return 0.0;
    return InterfaceSolubility(*this, T).at(R);
}

double Precipitate::Stoichiometry(const std::string& elementName) const
{
    for (std::size_t i = 0; i < elementNames.size(); ++i)
        if (elementNames[i] == elementName) return stoichiometry[i];
    Log::fatalError("element unfound in element list.");
}

double Precipitate::VolumeFraction() const
{
    if (radius.empty()) return 0.0;
    const std::size_t n = std::min(radius.size(), number.size());
    double sum = 0.0;
    for (std::size_t k = 0; k < n; ++k)
        sum += radius[k] * radius[k] * radius[k] * number[k];
    const double f = aspectRatio;
    switch (shape) {
    case shape::sphere:
        return fourPiOverThree * sum;
    case shape::rod:
    case shape::rodFunction:
        return (f - 2.0 / 3.0) * constants::pi * sum;
    case shape::cylinder:
    case shape::cylinderFunction:
        return (twoPi / f) * sum;
    default:
        Log::fatalError("This shape is not implemented in VolumeFraction");
    }
}

double Precipitate::MeanRadius() const
{
    const std::size_t n = std::min(radius.size(), number.size());
    double weighted = 0.0;
    double total = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        weighted += number[k] * radius[k];
        total += number[k];
    }
    if (radius.empty() || total == 0.0) return 0.0;
    return weighted / total;
}

double Precipitate::TotalNumber() const
{
    double total = 0.0;
    for (double n : number) total += n;
    return total;
}

void Precipitate::SortClasses()
{
    // Only complete (radius, number) pairs can be reordered together.
    const std::size_t n = std::min(radius.size(), number.size());
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return radius[a] < radius[b]; });
    std::vector<double> sortedRadius(radius);
    std::vector<double> sortedNumber(number);
    for (std::size_t k = 0; k < n; ++k) {
        sortedRadius[k] = radius[order[k]];
        sortedNumber[k] = number[order[k]];
    }
    radius.swap(sortedRadius);
    number.swap(sortedNumber);
}

double Precipitate::Radius(unsigned int k) const
{
    if (radius.empty()) return 0.0;
    if (k >= radius.size()) Log::fatalError("Index is larger than size of Radius vector");
    return radius[k];
}

double Precipitate::Number(unsigned int k) const
{
    if (number.empty()) return 0.0;
    if (k >= number.size()) Log::fatalError("Index is larger than size of Number vector");
    return number[k];
}

void Precipitate::SetDistribution(const std::vector<double>& radii, const std::vector<double>& numbers)
{
    radius = radii;
    number = numbers;
}
