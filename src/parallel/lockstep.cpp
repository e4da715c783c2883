#include "parallel/lockstep.h"

#include <chrono>
#include <cmath>
#include <string_view>

#include "core/line_capture.h"
#include "parallel/processes.h"

namespace {

// A node phase's lines travel as their length (8 bytes, least significant
// first) and their bytes, phase after phase.
constexpr std::size_t lengthBytes = 8;

// The node phases another process sent, in order.
std::vector<std::string_view> splitPhases(std::string_view bytes)
{
    std::vector<std::string_view> phases;
    std::size_t at = 0;
    while (at + lengthBytes <= bytes.size()) {
        const std::uint64_t length = readLittleEndian(bytes, at, lengthBytes);
        at += lengthBytes;
        phases.push_back(bytes.substr(at, length));
        at += phases.back().size();
    }
    return phases;
}

class Stopwatch {
public:
    explicit Stopwatch(double& total) : total(total), start(std::chrono::steady_clock::now()) {}
    ~Stopwatch() { total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); }

private:
    double& total;
    std::chrono::steady_clock::time_point start;
};

} // namespace

Lockstep::Lockstep(std::size_t nodeCount) : nodeCount(nodeCount), first(0), end(nodeCount) {}

Lockstep::Lockstep(Processes& processes, std::size_t nodeCount) : processes(&processes), nodeCount(nodeCount)
{
    const Processes::NodeRange mine = processes.ownedNodes(nodeCount);
    first = mine.first;
    end = mine.end;
    startStep();
}

Lockstep::~Lockstep()
{
    if (recording()) line_capture::stop();
}

void Lockstep::startSegment(bool ofNodes)
{
    if (segmentCount == segments.size()) segments.emplace_back();
    Segment& segment = segments[segmentCount++];
    segment.ofNodes = ofNodes;
    segment.lines.keepFirst(0);
    segment.nodeEnds.clear();
    line_capture::start(segment.lines);
}

void Lockstep::startStep()
{
    segmentCount = 0;
    linesElsewhere = false;
    phaseUntold = false;
    startSegment(false);
}

void Lockstep::nodeDone(std::size_t node)
{
    Segment& phase = segments[segmentCount - 1];
    phase.nodeEnds.emplace_back(node, phase.lines.bytes().size());
}

bool Lockstep::recordedNodeLines() const
{
    for (std::size_t s = 0; s < segmentCount; ++s)
        if (segments[s].ofNodes && !segments[s].lines.empty()) return true;
    return false;
}

std::optional<std::size_t> Lockstep::agreeOnStop(double stop, std::span<double> smallest, const std::string& failure)
{
    if (recording()) {
        // One reduction: the first stop, whether lines wait elsewhere (the
        // root's need not travel), and the caller's numbers.
        agreement.assign({stop, !processes->isRoot() && recordedNodeLines() ? -1.0 : 0.0});
        agreement.insert(agreement.end(), smallest.begin(), smallest.end());
        {
            const Stopwatch watch(communication);
            processes->smallestOfEach(agreement);
        }
        stop = agreement[0];
        linesElsewhere = linesElsewhere || agreement[1] < 0.0;
        phaseUntold = false;
        std::copy(agreement.begin() + 2, agreement.end(), smallest.begin());

        if (stop != noStop) {
            // The lines of this process's nodes up to the stopping one.
            const auto lastNode = static_cast<std::size_t>(stop / 2.0);
            Segment& phase = segments[segmentCount - 1];
            std::size_t kept = 0;
            for (const auto& [node, lineEnd] : phase.nodeEnds)
                if (node <= lastNode) kept = lineEnd;
            phase.lines.keepFirst(kept);
        }
        startSegment(false);
    }

    if (stop == noStop) return std::nullopt;
    const auto node = static_cast<std::size_t>(stop / 2.0);
    if (std::fmod(stop, 2.0) != 0.0) return node;
    endStep();
    fatalEnd = true;
    line_capture::stop();
    throw FatalErrorRaised{failure.empty() ? "Node " + std::to_string(node) + " met a fatal error" : failure};
}

void Lockstep::shareNodeNumbers(std::span<double> numbers, std::size_t perNode)
{
    if (!recording()) return;
    const Stopwatch watch(communication);
    processes->shareNodeBlocks(numbers, perNode);
}

void Lockstep::agreeOnText(std::string& text, std::size_t node)
{
    if (!recording()) return;
    const Stopwatch watch(communication);
    processes->broadcastText(text, processes->ownerOf(node, nodeCount));
}

std::string Lockstep::nodeLinesToSend() const
{
    std::string bytes;
    for (std::size_t s = 0; s < segmentCount; ++s) {
        if (!segments[s].ofNodes) continue;
        appendLittleEndian(bytes, segments[s].lines.bytes().size(), lengthBytes);
        bytes += segments[s].lines.bytes();
    }
    return bytes;
}

void Lockstep::writeStep(const std::vector<std::string>& fromProcesses)
{
    std::vector<std::vector<std::string_view>> phasesOf;
    for (std::size_t r = 1; r < fromProcesses.size(); ++r) phasesOf.push_back(splitPhases(fromProcesses[r]));
    std::size_t phase = 0;
    for (std::size_t s = 0; s < segmentCount; ++s) {
        line_capture::replay(segments[s].lines.bytes());
        if (!segments[s].ofNodes) continue;
        for (const auto& phases : phasesOf)
            if (phase < phases.size()) line_capture::replay(phases[phase]);
        ++phase;
    }
}

void Lockstep::endStep()
{
    if (!recording()) return;
    line_capture::stop();
    std::vector<std::string> fromProcesses;
    if ((linesElsewhere || phaseUntold) && processes->size() > 1) {
        const Stopwatch watch(communication);
        fromProcesses = processes->gatherToRoot(processes->isRoot() ? std::string() : nodeLinesToSend());
    }
    if (processes->isRoot()) writeStep(fromProcesses);
    startStep();
}

void Lockstep::writeOwnLines()
{
    if (!recording()) return;
    line_capture::stop();
    if (processes->isRoot()) writeStep({});
    segmentCount = 0;
}
