#include "network/solute_exchange.h"

#include <algorithm>
#include <cmath>

#include "core/log.h"

namespace {

// Transfers at or below this amount (atoms) count as none.
constexpr double fluxTolerance = 2.220446049250313e-16;
// A forced equalisation may move at most this share of either inventory.
constexpr double largestForcedShare = 0.01;

} // namespace

void SoluteExchange::describeNodes(std::span<const Ostrel> nodes)
{
    const std::size_t elements = nodes.empty() ? 0 : nodes[0].elements.size();
    if (elements == elementCount && nodes.size() == volumes.size()) return;
    elementCount = elements;
    volumes.assign(nodes.size(), 0.0);
    interstitial.assign(nodes.size() * elements, 0);
    numbers.assign(nodes.size() * numbersPerNode(), 0.0);
    const std::size_t matrix = elementCount - 1;
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        volumes[n] = nodes[n].nodeFactor;
        for (std::size_t e = 0; e < matrix; ++e)
            interstitial[n * elementCount + e] = isInterstitial(nodes[n].elements[e].name);
    }
}

void SoluteExchange::takeInventory(std::size_t n, const Ostrel& node, const WorkingSet& work)
{
    // The mean atomic volume of the node: solid solution and precipitates.
    double F = 0.0;
    double G = 0.0;
    for (const Precipitate& precipitate : node.precipitates) {
        const double f = precipitate.VolumeFraction();
        F += f;
        G += f / precipitate.atomicVolume;
    }
    const double meanAtomicVolume = 1.0 / ((1.0 - F) / node.matrix.VatSS + G);
    double* mine = numbersOf(n);
    double& atoms = mine[0];
    double* inventories = mine + 1;
    double* concentrations = inventories + elementCount;
    double* diffusion = concentrations + elementCount;
    atoms = volumes[n] / meanAtomicVolume;

    const std::size_t matrix = elementCount - 1;
    double solutes = 0.0;
    for (std::size_t e = 0; e < matrix; ++e) {
        inventories[e] = work.elements[e].nominalFraction * atoms;
        solutes += inventories[e];
    }
    inventories[matrix] = atoms - solutes;

    const double solidSolutionAtomicVolume = work.matrix.VatSS;
    for (std::size_t e = 0; e < elementCount; ++e) {
        const Element& element = work.elements[e];
        concentrations[e] = element.ssFraction / solidSolutionAtomicVolume;
        // The exchange uses the coefficient without the inflation of the growth.
        diffusion[e] = element.DiffusionCoefficient(work.temperature) / element.diffusionInflation;
    }
}

bool SoluteExchange::exchange(std::span<const Connection> connections, double dt, double smallestTimeStep)
{
    flux = false;
    bool accepted = true;
    const std::size_t matrix = elementCount - 1;
    for (const Connection& connection : connections) {
        const std::size_t a = static_cast<std::size_t>(connection.first);
        const std::size_t b = static_cast<std::size_t>(connection.second);
        const double Va = volumes[a];
        const double Vb = volumes[b];
        double& atomsA = numbersOf(a)[0];
        double& atomsB = numbersOf(b)[0];
        double* inventoryA = numbersOf(a) + 1;
        double* inventoryB = numbersOf(b) + 1;
        const double* concentrationA = inventoryA + elementCount;
        const double* concentrationB = inventoryB + elementCount;
        const double* diffusionA = concentrationA + elementCount;
        const double* diffusionB = concentrationB + elementCount;
        const unsigned char* interstitialA = &interstitial[a * elementCount];

        // The matrix element takes part too: its own transfer cancels out in
        // the inventories, but it is checked for a reversal like the solutes.
        for (std::size_t e = 0; e < elementCount; ++e) {
            const double ca = concentrationA[e];
            const double cb = concentrationB[e];
            const double D = std::min(diffusionA[e], diffusionB[e]);
            double L = -D * (cb - ca) / connection.distance * connection.section * dt; // atoms from a to b

            if (std::fabs(L) > fluxTolerance) {
                const bool reverses = (ca > cb && cb + L / Vb > ca - L / Va) || (ca < cb && cb + L / Vb < ca - L / Va);
                if (reverses) {
                    const double equalising = (ca - cb) / (1.0 / Vb + 1.0 / Va);
                    if (dt > smallestTimeStep && (std::fabs(equalising) / inventoryA[e] > largestForcedShare ||
                                                  std::fabs(equalising) / inventoryB[e] > largestForcedShare)) {
                        // Nothing of this call is applied; the remaining
                        // connections are still gone through.
                        accepted = false;
                        break;
                    }
                    Log::logWarning("For flux : Time step too large but forcing it anyway.");
                    L = equalising;
                }
            }

            inventoryA[e] -= L;
            inventoryB[e] += L;
            if (interstitialA[e]) {
                // An interstitial adds atoms to a node without taking a lattice site.
                atomsA -= L;
                atomsB += L;
            } else {
                // A substitutional atom leaves a lattice site to the matrix.
                inventoryA[matrix] += L;
                inventoryB[matrix] -= L;
            }
            if (std::fabs(L) > fluxTolerance) flux = true;
        }
    }
    return accepted;
}

bool SoluteExchange::fractionsWithinBounds() const
{
    for (std::size_t n = 0; n < volumes.size(); ++n) {
        const double* mine = numbersOf(n);
        for (std::size_t e = 0; e < elementCount; ++e) {
            const double x = mine[1 + e] / mine[0];
            // A fraction that is not a number is outside as well.
            if (!(x >= 0.0 && x <= 1.0)) return false;
        }
    }
    return true;
}

void SoluteExchange::writeNominalFractions(std::size_t n, WorkingSet& work) const
{
    const double* mine = numbersOf(n);
    for (std::size_t e = 0; e < elementCount; ++e) work.elements[e].nominalFraction = mine[1 + e] / mine[0];
}
