#include "material/material_reader.h"

#include <cmath>

#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"

namespace {

constexpr std::size_t matrixArgumentCount = 4;
constexpr std::size_t elementArgumentCount = 5;

// Zero is a valid entry; negative, infinite and not-a-number values are not.
bool isNonNegativeNumber(double value)
{
    return std::isfinite(value) && value >= 0.0;
}

} // namespace

Element readElement(const KeywordLine& line, int index)
{
    const std::size_t given = line.empty() ? 0 : line.size() - 1;
    const std::string name = line.size() > 1 ? line[1] : std::string();
    if (given != elementArgumentCount)
        Log::fatalError("element command needs 5 arguments and " + std::to_string(given) +
                        " were given for element " + name);

    Element element;
    element.name = name;
    element.wtPercent = conversion::toDouble(line[2]);
    if (!(element.wtPercent >= 0.0 && element.wtPercent <= 100.0))
        Log::fatalError("Invalid content in wt% for element: " + name);
    element.molarMass = conversion::toDouble(line[3]);
    if (!isNonNegativeNumber(element.molarMass)) Log::fatalError("Invalid molar mass for element: " + name);
    element.D0 = conversion::toDouble(line[4]);
    if (!isNonNegativeNumber(element.D0)) Log::fatalError("Invalid diffusion D0 for element: " + name);
    element.Q = conversion::toDouble(line[5]);
    if (!isNonNegativeNumber(element.Q)) Log::fatalError("Invalid diffusion Q for element: " + name);

    element.nominalFraction = 0.0;
    element.ssFraction = 0.0;
    element.index = index;
    element.checkFraction = false;
    element.standardMassBalance = true;
    element.diffusionInflation = 1.0;
    return element;
}

Element matrixElement(std::span<const Element> solutes, const Matrix& matrix)
{
    // The matrix takes whatever the solutes leave of the 100 wt%.
    double matrixWtPercent = 100.0;
    for (const Element& solute : solutes) matrixWtPercent -= solute.wtPercent;
    const KeywordLine matrixLine{"element", matrix.name, conversion::toDefaultText(matrixWtPercent),
                                 conversion::toDefaultText(matrix.molarMass), "0", "0"};
    return readElement(matrixLine, static_cast<int>(solutes.size()));
}

Matrix readMatrix(const std::string& dataFile, const Console& console)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "matrix", lines, false);
    if (lines.size() > 1) Log::fatalError("More than one matrix information given");
    const std::size_t given = lines[0].size() - 1;
    if (given != matrixArgumentCount)
        Log::fatalError("matrix command needs 4 arguments and " + std::to_string(given) + " were given.");

    Matrix matrix;
    matrix.ReadMatrix(lines[0]);
    console.say("Matrix: OK");
    return matrix;
}

std::vector<Element> readElements(const std::string& dataFile, const Matrix& matrix, const Console& console)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "element", lines, false);
    console.say(std::to_string(lines.size()) + " elements defined in the data file.");

    std::vector<Element> elements;
    elements.reserve(lines.size() + 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        elements.push_back(readElement(lines[i], static_cast<int>(i)));
        console.say("Element " + elements.back().name + ": OK");
    }

    elements.push_back(matrixElement(elements, matrix));
    console.say("Matrix added to list of Elements");

    for (std::size_t i = 0; i < elements.size(); ++i)
        for (std::size_t j = i + 1; j < elements.size(); ++j)
            if (elements[i].name == elements[j].name)
                Log::fatalError("element " + elements[i].name + " defined twice.");
    return elements;
}
