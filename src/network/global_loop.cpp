#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "mechanics/mechanical_results.h"
#include "network/node_ostrel.h"

namespace {

bool reachedEnd(double t, double tEnd)
{
    return !(tEnd > t) || std::fabs(t - tEnd) <= constants::timeTolerance;
}

} // namespace

void nodeOstrel::run()
{
    if (nbConnections != 0)
        runConnectedNodes();
    else
        runIndependentNodes();
    integrateUncoupledHardening();
}

void nodeOstrel::integrateUncoupledHardening()
{
    if (!mechanicalModelDefined() || hardeningCoupling() || semiHardeningCoupling()) return;
    for (Ostrel& node : nodes) {
        MechanicalModel& mechanics = node.mechanicalModel;
        if (!mechanics.hardeningComputation) continue;
        HardeningResults(true, true, node.time, mechanics, node.nodeNumber, {});
        const std::vector<HardeningRecord> records = mechanics.BehaviourUncoupledIntegration(node.precipitates.size());
        HardeningResults(false, true, node.time, mechanics, node.nodeNumber, records);
    }
}

void nodeOstrel::finishNode(Ostrel& node, unsigned int n)
{
    // The closing record carries the end time with the profile's temperature
    // at that time (not the temperature at the start of the last step).
    const double tEnd = node.temperatureProfile.GetLastTime();
    const double T = node.temperatureProfile.GetTemperature(tEnd);
    node.saveResults(T, node.timeStep, n, true);
    node.output.CheckCoupledRecords(node.temperatureProfile);
}

void nodeOstrel::takeAcceptedStep(double proposedTimeStep, double shownTime)
{
    globalTimeStep = proposedTimeStep;
    ++acceptedStepCount;
    lastStepRejected = false;
    // A silent run does not even build its progress lines.
    if (!networkConsole.silent()) networkConsole.say("Simulation time " + conversion::toDefaultText(shownTime));
}

void nodeOstrel::takeRejectedStep(int rejectingNodeNumber)
{
    lastStepRejected = true;
    globalTimeStep = reduceDT * globalTimeStep;
    if (!networkConsole.silent())
        networkConsole.say("Time step rejected by node " + std::to_string(rejectingNodeNumber) + " because " +
                           rejectionReason);
}

void nodeOstrel::runIndependentNodes()
{
    for (std::size_t i = 0; i < nodes.size(); ++i) runIndependentNode(i);
}

void nodeOstrel::runIndependentNode(std::size_t i)
{
    WorkingSet work;
    Ostrel& node = nodes[i];
    unsigned int n = 1;
    unsigned int rejected = 0;
    globalTimeStep = node.timeStep;
    const double tEnd = node.temperatureProfile.GetLastTime();

    while (!reachedEnd(node.time, tEnd)) {
        if (node.attemptStep(work, n, rejectionReason)) {
            const double proposed = node.commitStep(work, n, lastStepRejected);
            takeAcceptedStep(proposed, node.time);
            ++n;
        } else {
            ++rejected;
            ++rejectedStepCount;
            takeRejectedStep(static_cast<int>(i));
        }
        node.adoptTimeStep(globalTimeStep);
    }

    finishNode(node, n);
    networkConsole.say("Computation ended for node " + std::to_string(i));
    networkConsole.say("Time steps: " + std::to_string(n));
    networkConsole.say("Rejected time steps: " + std::to_string(rejected));
}

void nodeOstrel::runConnectedNodes()
{
    std::vector<WorkingSet> work(nodes.size());
    unsigned int n = 1;
    unsigned int rejected = 0;
    // The template's profile and node 0's clock stand for the whole network,
    // which advances in lockstep.
    const double tEnd = templateNode().temperatureProfile.GetLastTime();

    while (!reachedEnd(nodes[0].time, tEnd)) {
        const std::optional<std::size_t> rejectingNode = attemptEveryNode(work, n);
        if (rejectingNode) {
            ++rejected;
            ++rejectedStepCount;
            takeRejectedStep(nodes[*rejectingNode].nodeNumber);
        } else if (!diffuseBetweenNodes(work)) {
            // Not counted as a rejected step; reported as node 0's.
            takeRejectedStep(nodes[0].nodeNumber);
        } else {
            const double stepStart = nodes[0].time;
            takeAcceptedStep(commitEveryNode(work, n), stepStart);
            ++n;
        }
        for (Ostrel& node : nodes) node.adoptTimeStep(globalTimeStep);
    }

    for (Ostrel& node : nodes) finishNode(node, n);
    networkConsole.say("Time steps: " + std::to_string(n));
    networkConsole.say("Rejected time steps: " + std::to_string(rejected));
}

// The loops over the nodes and their two reductions (all accepted, smallest
// proposed step) are all that spreading the nodes over processes changes.
std::optional<std::size_t> nodeOstrel::attemptEveryNode(std::vector<WorkingSet>& work, unsigned int n)
{
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (!nodes[i].attemptStep(work[i], n, rejectionReason)) return i;
    return std::nullopt;
}

double nodeOstrel::commitEveryNode(std::vector<WorkingSet>& work, unsigned int n)
{
    double smallest = constants::largestTimeStep;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        smallest = std::min(smallest, nodes[i].commitStep(work[i], n, lastStepRejected));
    return smallest;
}

bool nodeOstrel::diffuseBetweenNodes(std::vector<WorkingSet>& work)
{
    if (onlyMechanic()) return true;
    soluteExchange.resize(nodes.size(), nodes[0].elements.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) soluteExchange.takeInventory(i, nodes[i], work[i]);
    if (!soluteExchange.exchange(connections, globalTimeStep, smallestTimeStep())) {
        rejectionReason = "flux between nodes would reverse a concentration difference";
        return false;
    }
    if (!soluteExchange.fluxOccurred()) return true;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!soluteExchange.writeNominalFractions(i, work[i])) {
            rejectionReason = "contentAtFrac <0 or >1 after diffusion between nodes occured";
            return false;
        }
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) nodes[i].rebalanceWorkingSet(work[i]);
    return true;
}
