#include "parallel/ordered_lines.h"

#include "core/line_capture.h"

void OrderedLines::add(std::size_t place, std::string lines, bool endsRun)
{
    if (stopped || place < next || place >= count) return;
    waiting[place] = Block{std::move(lines), endsRun};
}

void OrderedLines::writeReady()
{
    while (!stopped && next < count) {
        const auto found = waiting.find(next);
        if (found == waiting.end()) return;
        line_capture::replay(found->second.lines);
        stopped = found->second.endsRun;
        waiting.erase(found);
        ++next;
    }
    if (stopped) waiting.clear();
}
