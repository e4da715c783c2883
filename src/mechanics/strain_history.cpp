#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>

#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "mechanics/mechanical_model.h"

namespace {

bool beginsWith(const std::string& word, const char* prefix)
{
    return word.compare(0, 3, prefix) == 0 && word.size() >= 3;
}

// A time computed as t + (t_j - t) may land one rounding unit beside t_j; it
// still means the point itself.
double onHistory(double t, double first, double last)
{
    const double tolerance = 4.0 * std::numeric_limits<double>::epsilon();
    if (t > last && t - last <= tolerance * std::fabs(last)) return last;
    if (t < first && first - t <= tolerance * std::fabs(first)) return first;
    return t;
}

} // namespace

void MechanicalModel::ReadStrainLoad(const KeywordLine& line)
{
    if (line.size() != 3)
        Log::fatalError("'strainLoad' must have 2arguments: 1)the name of the file 2) the extension");
    if (!hardeningComputation)
        Log::fatalError("If the 'hardeningModelChosen' have not been chosen we can't have the keyword 'strainLoad'");

    const std::string& stem = line[1];
    const std::string fileName = line[1] + line[2];
    std::ifstream file;
    if (!DataFileReader::tryOpenInputFile(file, fileName)) Log::fatalError("File '" + stem + "' not found for the command 'strainLoad'");

    std::string text;
    KeywordLine words;
    if (std::getline(file, text)) DataFileReader::splitArguments(text, words);
    if (words.empty()) Log::fatalError("The file '" + stem + "' must have in first line the legend");
    if (!beginsWith(words[0], "tim") && !beginsWith(words[0], "tem"))
        Log::fatalError("The first column of '" + stem + "' must be 'time' or 'temps' (begin by 'temp' or 'tim')");
    if (words.size() < 2
        || (!beginsWith(words[1], "eps") && !beginsWith(words[1], "def") && !beginsWith(words[1], "str")))
        Log::fatalError("The second column of '" + stem + "' must begin by 'temp' or 'tim' or must be 'strain'");

    loadTimes.clear();
    loadStrains.clear();
    while (std::getline(file, text)) {
        DataFileReader::splitArguments(text, words);
        if (words.size() < 2) continue;
        loadTimes.push_back(conversion::toDouble(words[0]));
        loadStrains.push_back(conversion::toDouble(words[1]));
    }

    // Every interval of the history sets a strain rate: it needs two points,
    // finite values and a positive duration.
    if (loadTimes.size() < 2)
        Log::fatalError("The file '" + stem + "' must have at least two points (time and strain)");
    for (std::size_t j = 0; j < loadTimes.size(); ++j) {
        if (!std::isfinite(loadTimes[j]) || !std::isfinite(loadStrains[j]))
            Log::fatalError("The file '" + stem + "' must have finite times and strains");
        if (j > 0 && !(loadTimes[j] > loadTimes[j - 1]))
            Log::fatalError("Times of the file '" + stem + "' must be increasing");
    }

    strainFileStem = stem;
    strainFileName = fileName;
    initialStrain = loadStrains[0];
    SetInitialHardeningValues();
}

void MechanicalModel::SetInitialHardeningValues()
{
    if (!hardeningLaw::exists(hardeningModelChosen))
        Log::fatalError("This hardening model is not implemented in 'SetInitialHardeningValues'");
    hardening.fill(0.0);
    strainRate = 0.0;
    lastStrain = initialStrain;
}

double MechanicalModel::GetMechanicalTimeWithIndex(unsigned int j) const
{
    if (j >= loadTimes.size()) {
        const double before = loadTimes.empty() ? 0.0 : loadTimes[std::min<std::size_t>(j, loadTimes.size()) - 1];
        Log::fatalError("Time index '" + std::to_string(j) + "' just after the time'" + conversion::toDefaultText(before)
                        + "' is out of range for 'GetMechanicalTimeWithIndex'");
    }
    return loadTimes[j];
}

double MechanicalModel::GetStrainWithIndex(unsigned int j) const
{
    if (j >= loadStrains.size()) Log::fatalError("Strain index out of range in 'GetStrainWithIndex'");
    return loadStrains[j];
}

double MechanicalModel::GetStrain(double t) const
{
    const std::size_t n = loadTimes.size();
    if (n == 0) Log::fatalError("time out of range for 'strain'");
    t = onHistory(t, loadTimes[0], loadTimes[n - 1]);
    if (t < loadTimes[0] || t > loadTimes[n - 1]) Log::fatalError("time out of range for 'strain'");
    // The times increase strictly (checked at reading): the point at or
    // before t by binary search, so a coupled step costs the same on a long
    // history.
    const auto after = std::upper_bound(loadTimes.begin(), loadTimes.end(), t);
    const std::size_t i = after == loadTimes.begin() ? 0 : static_cast<std::size_t>(after - loadTimes.begin()) - 1;
    if (t == loadTimes[i]) return loadStrains[i];
    if (i + 1 < n && loadTimes[i] < t && t < loadTimes[i + 1])
        return loadStrains[i] + (loadStrains[i + 1] - loadStrains[i]) * (t - loadTimes[i])
                                    / (loadTimes[i + 1] - loadTimes[i]);
    Log::fatalError("Bad interpolation in GetStrain");
}
