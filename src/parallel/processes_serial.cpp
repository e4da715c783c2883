// The single process of a build without MPI: every collective is the
// identity, and the messages it sends to the root are its own.
#include <algorithm>
#include <cstdlib>
#include <deque>

#include "core/log.h"
#include "parallel/processes.h"

struct Processes::State {
    std::uint64_t nextNode = 0;
    std::uint64_t limit = noNode;
    // Messages the single process sent to itself, as the root.
    std::deque<std::string> messages;
};

Processes::Processes(int&, char**&) : state(std::make_unique<State>()) {}

Processes::~Processes() = default;

bool Processes::overSeveralProcesses() { return false; }

void Processes::abandon(int status) { std::exit(status); }

int Processes::rank() const { return 0; }

int Processes::size() const { return 1; }

void Processes::barrier() {}

int Processes::broadcastFromRoot(int value) { return value; }

std::vector<std::string> Processes::gatherToRoot(const std::string& mine) { return {mine}; }

std::vector<double> Processes::gatherNumbers(const std::vector<double>& mine) { return mine; }

double Processes::smallest(double mine) { return mine; }

void Processes::smallestOfEach(std::span<double>) {}

void Processes::shareNodeBlocks(std::span<double>, std::size_t) {}

void Processes::broadcastText(std::string&, int) {}

std::uint64_t Processes::firstNode(std::uint64_t mine) { return mine; }

void Processes::sendToRoot(std::string bytes) { state->messages.push_back(std::move(bytes)); }

void Processes::completeSends() {}

bool Processes::tryReceive(std::string& bytes)
{
    if (state->messages.empty()) return false;
    bytes = std::move(state->messages.front());
    state->messages.pop_front();
    return true;
}

// Waiting for a message that nobody will send would hang: a fault of the
// caller, not of the user's input.
std::string Processes::receive()
{
    std::string bytes;
    if (!tryReceive(bytes)) Log::fatalError("A single process waits for a message it never sent");
    return bytes;
}

void Processes::startNodeCounter()
{
    state->nextNode = 0;
    state->limit = noNode;
}

std::uint64_t Processes::claimNode() { return state->nextNode++; }

void Processes::stopNodeCounter(std::uint64_t limit) { state->nextNode = std::max(state->nextNode, limit); }

void Processes::lowerNodeLimit(std::uint64_t limit) { state->limit = std::min(state->limit, limit); }

std::uint64_t Processes::nodeLimit() { return state->limit; }

void Processes::finishNodeCounter() {}
