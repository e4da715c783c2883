#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Writes a starting distribution file for initialDistrib: `classCount`
// classes evenly spaced from 0.5 to 5 nm, log-normal number densities around
// 2 nm with `peakNumber` (m^-3) at the peak.
inline void writeLogNormalStart(const std::filesystem::path& file, int classCount, double peakNumber)
{
    std::ostringstream radii;
    std::ostringstream numbers;
    radii << "R";
    numbers << "N";
    radii.precision(17);
    numbers.precision(17);
    for (int k = 0; k < classCount; ++k) {
        const double r = 0.5e-9 + 4.5e-9 * k / (classCount - 1);
        const double s = std::log(r / 2e-9) / 0.25;
        radii << ' ' << r;
        numbers << ' ' << peakNumber * std::exp(-0.5 * s * s);
    }
    std::ofstream(file) << radii.str() << '\n' << numbers.str() << "\nD\n";
}

// The Al-Sc material and phase of the benchmarks' data files.
inline constexpr const char* alScMaterial = "matrix Al 4.05e-10 1.66e-29 26.98\n"
                                            "element Sc 0.2 44.96 5.31e-4 173000\n"
                                            "precipitate Al3Sc 1.727e-29 0.12 3981 1.5065 sphere homogeneous Sc 1 Al 3\n";

// The same, `lin` class
// management to `classCount` classes, starting from start.dat (written by
// writeLogNormalStart beside the data file).
inline std::string alScStartingFromDistribution(int classCount)
{
    return std::string(alScMaterial) +
           "classManagementType lin\n"
           "targetClassNumber " +
           std::to_string(classCount) +
           "\n"
           "initialDistrib Al3Sc start.dat\n";
}
