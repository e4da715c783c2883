#pragma once

#include <string>

// Returns the data-file name built from -path and -file ("data" by default).
std::string readCommandLine(int argc, const char* const* argv);

// Writes the block of constants used by the computation to log.log.
void logConstants();
