// The keyword nodeProperty: a range of nodes made to differ from the
// template. Every line is checked first, then the lines are applied kind by
// kind in a fixed order, then every changed node is initialised again. Each
// sub-line (the property word and its values) goes to the reading code of
// the data-file keyword of the same name.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <optional>

#include "core/constants.h"
#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "core/variant_word.h"
#include "kinetics/precipitate_options.h"
#include "material/material_reader.h"
#include "network/node_ostrel.h"
#include "node/initial_distribution.h"

namespace {

// Property kinds, coded in the order in which their lines are applied.
namespace property {
inline constexpr int element = 0;
inline constexpr int precipitate = 1;
inline constexpr int initialDistrib = 2;
inline constexpr int noPrecipitation = 3;
inline constexpr int temperatureProfile = 4;
inline constexpr int strainLoad = 5;
inline constexpr int parametersForHardening = 6;
inline constexpr int young = 7;
inline constexpr int poisson = 8;
inline constexpr int boostPrecipitateDiffusion = 9;
inline constexpr int appliedKinds = 10;
// Refused whatever follows it.
inline constexpr int matrix = 10;
} // namespace property

constexpr VariantWord propertyWords[] = {
    {"matrix", property::matrix},
    {"element", property::element},
    {"precipitate", property::precipitate},
    {"temperatureProfile", property::temperatureProfile},
    {"initialDistrib", property::initialDistrib},
    {"noPrecipitation", property::noPrecipitation},
    {"strainLoad", property::strainLoad},
    {"parametersForHardening", property::parametersForHardening},
    {"young", property::young},
    {"poisson", property::poisson},
    {"boostPrecipitateDiffusion", property::boostPrecipitateDiffusion},
};

constexpr unsigned int unlimited = UINT_MAX;

// One checked nodeProperty line.
struct PropertyLine {
    KeywordLine subLine; // the property word, then its values
    std::size_t first = 0;
    std::size_t last = 0; // the node range after the shift, inclusive
};

std::size_t findByName(const auto& list, const std::string& name)
{
    std::size_t position = 0;
    while (position < list.size() && list[position].name != name) ++position;
    return position;
}

// A mechanical property line read by the node's mechanical model like the
// data-file keyword of the same name.
void applyMechanicalProperty(Ostrel& node, int kind, const KeywordLine& subLine)
{
    MechanicalModel& mechanics = node.mechanicalModel;
    switch (kind) {
    case property::strainLoad: mechanics.ReadStrainLoad(subLine); break;
    case property::parametersForHardening: mechanics.DefineCoefficientsForHardeningModel(subLine); break;
    case property::young: mechanics.ReadYoung(subLine); break;
    case property::poisson: mechanics.ReadPoisson(subLine); break;
    default: Log::fatalError("incorrect keyword for node property.");
    }
}

void replaceElement(Ostrel& node, const KeywordLine& subLine)
{
    const std::size_t position = findByName(node.elements, subLine[1]);
    if (position == node.elements.size())
        Log::fatalError("name of Element for current node not defined in elements list.");
    // Read like an `element` line: diffusionInflation 1, the line's D0 as it
    // stands. The node's mass-balance variant stays that of every element.
    Element element = readElement(subLine, static_cast<int>(position));
    element.standardMassBalance = node.standardMassBalance;
    node.elements[position] = std::move(element);

    if (node.elements.back().name != node.matrix.name)
        Log::fatalError("Incorrect position of the matrix in the list of elements.");
    const std::span<const Element> solutes(node.elements.data(), node.elements.size() - 1);
    Element matrix = matrixElement(solutes, node.matrix);
    matrix.standardMassBalance = node.standardMassBalance;
    node.elements.back() = std::move(matrix);
}

void replacePrecipitate(Ostrel& node, const KeywordLine& subLine)
{
    const std::size_t position = findByName(node.precipitates, subLine[1]);
    if (position == node.precipitates.size())
        Log::fatalError("name of Precipitate for current node not defined in precipitates list.");
    std::vector<std::string> elementNames;
    for (const Element& element : node.elements) elementNames.push_back(element.name);
    Precipitate phase(elementNames);
    phase.ReadPrecipitate(subLine);
    // The settings the node gives every phase: the data file's options and
    // the node's volume.
    node.precipitateOptions.applyTo(phase);
    phase.nodeFactor = node.nodeFactor;
    node.precipitates[position] = std::move(phase);
}

void boostPrecipitate(Ostrel& node, const KeywordLine& subLine)
{
    const std::size_t position = findByName(node.precipitates, subLine[1]);
    if (position == node.precipitates.size())
        Log::fatalError("name of Precipitate in boostPrecipitateDiffusion for current node not defined in precipitates list.");
    node.precipitates[position].boostPrecipitateDiffusion = boostPrecipitateDiffusionFactor(subLine[2]);
}

class NodeProperties {
public:
    explicit NodeProperties(nodeOstrel& network) : network(network), counters(network.nodes.size())
    {
        for (const Precipitate& precipitate : network.templateNode().precipitates)
            templatePrecipitates.push_back(precipitate.name);
    }

