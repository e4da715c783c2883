#include "network/node_ostrel.h"

#include <cmath>
#include <new>
#include <stdexcept>

#include "core/command_line.h"
#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "core/single_value_keyword.h"
#include "mechanics/mechanical_results.h"

namespace {

const SingleValueKeyword<nodeOstrel> networkKeywords[] = {
    {"reduceDT", "reduceDT", conversion::toDouble,
     [](double factor) {
         if (!(factor > 0.0 && factor < 1.0)) Log::fatalError("Incorrect value for reduceDT (must be ]0;1[)");
     },
     [](nodeOstrel& network, double factor) { network.reduceDT = factor; }, "reduceDT changed to: "},
    {"coeffCFLcondition", "coeffCFLcondition", conversion::toDouble,
     [](double coefficient) {
         if (!(coefficient > 0.0)) Log::fatalError("Incorrect value for 'coeffCFLcondition' (must be>0)");
     },
     [](nodeOstrel& network, double coefficient) { network.coeffCFLcondition = coefficient; },
     "coeffCFLcondition changed to: "},
    {"smallestTimeStep", "smallestTimeStep", conversion::toDouble, nullptr,
     [](nodeOstrel& network, double step) { network.diffusionSmallestTimeStep = step; },
     "smallestTimeStep changed to: "},
};

} // namespace

void nodeOstrel::initialize(int argc, const char* const* argv, NodePreparation preparation)
{
    const bool prepareNow = preparation == NodePreparation::whileReading;
    dataFile = readCommandLine(argc, argv);
    logConstants();

    networkConsole = Console(readFlag(dataFile, "notVerbose").has_value());

    templateNode().readInput(dataFile);
    const std::vector<KeywordLine> nodeLines = readNodes();

    if (nbNodes == 1) {
        readNodeDescriptions(nodeLines, true);
        readOnlyMechanic();
        if (prepareNow) prepareNode(nodes[0]);
        std::vector<KeywordLine> lines;
        DataFileReader::readKeyword(dataFile, "nodeProperty", lines, true);
        if (!lines.empty()) Log::fatalError("With 1node you cannot have node property!");
        return;
    }

    readNodeDescriptions(nodeLines, false);
    readConnections();
    readNodeProperties();
    readOnlyMechanic();
    readNetworkOptions();
    if (prepareNow)
        for (Ostrel& node : nodes) prepareNode(node);
    if (hardeningCoupling() && semiHardeningCoupling())
        Log::fatalError("You cannot have both 'mechanicalHardeningCoupling' and 'mechanicalSemiHardeningCoupling' (nodeOstrel class)");
}

std::vector<KeywordLine> nodeOstrel::readNodes()
{
    std::vector<KeywordLine> countLines;
    DataFileReader::readKeyword(dataFile, "nodes", countLines, false);
    if (countLines.size() > 1) Log::fatalError("number of nodes defined more than once.");
    const std::size_t values = countLines[0].size() - 1;
    if (values != 1)
        Log::fatalError("nodes command needs 1 argument and " + std::to_string(values) + " were given.");
    const double count = conversion::toDouble(countLines[0][1]);
    // Below one node there is nothing to run; beyond 32 bits the count wraps.
    if (!(count >= 1.0) || !(count < 4294967296.0)) Log::fatalError("Incorrect value for nodes (must be >=1)");
    nbNodes = static_cast<std::uint32_t>(count);
    networkConsole.say(std::to_string(nbNodes) + (nbNodes == 1 ? " node in NodeOstrel: OK" : " nodes in NodeOstrel: OK"));

    // The node lines are counted before the nodes are made, so that a count
    // the file does not describe stops the run at once, whatever its size,
    // instead of after copying the template that many times.
    const bool singleNode = nbNodes == 1;
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "node", lines, singleNode);
    if (!(singleNode && lines.empty()) && lines.size() != nbNodes)
        Log::fatalError("the number of described nodes (" + std::to_string(lines.size()) +
                        ") does not match the indicated number of nodes (" + std::to_string(nbNodes) + ").");

    try {
        nodes.assign(nbNodes, templateNode());
    } catch (const std::bad_alloc&) {
        Log::fatalError("Not enough memory for " + std::to_string(nbNodes) + " nodes");
    } catch (const std::length_error&) {
        Log::fatalError("Not enough memory for " + std::to_string(nbNodes) + " nodes");
    }
    return lines;
}

void nodeOstrel::readNodeDescriptions(const std::vector<KeywordLine>& lines, bool singleNode)
{
    if (singleNode && lines.empty()) {
        globalTimeStep = nodes[0].initialDT;
        return;
    }

    if (singleNode) {
        const std::size_t values = lines[0].size() - 1;
        if (values != 5)
            Log::fatalError("node command needs 5 arguments and " + std::to_string(values) +
                            " were given for node 0");
        nodes[0].setNodeFactor(conversion::toDouble(lines[0][5]));
        nodes[0].initializeNode();
        globalTimeStep = nodes[0].initialDT;
        return;
    }

    if (lines[0].size() > 1) {
        const double first = conversion::toDouble(lines[0][1]);
        if (first != 0.0) {
            Log::logWarning("first node number is not 0, the nodes number are shifted.");
            nodeIndexShift = conversion::truncateToInt(first);
        }
    }

    std::vector<bool> described(nbNodes, false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const KeywordLine& line = lines[i];
        const std::size_t values = line.size() - 1;
        if (values != 5)
            Log::fatalError("node command needs 5 arguments and " + std::to_string(values) +
                            " were given for node " + std::to_string(i));
        const double index = std::trunc(conversion::toDouble(line[1]) - nodeIndexShift);
        if (index < 0.0 || std::isnan(index))
            Log::fatalError("negative node index. An incorrect shift due to the index of the first described node might be the reason.");
        if (index >= static_cast<double>(nbNodes))
            Log::fatalError("node number too high. An incorrect shift due to the index of the first described node might be the reason.");
        const std::size_t k = static_cast<std::size_t>(index);
        if (described[k]) Log::fatalError("node " + std::to_string(k) + " defined twice.");
        Ostrel& node = nodes[k];
        node.nodeNumber = static_cast<int>(k);
        node.positionX = conversion::toDouble(line[2]);
        node.positionY = conversion::toDouble(line[3]);
        node.positionZ = conversion::toDouble(line[4]);
        node.setNodeFactor(conversion::toDouble(line[5]));
        described[k] = true;
        networkConsole.say("Node " + std::to_string(k) + " in NodeOstrel: OK");
    }

    globalTimeStep = nodes[0].initialDT;
    // The nodes keep the default lower limit: the keyword smallestTimeStep,
    // read later, concerns the diffusion check between nodes only.
    for (Ostrel& node : nodes) node.smallestTimeStep = smallestTimeStep();
}

