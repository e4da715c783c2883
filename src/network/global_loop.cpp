#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "network/node_ostrel.h"

namespace {

// The trial state of one node. Refilled from the node before every attempt
// by assignment, which reuses the storage of the previous attempt.
struct WorkingSet {
    Matrix matrix;
    std::vector<Element> elements;
    std::vector<Precipitate> precipitates;
    double temperature = 0.0;

    void refill(const Ostrel& node)
    {
        matrix = node.matrix;
        elements = node.elements;
        precipitates = node.precipitates;
    }
};

bool reachedEnd(double t, double tEnd)
{
    return !(tEnd > t) || std::fabs(t - tEnd) <= constants::timeTolerance;
}

// An accepted step that leaves the clock where it was would repeat forever.
void checkClockAdvanced(const Ostrel& node, double before)
{
    if (node.time == before)
        Log::fatalError("Time step too small to advance the time of node " + std::to_string(node.nodeNumber));
}

} // namespace

void nodeOstrel::run()
{
    if (nbConnections != 0)
        runConnectedNodes();
    else
        runIndependentNodes();
    // The uncoupled mechanical integration of every node follows here once
    // the mechanical model exists.
}

void nodeOstrel::finishNode(Ostrel& node, unsigned int n)
{
    // The closing record carries the end time with the profile's temperature
    // at that time (not the temperature at the start of the last step).
    const double tEnd = node.temperatureProfile.GetLastTime();
    const double T = node.temperatureProfile.GetTemperature(tEnd);
    node.output.SaveResults(node.matrix, node.elements, node.precipitates, node.temperatureProfile,
                            node.profileIndex, node.time, T, node.timeStep, n, node.nodeNumber, true);
    node.output.CheckCoupledRecords(node.temperatureProfile);
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
        work.refill(node);
        work.temperature = node.temperatureProfile.GetTemperature(node.time);
        node.storeCriterionValues(work.elements, work.precipitates, work.temperature);
        const bool accepted = node.computeTimeStep(work.matrix, work.elements, work.precipitates,
                                                   work.temperature, n, rejectionReason);
        if (accepted) {
            // The step's mechanics take their place here.
            const double before = node.time;
            globalTimeStep = node.acceptTimeStep(work.matrix, work.elements, work.precipitates,
                                                 work.temperature, n, lastStepRejected);
            checkClockAdvanced(node, before);
            ++n;
            ++acceptedStepCount;
            lastStepRejected = false;
            // A silent run does not even build its progress lines.
            if (!networkConsole.silent())
                networkConsole.say("Simulation time " + conversion::toDefaultText(node.time));
        } else {
            ++rejected;
            ++rejectedStepCount;
            lastStepRejected = true;
            globalTimeStep = reduceDT * globalTimeStep;
            if (!networkConsole.silent())
                networkConsole.say("Time step rejected by node " + std::to_string(i) + " because " +
                                   rejectionReason);
        }
        node.timeStep = globalTimeStep;
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
        bool allAccepted = true;
        std::size_t rejectingNode = 0;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            Ostrel& node = nodes[i];
            work[i].refill(node);
            work[i].temperature = node.temperatureProfile.GetTemperature(node.time);
            node.storeCriterionValues(work[i].elements, work[i].precipitates, work[i].temperature);
            if (!node.computeTimeStep(work[i].matrix, work[i].elements, work[i].precipitates, work[i].temperature,
                                      n, rejectionReason)) {
                ++rejected;
                ++rejectedStepCount;
                rejectingNode = i;
                allAccepted = false;
                break;
            }
        }
        // The solute exchange between connected nodes takes its place here;
        // until then a step that every node accepts is accepted.

        if (!allAccepted) {
            lastStepRejected = true;
            globalTimeStep = reduceDT * globalTimeStep;
            if (!networkConsole.silent())
                networkConsole.say("Time step rejected by node " + std::to_string(nodes[rejectingNode].nodeNumber) +
                                   " because " + rejectionReason);
        } else {
            const double stepStart = nodes[0].time;
            globalTimeStep = 1e300;
            for (std::size_t i = 0; i < nodes.size(); ++i) {
                const double before = nodes[i].time;
                const double proposed = nodes[i].acceptTimeStep(work[i].matrix, work[i].elements,
                                                                work[i].precipitates, work[i].temperature, n,
                                                                lastStepRejected);
                checkClockAdvanced(nodes[i], before);
                globalTimeStep = std::min(globalTimeStep, proposed);
            }
            ++n;
            ++acceptedStepCount;
            lastStepRejected = false;
            if (!networkConsole.silent())
                networkConsole.say("Simulation time " + conversion::toDefaultText(stepStart));
        }
        for (Ostrel& node : nodes) node.timeStep = globalTimeStep;
    }

    for (Ostrel& node : nodes) finishNode(node, n);
    networkConsole.say("Time steps: " + std::to_string(n));
    networkConsole.say("Rejected time steps: " + std::to_string(rejected));
}
