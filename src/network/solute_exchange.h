#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "network/connection.h"
#include "node/ostrel.h"

// The solutes that connected nodes exchange during one global step, by
// Fick's first law with the smaller of the two nodes' diffusion coefficients.
// A call goes through three stages that keep the nodes' part apart from the
// connections' part: `takeInventory` turns one node into a few numbers (its
// atom count, and per element its inventory, solid-solution concentration
// and diffusion coefficient); `exchange` moves atoms along every connection
// in list order using those numbers only; `writeNominalFractions` hands one
// node its new nominal fractions. The numbers of a node are one block of
// nodeNumbers(), so that processes that each took the inventory of their own
// nodes can share them and all go through the connections alike. The numbers
// live here, sized once, and are reused from call to call.
class SoluteExchange {
public:
    // Room for the nodes, with what does not change during a run: their
    // volumes and which elements are interstitial. Allocates only when the
    // number of nodes or elements changes.
    void describeNodes(std::span<const Ostrel> nodes);

    // Node n: its atom count from its committed precipitates and matrix and
    // its volume, the atoms of each element from the nominal fractions of its
    // working set, and per element the solid-solution concentration (atoms
    // per m^3) and the diffusion coefficient at the attempt's temperature
    // without the node's inflation factor.
    void takeInventory(std::size_t n, const Ostrel& node, const WorkingSet& work);
    // The numbers that takeInventory writes, numbersPerNode() per node.
    std::span<double> nodeNumbers() { return numbers; }
    std::size_t numbersPerNode() const { return 1 + 3 * elementCount; }

    // Moves the atoms of a time step `dt` along every connection. False when
    // a transfer would reverse a concentration difference while the step is
    // above `smallestTimeStep` and the equalising amount is more than 1 % of
    // an inventory; a smaller reversal is forced to equal concentrations.
    bool exchange(std::span<const Connection> connections, double dt, double smallestTimeStep);
    // Whether the last exchange moved anything above the tolerance.
    bool fluxOccurred() const { return flux; }

    // Whether every new nominal fraction of every node is within [0, 1].
    bool fractionsWithinBounds() const;
    // Node n's new nominal fractions into its working set.
    void writeNominalFractions(std::size_t n, WorkingSet& work) const;

private:
    std::size_t elementCount = 0;
    std::vector<double> volumes; // m^3, per node
    // Per node and element (node after node).
    std::vector<unsigned char> interstitial;
    // Per node: the atom count, then per element the atoms of the element,
    // the concentration in solid solution (atoms per m^3) and the diffusion
    // coefficient (m^2/s).
    std::vector<double> numbers;
    bool flux = false;

    double* numbersOf(std::size_t n) { return &numbers[n * numbersPerNode()]; }
    const double* numbersOf(std::size_t n) const { return &numbers[n * numbersPerNode()]; }
};