void nodeOstrel::readConnections()
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "connect", lines, true);
    nbConnections = static_cast<std::uint32_t>(lines.size());
    networkConsole.say(std::to_string(nbConnections) + " connections");

    for (std::size_t c = 0; c < lines.size(); ++c) {
        const KeywordLine& line = lines[c];
        const std::size_t values = line.size() - 1;
        if (values != 3)
            Log::fatalError("connect command needs 3 arguments and " + std::to_string(values) + " were given for the " +
                            std::to_string(c) + "th connection.");
        const bool firstIsSmaller = conversion::toDouble(line[1]) < conversion::toDouble(line[2]);
        const std::string& smaller = firstIsSmaller ? line[1] : line[2];
        const std::string& larger = firstIsSmaller ? line[2] : line[1];
        const long long a = static_cast<long long>(conversion::toDecimalInt(smaller)) - nodeIndexShift;
        const long long b = static_cast<long long>(conversion::toDecimalInt(larger)) - nodeIndexShift;
        // Both ends are checked: a pair read as decimal integers need not be
        // ordered like the values compared as reals.
        if (a < 0 || b >= static_cast<long long>(nbNodes) || b < 0 || a >= static_cast<long long>(nbNodes))
            Log::fatalError("incorrect node number in connection " + std::to_string(c));
        Connection connection;
        connection.first = static_cast<std::int32_t>(a);
        connection.second = static_cast<std::int32_t>(b);
        connection.section = conversion::toDouble(line[3]);
        // A negative section would drive solute up its gradient.
        if (!(std::isfinite(connection.section) && connection.section >= 0.0))
            Log::fatalError("incorrect section in connection " + std::to_string(c) + " (must be >=0)");
        connections.push_back(connection);
        networkConsole.say("Connection " + std::to_string(c) + " in NodeOstrel: OK");
    }

    for (std::size_t p = 0; p < connections.size(); ++p)
        for (std::size_t q = p + 1; q < connections.size(); ++q)
            if (connections[p].first == connections[q].first && connections[p].second == connections[q].second)
                Log::fatalError("Connection defined twice " + std::to_string(connections[p].first) + " " +
                                std::to_string(connections[p].second));

    for (Connection& connection : connections) {
        const Ostrel& nodeA = nodes[connection.first];
        const Ostrel& nodeB = nodes[connection.second];
        const double dx = nodeB.positionX - nodeA.positionX;
        const double dy = nodeB.positionY - nodeA.positionY;
        const double dz = nodeB.positionZ - nodeA.positionZ;
        connection.distance = std::sqrt(dx * dx + dy * dy + dz * dz);
        const std::string pair = std::to_string(connection.first) + " and " + std::to_string(connection.second);
        if (connection.distance == 0.0)
            Log::fatalError("If you have connections, distance between nodes (here " + pair + ") can't be NULL");
        if (!std::isfinite(connection.distance))
            Log::fatalError("If you have connections, distance between nodes (here " + pair + ") must be finite");
        // The exchange divides the atoms it moves by the volumes of the two nodes.
        for (const Ostrel* node : {&nodeA, &nodeB})
            if (!(std::isfinite(node->nodeFactor) && node->nodeFactor > 0.0))
                Log::fatalError("If you have connections, the volume of node " + std::to_string(node->nodeNumber) +
                                " must be >0");
    }
}

void nodeOstrel::readNetworkOptions()
{
    readSingleValueKeywords(dataFile, networkKeywords, *this, networkConsole);
    if (readFlag(dataFile, "unstationnaryNucleation")) {
        Log::logWarning("'unstationnaryNucleation' changed to true in nodeOstrel");
        for (Ostrel& node : nodes)
            for (Precipitate& precipitate : node.precipitates) precipitate.unstationnaryNucleation = true;
    }
}

void nodeOstrel::prepareNode(Ostrel& node)
{
    node.checkLoadPoints();
    // The strength of the initial microstructure (and the start of a coupled
    // hardening) comes before the first record, which carries it.
    const double T = node.temperatureProfile.GetTemperature(node.time);
    MechanicalModel& mechanics = node.mechanicalModel;
    mechanics.mechanicalComputation(mechanicalCall::initialisation, node.elements, node.precipitates, T, node.time,
                                    0.0, node.loadIndex);
    node.writeInitialResults();
    if (mechanics.mechanicsOn && mechanics.hardeningComputation)
        HardeningResults(true, false, node.time, mechanics, node.nodeNumber, {});
}
