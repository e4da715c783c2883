#include "kinetics/precipitate.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"

namespace {

// Token positions once "dormant" and the optional third solubility
// coefficient have been taken out of the line.
constexpr std::size_t shapePosition = 6;
constexpr std::size_t nucleationPosition = 7;
constexpr std::size_t siteSaturationPosition = 8;
constexpr std::size_t chemistryPosition = 8;

// The token at `position`; a line too short to hold it stops the run rather
// than letting a later field be read from past its end.
const std::string& requiredToken(const KeywordLine& tokens, std::size_t position,
                                 const std::string& phaseName)
{
    if (position >= tokens.size())
        Log::fatalError("Insufficient number of arguments for precipitate " + phaseName);
    return tokens[position];
}

void eraseTokens(KeywordLine& tokens, std::size_t first, std::size_t count)
{
    const auto begin = tokens.begin() + static_cast<std::ptrdiff_t>(first);
    tokens.erase(begin, begin + static_cast<std::ptrdiff_t>(count));
}

// Reads the `count` numbers that follow the shape word into `values` and takes
// them out of the line. A NaN or infinite shape number would carry straight
// into the critical radius and the volume fraction, so it is refused.
void takeShapeNumbers(KeywordLine& tokens, std::size_t count, double* values,
                      const std::string& phaseName)
{
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = conversion::toDouble(requiredToken(tokens, shapePosition + 1 + i, phaseName));
        if (!std::isfinite(values[i]))
            Log::fatalError("Invalid shape parameters for precipitate: " + phaseName);
    }
    eraseTokens(tokens, shapePosition + 1, count);
}

std::size_t elementPosition(const std::vector<std::string>& names, const std::string& wanted)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == wanted) return i;
    return names.size();
}

} // namespace

