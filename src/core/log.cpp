#include "core/log.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace {

void appendLine(const std::string& line)
{
    std::ofstream file(Log::fileName, std::ios::app);
    if (!file.is_open()) {
        std::cout << "WARNING: Unable to open file log.log." << std::endl;
        return;
    }
    file << line << std::endl;
}

} // namespace

void Log::fatalError(const std::string& message)
{
    std::cout << "FATAL ERROR: " << message << std::endl;
    appendLine("FATAL ERROR: " + message);
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
