#pragma once

#include <string>

// What Log::fatalError throws instead of ending the process once a driver
// of several processes asked for it (Log::raiseFatalErrors): that driver
// catches it and ends every process together. The lines of the error are
// already written (or recorded) when it is thrown.
struct FatalErrorRaised {
    std::string message;
};

// Diagnostics of a run. Every call opens "log.log", appends one line and
// closes it again, so the file is complete even if the process dies next.
// While a line recorder is active (core/line_capture.h) the lines are
// recorded instead.
class Log {
public:
    // Prints "FATAL ERROR: " + message on the console and in log.log, then
    // ends the process with status 1 (or throws FatalErrorRaised, see above).
    [[noreturn]] static void fatalError(const std::string& message);
    static void logMessage(const std::string& message);
    static void logWarning(const std::string& message);

    // Off by default: a fatal error ends the process at once.
    static void raiseFatalErrors(bool raise);

    static constexpr const char* fileName = "log.log";
};
