#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/temperature_profile.h"
#include "mechanics/mechanical_model.h"

namespace {

void say(bool silent, const std::string& line)
{
    Console(silent).say(line);
}

double argument(const KeywordLine& line, std::size_t i) { return conversion::toDouble(line[i]); }

// Messages of one temperature table (Young modulus or Poisson ratio).
struct TableMessages {
    const char* pairs;
    const char* increasing;
    const char* temperature;
    const char* value;
    const char* onePair;
};

// Pairs (T, value) after the keyword, with their checks in order.
void readTemperatureTable(const KeywordLine& line, const TableMessages& messages, TemperatureTable& table)
{
    const std::size_t values = line.empty() ? 0 : line.size() - 1;
    // Without a pair there is nothing to interpolate.
    if (values % 2 != 0 || values == 0) Log::fatalError(messages.pairs);
    const std::size_t pairs = values / 2;
    for (std::size_t k = 1; k < pairs; ++k)
        if (!(argument(line, 2 * k + 1) > argument(line, 2 * k - 1))) Log::fatalError(messages.increasing);

    table.temperatures.clear();
    table.values.clear();
    for (std::size_t k = 0; k < pairs; ++k) {
        const double T = argument(line, 2 * k + 1);
        const double value = argument(line, 2 * k + 2);
        // A value that is not a number would reach every strength term.
        if (!(std::isfinite(T) && T >= 0.0)) Log::fatalError(messages.temperature);
        if (!(std::isfinite(value) && value >= 0.0)) Log::fatalError(messages.value);
        table.temperatures.push_back(T);
        table.values.push_back(value);
    }
    if (pairs == 1) Log::logWarning(messages.onePair);
}

// Eshelby factor of an inclusion of the precipitate's shape in a matrix of
// Poisson ratio nu.
double eshelbyFactor(const Precipitate& precipitate, double nu)
{
    switch (precipitate.shape) {
    case shape::sphere:
        return (7.0 - 5.0 * nu) / (15.0 * (1.0 - nu));
    case shape::rod:
    case shape::cylinderFunction: {
        const double a = precipitate.aspectRatio / 2.0;
        return (std::acosh(a) * ((nu + 1.0) * (a * a * a) + (2.0 - nu) * a)
                + std::sqrt(a * a - 1.0) * ((a * a * a * a) * (1.0 - nu) + (nu - 4.0) * (a * a)))
               / (std::pow(a * a - 1.0, 2.5) * (2.0 - 2.0 * nu));
    }
    default:
        Log::fatalError("'omegaEshelby' is just implemented for rods and sphere");
    }
}

} // namespace

