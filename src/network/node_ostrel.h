#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "network/connection.h"
#include "network/solute_exchange.h"
#include "core/data_file_reader.h"
#include "node/ostrel.h"
#include "parallel/lockstep.h"

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
    bool lastStepRejected = false;
    // The network's console (progress of the loop, network keywords),
    // silenced by notVerbose; each node has its own.
    Console networkConsole;
    std::int32_t nodeIndexShift = 0;
    // One per `connect` line, in file order.
    std::vector<Connection> connections;
    // The keyword smallestTimeStep: at or below this step the diffusion check
    // between nodes forces a step instead of rejecting it. It is not the
    // nodes' own lower limit (Ostrel::smallestTimeStep).
    double diffusionSmallestTimeStep = 1e-9;
    std::string rejectionReason;
    // Totals over all nodes, for reports and benchmarks.
    unsigned long acceptedStepCount = 0;
    unsigned long rejectedStepCount = 0;

    // Who writes each node's initial results (and meets the troubles of its
    // files): the reading itself, in node order, or later the process that
    // owns the node (prepareNode), in a run spread over processes.
    enum class NodePreparation { whileReading, byOwner };
    void initialize(int argc, const char* const* argv,
                    NodePreparation preparation = NodePreparation::whileReading);
    void run();
    // Temperature check and initial results of one node.
    void prepareNode(Ostrel& node);
    // The whole history of node i, for nodes that do not exchange solute.
    void runIndependentNode(std::size_t i);
    // The global time loop of connected nodes and their closing records, for
    // the nodes of `team`, in lockstep with the processes of the other nodes.
    void runConnectedNodes(Lockstep& team);
    // After the loop, without a hardening coupling: the node's hardening law
    // along its strain history on its final microstructure, with its results
    // file (nothing for a node without a hardening law).
    void integrateUncoupledHardening(Ostrel& node);

    // The solute exchange between connected nodes over the global time step,
    // on the working sets of every node once all of them accepted their
    // attempt: true accepts the step (the working sets then hold the
    // exchanged solid solutions), false rejects it with rejectionReason.
    bool diffuseBetweenNodes(std::vector<WorkingSet>& work);
    // The same for the nodes of `team`: each takes the inventory of its own
    // nodes, and writes the exchange into their working sets only.
    bool diffuseBetweenNodes(Lockstep& team, std::vector<WorkingSet>& work);

    // The template part holds fields of these names with a node's meaning.
    // For the network, the smallest time step is the diffusion check's, and
    // the mechanics-only mode and the mechanical flags have one home, the
    // nodes, node 0 speaking for the network (valid once the nodes exist).
    // These accessors hide the template's fields, so that network code
    // cannot read those by mistake; templateNode() names the template.
    double smallestTimeStep() const { return diffusionSmallestTimeStep; }
    bool onlyMechanic() const { return nodes[0].onlyMechanic; }
    bool hardeningCoupling() const { return nodes[0].mechanicalModel.mechanicalHardeningCoupling; }
    bool semiHardeningCoupling() const { return nodes[0].mechanicalModel.mechanicalSemiHardeningCoupling; }
    Ostrel& templateNode() { return *this; }
    const Ostrel& templateNode() const { return *this; }

private:
    std::string dataFile;

    // Reads the node count, makes the nodes, and returns the `node` lines,
    // whose number it has checked against the count.
    std::vector<KeywordLine> readNodes();
    void readNodeDescriptions(const std::vector<KeywordLine>& lines, bool singleNode);
    void readConnections();
    void readNodeProperties();
    void readOnlyMechanic();
    void readNetworkOptions();

    void runIndependentNodes();
    void runConnectedNodes();
    // Every node attempts the step, in node order, until one rejects it:
    // that node's index, or nothing when all of them accepted. Each process
    // attempts its own nodes; the rejecting node is the first of the network.
    std::optional<std::size_t> attemptEveryNode(Lockstep& team, std::vector<WorkingSet>& work, unsigned int n);
    // Every node commits its attempt: the smallest step they propose, and
    // node 0's clock after the step.
    struct StepCommitted {
        double proposedStep = 0.0;
        double node0Time = 0.0;
    };
    StepCommitted commitEveryNode(Lockstep& team, std::vector<WorkingSet>& work, unsigned int n);
    // The global time step changes only through these two: after an
    // accepted step it is the proposed one, after a rejection it shrinks.
    void takeAcceptedStep(double proposedTimeStep, double shownTime);
    void takeRejectedStep(int rejectingNodeNumber);
    void finishNode(Ostrel& node, unsigned int n);

    // The numbers of the exchange between nodes, kept from step to step.
    SoluteExchange soluteExchange;
};
