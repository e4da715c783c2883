#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Whole numbers travel between processes as `width` bytes (at most 8),
// least significant first.
void appendLittleEndian(std::string& bytes, std::uint64_t value, std::size_t width);
// The number of `width` bytes at `at`; bytes past the end count as zero, so
// a truncated message is never read past its end.
std::uint64_t readLittleEndian(std::string_view bytes, std::size_t at, std::size_t width);

// Where a line of the run goes: the console (standard output) or log.log.
enum class LineChannel : char { console = 'c', log = 'l' };

// The lines one process would have written, kept in order instead of being
// written, so that a run spread over several processes can write them later
// in the order of a serial run. The lines are held as one byte string, ready
// to travel between processes: per line its channel, its length (4 bytes,
// least significant first) and its text.
class LineRecorder {
public:
    void record(LineChannel channel, std::string_view text);
    bool empty() const { return recorded.empty(); }
    const std::string& bytes() const { return recorded; }
    // Hands the recorded lines over and starts empty again.
    std::string take();
    // Keeps the lines recorded before bytes().size() was `size`, and the
    // storage for the next ones.
    void keepFirst(std::size_t size) { recorded.resize(std::min(size, recorded.size())); }

private:
    std::string recorded;
};

namespace line_capture {

// While a recorder is active, Console and Log record their lines into it
// instead of writing them; nullptr (the default) writes them at once.
LineRecorder* active();
void start(LineRecorder& recorder);
void stop();

// Writes recorded lines (bytes of LineRecorder) as Console and Log would
// have written them when they were recorded. Capture must be stopped.
void replay(std::string_view bytes);

} // namespace line_capture
