#include "network/node_ostrel.h"

#include "core/command_line.h"
#include "core/data_file_reader.h"
#include "core/log.h"

void nodeOstrel::initialize(int argc, const char* const* argv)
{
    dataFile = readCommandLine(argc, argv);
    logConstants();

    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "notVerbose", lines, true);
    if (lines.size() > 1) Log::fatalError("notVerbose defined twice.");
    notVerbose = lines.size() == 1;
    // Scaffolding: the reading of the node description and the preparation
    // of the nodes follow once the node and network layers exist.
}

void nodeOstrel::run()
{
    // Scaffolding: the global time loop comes with the node layer.
}
