#include "node/ostrel.h"

#include <cmath>
#include <optional>

#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "core/single_value_keyword.h"
#include "material/material_reader.h"
#include "node/initial_distribution.h"

namespace {

const SingleValueKeyword<Ostrel> timeStepKeywords[] = {
    // NaN and infinity would freeze or explode the clock.
    {"increaseDT", "increaseDT", conversion::toDouble,
     [](double factor) {
         if (!(factor >= 1.0) || std::isinf(factor)) Log::fatalError("Incorrect value for increaseDT (must be >=1)");
     },
     [](Ostrel& node, double factor) { node.increaseDT = factor; }, "increaseDT changed to: "},
    // A first step of zero (or less) would never advance the clock.
    {"initialDT", "initialDT", conversion::toDouble,
     [](double step) {
         if (!(step > 0.0) || std::isinf(step)) Log::fatalError("Incorrect value for initialDT (must be >0)");
     },
     [](Ostrel& node, double step) { node.initialDT = step; }, "initialDT changed to: "},
    // Zero or less rejects every step down to the smallest time step.
    {"maxCriterionIncrease", "maxCriterionIncrease", conversion::toDouble,
     [](double increase) {
         if (!(increase > 0.0)) Log::fatalError("Incorrect value for maxCriterionIncrease (must be >0)");
     },
     [](Ostrel& node, double increase) { node.maxCriterionIncrease = increase; }, "maxCriterionIncrease changed to: "},
    {"timeStepManagement", "timeStepManagement", conversion::toDouble,
     [](double version) {
         if (version != time_step_management::version1 && version != time_step_management::version3)
             Log::fatalError("Incorrect value for timeStepManagement (must be 1 or 3)");
     },
     [](Ostrel& node, double version) { node.timeStepManagement = static_cast<int>(version); },
     "timeStepManagement changed to: "},
};

} // namespace

void Ostrel::setNodeFactor(double volume)
{
    nodeFactor = volume;
    matrix.nodeFactor = volume;
    for (Precipitate& precipitate : precipitates) precipitate.nodeFactor = volume;
}

void Ostrel::readInput(const std::string& dataFile)
{
    readGeneralOptions(dataFile);
    readElementOptions(dataFile);

    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "noPrecipitation", lines, true);
    if (!lines.empty()) {
        precipitationOn = false;
        Log::logWarning("'noPrecitation' by default in input file");
    }
    if (precipitationOn) {
        std::vector<std::string> names;
        for (const Element& element : elements) names.push_back(element.name);
        precipitates = readPrecipitates(dataFile, names, console);
    }
    precipitateOptions = readPrecipitateOptions(dataFile, precipitates, console);
    for (Precipitate& precipitate : precipitates) precipitateOptions.applyTo(precipitate);

    readTemperatureProfile(dataFile, temperatureProfile);
    profileStart = temperatureProfile.times[0];
    console.say("Temperature profile: OK");

    readInitialDistributionKeyword(dataFile, precipitates, console);

    output.ReadOutputOptions(dataFile, precipitates, console);
    readTimeStepOptions(dataFile);
    initializeNode();

    mechanicalModel.ReadMechanicalInput(dataFile, elements, precipitates, temperatureProfile, nodeNumber,
                                        console.silent());
    if (mechanicalModel.mechanicsOn) output.SetMechanicalOutput(true);
}

void Ostrel::readGeneralOptions(const std::string& dataFile)
{
    console = Console(readFlag(dataFile, "notVerbose").has_value());

    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "criterion", lines, true);
    if (lines.size() > 1) Log::fatalError("criterion defined twice.");
    if (lines.size() == 1) {
        if (lines[0].size() != 2) Log::fatalError("criterion must have 1 argument.");
        const std::string& word = lines[0][1];
        const std::optional<int> code = codeOfWord(criterionWords, word);
        if (!code) Log::fatalError("This criterion is not active");
        criterion = *code;
        // Printed whatever notVerbose says.
        Console::sayAlways("criterion is:" + word);
    }
}

void Ostrel::readElementOptions(const std::string& dataFile)
{
    matrix = readMatrix(dataFile, console);

    if (const auto extra = readFlag(dataFile, "noVatSS")) {
        if (*extra > 0) Log::logWarning("No arguments necessary for noVatSS, extra arguments are neglected.");
        matrix.computeVatSS = false;
        console.say("No computation of VatSS the choice is always VatSS=VatM");
    }

    elements = readElements(dataFile, matrix, console);

    if (const auto extra = readFlag(dataFile, "improvedMassBalance")) {
        if (*extra > 0)
            Log::logWarning("No arguements necessary for improvedMassBalance, extra arguments are neglected.");
        for (Element& element : elements) element.standardMassBalance = false;
        standardMassBalance = false;
        console.say("Use of improved mass balance.");
    }

    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "inflateDiffusionCoeff", lines, true);
    if (lines.size() > elements.size())
        Log::fatalError("nb of inflateDiffusionCoeff cannot be greather than nbOfElement.");
    for (const KeywordLine& line : lines) {
        if (line.size() < 3) Log::fatalError("Too low nb of arguments defined for inflateDiffusionCoeff.");
        const std::string& name = line[1];
        const std::string& factorText = line[2];
        if (line.size() > 3)
            Log::logWarning("Too many arguments defined for inflateDiffusionCoeff (element " + name +
                            " only the 2 first are taken into account.");
        const double factor = conversion::toDouble(factorText);
        // The exchange between nodes divides the coefficient by this factor
        // again; zero, a negative or an undefined factor has no meaning.
        if (!(std::isfinite(factor) && factor > 0.0))
            Log::fatalError("Incorrect value for inflateDiffusionCoeff (must be >0)");
        bool found = false;
        for (Element& element : elements) {
            if (element.name != name) continue;
            element.SetDiffusionInflation(factor);
            found = true;
        }
        if (!found) Log::fatalError("inflateDiffusionCoeff: this element " + name + " was not found");
        console.say("inflateDiffusionCoeff changed to: " + factorText + " for element " + name);
    }
}

void Ostrel::readTimeStepOptions(const std::string& dataFile)
{
    readSingleValueKeywords(dataFile, timeStepKeywords, *this, console);
}