void MechanicalModel::ReadMechanicalInput(const std::string& dataFile, const std::vector<Element>& elements,
                                          const std::vector<Precipitate>& precipitates,
                                          const TemperatureProfile& profile, int nodeNumber, bool silent)
{
    std::vector<KeywordLine> lines;

    DataFileReader::readKeyword(dataFile, "mechanicModel", lines, true);
    if (lines.size() > 1) Log::fatalError("More than one 'mechanicModel' information given");
    if (lines.size() == 1) {
        if (lines[0].size() > 2)
            Log::logWarning("'mechanicModel' needs only one argument, extra arguments are neglected.");
        if (lines[0].size() >= 2) {
            mechanicModel = conversion::toDecimalInt(lines[0][1]);
            mechanicsOn = true;
            quiet = silent;
        }
    }

    DataFileReader::readKeyword(dataFile, "hardeningModel", lines, true);
    if (lines.size() > 1) Log::fatalError("More than one 'hardeningChoice' information given");
    if (lines.size() == 1) {
        if (!mechanicsOn) Log::fatalError("If you have 'hardeningModel' you must have 'mechanicModel'");
        if (lines[0].size() > 2)
            Log::logWarning("'hardeningChoice' needs only one arguments, extra arguments are neglected.");
        hardeningLinePresent = true;
        if (lines[0].size() >= 2) {
            hardeningModelChosen = conversion::toDecimalInt(lines[0][1]);
            hardeningComputation = true;
        }
    }

    DataFileReader::readKeyword(dataFile, "parametersForHardening", lines, true);
    if (!lines.empty()) {
        if (!hardeningComputation)
            Log::fatalError("If the 'hardeningModel' is present you must have parameters of model 'parametersForHardening'");
        if (lines.size() > 1) Log::fatalError("More than one 'parametersForHardening' information given");
        if (lines[0].size() < 2) Log::fatalError("Nb of arguments for 'parametersForHardening' must be bigger than 1");
        DefineCoefficientsForHardeningModel(lines[0]);
    }

    DataFileReader::readKeyword(dataFile, "SSconstant", lines, true);
    if (!lines.empty()) SScontribution(lines, elements, silent);

    DataFileReader::readKeyword(dataFile, "grainSize", lines, true);
    if (lines.size() > 1) Log::fatalError("You can have only 1keyword 'grainSize' in input data");
    if (lines.size() == 1) {
        if (lines[0].size() != 5) Log::fatalError("'grainSize' must have 4 arguments.");
        grainSize = argument(lines[0], 1);
        // The grain-boundary strength takes the square root of the grain size.
        if (!(grainSize >= 0.0)) Log::fatalError("Invalid grain size in 'grainSize' (<0)");
        initialGrainLoops = argument(lines[0], 2);
        grainLoopSaturation = argument(lines[0], 3);
        hallPetch = argument(lines[0], 4);
        grainSizeLoaded = true;
    }

    DataFileReader::readKeyword(dataFile, "young", lines, true);
    if (lines.size() > 1) Log::fatalError("You have one matrix so you must have only one Young modulus");
    if (lines.size() == 1) ReadYoung(lines[0]);

    DataFileReader::readKeyword(dataFile, "poisson", lines, true);
    if (lines.size() > 1) Log::fatalError("You have one matrix so you must have only one Poisson coefficient");
    if (lines.size() == 1) ReadPoisson(lines[0]);

    DataFileReader::readKeyword(dataFile, "dislocations", lines, true);
    if (lines.size() > 1) Log::fatalError("You can have only 1keyword 'dislocations' in input data");
    if (lines.size() == 1) {
        if (lines[0].size() != 4) Log::fatalError("dislocations must have 3 arguments.");
        initialDislocationDensity = argument(lines[0], 1);
        // The dislocation strength takes the square root of the density.
        if (!(initialDislocationDensity >= 0.0))
            Log::fatalError("Invalid dislocation density in 'dislocations' (<0)");
        dislocationDensity = initialDislocationDensity;
        alpha = argument(lines[0], 2);
        beta = argument(lines[0], 3);
        dislocationsLoaded = true;
    }

    DataFileReader::readKeyword(dataFile, "cristalloConstant", lines, true);
    if (lines.size() > 1) Log::fatalError("You can have only 1keyword 'cristalloConstant' in input data");
    if (lines.size() == 1) {
        if (lines[0].size() < 5) Log::fatalError("'cristalloConstant' must have, at least 4 arguments.");
        DefineCristalloConstant(lines[0]);
    }

    DataFileReader::readKeyword(dataFile, "precipitateConstants", lines, true);
    if (!lines.empty())
        DefinePrecipitateConstants(lines, precipitates, profile.GetTemperature(profile.GetFirstTime()), silent);

    DataFileReader::readKeyword(dataFile, "strainLoad", lines, true);
    if (lines.size() > 1) Log::fatalError("you can have only one line 'strainLoad'");
    if (lines.empty() && hardeningLinePresent)
        Log::fatalError("If you have 'hardeningModel' you must have 'strainLoad' keyword");
    if (lines.size() == 1) ReadStrainLoad(lines[0]);

    DataFileReader::readKeyword(dataFile, "couplingHardening", lines, true);
    if (lines.size() > 1) Log::fatalError("couplingHardening defined twice.");
    if (lines.size() == 1) {
        if (!hardeningLinePresent)
            Log::fatalError("If you have 'couplingHardening' you must have 'hardeningComputation'");
        if (lines[0].size() != 2) Log::fatalError("You must have one argument for 'couplingHardening': strong or semi");
        switch (codeOfWord(hardeningCouplingWords, lines[0][1]).value_or(0)) {
        case hardeningCoupling::strong:
            mechanicalHardeningCoupling = true;
            say(silent, "mechanicalHardeningCoupling is true");
            break;
        case hardeningCoupling::semi:
            mechanicalSemiHardeningCoupling = true;
            say(silent, "mechanicalSemiHardeningCoupling is true");
            break;
        default:
            Log::fatalError("For 'couplingHardening' it is 'strong' or 'semi' for argument");
        }
        CheckCouplingTimes(profile, nodeNumber);
    }

    if (mechanicsOn) {
        checkModel();
        if (mechanicalHardeningCoupling && mechanicalSemiHardeningCoupling)
            Log::fatalError("You cannot have both 'mechanicalHardeningCoupling' and 'mechanicalSemiHardeningCoupling' (Ostrel class)");
    }
    say(silent, "Load mechanical data: OK");
}

