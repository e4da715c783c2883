#pragma once

#include <string>

// Driver of a run: reads the data file, builds the nodes and runs the global
// time loop over them.
class nodeOstrel {
public:
    void initialize(int argc, const char* const* argv);
    void run();

    const std::string& dataFileName() const { return dataFile; }

private:
    std::string dataFile;
    bool notVerbose = false;
};
