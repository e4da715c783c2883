#include "core/console.h"

#include <iostream>

#include "core/line_capture.h"

void Console::say(const std::string& line) const
{
    if (!silenced) sayAlways(line);
}

void Console::sayAlways(const std::string& line)
{
    if (LineRecorder* recorder = line_capture::active()) {
        recorder->record(LineChannel::console, line);
        return;
    }
    std::cout << line << std::endl;
}

void Console::sayLines(const std::string& lines)
{
    std::cout << lines << std::flush;
}
