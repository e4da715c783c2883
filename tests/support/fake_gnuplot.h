#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace testing_support {

// A folder holding an executable "gnuplot" script, to be put first on PATH.
class FakeGnuplot {
public:
    // Copies its standard input to "gnuplot-input-<pid>" in its working folder.
    static constexpr const char* recording = "#!/bin/sh\nexec /bin/cat > gnuplot-input-$$\n";
    // Ends at once without reading anything, like a gnuplot that lacks its terminal.
    static constexpr const char* quitting = "#!/bin/sh\nexit 0\n";

    explicit FakeGnuplot(const std::string& script);
    std::string directory() const { return folder.path().string(); }

private:
    TempDir folder;
};

// Whether "/opt/local/bin/gnuplot" exists: the program then starts it, never
// a gnuplot put on PATH.
bool fixedGnuplotInstalled();

// The command streams that recording fakes received in `workDir`, one per
// started process.
std::vector<std::string> gnuplotInputs(const std::filesystem::path& workDir);

} // namespace testing_support
