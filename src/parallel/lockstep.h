#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/line_capture.h"
#include "core/log.h"

class Processes;

// The nodes of a connected network that this process advances, and what the
// processes agree on while the network advances in lockstep.
//
// Alone (the serial program) a process holds every node, every agreement is
// its own, and lines are written as they come.
//
// Over processes, each holds a contiguous block of the nodes, lower ranks
// first, and records its lines instead of writing them. A global step is the
// same sequence of phases on every process: node phases (forEachNode,
// eachNode), whose lines each process records node by node, and the code
// between them, which every process runs alike and whose lines are the
// root's. At endStep the root writes the lines of the step in the order of
// the serial run: each node phase node by node, whichever process ran the
// node, and the lines between the phases as it made them itself. Result
// files are written by the process of their node only.
class Lockstep {
public:
    explicit Lockstep(std::size_t nodeCount);
    Lockstep(Processes& processes, std::size_t nodeCount);
    ~Lockstep();
    Lockstep(const Lockstep&) = delete;
    Lockstep& operator=(const Lockstep&) = delete;

    // This process's nodes: [firstNode(), endNode()).
    std::size_t firstNode() const { return first; }
    std::size_t endNode() const { return end; }

    // Runs work(i) for this process's nodes i in node order until one returns
    // false (the node rejects) or raises a fatal error. Then every process
    // knows the first node of the network that did either; the lines of the
    // nodes after it are dropped (the serial run never reaches them). The
    // rejecting node is returned. A fatal error ends the run: the lines up to
    // it are written and FatalErrorRaised is raised on every process
    // (endedByFatalError). Each number of `smallest` is replaced by its
    // smallest value over the processes in the same agreement.
    template <typename Work>
    std::optional<std::size_t> forEachNode(Work&& work, std::span<double> smallest = {});

    // Runs work(i) for every node of this process, with no agreement after
    // it: for work that raises no fatal error.
    template <typename Work>
    void eachNode(Work&& work);

    // `numbers` holds `perNode` numbers per node, node after node, and this
    // process has filled those of its own nodes; afterwards it holds them all.
    void shareNodeNumbers(std::span<double> numbers, std::size_t perNode);
    // The text as the process of `node` has it, on every process.
    void agreeOnText(std::string& text, std::size_t node);

    // The end of a global step (or of the preparation, or of the closing
    // records): the root writes the lines of the step.
    void endStep();

    bool endedByFatalError() const { return fatalEnd; }
    // After a fatal error that one process met outside the node phases (the
    // processes cannot end together): writes what this process recorded, so
    // that the root's error shows before the run is abandoned.
    void writeOwnLines();

    // Seconds spent in the agreements and in sharing numbers and lines,
    // waiting for the other processes included.
    double communicationSeconds() const { return communication; }

private:
    static constexpr double noStop = std::numeric_limits<double>::infinity();

    struct Segment {
        bool ofNodes = false;
        LineRecorder lines;
        // Node and end of its lines in `lines`, for the nodes of a node phase.
        std::vector<std::pair<std::size_t, std::size_t>> nodeEnds;
    };

    Processes* processes = nullptr;
    std::size_t nodeCount = 0;
    std::size_t first = 0;
    std::size_t end = 0;
    // The segments of lines of the current step, in order; the first
    // `segmentCount` are in use, the others keep their storage.
    std::vector<Segment> segments;
    std::size_t segmentCount = 0;
    std::vector<double> agreement;
    // Whether another process recorded node lines in this step.
    bool linesElsewhere = false;
    // Whether a node phase ended without an agreement, which would have told.
    bool phaseUntold = false;
    bool fatalEnd = false;
    double communication = 0.0;

    bool recording() const { return processes != nullptr; }
    void startSegment(bool ofNodes);
    void nodeDone(std::size_t node);
    std::optional<std::size_t> agreeOnStop(double stop, std::span<double> smallest, const std::string& failure);
    bool recordedNodeLines() const;
    std::string nodeLinesToSend() const;
    void writeStep(const std::vector<std::string>& fromProcesses);
    void startStep();
};

template <typename Work>
std::optional<std::size_t> Lockstep::forEachNode(Work&& work, std::span<double> smallest)
{
    if (recording()) startSegment(true);
    double stop = noStop;
    std::string failure;
    for (std::size_t i = first; i < end; ++i) {
        bool goOn = true;
        bool failed = false;
        try {
            goOn = work(i);
        } catch (const FatalErrorRaised& fatal) {
            if (!recording()) throw;
            failed = true;
            failure = fatal.message;
        }
        if (recording()) nodeDone(i);
        if (failed || !goOn) {
            // Even codes for fatal errors, odd ones for rejections.
            stop = 2.0 * static_cast<double>(i) + (failed ? 0.0 : 1.0);
            break;
        }
    }
    return agreeOnStop(stop, smallest, failure);
}

template <typename Work>
void Lockstep::eachNode(Work&& work)
{
    if (recording()) startSegment(true);
    for (std::size_t i = first; i < end; ++i) {
        work(i);
        if (recording()) nodeDone(i);
    }
    if (!recording()) return;
    phaseUntold = true;
    startSegment(false);
}
