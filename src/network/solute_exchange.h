#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "network/connection.h"
#include "node/ostrel.h"

// The solutes that connected nodes exchange during one global step, by
// Fick's first law with the smaller of the two nodes' diffusion coefficients.
// A call goes through three stages that keep the nodes' part apart from the
// connections' part: `takeInventory` turns one node into a few numbers per
// element (inventory, solid-solution concentration, diffusion coefficient)
// and two per node (atom count, volume); `exchange` moves atoms along every
// connection in list order using those numbers only; `writeNominalFractions`
// hands one node its new nominal fractions. The numbers live here, sized
// once, and are reused from call to call.
class SoluteExchange {
public:
    // Room for `nodeCount` nodes of `elementCount` elements (matrix last);
    // allocates only when these change.
    void resize(std::size_t nodeCount, std::size_t elementCount);

    // Node n: its atom count from its committed precipitates and matrix and
    // its volume, the atoms of each element from the nominal fractions of its
    // working set, and per element the solid-solution concentration (atoms
    // per m^3) and the diffusion coefficient at the attempt's temperature
    // without the node's inflation factor.
    void takeInventory(std::size_t n, const Ostrel& node, const WorkingSet& work);

    // Moves the atoms of a time step `dt` along every connection. False when
    // a transfer would reverse a concentration difference while the step is
    // above `smallestTimeStep` and the equalising amount is more than 1 % of
    // an inventory; a smaller reversal is forced to equal concentrations.
    bool exchange(std::span<const Connection> connections, double dt, double smallestTimeStep);
    // Whether the last exchange moved anything above the tolerance.
    bool fluxOccurred() const { return flux; }

    // Node n's new nominal fractions into its working set. False, leaving the
    // rest unwritten, when one of them is not within [0, 1].
    bool writeNominalFractions(std::size_t n, WorkingSet& work) const;

private:
    std::size_t elementCount = 0;
    std::vector<double> volumes;        // m^3, per node
    std::vector<double> atoms;          // per node
    // Per node, one entry per element (node after node).
    std::vector<double> inventories;    // atoms of the element
    std::vector<double> concentrations; // atoms per m^3 in solid solution
    std::vector<double> diffusion;      // m^2/s
    std::vector<unsigned char> interstitial;
    bool flux = false;
};
