#include "core/log.h"

#include <cstdlib>
#include <fstream>

#include "core/console.h"
#include "core/line_capture.h"

namespace {

bool raiseInsteadOfExit = false;

void appendLine(const std::string& line)
{
    if (LineRecorder* recorder = line_capture::active()) {
        recorder->record(LineChannel::log, line);
        return;
    }
    std::ofstream file(Log::fileName, std::ios::app);
    if (!file.is_open()) {
        Console::sayAlways("WARNING: Unable to open file log.log.");
        return;
    }
    file << line << std::endl;
}

} // namespace

void Log::fatalError(const std::string& message)
{
    Console::sayAlways("FATAL ERROR: " + message);
    appendLine("FATAL ERROR: " + message);
    if (raiseInsteadOfExit) throw FatalErrorRaised{message};
    std::exit(1);
}

void Log::logMessage(const std::string& message)
{
    appendLine(message);
}

void Log::logWarning(const std::string& message)
{
    appendLine("WARNING: " + message);
}

void Log::raiseFatalErrors(bool raise)
{
    raiseInsteadOfExit = raise;
}
