#pragma once

#include <cstddef>
#include <map>
#include <string>

// The root's writer of the lines of a run spread over processes. The lines
// come in blocks (the lines one process recorded for one piece of the run,
// see LineRecorder), each with its place in the order of a serial run, and in
// any order of arrival; a block is written once every block before it is.
// A block that ended the run with a fatal error is the last one written:
// the serial run would never have reached the blocks after it.
class OrderedLines {
public:
    explicit OrderedLines(std::size_t blockCount) : count(blockCount) {}

    void add(std::size_t place, std::string lines, bool endsRun);
    // Writes every block whose turn has come.
    void writeReady();

    bool complete() const { return next == count; }
    bool endedByFatalError() const { return stopped; }
    // The place of the first block not yet written.
    std::size_t nextPlace() const { return next; }

private:
    struct Block {
        std::string lines;
        bool endsRun = false;
    };
    std::size_t count;
    std::size_t next = 0;
    bool stopped = false;
    std::map<std::size_t, Block> waiting;
};
