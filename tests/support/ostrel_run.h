#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace testing_support {

// What one end-to-end case gives the program: the data file (written as
// "data" unless another name is set), extra files and command-line arguments.
struct RunSetup {
    std::string data;
    std::string dataName = "data";
    std::map<std::string, std::string> files;
    std::vector<std::string> args;
    std::vector<std::string> directories; // created before the run
    std::map<std::string, std::string> links; // name -> target, created before the run
    std::map<std::string, std::string> environment; // set for the program only (PATH, ...)
    long long fileSizeLimit = -1;                    // bytes; when >= 0, the program's RLIMIT_FSIZE
    // The program to run (build/ostrel by default) and what starts it, e.g.
    // {"mpirun", "-np", "2"}; empty runs it directly.
    std::string program = OSTREL_BINARY;
    std::vector<std::string> launcher;
    // Keeps standard error out of console() (a launcher's own messages).
    bool errorsApart = false;
};

// The outcome of running build/ostrel in a fresh temporary directory.
class OstrelRun {
public:
    explicit OstrelRun(const RunSetup& setup);

    int exitCode() const { return status; }
    const std::string& console() const { return consoleText; }
    const std::string& errors() const { return errorText; }
    std::vector<std::string> consoleLines() const;
    std::vector<std::string> logLines() const;
    std::vector<std::string> fileLines(const std::string& name) const;
    std::string file(const std::string& name) const { return dir.read(name); }
    bool hasFile(const std::string& name) const { return dir.exists(name); }
    bool consoleHasLine(const std::string& line) const;
    bool logHasLine(const std::string& line) const;
    const TempDir& workDir() const { return dir; }

private:
    TempDir dir;
    int status = -1;
    std::string consoleText;
    std::string errorText;
};

// Shorthand for the common case: a data file and optional arguments.
OstrelRun runOstrel(const std::string& data, const std::vector<std::string>& args = {});

// The numbers of one line of a results file.
std::vector<double> numbers(const std::string& line);

// The data records of a thermodynamic results file (its three header lines skipped).
std::vector<std::vector<double>> thermoRecords(const OstrelRun& run, const std::string& file);

// How many console lines begin with `prefix`.
int countConsoleLinesStartingWith(const OstrelRun& run, const std::string& prefix);

} // namespace testing_support
