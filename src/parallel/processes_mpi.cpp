// The processes of the MPI build. Every MPI call of the program is in this
// file; MPI's default error handler ends the whole run on a failed call.
#include <mpi.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <list>

#include "core/log.h"
#include "parallel/processes.h"

namespace {

constexpr int messageTag = 13;

int byteCount(std::size_t size)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        Log::fatalError("Message of " + std::to_string(size) + " bytes too long to send between processes");
    return static_cast<int>(size);
}

} // namespace

struct Processes::State {
    int rank = 0;
    int size = 1;
    // Messages still travelling to the root, each with its bytes.
    struct Pending {
        std::string bytes;
        MPI_Request request = MPI_REQUEST_NULL;
    };
    std::list<Pending> pending;
    // Messages the root sent to itself.
    std::deque<std::string> ownMessages;
    // Counts and offsets of the node blocks of shareNodeBlocks, kept from call
    // to call.
    std::vector<int> blockCounts;
    std::vector<int> blockOffsets;
    MPI_Win counterWindow = MPI_WIN_NULL;
    std::uint64_t* counter = nullptr;

    // Forgets the sends that have arrived.
    void dropDelivered()
    {
        for (auto it = pending.begin(); it != pending.end();) {
            int done = 0;
            MPI_Test(&it->request, &done, MPI_STATUS_IGNORE);
            it = done ? pending.erase(it) : std::next(it);
        }
    }
};

Processes::Processes(int& argc, char**& argv) : state(std::make_unique<State>())
{
    MPI_Init(&argc, &argv);
    MPI_Comm_rank(MPI_COMM_WORLD, &state->rank);
    MPI_Comm_size(MPI_COMM_WORLD, &state->size);
}

Processes::~Processes() { MPI_Finalize(); }

bool Processes::overSeveralProcesses() { return true; }

void Processes::abandon(int status)
{
    MPI_Abort(MPI_COMM_WORLD, status);
    std::exit(status);
}

int Processes::rank() const { return state->rank; }

int Processes::size() const { return state->size; }

void Processes::barrier() { MPI_Barrier(MPI_COMM_WORLD); }

int Processes::broadcastFromRoot(int value)
{
    MPI_Bcast(&value, 1, MPI_INT, 0, MPI_COMM_WORLD);
    return value;
}

std::vector<std::string> Processes::gatherToRoot(const std::string& mine)
{
    const int myCount = byteCount(mine.size());
    std::vector<int> counts(isRoot() ? static_cast<std::size_t>(size()) : 0);
    MPI_Gather(&myCount, 1, MPI_INT, counts.data(), 1, MPI_INT, 0, MPI_COMM_WORLD);
    std::vector<int> offsets(counts.size());
    std::size_t total = 0;
    for (std::size_t r = 0; r < counts.size(); ++r) {
        offsets[r] = byteCount(total);
        total += static_cast<std::size_t>(counts[r]);
    }
    std::string joined(total, '\0');
    MPI_Gatherv(mine.data(), myCount, MPI_CHAR, joined.data(), counts.data(), offsets.data(), MPI_CHAR, 0,
                MPI_COMM_WORLD);
    std::vector<std::string> all;
    for (std::size_t r = 0; r < counts.size(); ++r)
        all.push_back(joined.substr(static_cast<std::size_t>(offsets[r]), static_cast<std::size_t>(counts[r])));
    return all;
}

std::vector<double> Processes::gatherNumbers(const std::vector<double>& mine)
{
    const int myCount = byteCount(mine.size());
    std::vector<int> counts(static_cast<std::size_t>(size()));
    MPI_Allgather(&myCount, 1, MPI_INT, counts.data(), 1, MPI_INT, MPI_COMM_WORLD);
    std::vector<int> offsets(counts.size());
    std::size_t total = 0;
    for (std::size_t r = 0; r < counts.size(); ++r) {
        offsets[r] = byteCount(total);
        total += static_cast<std::size_t>(counts[r]);
    }
    std::vector<double> all(total);
    MPI_Allgatherv(mine.data(), myCount, MPI_DOUBLE, all.data(), counts.data(), offsets.data(), MPI_DOUBLE,
                   MPI_COMM_WORLD);
    return all;
}

double Processes::smallest(double mine)
{
    double result = 0.0;
    MPI_Allreduce(&mine, &result, 1, MPI_DOUBLE, MPI_MIN, MPI_COMM_WORLD);
    return result;
}

void Processes::smallestOfEach(std::span<double> values)
{
    MPI_Allreduce(MPI_IN_PLACE, values.data(), byteCount(values.size()), MPI_DOUBLE, MPI_MIN, MPI_COMM_WORLD);
}

void Processes::shareNodeBlocks(std::span<double> numbers, std::size_t perNode)
{
    const std::size_t nodeCount = perNode == 0 ? 0 : numbers.size() / perNode;
    state->blockCounts.resize(static_cast<std::size_t>(size()));
    state->blockOffsets.resize(static_cast<std::size_t>(size()));
    for (int r = 0; r < size(); ++r) {
        const NodeRange block = blockOf(r, nodeCount);
        state->blockCounts[static_cast<std::size_t>(r)] = byteCount((block.end - block.first) * perNode);
        state->blockOffsets[static_cast<std::size_t>(r)] = byteCount(block.first * perNode);
    }
    MPI_Allgatherv(MPI_IN_PLACE, 0, MPI_DATATYPE_NULL, numbers.data(), state->blockCounts.data(),
                   state->blockOffsets.data(), MPI_DOUBLE, MPI_COMM_WORLD);
}

