// The keyword onlyMechanic: every node takes the final size distributions an
// earlier run wrote for it and keeps them, so that the run computes only the
// mechanics along the temperature history.
#include "core/data_file_reader.h"
#include "core/log.h"
#include "network/node_ostrel.h"
#include "node/initial_distribution.h"

void nodeOstrel::readOnlyMechanic()
{
    std::vector<std::string> phases;
    for (const Precipitate& precipitate : nodes[0].precipitates) phases.push_back(precipitate.name);

    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "onlyMechanic", lines, true);
    if (lines.empty()) return;

    DataFileReader::readKeyword(dataFile, "savedistribution", lines, false);
    if (lines.size() > 1) Log::fatalError("In 'onlyMechanicComputation' more than one savedistribution command");
    if (lines[0].size() != 3)
        Log::fatalError("In 'onlyMechanicComputation' incorrect number of arguments for savedistribution.");
    const std::string stem = lines[0][1];

    // The files the earlier run wrote for the node of the same number.
    std::vector<KeywordLine> distributions(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        distributions[i].push_back("initialDistrib");
        for (const std::string& phase : phases) {
            distributions[i].push_back(phase);
            distributions[i].push_back(stem + phase + "_" + std::to_string(i) + ".dat");
        }
        nodes[i].onlyMechanic = true;
    }
    Log::logWarning("If you use 'onlyMechanic' precipitation and diffusion are not computed");

    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (distributions[i].size() < 3)
            Log::fatalError("Incorrect number of arguments in 'onlyMechanicComputation' " + std::to_string(i) + " : "
                            + std::to_string(i));
        readInitialDistribution(distributions[i], nodes[i].precipitates);
        // The solid solution follows from the loaded precipitates, not from
        // the nominal composition.
        nodes[i].initializeNode();
    }
}
