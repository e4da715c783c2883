#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "node/ostrel.h"

// Driver of a run. Its own Ostrel part is the template node read from the
// data file; the nodes are copies of it, placed in space and optionally
// connected, then advanced by the global time loop.
class nodeOstrel : public Ostrel {
public:
    std::vector<Ostrel> nodes;
    double coeffCFLcondition = 1.0;
    std::uint32_t nbNodes = 1;
    std::uint32_t nbConnections = 0;
    double globalTimeStep = 0.0;
    double reduceDT = 0.5;
    bool onlyMechanic = false;
    bool mechanicalModelDefined = false;
    bool hardeningCoupling = false;
    bool semiHardeningCoupling = false;
    bool lastStepRejected = false;
    // The network's console (progress of the loop, network keywords),
    // silenced by notVerbose; each node has its own.
    Console networkConsole;
    std::int32_t nodeIndexShift = 0;
    std::vector<std::pair<std::int32_t, std::int32_t>> connections;
    std::vector<double> connectionSections;
    double smallestTimeStep = 1e-9;
    std::string rejectionReason;
    // Totals over all nodes, for reports and benchmarks.
    unsigned long acceptedStepCount = 0;
    unsigned long rejectedStepCount = 0;

    void initialize(int argc, const char* const* argv);
    void run();

private:
    std::string dataFile;

    void readNodes();
    void readNodeDescriptions(bool singleNode);
    void readConnections();
    void readNetworkOptions();
    void copyMechanicalFlags();
    void prepareNode(Ostrel& node);

    void runIndependentNodes();
    void runConnectedNodes();
    void finishNode(Ostrel& node, unsigned int n);
};
