#include "node/ostrel.h"

#include <cmath>
#include <optional>

#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "core/single_value_keyword.h"
#include "kinetics/class_management_methods.h"
#include "material/material_reader.h"
#include "node/initial_distribution.h"

namespace {

// Upper bound of targetClassNumber: class management builds a grid of that
// many classes, and nucleation compares the class count with ten times it.
constexpr int largestTargetClassNumber = 10000000;

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
    readPrecipitateOptions(dataFile);

    readTemperatureProfile(dataFile, temperatureProfile);
    profileStart = temperatureProfile.times[0];
    console.say("Temperature profile: OK");

    readInitialDistributionKeyword(dataFile, precipitates, console);

    output.ReadOutputOptions(dataFile, precipitates, console);
    readTimeStepOptions(dataFile);
    initializeNode();
    // The mechanical keywords follow here once the mechanical model exists.
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

void Ostrel::readPrecipitateOptions(const std::string& dataFile)
{
    auto forEachPrecipitate = [this](auto&& apply) {
        for (Precipitate& precipitate : precipitates) apply(precipitate);
    };
    // A solver limit or tolerance that is not a number, or infinite, would
    // let Newton iterate for ever or the bracketing solvers stop unrefined.
    auto finiteSolverSetting = [](const std::string& label, const std::string& text) {
        const double value = conversion::toDouble(text);
        if (!std::isfinite(value)) Log::fatalError("Incorrect value for " + label + " (must be a finite number)");
        return value;
    };

    if (const auto value = readSingleValue(dataFile, "tol_Brent_Dicho", "BrentDichoTolerance")) {
        const double tolerance = finiteSolverSetting("BrentDichoTolerance", *value);
        forEachPrecipitate([&](Precipitate& p) { p.solver.tolBrentDicho = tolerance; });
        console.say("Brent or dichotomy tolerance changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "tol_divideResidu_NR", "NRtolerance")) {
        const double divisor = finiteSolverSetting("NRtolerance", *value);
        forEachPrecipitate([&](Precipitate& p) { p.solver.tolNR = divisor; });
        console.say("NewtonRaphson algorithm tolerance changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "NR_maximumCount", "NR_maximumCount")) {
        const double count = finiteSolverSetting("NR_maximumCount", *value);
        forEachPrecipitate([&](Precipitate& p) { p.solver.maxCountNR = count; });
        console.say("NewtonRaphson maximumCount changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "nonLinearAlgorithm", "nonLinearAlgorithm")) {
        const std::optional<int> code = codeOfWord(nonLinearAlgorithmWords, *value);
        if (!code) Log::fatalError("This choice for nonLinearAlgorithm is not recognized");
        forEachPrecipitate([&](Precipitate& p) { p.nonLinearAlgorithm = *code; });
        console.say("nonLinearAlgorithm changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "diffusionCoefficientRatio", "diffusionCoefficientRatio")) {
        const double ratio = conversion::toDouble(*value);
        forEachPrecipitate([&](Precipitate& p) { p.diffusionCoefficientRatio = ratio; });
        console.say("diffusionCoefficientRatio changed to: " + *value);
    }
    readBoostPrecipitateDiffusion(dataFile);
    if (const auto value = readSingleValue(dataFile, "targetClassNumber", "targetClassNumber")) {
        const int target = conversion::toAutoBaseInt(*value);
        if (target < 2 || target > largestTargetClassNumber)
            Log::fatalError("Incorrect value for targetClassNumber (must be >=2 and <=10000000)");
        forEachPrecipitate([&](Precipitate& p) { p.targetClassNumber = target; });
        console.say("targetClassNumber changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "limitOfpreciInClassForDissolution",
                                           "limitOfpreciInClassForDissolution")) {
        const double limit = conversion::toDouble(*value);
        forEachPrecipitate([&](Precipitate& p) { p.limitOfpreciInClassForDissolution = limit; });
        console.say("limitOfpreciInClassForDissolution changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "changeNumberInClass", "changeNumberInClass")) {
        const double change = conversion::toDouble(*value);
        if (change > 1.0 || change <= 0.0)
            Log::logWarning("Incorrect value for changeNumberInClass (must be ]0;1])");
        forEachPrecipitate([&](Precipitate& p) { p.changeNumberInClass = change; });
        console.say("changeNumberInClass changed to: " + *value);
    }
    if (readFlag(dataFile, "unstationnaryNucleation")) {
        Log::logWarning("unstationnaryNucleation changed to: true");
        forEachPrecipitate([](Precipitate& p) { p.unstationnaryNucleation = true; });
    }
    if (const auto value = readSingleValue(dataFile, "classManagementType", "classManagementType")) {
        const std::optional<int> code = codeOfWord(class_management::methodWords, *value);
        if (!code) Log::fatalError("Incorrect value for classManagementType (must be quad, lin, distrib, old or no)");
        forEachPrecipitate([&](Precipitate& p) { p.classManagementType = *code; });
        console.say("classManagementType changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "minDissolutionLimit", "minDissolutionLimit")) {
        const double limit = conversion::toDouble(*value);
        forEachPrecipitate([&](Precipitate& p) { p.minDissolutionLimit = limit; });
        console.say("minDissolutionLimit changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "maxDissolutionLimit", "maxDissolutionLimit")) {
        const double limit = conversion::toDouble(*value);
        forEachPrecipitate([&](Precipitate& p) { p.maxDissolutionLimit = limit; });
        console.say("maxDissolutionLimit changed to: " + *value);
    }
}

void Ostrel::readBoostPrecipitateDiffusion(const std::string& dataFile)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "boostPrecipitateDiffusion", lines, true);
    if (lines.empty()) return;
    if (lines.size() != precipitates.size())
        Log::fatalError("nb of 'boostPrecipitateDiffusion' must be equal to the nb of precipitates");
    for (const KeywordLine& line : lines) {
        if (line.size() < 3)
            Log::fatalError("Too low nb of arguments defined for boostPrecipitateDiffusion (2 required).");
        if (line.size() > 3)
            Log::fatalError("Too many arguments defined for boostPrecipitateDiffusion (2 required).");
    }
    for (Precipitate& precipitate : precipitates) {
        for (const KeywordLine& line : lines) {
            if (line[1] == precipitate.name) precipitate.boostPrecipitateDiffusion = conversion::toDouble(line[2]);
            console.say("boostPrecipitateDiffusion changed to: " + line[2] + " for " + line[1]);
        }
    }
}

void Ostrel::readTimeStepOptions(const std::string& dataFile)
{
    if (const auto value = readSingleValue(dataFile, "increaseDT", "increaseDT")) {
        const double factor = conversion::toDouble(*value);
        // NaN and infinity would freeze or explode the clock.
        if (!(factor >= 1.0) || std::isinf(factor)) Log::fatalError("Incorrect value for increaseDT (must be >=1)");
        increaseDT = factor;
        console.say("increaseDT changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "initialDT", "initialDT")) {
        const double step = conversion::toDouble(*value);
        // A first step of zero (or less) would never advance the clock.
        if (!(step > 0.0) || std::isinf(step)) Log::fatalError("Incorrect value for initialDT (must be >0)");
        initialDT = step;
        console.say("initialDT changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "maxCriterionIncrease", "maxCriterionIncrease")) {
        const double increase = conversion::toDouble(*value);
        // Zero or less rejects every step down to the smallest time step.
        if (!(increase > 0.0)) Log::fatalError("Incorrect value for maxCriterionIncrease (must be >0)");
        maxCriterionIncrease = increase;
        console.say("maxCriterionIncrease changed to: " + *value);
    }
    if (const auto value = readSingleValue(dataFile, "timeStepManagement", "timeStepManagement")) {
        const double version = conversion::toDouble(*value);
        if (version != time_step_management::version1 && version != time_step_management::version3)
            Log::fatalError("Incorrect value for timeStepManagement (must be 1 or 3)");
        timeStepManagement = static_cast<int>(version);
        console.say("timeStepManagement changed to: " + *value);
    }
}
