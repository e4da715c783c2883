#include "node/initial_distribution.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "core/log.h"
#include "core/number_conversion.h"

namespace {

void appendValues(const KeywordLine& arguments, std::vector<double>& values, const std::string& message)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const double value = conversion::toDouble(arguments[i]);
        if (!std::isfinite(value) || value < 0.0) Log::fatalError(message);
        values.push_back(value);
    }
}

// The radius and number lines of the file's last record: the third and the
// second non-empty lines from the end.
void readDistributionFile(const std::string& fileName, std::vector<double>& radii, std::vector<double>& numbers)
{
    std::ifstream file;
    DataFileReader::openInputFile(file, fileName);
    // The last three non-empty lines, oldest first (empty while fewer were read).
    KeywordLine last[3];
    std::string text;
    KeywordLine arguments;
    while (std::getline(file, text)) {
        DataFileReader::splitArguments(text, arguments);
        if (arguments.empty()) continue;
        arguments.swap(last[0]);
        std::rotate(last, last + 1, last + 3);
    }
    // A line of a label alone holds no class.
    if (last[0].size() >= 2) appendValues(last[0], radii, "In initial distrib there is a nan or inf or radius < 0");
    if (last[1].size() >= 2) appendValues(last[1], numbers, "In initial distrib there is a nan or inf or number < 0");
}

} // namespace

void readInitialDistribution(const KeywordLine& line, std::vector<Precipitate>& precipitates)
{
    std::vector<double> radii;
    std::vector<double> numbers;
    for (Precipitate& precipitate : precipitates) {
        const std::string* fileName = nullptr;
        for (std::size_t i = 1; i + 1 < line.size(); i += 2)
            if (line[i] == precipitate.name) fileName = &line[i + 1];
        if (fileName == nullptr) Log::fatalError("Each precipitates must have its distribution.");

        radii.clear();
        numbers.clear();
        readDistributionFile(*fileName, radii, numbers);
        if (radii.size() != numbers.size())
            Log::fatalError("File " + *fileName + " Number and Radius must have the same size");

        // Empty classes (a record of a phase without classes reads "t 0.0").
        std::size_t kept = 0;
        for (std::size_t k = 0; k < radii.size(); ++k) {
            if (radii[k] == 0.0 && numbers[k] == 0.0) continue;
            radii[kept] = radii[k];
            numbers[kept] = numbers[k];
            ++kept;
        }
        radii.resize(kept);
        numbers.resize(kept);
        precipitate.SetDistribution(radii, numbers);
    }
}

void readInitialDistributionKeyword(const std::string& dataFile, std::vector<Precipitate>& precipitates,
                                    const Console& console)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "initialDistrib", lines, true);
    if (lines.empty()) {
        Log::logWarning("no initial distribution by default in inputFile");
        return;
    }
    if (lines.size() > 1) Log::fatalError("More than one initial distribution is given");
    const std::size_t arguments = lines[0].size() - 1;
    if (arguments % 2 != 0) Log::fatalError("We must have pair number of arguments for initial distribution.");
    if (arguments / 2 != precipitates.size())
        Log::fatalError("Nb of arguments/2 for initialDistrib must be equal to nb of precipitates");
    readInitialDistribution(lines[0], precipitates);
    console.say("Initial distribution: OK");
}
