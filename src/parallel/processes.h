#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The processes of one run and what they exchange. The MPI build links
// processes_mpi.cpp, the one place that talks to MPI; every other build
// links processes_serial.cpp, a stand-in with a single process, so the code
// above this layer is the same in both builds. Collective operations must be
// called by every process in the same order.
class Processes {
public:
    // Starts the processes' communication (MPI_Init in the MPI build).
    Processes(int& argc, char**& argv);
    // Ends it (MPI_Finalize): every process must get here.
    ~Processes();
    Processes(const Processes&) = delete;
    Processes& operator=(const Processes&) = delete;

    // Whether this build runs over several processes (the MPI build, even
    // with one process); false for the serial stand-in.
    static bool overSeveralProcesses();
    // Ends every process at once with `status`, for an error that the
    // processes cannot end together (MPI_Abort).
    [[noreturn]] void abandon(int status);

    int rank() const;
    int size() const;
    bool isRoot() const { return rank() == 0; }

    // Node indices this process owns when the nodes are shared out in
    // contiguous blocks, lower ranks first ([first, end)).
    struct NodeRange {
        std::size_t first = 0;
        std::size_t end = 0;
    };
    NodeRange ownedNodes(std::size_t nodeCount) const { return blockOf(rank(), nodeCount); }
    // The block of process `process`.
    NodeRange blockOf(int process, std::size_t nodeCount) const;
    // The process whose block holds `node`.
    int ownerOf(std::size_t node, std::size_t nodeCount) const;

    // Collectives.
    void barrier();
    int broadcastFromRoot(int value);
    // Every process's bytes, in rank order, on the root; empty elsewhere.
    std::vector<std::string> gatherToRoot(const std::string& mine);
    // Every process's numbers joined in rank order, on every process.
    std::vector<double> gatherNumbers(const std::vector<double>& mine);
    double smallest(double mine);
    // Each value replaced by the smallest of that value over the processes.
    void smallestOfEach(std::span<double> values);
    // `numbers` holds `perNode` numbers per node of the network, node after
    // node; each process has filled those of its own block (ownedNodes), and
    // afterwards every process holds every block.
    void shareNodeBlocks(std::span<double> numbers, std::size_t perNode);
    // The text of process `from`, on every process.
    void broadcastText(std::string& text, int from);
    // The smallest node index over the processes: with each process giving
    // its first rejecting node (or noNode), noNode means all accepted.
    static constexpr std::uint64_t noNode = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t firstNode(std::uint64_t mine);

    // Messages to the root. Sending does not wait for the root: the bytes
    // are kept until delivered. Messages of one process arrive in the order
    // they were sent.
    void sendToRoot(std::string bytes);
    // Waits until every message of this process has been delivered.
    void completeSends();
    // On the root: one message if any is waiting (true), else false at once.
    bool tryReceive(std::string& bytes);
    // On the root: waits for the next message.
    std::string receive();

    // A counter on the root that hands out node indices 0, 1, 2 ... to
    // whichever process asks first, and beside it a node limit that every
    // process can lower (noNode at the start). start and finish are
    // collective.
    void startNodeCounter();
    std::uint64_t claimNode();
    // Every later claim returns at least `limit`.
    void stopNodeCounter(std::uint64_t limit);
    void lowerNodeLimit(std::uint64_t limit);
    std::uint64_t nodeLimit();
    void finishNodeCounter();

private:
    struct State;
    std::unique_ptr<State> state;
};
