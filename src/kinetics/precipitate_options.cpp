#include "kinetics/precipitate_options.h"

#include <cmath>
#include <string>

#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "core/single_value_keyword.h"
#include "kinetics/class_management_methods.h"
#include "kinetics/precipitate.h"

namespace {

using Keyword = SingleValueKeyword<PrecipitateOptions>;

// Upper bound of targetClassNumber: class management builds a grid of that
// many classes, and nucleation compares the class count with ten times it.
constexpr int largestTargetClassNumber = 10000000;

// A solver limit or tolerance that is not a number, or infinite, would let
// Newton iterate for ever or the bracketing solvers stop unrefined.
void requireFinite(double value, const char* label)
{
    if (!std::isfinite(value)) Log::fatalError(std::string("Incorrect value for ") + label + " (must be a finite number)");
}

const Keyword solverKeywords[] = {
    {"tol_Brent_Dicho", "BrentDichoTolerance", conversion::toDouble,
     [](double value) { requireFinite(value, "BrentDichoTolerance"); },
     [](PrecipitateOptions& o, double value) { o.tolBrentDicho = value; }, "Brent or dichotomy tolerance changed to: "},
    {"tol_divideResidu_NR", "NRtolerance", conversion::toDouble,
     [](double value) { requireFinite(value, "NRtolerance"); },
     [](PrecipitateOptions& o, double value) { o.tolNR = value; }, "NewtonRaphson algorithm tolerance changed to: "},
    {"NR_maximumCount", "NR_maximumCount", conversion::toDouble,
     [](double value) { requireFinite(value, "NR_maximumCount"); },
     [](PrecipitateOptions& o, double value) { o.maxCountNR = value; }, "NewtonRaphson maximumCount changed to: "},
    {"nonLinearAlgorithm", "nonLinearAlgorithm",
     [](const std::string& text) -> double {
         const std::optional<int> code = codeOfWord(nonLinearAlgorithmWords, text);
         if (!code) Log::fatalError("This choice for nonLinearAlgorithm is not recognized");
         return *code;
     },
     nullptr, [](PrecipitateOptions& o, double code) { o.nonLinearAlgorithm = code; },
     "nonLinearAlgorithm changed to: "},
    {"diffusionCoefficientRatio", "diffusionCoefficientRatio", conversion::toDouble, nullptr,
     [](PrecipitateOptions& o, double value) { o.diffusionCoefficientRatio = value; },
     "diffusionCoefficientRatio changed to: "},
};

const Keyword classKeywords[] = {
    {"targetClassNumber", "targetClassNumber",
     [](const std::string& text) -> double { return conversion::toAutoBaseInt(text); },
     [](double value) {
         if (value < 2 || value > largestTargetClassNumber)
             Log::fatalError("Incorrect value for targetClassNumber (must be >=2 and <=10000000)");
     },
     [](PrecipitateOptions& o, double value) { o.targetClassNumber = static_cast<int>(value); },
     "targetClassNumber changed to: "},
    {"limitOfpreciInClassForDissolution", "limitOfpreciInClassForDissolution", conversion::toDouble, nullptr,
     [](PrecipitateOptions& o, double value) { o.limitOfpreciInClassForDissolution = value; },
     "limitOfpreciInClassForDissolution changed to: "},
    {"changeNumberInClass", "changeNumberInClass", conversion::toDouble,
     [](double value) {
         if (value > 1.0 || value <= 0.0) Log::logWarning("Incorrect value for changeNumberInClass (must be ]0;1])");
     },
     [](PrecipitateOptions& o, double value) { o.changeNumberInClass = value; }, "changeNumberInClass changed to: "},
};

const Keyword managementKeywords[] = {
    {"classManagementType", "classManagementType",
     [](const std::string& text) -> double {
         const std::optional<int> code = codeOfWord(class_management::methodWords, text);
         if (!code) Log::fatalError("Incorrect value for classManagementType (must be quad, lin, distrib, old or no)");
         return *code;
     },
     nullptr, [](PrecipitateOptions& o, double code) { o.classManagementType = code; },
     "classManagementType changed to: "},
    {"minDissolutionLimit", "minDissolutionLimit", conversion::toDouble, nullptr,
     [](PrecipitateOptions& o, double value) { o.minDissolutionLimit = value; }, "minDissolutionLimit changed to: "},
    {"maxDissolutionLimit", "maxDissolutionLimit", conversion::toDouble, nullptr,
     [](PrecipitateOptions& o, double value) { o.maxDissolutionLimit = value; }, "maxDissolutionLimit changed to: "},
};

void readBoostPrecipitateDiffusion(const std::string& dataFile, const std::vector<Precipitate>& precipitates,
                                   const Console& console, PrecipitateOptions& options)
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
    for (const KeywordLine& line : lines)
        options.boostPrecipitateDiffusion.emplace_back(line[1], boostPrecipitateDiffusionFactor(line[2]));
    // Every line is confirmed once per phase, whether or not it names that phase.
    for (std::size_t p = 0; p < precipitates.size(); ++p)
        for (const KeywordLine& line : lines)
            console.say("boostPrecipitateDiffusion changed to: " + line[2] + " for " + line[1]);
}

} // namespace

double boostPrecipitateDiffusionFactor(const std::string& text)
{
    const double factor = conversion::toDouble(text);
    if (!(std::isfinite(factor) && factor > 0.0))
        Log::fatalError("Incorrect value for boostPrecipitateDiffusion (must be >0)");
    return factor;
}

PrecipitateOptions readPrecipitateOptions(const std::string& dataFile, const std::vector<Precipitate>& precipitates,
                                          const Console& console)
{
    // Three groups, because the diffusion boost and the incubation law are
    // read between them.
    PrecipitateOptions options;
    readSingleValueKeywords(dataFile, solverKeywords, options, console);
    readBoostPrecipitateDiffusion(dataFile, precipitates, console, options);
    readSingleValueKeywords(dataFile, classKeywords, options, console);
    if (readFlag(dataFile, "unstationnaryNucleation")) {
        Log::logWarning("unstationnaryNucleation changed to: true");
        options.unstationnaryNucleation = true;
    }
    readSingleValueKeywords(dataFile, managementKeywords, options, console);
    return options;
}

void PrecipitateOptions::applyTo(Precipitate& phase) const
{
    if (tolBrentDicho) phase.solver.tolBrentDicho = *tolBrentDicho;
    if (tolNR) phase.solver.tolNR = *tolNR;
    if (maxCountNR) phase.solver.maxCountNR = *maxCountNR;
    if (nonLinearAlgorithm) phase.nonLinearAlgorithm = *nonLinearAlgorithm;
    if (diffusionCoefficientRatio) phase.diffusionCoefficientRatio = *diffusionCoefficientRatio;
    // A later line naming the phase overrides an earlier one.
    for (const auto& [name, factor] : boostPrecipitateDiffusion)
        if (name == phase.name) phase.boostPrecipitateDiffusion = factor;
    if (targetClassNumber) phase.targetClassNumber = *targetClassNumber;
    if (limitOfpreciInClassForDissolution) phase.limitOfpreciInClassForDissolution = *limitOfpreciInClassForDissolution;
    if (changeNumberInClass) phase.changeNumberInClass = *changeNumberInClass;
    if (unstationnaryNucleation) phase.unstationnaryNucleation = true;
    if (classManagementType) phase.classManagementType = *classManagementType;
    if (minDissolutionLimit) phase.minDissolutionLimit = *minDissolutionLimit;
    if (maxDissolutionLimit) phase.maxDissolutionLimit = *maxDissolutionLimit;
}
