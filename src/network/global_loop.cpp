#include <algorithm>
#include <cmath>
#include <limits>

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
    if (nbConnections != 0) {
        runConnectedNodes();
    } else {
        runIndependentNodes();
        for (Ostrel& node : nodes) integrateUncoupledHardening(node);
    }
}

void nodeOstrel::integrateUncoupledHardening(Ostrel& node)
{
    MechanicalModel& mechanics = node.mechanicalModel;
    if (!mechanics.mechanicsOn || !mechanics.hardeningComputation || node.hardeningCoupled()) return;
    HardeningResults(true, true, node.time, mechanics, node.nodeNumber, {});
    const std::vector<HardeningRecord> records = mechanics.BehaviourUncoupledIntegration(node.precipitates.size());
    HardeningResults(false, true, node.time, mechanics, node.nodeNumber, records);
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
    Lockstep alone(nodes.size());
    runConnectedNodes(alone);
}

void nodeOstrel::runConnectedNodes(Lockstep& team)
{
    std::vector<WorkingSet> work(nodes.size());
    unsigned int n = 1;
    unsigned int rejected = 0;
    // The template's profile and node 0's clock stand for the whole network,
    // which advances in lockstep; every process follows node 0's clock,
    // whichever of them advances node 0.
    const double tEnd = templateNode().temperatureProfile.GetLastTime();
    double networkTime = nodes[0].time;

    while (!reachedEnd(networkTime, tEnd)) {
        const std::optional<std::size_t> rejectingNode = attemptEveryNode(team, work, n);
        if (rejectingNode) {
            ++rejected;
            ++rejectedStepCount;
            takeRejectedStep(nodes[*rejectingNode].nodeNumber);
        } else if (!diffuseBetweenNodes(team, work)) {
            // Not counted as a rejected step; reported as node 0's.
            takeRejectedStep(nodes[0].nodeNumber);
        } else {
            const double stepStart = networkTime;
            const StepCommitted committed = commitEveryNode(team, work, n);
            networkTime = committed.node0Time;
            takeAcceptedStep(committed.proposedStep, stepStart);
            ++n;
        }
        for (std::size_t i = team.firstNode(); i < team.endNode(); ++i) nodes[i].adoptTimeStep(globalTimeStep);
        team.endStep();
    }

    team.forEachNode([&](std::size_t i) {
        finishNode(nodes[i], n);
        return true;
    });
    networkConsole.say("Time steps: " + std::to_string(n));
    networkConsole.say("Rejected time steps: " + std::to_string(rejected));
    team.forEachNode([&](std::size_t i) {
        integrateUncoupledHardening(nodes[i]);
        return true;
    });
    team.endStep();
}

// The loops over the nodes and their agreements (all accepted, smallest
// proposed step) are all that spreading the nodes over processes changes.
std::optional<std::size_t> nodeOstrel::attemptEveryNode(Lockstep& team, std::vector<WorkingSet>& work, unsigned int n)
{
    const std::optional<std::size_t> rejectingNode =
        team.forEachNode([&](std::size_t i) { return nodes[i].attemptStep(work[i], n, rejectionReason); });
    // Only the rejecting node's process has written the reason.
    if (rejectingNode) team.agreeOnText(rejectionReason, *rejectingNode);
    return rejectingNode;
}

nodeOstrel::StepCommitted nodeOstrel::commitEveryNode(Lockstep& team, std::vector<WorkingSet>& work, unsigned int n)
{
    double agreed[] = {constants::largestTimeStep, std::numeric_limits<double>::infinity()};
    team.forEachNode(
        [&](std::size_t i) {
            agreed[0] = std::min(agreed[0], nodes[i].commitStep(work[i], n, lastStepRejected));
            if (i == 0) agreed[1] = nodes[0].time;
            return true;
        },
        agreed);
    return {agreed[0], agreed[1]};
}

bool nodeOstrel::diffuseBetweenNodes(Lockstep& team, std::vector<WorkingSet>& work)
{
    if (onlyMechanic()) return true;
    soluteExchange.describeNodes(nodes);
    for (std::size_t i = team.firstNode(); i < team.endNode(); ++i) soluteExchange.takeInventory(i, nodes[i], work[i]);
    // Every process goes through every connection with the same numbers.
    team.shareNodeNumbers(soluteExchange.nodeNumbers(), soluteExchange.numbersPerNode());
    if (!soluteExchange.exchange(connections, globalTimeStep, smallestTimeStep())) {
        rejectionReason = "flux between nodes would reverse a concentration difference";
        return false;
    }
    if (!soluteExchange.fluxOccurred()) return true;
    if (!soluteExchange.fractionsWithinBounds()) {
        rejectionReason = "contentAtFrac <0 or >1 after diffusion between nodes occured";
        return false;
    }
    team.eachNode([&](std::size_t i) {
        soluteExchange.writeNominalFractions(i, work[i]);
        nodes[i].rebalanceWorkingSet(work[i]);
    });
    return true;
}

bool nodeOstrel::diffuseBetweenNodes(std::vector<WorkingSet>& work)
{
    Lockstep alone(nodes.size());
    return diffuseBetweenNodes(alone, work);
}