void MechanicalModel::checkModel() const
{
    const std::string model = std::to_string(mechanicModel);
    if (mechanicModel < strengthModel::first || mechanicModel > strengthModel::last)
        Log::fatalError("The actived mechanical model # " + model + " is not implemented");
    if (!solidSolutionLoaded) Log::fatalError("for Model #" + model + ": SSconstant must be Loaded");
    if (!transitionRadiusLoaded) Log::fatalError("for Model #" + model + ": transRadius must be Loaded");
    if (!dislocationsLoaded) Log::fatalError("for Model #" + model + ": dislocations must be Loaded");
    if (!crystalLoaded) Log::fatalError("for Model #" + model + ": cristalloConstant must be Loaded");
    if (!youngLoaded) Log::fatalError("for Model #" + model + ": Young modulus must be Loaded");
    if (!poissonLoaded) Log::fatalError("for Model #" + model + ": Poisson coeff must be Loaded");
}

void MechanicalModel::DefineCoefficientsForHardeningModel(const KeywordLine& line)
{
    namespace hp = hardeningParameter;
    const HardeningLawLayout& layout = hardeningLawLayout(
        hardeningModelChosen, "This 'hardeningModelChosen' is not implemented in 'DefineCoefficientsForHardeningModel'");
    const std::size_t count = line.empty() ? 0 : line.size() - 1;
    if (count != layout.parameterCount) Log::fatalError(layout.countMessage);

    hardeningParameters = HardeningParameters{};
    for (std::size_t i = 0; i < count; ++i) {
        const double value = argument(line, i + 1);
        const int slot = layout.slots[i];
        switch (slot) {
        case hp::switchA: hardeningParameters.switchA = value == 0.0; break;
        case hp::switchB: hardeningParameters.switchB = value == 0.0; break;
        case hp::F1:
        case hp::F2:
        case hp::F3:
        case hp::F4: hardeningParameters.flag[slot - hp::F1] = value != 0.0; break;
        default: hardeningParameters.value[slot] = value; break;
        }
    }
}

void MechanicalModel::SScontribution(const std::vector<KeywordLine>& lines, const std::vector<Element>& elements,
                                     bool silent)
{
    for (const KeywordLine& line : lines)
        if (line.size() != 4)
            Log::fatalError("SSconstant " + (line.size() > 1 ? line[1] : std::string()) + " must have three arguments.");

    solidSolution.assign(elements.size(), SolidSolutionConstant{});
    std::size_t contributions = 0;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string& name = elements[i].name;
        for (const KeywordLine& line : lines) {
            if (line[1] != name) continue;
            say(silent, "Mechanical model: element " + name + " taken into account in SScontribution");
            const std::optional<int> unit = codeOfWord(solidSolutionUnitWords, line[2]);
            if (!unit) Log::fatalError("This unit for " + name + " is not known in SScontribution");
            solidSolution[i] = {argument(line, 3), line[2], *unit};
            ++contributions;
        }
    }
    say(silent, "The number of SS contributions is: " + std::to_string(contributions));
    solidSolutionLoaded = true;
}

void MechanicalModel::DefineCristalloConstant(const KeywordLine& line)
{
    if (line[4] != "cfc") Log::fatalError("In mechanical part 'DefineCristalloConstant' only 'cfc' structure is possible");
    frictionStress = argument(line, 1);
    taylorFactor = argument(line, 2);
    burgers = argument(line, 3);
    structure = line[4];
    if (line.size() > 5) superpositionExponent = argument(line, 5);
    crystalLoaded = true;
}

void MechanicalModel::ReadYoung(const KeywordLine& line)
{
    static const TableMessages messages{
        "You must have for each temperature a young modulus (pair arguments)",
        "Temperature value for Young modulus definition must be increasing",
        "Invalid temperature for temperature-YoungModulus history (<0)",
        "Invalid YoungModulus for temperature-YoungModulus history (<0)",
        "If you have only one couple temperature-Young modulus, Young modulus is independant of temperature"};
    readTemperatureTable(line, messages, youngTable);
    youngLoaded = true;
}

void MechanicalModel::ReadPoisson(const KeywordLine& line)
{
    static const TableMessages messages{
        "You must have for each temperature a Poisson coeff (pair arguments)",
        "Temperature value for Poisson coeff definition must be increasing",
        "Invalid temperature for temperature-PoissonCoeff history (<0)",
        "Invalid PoissonCoeff for temperature-PoissonCoeff history (<0)",
        "If you have only one couple temperature-Poisson coeff, Poisson coeff is independant of temperature"};
    readTemperatureTable(line, messages, poissonTable);
    // The Eshelby factor divides by 1 - nu.
    for (double nu : poissonTable.values)
        if (nu >= 1.0) Log::fatalError("Invalid PoissonCoeff for temperature-PoissonCoeff history (>=1)");
    poissonLoaded = true;
}

