#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A new empty folder for a benchmark's case under the system's temporary
// folder; an empty path when none can be made.
inline std::filesystem::path freshBenchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}
