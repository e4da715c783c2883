#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

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