void MechanicalModel::DefinePrecipitateConstants(const std::vector<KeywordLine>& lines,
                                                 const std::vector<Precipitate>& precipitates,
                                                 double firstTemperature, bool silent)
{
    if (!(crystalLoaded && youngLoaded && poissonLoaded))
        Log::fatalError("'CristalloConstant, YoungModulusLoaded, PoissonCoeffLoaded' must be loaded before 'PrecipitateConstants' (because of taylor's fator using here)");
    if (hardeningLaw::isPhysical(hardeningModelChosen))
        for (const Precipitate& precipitate : precipitates)
            if (precipitate.shape != shape::rod) Log::fatalError("Only rods now if physical hardening is chosen");

    std::string names;
    for (const KeywordLine& line : lines) {
        if (line.size() > 1) names += line[1];
        if (line.size() != 10) Log::fatalError("precipitateConstants # " + names + " must have 9 arguments.");
    }

    precipitateConstants.assign(precipitates.size(), PrecipitateConstants{});
    for (std::size_t k = 0; k < precipitates.size(); ++k) {
        const std::string& name = precipitates[k].name;
        const KeywordLine* found = nullptr;
        for (const KeywordLine& line : lines) {
            if (line[1] != name) continue;
            if (found != nullptr) Log::fatalError("Precipitate " + name + " defined twice in 'precipitateConstants'");
            found = &line;
        }
        if (found == nullptr) Log::fatalError("Precipitate " + name + " not defined in 'precipitateConstants'");
        say(silent, "Mechanical model: precipitate " + name + " taken into account in 'precipitateConstants'");

        const KeywordLine& line = *found;
        PrecipitateConstants& constants = precipitateConstants[k];
        constants.transitionRadius = argument(line, 2);
        const std::optional<int> path = codeOfWord(obstaclePathWords, line[3]);
        if (!path) Log::fatalError("This precipitate path is not defined in 'DefinePrecipitateConstants'");
        constants.path = *path;
        constants.youngModulus = argument(line, 4);
        constants.poissonRatio = argument(line, 5);
        constants.shearModulus = constants.youngModulus / (2.0 * (1.0 + constants.poissonRatio));
        constants.initialLoops = argument(line, 6);
        constants.loopSaturation = argument(line, 7);
        constants.loopCoefficient = argument(line, 8);
        constants.obstacleStrength = argument(line, 9);
        if (k == 0) initialPrecipitateLoops = constants.initialLoops;
    }

    // The matrix moduli of the effective modulus are those of the start of
    // the heat treatment.
    const double E = interpolateTable(youngTable, firstTemperature, "Bad interpolation in GetYoung");
    const double nu = interpolateTable(poissonTable, firstTemperature, "Bad interpolation in GetPoisson");
    const double mu = E / (2.0 * (1.0 + nu));
    for (std::size_t k = 0; k < precipitates.size(); ++k) {
        const Precipitate& precipitate = precipitates[k];
        PrecipitateConstants& constants = precipitateConstants[k];
        const double omega = eshelbyFactor(precipitate, nu);
        const double c = precipitate.shape == shape::sphere ? 1.0 : 1.7320508075688772;
        const double muP = constants.shearModulus;
        constants.eshelbyFactor = omega;
        constants.effectiveModulus = c * mu * omega * muP * burgers * taylorFactor / (muP - (muP - mu) * omega);
        // Laws 9-15 put mu* into the precipitate back stress.
        const bool backStressUsed = hardeningLaw::isPhysical(hardeningModelChosen)
                                    && hardeningModelChosen != hardeningLaw::reversible;
        if (backStressUsed && !std::isfinite(constants.effectiveModulus))
            Log::fatalError("The effective modulus of precipitate " + precipitate.name
                            + " is not defined in 'DefinePrecipitateConstants' (a rod needs an aspect ratio above 2)");
    }
    precipitateStrength.assign(precipitates.size(), PrecipitateStrength{});
    precipitateStrengthRate.assign(precipitates.size(), PrecipitateStrength{});
    transitionRadiusLoaded = true;
}

void MechanicalModel::CheckCouplingTimes(const TemperatureProfile& profile, int nodeNumber) const
{
    if (!mechanicalHardeningCoupling && !mechanicalSemiHardeningCoupling) return;
    if (loadTimes.empty()) return;
    const std::string start = "Node:" + std::to_string(nodeNumber) + ", File '" + strainFileName
                              + "': If hardening/precipitation coupling is actived the ";
    if (loadTimes.back() != profile.GetLastTime())
        Log::fatalError(start + "finalMechanical time " + conversion::toDefaultText(loadTimes.back())
                        + " must be the same than final 'temperatureProfile' time" + conversion::toDefaultText(profile.GetLastTime()));
    if (loadTimes.front() != profile.GetFirstTime())
        Log::fatalError(start + "firstMechanical time " + conversion::toDefaultText(loadTimes.front())
                        + " must be the same than first 'temperatureProfile' time" + conversion::toDefaultText(profile.GetFirstTime()));
}