void Processes::broadcastText(std::string& text, int from)
{
    int length = rank() == from ? byteCount(text.size()) : 0;
    MPI_Bcast(&length, 1, MPI_INT, from, MPI_COMM_WORLD);
    text.resize(static_cast<std::size_t>(length));
    MPI_Bcast(text.data(), length, MPI_CHAR, from, MPI_COMM_WORLD);
}

std::uint64_t Processes::firstNode(std::uint64_t mine)
{
    std::uint64_t result = 0;
    MPI_Allreduce(&mine, &result, 1, MPI_UINT64_T, MPI_MIN, MPI_COMM_WORLD);
    return result;
}

void Processes::sendToRoot(std::string bytes)
{
    if (isRoot()) {
        state->ownMessages.push_back(std::move(bytes));
        return;
    }
    state->dropDelivered();
    State::Pending& message = state->pending.emplace_back();
    message.bytes = std::move(bytes);
    MPI_Isend(message.bytes.data(), byteCount(message.bytes.size()), MPI_CHAR, 0, messageTag, MPI_COMM_WORLD,
              &message.request);
}

void Processes::completeSends()
{
    for (State::Pending& message : state->pending) MPI_Wait(&message.request, MPI_STATUS_IGNORE);
    state->pending.clear();
}

namespace {

std::string receiveProbed(const MPI_Status& status)
{
    int count = 0;
    MPI_Get_count(&status, MPI_CHAR, &count);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    MPI_Recv(bytes.data(), count, MPI_CHAR, status.MPI_SOURCE, messageTag, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
    return bytes;
}

} // namespace

bool Processes::tryReceive(std::string& bytes)
{
    if (!state->ownMessages.empty()) {
        bytes = std::move(state->ownMessages.front());
        state->ownMessages.pop_front();
        return true;
    }
    int waiting = 0;
    MPI_Status status;
    MPI_Iprobe(MPI_ANY_SOURCE, messageTag, MPI_COMM_WORLD, &waiting, &status);
    if (!waiting) return false;
    bytes = receiveProbed(status);
    return true;
}

std::string Processes::receive()
{
    std::string bytes;
    if (tryReceive(bytes)) return bytes;
    if (size() == 1) Log::fatalError("A single process waits for a message it never sent");
    MPI_Status status;
    MPI_Probe(MPI_ANY_SOURCE, messageTag, MPI_COMM_WORLD, &status);
    return receiveProbed(status);
}

// The window on the root holds two numbers: the next node to hand out and
// the node limit.
namespace {

constexpr MPI_Aint nextNodeSlot = 0;
constexpr MPI_Aint limitSlot = 1;

std::uint64_t atomicUpdate(MPI_Win window, MPI_Aint slot, std::uint64_t operand, MPI_Op operation)
{
    std::uint64_t previous = 0;
    MPI_Win_lock(MPI_LOCK_SHARED, 0, 0, window);
    MPI_Fetch_and_op(&operand, &previous, MPI_UINT64_T, 0, slot, operation, window);
    MPI_Win_unlock(0, window);
    return previous;
}

} // namespace

void Processes::startNodeCounter()
{
    const MPI_Aint bytes = isRoot() ? static_cast<MPI_Aint>(2 * sizeof(std::uint64_t)) : 0;
    MPI_Win_allocate(bytes, sizeof(std::uint64_t), MPI_INFO_NULL, MPI_COMM_WORLD, &state->counter,
                     &state->counterWindow);
    if (isRoot()) {
        MPI_Win_lock(MPI_LOCK_EXCLUSIVE, 0, 0, state->counterWindow);
        state->counter[nextNodeSlot] = 0;
        state->counter[limitSlot] = noNode;
        MPI_Win_unlock(0, state->counterWindow);
    }
    // Nobody claims before the counter starts at 0.
    MPI_Barrier(MPI_COMM_WORLD);
}

std::uint64_t Processes::claimNode() { return atomicUpdate(state->counterWindow, nextNodeSlot, 1, MPI_SUM); }

void Processes::stopNodeCounter(std::uint64_t limit)
{
    // Far below the top, so that later claims cannot wrap around.
    atomicUpdate(state->counterWindow, nextNodeSlot, std::min(limit, noNode / 2), MPI_MAX);
}

void Processes::lowerNodeLimit(std::uint64_t limit) { atomicUpdate(state->counterWindow, limitSlot, limit, MPI_MIN); }

std::uint64_t Processes::nodeLimit() { return atomicUpdate(state->counterWindow, limitSlot, 0, MPI_NO_OP); }

void Processes::finishNodeCounter()
{
    MPI_Win_free(&state->counterWindow);
    state->counter = nullptr;
}
