#pragma once

#include <string>

// Diagnostics of a run. Every call opens "log.log", appends one line and
// closes it again, so the file is complete even if the process dies next.
class Log {
public:
    // Prints "FATAL ERROR: " + message on the console and in log.log, then
    // ends the process with status 1.
    [[noreturn]] static void fatalError(const std::string& message);
    static void logMessage(const std::string& message);
    static void logWarning(const std::string& message);

    static constexpr const char* fileName = "log.log";
};
