#include "material/temperature_profile.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"

#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"

void TemperatureProfile::setProfile(const KeywordLine& line)
{
    times.clear();
    temperatures.clear();
    // Only complete (time, temperature) pairs after the keyword are points.
    const std::size_t points = line.empty() ? 0 : (line.size() - 1) / 2;

    // The whole history must move forward before any point is taken; equal
    // times would be an instantaneous jump and are refused too.
    for (std::size_t k = 1; k < points; ++k) {
        const double earlier = conversion::toDouble(line[2 * k - 1]);
        const double later = conversion::toDouble(line[2 * k + 1]);
        if (!(later > earlier)) Log::fatalError("Time value for temperature definition must be increasing");
    }

    times.reserve(points);
    temperatures.reserve(points);
    for (std::size_t k = 0; k < points; ++k) {
        const double time = conversion::toDouble(line[2 * k + 1]);
        times.push_back(time);
        // An infinite end time would never be reached by the time loop.
        if (!(std::isfinite(time) && time >= 0.0)) Log::fatalError("Invalid time for time-temperature history");
        const double temperature = conversion::toDouble(line[2 * k + 2]);
        temperatures.push_back(temperature);
        if (!(std::isfinite(temperature) && temperature >= 0.0))
            Log::fatalError("Invalid temperature for time-temperature history");
    }
    pointCount = static_cast<unsigned int>(times.size());
}

unsigned int TemperatureProfile::pointAtOrBefore(double t) const
{
    const auto after = std::upper_bound(times.begin(), times.begin() + pointCount, t);
    return after == times.begin() ? 0 : static_cast<unsigned int>(after - times.begin()) - 1;
}

double TemperatureProfile::GetTemperature(double t) const
{
    if (pointCount == 0 || t < times[0] || t > times[pointCount - 1]) Log::fatalError("time out of range");
    // Times increase strictly, so t is either a point or inside exactly one interval.
    const unsigned int i = pointAtOrBefore(t);
    if (t == times[i]) return temperatures[i];
    if (i + 1 < pointCount && times[i] < t && t < times[i + 1])
        return temperatures[i] + (temperatures[i + 1] - temperatures[i]) / (times[i + 1] - times[i]) * (t - times[i]);
    // Reached only by a time that is not a number.
    Log::fatalError("Bad interpolation in GetTemperature");
}

bool TemperatureProfile::hasPointAt(double t, unsigned int firstIndex) const
{
    if (pointCount == 0) return false;
    // The distance |t - time| shrinks towards t from both sides, so the
    // points within the tolerance, if any, include the last one at or
    // before t or the first one after it.
    const unsigned int before = pointAtOrBefore(t);
    for (unsigned int i = before; i <= before + 1 && i < pointCount; ++i)
        if (i >= firstIndex && std::fabs(t - times[i]) <= constants::timeTolerance) return true;
    return false;
}

double TemperatureProfile::GetTime(unsigned int i) const
{
    if (i >= pointCount) Log::fatalError("Time index out of range");
    return times[i];
}

double TemperatureProfile::GetFirstTime() const
{
    if (pointCount == 0) Log::fatalError("Time index out of range");
    return times[0];
}

double TemperatureProfile::GetLastTime() const
{
    if (pointCount == 0) Log::fatalError("Time index out of range");
    return times[pointCount - 1];
}

double TemperatureProfile::GetInitialTime() const
{
    double totalTime = 0.0;
    for (unsigned int i = 0; i < pointCount; ++i) totalTime += times[i];
    double totalTemperature = 0.0;
    for (double temperature : temperatures) totalTemperature += temperature;
    if (totalTime == 0.0 || totalTemperature == 0.0) Log::fatalError("total time or Temperature is zero.");
    return times[0];
}

void checkTemperatureProfileArguments(const KeywordLine& line)
{
    const std::size_t given = line.empty() ? 0 : line.size() - 1;
    if (given % 2 != 0) Log::fatalError("incorrect number of arguments for temperature profile.");
    if (given < 4) Log::fatalError("you must have at least 4 arguments for temperature profile.");
}

void readTemperatureProfile(const std::string& dataFile, TemperatureProfile& profile)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "temperatureProfile", lines, false);
    if (lines.size() > 1) Log::fatalError("More than one reference temperature profile given");
    checkTemperatureProfileArguments(lines[0]);
    profile.setProfile(lines[0]);
}