void Precipitate::ReadPrecipitate(const KeywordLine& line)
{
    // Optional words are removed as they are recognised, so every later field
    // sits at a fixed position whatever options the line carries.
    KeywordLine tokens = line;
    const std::string lineName = tokens.size() > 1 ? tokens[1] : std::string();

    if (tokens.size() < 10)
        Log::fatalError("Insufficient number of arguments for precipitate " + lineName);

    if (tokens[2] == "dormant") {
        dormant = true;
        eraseTokens(tokens, 2, 1);
    }

    if (conversion::isWholeNumber(tokens[6])) {
        solubilityC = conversion::toDouble(tokens[6]);
        eraseTokens(tokens, 6, 1);
    }

    name = tokens[1];
    // Every kinetic formula divides by the atomic volume of the phase.
    atomicVolume = conversion::toDouble(tokens[2]);
    if (!(std::isfinite(atomicVolume) && atomicVolume > 0.0))
        Log::fatalError("Invalid atomic volume for precipitate: " + name);
    surfaceEnergy = conversion::toDouble(tokens[3]);
    if (!(std::isfinite(surfaceEnergy) && surfaceEnergy >= 0.0))
        Log::fatalError("Invalid surface energy for precipitate: " + name);
    solubilityA = conversion::toDouble(tokens[4]);
    solubilityB = conversion::toDouble(tokens[5]);
    if (!(std::isfinite(solubilityA) && std::isfinite(solubilityB) && std::isfinite(solubilityC)))
        Log::fatalError("Invalid solubility product for precipitate: " + name);

    shapeName = requiredToken(tokens, shapePosition, name);
    if (shapeName == "sphere") {
        shape = shape::sphere;
        aspectRatio = 1.0;
    } else if (shapeName == "rod") {
        shape = shape::rod;
        takeShapeNumbers(tokens, 1, &aspectRatio, name);
    } else if (shapeName == "cylinder") {
        shape = shape::cylinder;
        takeShapeNumbers(tokens, 1, &aspectRatio, name);
    } else if (shapeName == "cylinderFunction") {
        // f0, a1, b1, a2, b2, R1, R2: the phase starts at the aspect ratio f0.
        shape = shape::cylinderFunction;
        takeShapeNumbers(tokens, 7, shapeParameters, name);
        aspectRatio = shapeParameters[0];
    } else if (shapeName == "RodFunction") {
        // k, f0: the phase starts at the aspect ratio f0.
        shape = shape::rodFunction;
        takeShapeNumbers(tokens, 2, shapeParameters, name);
        aspectRatio = shapeParameters[1];
    } else if (shapeName == "LorkCylinder") {
        Log::fatalError("LorkCylinder option valid only for debugging");
    } else {
        Log::fatalError("Undefined shape for precipitate: " + shapeName
                        + ", should be sphere, rod, cylinder, cylinderFunction");
    }

    nucleationTypeName = requiredToken(tokens, nucleationPosition, name);
    const std::optional<int> nucleationCode = codeOfWord(nucleationTypeWords, nucleationTypeName);
    if (!nucleationCode)
        Log::fatalError("Invalid nucleation type: " + nucleationTypeName
                        + ", should be homogeneous or heterogeneous");
    nucleationType = *nucleationCode;
    switch (nucleationType) {
    case nucleation_type::homogeneous:
        heterogeneousCoefficient = 1.0;
        siteDensity = 0.0;
        break;
    case nucleation_type::heterogeneous:
        heterogeneousCoefficient =
            conversion::toDouble(requiredToken(tokens, nucleationPosition + 1, name));
        if (!(heterogeneousCoefficient >= 0.0 && heterogeneousCoefficient <= 1.0))
            Log::fatalError("Invalid heterogeneous nucleation coefficient for precipitate: " + name);
        siteDensity = conversion::toDouble(requiredToken(tokens, nucleationPosition + 2, name));
        if (!(std::isfinite(siteDensity) && siteDensity >= 0.0))
            Log::fatalError("Invalid heterogeneous nucleation sites density for precipitate: " + name);
        eraseTokens(tokens, nucleationPosition + 1, 2);
        break;
    }

    if (tokens.size() > siteSaturationPosition && tokens[siteSaturationPosition] == "siteSaturation") {
        siteSaturation = true;
        siteSaturationType = requiredToken(tokens, siteSaturationPosition + 1, name);
        if (siteSaturationType != "lin" && siteSaturationType != "surf" && siteSaturationType != "vol")
            Log::fatalError("Invalid siteSaturation type: should be 'lin', 'surf' or 'vol' !");
        eraseTokens(tokens, siteSaturationPosition, 2);
    }

    // The phase is read afresh: elements not named in its chemistry take no part.
    stoichiometry.assign(elementNames.size(), 0.0);
    precipitateFraction.assign(elementNames.size(), 0.0);
    for (std::size_t position = chemistryPosition; position < tokens.size(); position += 2) {
        const std::string& elementName = tokens[position];
        const std::size_t index = elementPosition(elementNames, elementName);
        if (index == elementNames.size())
            Log::fatalError("element " + elementName + " for precipitates not found in defined elements.");
        if (position + 1 >= tokens.size())
            Log::fatalError("Invalid chemistry for precipitate: " + name);
        const double nu = conversion::toDouble(tokens[position + 1]);
        if (!(std::isfinite(nu) && nu >= 0.0))
            Log::fatalError("Invalid chemistry for precipitate: " + name);
        stoichiometry[index] = nu;
    }

    stoichiometrySum = 0.0;
    for (double nu : stoichiometry) stoichiometrySum += nu;
    // The composition of the phase is nu / sum: a phase without any atom has none.
    if (!(std::isfinite(stoichiometrySum) && stoichiometrySum > 0.0))
        Log::fatalError("Invalid chemistry for precipitate: " + name);
    for (std::size_t i = 0; i < stoichiometry.size(); ++i)
        precipitateFraction[i] = stoichiometry[i] / stoichiometrySum;
}

std::vector<Precipitate> readPrecipitates(const std::string& dataFile,
                                          const std::vector<std::string>& elementNames,
                                          const Console& console)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "precipitate", lines, false);
    console.say(std::to_string(lines.size()) + " precipitate(s) defined in the data file.");

    std::vector<Precipitate> precipitates;
    precipitates.reserve(lines.size());
    for (const KeywordLine& line : lines) {
        Precipitate phase(elementNames);
        phase.ReadPrecipitate(line);
        for (const Precipitate& earlier : precipitates)
            if (earlier.name == phase.name)
                Log::fatalError("precipitate " + phase.name + " defined twice.");
        precipitates.push_back(std::move(phase));
        console.say("Precipitate " + precipitates.back().name + ": OK");
    }
    return precipitates;
}