    void check(const KeywordLine& line);
    void apply();
    void initializeChangedNodes();

private:
    nodeOstrel& network;
    std::vector<std::string> templatePrecipitates;
    std::array<std::vector<PropertyLine>, property::appliedKinds> accepted;
    std::vector<std::array<unsigned int, property::appliedKinds>> counters; // per node

    std::optional<std::size_t> nodeIndexOf(const std::string& text) const;
    void count(int kind, const PropertyLine& line, unsigned int limit, const std::string& message);
    void checkTemperatureProfile(const KeywordLine& subLine, const std::string& forNodes) const;
    void applyLine(int kind, const PropertyLine& line);
};

// Decimal digits up to the first other character, shifted like the node lines.
std::optional<std::size_t> NodeProperties::nodeIndexOf(const std::string& text) const
{
    const long long index = static_cast<long long>(conversion::toDecimalInt(text)) - network.nodeIndexShift;
    if (index < 0 || index >= static_cast<long long>(network.nodes.size())) return std::nullopt;
    return static_cast<std::size_t>(index);
}

void NodeProperties::count(int kind, const PropertyLine& line, unsigned int limit, const std::string& message)
{
    for (std::size_t k = line.first; k <= line.last; ++k)
        if (++counters[k][kind] > limit) Log::fatalError(message + std::to_string(k));
}

void NodeProperties::checkTemperatureProfile(const KeywordLine& subLine, const std::string& forNodes) const
{
    const std::size_t values = subLine.size() - 1;
    if (values % 2 != 0) Log::fatalError("Incorrect number of arguments for temperature at nodes " + forNodes);
    checkTemperatureProfileArguments(subLine);

    // Connected nodes advance in lockstep over the template's time span.
    const TemperatureProfile& reference = network.templateNode().temperatureProfile;
    const bool connected = network.nbConnections != 0;
    const double firstTime = conversion::toDouble(subLine[1]);
    if (!(std::fabs(firstTime - reference.GetFirstTime()) <= constants::timeTolerance)) {
        if (connected)
            Log::fatalError("nodeProperty: initial time must be same as time[0] in temperatureProfil for nodes " +
                            forNodes);
        Log::logWarning("Here 'numberOfConnections<=0' and we have warning nodeProperty: initial time is not same as "
                        "time[0] in temperatureProfil for nodes " +
                        forNodes);
    }
    const double lastTime = conversion::toDouble(subLine[values - 1]);
    if (!(std::fabs(lastTime - reference.GetLastTime()) <= constants::timeTolerance)) {
        if (connected)
            Log::fatalError("nodeProperty: final time must be same as time[end] in temperatureProfil for nodes " +
                            forNodes);
        Log::logWarning("Here 'numberOfConnections<=0' and we have warning nodeProperty: final time is not same as "
                        "time[end] in temperatureProfil for nodes " +
                        forNodes);
    }
}

void NodeProperties::check(const KeywordLine& line)
{
    if (line.size() < 4) Log::fatalError("For nodeProperty we must have at least 3 arguments");
    const std::optional<std::size_t> first = nodeIndexOf(line[1]);
    if (!first) Log::fatalError("Incorrect first node number in node property.");
    const std::optional<std::size_t> last = nodeIndexOf(line[2]);
    if (!last) Log::fatalError("Incorrect second node number in node property.");
    if (*last < *first) Log::fatalError("Second nodeNumber must be greater than the first.");

    PropertyLine property{KeywordLine(line.begin() + 3, line.end()), *first, *last};
    const std::size_t values = property.subLine.size() - 1;
    const std::string forNodes = line[1] + " : " + line[2];
    const std::optional<int> kind = codeOfWord(propertyWords, line[3]);
    if (!kind) Log::fatalError("incorrect keyword for node property.");

    switch (*kind) {
    case property::matrix:
        Log::fatalError("In InitializeNodeProperties : we desactived this option and different matrix is commented in diffusion");
    case property::element: {
        if (values != 5)
            Log::fatalError("Element command needs 5 arguments and " + std::to_string(values) +
                            " were given for nodes " + forNodes);
        const auto solutes = static_cast<unsigned int>(network.templateNode().elements.size() - 1);
        count(*kind, property, solutes, "Two many elements (re)defined for node ");
        break;
    }
    case property::precipitate: {
        if (values < 9) Log::fatalError("insufficient number of arguments for precipitates for nodes " + forNodes);
        if (std::find(templatePrecipitates.begin(), templatePrecipitates.end(), property.subLine[1]) !=
            templatePrecipitates.end())
            Log::logWarning("If we change precipitate (for nodes " + forNodes +
                            ") we must load an initial distribution to don't lose the current!");
        for (std::size_t k = property.first; k <= property.last; ++k) {
            const Ostrel& node = network.nodes[k];
            const unsigned int defined = ++counters[k][*kind];
            if (!node.precipitationOn)
                Log::fatalError("Can't define a new precipitation property if 'noPrecipitation' is actived for this node : " +
                                std::to_string(k));
            if (defined > node.precipitates.size())
                Log::fatalError("Two many precipitates (re)defined for node " + std::to_string(k));
        }
        break;
    }
    case property::temperatureProfile:
        checkTemperatureProfile(property.subLine, forNodes);
        count(*kind, property, 1, "'temperatureProfile' redefined twice for node ");
        break;
    case property::initialDistrib:
        if (values % 2 != 0 || values < 2)
            Log::fatalError("Incorrect number of arguments for 'initialDistrib' at nodes " + forNodes);
        count(*kind, property, 1, "'InitialDistrib' redefined twice node ");
        break;
    case property::noPrecipitation:
        if (values != 0) Log::fatalError("Incorrect number of arguments for noPrecipitation");
        count(*kind, property, unlimited, "");
        break;
    case property::strainLoad:
        if (values != 2) Log::fatalError("Incorrect number of arguments for 'strainLoad' at nodes " + forNodes);
        count(*kind, property, 1, "'strainLoad' redefined twice node ");
        break;
    // The values of these three are read when the line is applied.
    case property::parametersForHardening:
        count(*kind, property, 1, "'parametersForHardeningLines' redefined twice node ");
        break;
    case property::young:
        count(*kind, property, 1, "'youngLines' redefined twice node ");
        break;
    case property::poisson:
        count(*kind, property, 1, "'poissonLines' redefined twice node ");
        break;
    case property::boostPrecipitateDiffusion:
        if (values != 2)
            Log::fatalError("boostPrecipitateDiffusion command needs 2 arguments and " + std::to_string(values) +
                            " were given for nodes " + forNodes);
        count(*kind, property, unlimited, "");
        break;
    default:
        Log::fatalError("incorrect keyword for node property.");
    }
    accepted[*kind].push_back(std::move(property));
}

void NodeProperties::apply()
{
    // The kinds in their fixed order, then the lines of a kind in file order.
    for (int kind = 0; kind < property::appliedKinds; ++kind)
        for (const PropertyLine& line : accepted[kind]) applyLine(kind, line);
}

void NodeProperties::applyLine(int kind, const PropertyLine& line)
{
    const KeywordLine& subLine = line.subLine;
    const std::string nodes = std::to_string(line.first) + " : " + std::to_string(line.last);
    if ((kind == property::young || kind == property::poisson) && subLine.size() % 2 == 0)
        Log::fatalError("Nodes " + nodes + "-you must have for each temperature a young modulus (pair arguments)");

    for (std::size_t k = line.first; k <= line.last; ++k) {
        Ostrel& node = network.nodes[k];
        switch (kind) {
        case property::element:
            replaceElement(node, subLine);
            break;
        case property::precipitate:
            replacePrecipitate(node, subLine);
            break;
        case property::initialDistrib:
            readInitialDistribution(subLine, node.precipitates);
            break;
        case property::noPrecipitation:
            node.precipitationOn = false;
            node.precipitates.clear();
            break;
        case property::temperatureProfile:
            node.temperatureProfile.setProfile(subLine);
            node.profileStart = node.temperatureProfile.GetFirstTime();
            break;
        case property::strainLoad:
        case property::parametersForHardening:
        case property::young:
        case property::poisson:
            applyMechanicalProperty(node, kind, subLine);
            break;
        case property::boostPrecipitateDiffusion:
            boostPrecipitate(node, subLine);
            break;
        default:
            Log::fatalError("incorrect keyword for node property.");
        }
    }

    const Console& console = network.networkConsole;
    switch (kind) {
    case property::element:
        console.say("Element " + subLine[1] + " redefined in Ostrel nodes " + nodes);
        break;
    case property::precipitate:
        console.say("Precipitates " + subLine[1] + " redefined in Ostrel nodes " + nodes);
        break;
    case property::initialDistrib:
        console.say("initialDistribLines redefined in Ostrel nodes " + nodes);
        break;
    case property::noPrecipitation:
        Log::logWarning("No precipitation at nodes " + nodes);
        break;
    case property::temperatureProfile:
        console.say("Temperature profile redefined for nodes " + nodes);
        break;
    case property::strainLoad:
        console.say("'strainLoad' for nodes " + nodes);
        break;
    case property::parametersForHardening:
        console.say("'parametersForHardening' for nodes " + nodes);
        break;
    case property::young:
        console.say("'young' for nodes " + nodes);
        break;
    case property::poisson:
        console.say("'poisson' for nodes " + nodes);
        break;
    case property::boostPrecipitateDiffusion:
        console.say("boostPrecipitateDiffusionLines " + subLine[1] + " redefined in Ostrel nodes " + nodes);
        break;
    }
}

void NodeProperties::initializeChangedNodes()
{
    for (std::size_t k = 0; k < counters.size(); ++k) {
        const auto& changes = counters[k];
        if (std::all_of(changes.begin(), changes.end(), [](unsigned int c) { return c == 0; })) continue;
        Ostrel& node = network.nodes[k];
        node.initializeNode();
        // The node's profile and strain history may both have changed.
        node.mechanicalModel.CheckCouplingTimes(node.temperatureProfile, node.nodeNumber);
    }
}

} // namespace

void nodeOstrel::readNodeProperties()
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "nodeProperty", lines, true);
    if (lines.empty()) return;
    NodeProperties properties(*this);
    for (const KeywordLine& line : lines) properties.check(line);
    properties.apply();
    properties.initializeChangedNodes();
}
