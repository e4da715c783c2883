#include "network/run_over_processes.h"

#include <cstdint>
#include <string>

#include "core/line_capture.h"
#include "core/log.h"
#include "core/run_protocol.h"
#include "network/node_ostrel.h"
#include "parallel/lockstep.h"
#include "parallel/ordered_lines.h"
#include "parallel/processes.h"

namespace {

// A block of lines on its way to the root: its place in the serial order
// (8 bytes, least significant first), whether it ended the run (1 byte),
// then the recorded lines. The place `endOfWork` says that its sender has
// no more blocks.
constexpr std::uint64_t endOfWork = ~std::uint64_t{0};
constexpr std::size_t placeBytes = 8;

std::string encodeBlock(std::uint64_t place, bool endsRun, const std::string& lines)
{
    std::string bytes;
    bytes.reserve(placeBytes + 1 + lines.size());
    appendLittleEndian(bytes, place, placeBytes);
    bytes.push_back(endsRun ? 1 : 0);
    bytes += lines;
    return bytes;
}

std::uint64_t placeOf(const std::string& bytes)
{
    return readLittleEndian(bytes, 0, placeBytes);
}

// Stands for the fatal error met by another process, with its message.
void reportFatalError(const std::string& message)
{
    try {
        Log::fatalError(message);
    } catch (const FatalErrorRaised&) {
    }
}

// Every process reads the data file; only the root's lines are written.
// The root reads first, so that an error of the data file is written by the
// root, completely, before any other process meets it.
bool readOnEveryProcess(Processes& processes, nodeOstrel& network, int argc, const char* const* argv)
{
    int readingOk = 1;
    if (processes.isRoot()) {
        beginRun();
        try {
            network.initialize(argc, argv, nodeOstrel::NodePreparation::byOwner);
        } catch (const FatalErrorRaised&) {
            readingOk = 0;
        }
    }
    if (processes.broadcastFromRoot(readingOk) == 0) return false;

    // Another machine may miss a file that the root found.
    std::string failure;
    if (!processes.isRoot()) {
        LineRecorder unwritten;
        line_capture::start(unwritten);
        try {
            network.initialize(argc, argv, nodeOstrel::NodePreparation::byOwner);
        } catch (const FatalErrorRaised& fatal) {
            failure = fatal.message;
        }
        line_capture::stop();
    }
    const auto failures = processes.gatherToRoot(failure);
    for (const std::string& message : failures) {
        if (message.empty()) continue;
        readingOk = 0;
        reportFatalError(message);
        break;
    }
    return processes.broadcastFromRoot(readingOk) != 0;
}

// Runs one piece of work with its lines recorded, and sends them to the
// root with their place. Returns false when the piece ended with a fatal error.
template <typename Work>
bool recordAndSend(Processes& processes, LineRecorder& recorder, std::uint64_t place, Work&& work)
{
    bool failed = false;
    line_capture::start(recorder);
    try {
        work();
    } catch (const FatalErrorRaised&) {
        failed = true;
    }
    line_capture::stop();
    processes.sendToRoot(encodeBlock(place, failed, recorder.take()));
    return !failed;
}

// On the root: hands a block to the writer; returns whether it said that
// its sender has finished.
bool takeBlock(OrderedLines& lines, std::string bytes)
{
    const std::uint64_t place = placeOf(bytes);
    if (place == endOfWork) return true;
    const bool endsRun = bytes.size() > placeBytes && bytes[placeBytes] != 0;
    bytes.erase(0, std::min(bytes.size(), placeBytes + 1));
    lines.add(place, std::move(bytes), endsRun);
    return false;
}

// Nodes that exchange nothing: each process takes the next node nobody has
// taken, prepares it, runs its whole history and then its uncoupled
// hardening. Blocks of node k: its preparation at place k, its run at place
// nodeCount + k, its hardening at place 2 nodeCount + k (the serial run
// hardens every node once every node has run).
int runIndependentNodes(Processes& processes, nodeOstrel& network)
{
    const std::size_t nodeCount = network.nodes.size();
    OrderedLines lines(3 * nodeCount);
    int finishedProcesses = 0;
    LineRecorder recorder;
    std::string bytes;

    // The node limit: no node from it on needs to run, since a node before
    // it failed (or a preparation did, and then no run is needed at all).
    processes.startNodeCounter();
    for (std::uint64_t k = processes.claimNode(); k < nodeCount; k = processes.claimNode()) {
        Ostrel& node = network.nodes[k];
        if (!recordAndSend(processes, recorder, k, [&] { network.prepareNode(node); })) {
            // The serial run meets this error while reading: no node runs
            // and no later node is prepared.
            processes.stopNodeCounter(nodeCount);
            processes.lowerNodeLimit(0);
            break;
        }
        // After a failed run the later nodes are still prepared, as the
        // serial run prepares every node before the first runs.
        if (k < processes.nodeLimit()) {
            if (recordAndSend(processes, recorder, nodeCount + k, [&] { network.runIndependentNode(k); }))
                // A failed hardening leaves the later runs needed: the serial
                // run ran them all before it.
                recordAndSend(processes, recorder, 2 * nodeCount + k,
                              [&] { network.integrateUncoupledHardening(node); });
            else
                processes.lowerNodeLimit(k);
        }
        if (processes.isRoot()) {
            while (processes.tryReceive(bytes)) finishedProcesses += takeBlock(lines, std::move(bytes));
            lines.writeReady();
        }
    }
    processes.sendToRoot(encodeBlock(endOfWork, false, {}));

    int status = 0;
    if (processes.isRoot()) {
        while (finishedProcesses < processes.size()) {
            finishedProcesses += takeBlock(lines, processes.receive());
            lines.writeReady();
        }
        if (lines.endedByFatalError()) {
            status = 1;
        } else if (!lines.complete()) {
            status = 1;
            reportFatalError("The lines of part " + std::to_string(lines.nextPlace()) +
                             " of the run never reached the first process");
        }
    }
    processes.completeSends();
    status = processes.broadcastFromRoot(status);
    processes.finishNodeCounter();
    return status;
}

// Connected nodes advance in lockstep, each process with its block of them:
// it prepares its nodes, takes its part of every global step and writes its
// nodes' closing records.
int runConnectedNodes(Processes& processes, nodeOstrel& network)
{
    Lockstep team(processes, network.nodes.size());
    try {
        team.forEachNode([&](std::size_t i) {
            network.prepareNode(network.nodes[i]);
            return true;
        });
        team.endStep();
        network.runConnectedNodes(team);
    } catch (const FatalErrorRaised&) {
        if (team.endedByFatalError()) return 1;
        team.writeOwnLines();
        throw;
    }
    return 0;
}

} // namespace

int runOverProcesses(Processes& processes, int argc, const char* const* argv)
{
    Log::raiseFatalErrors(true);
    nodeOstrel network;
    if (!readOnEveryProcess(processes, network, argc, argv)) return 1;

    const int status = network.nbConnections != 0 ? runConnectedNodes(processes, network)
                                                  : runIndependentNodes(processes, network);
    if (status != 0) return status;
    // Every process has written its last results before the marker appears.
    processes.barrier();
    if (processes.isRoot()) markNormalEnd();
    return 0;
}
