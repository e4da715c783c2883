#pragma once

#include <string>
#include <vector>

#include "core/data_file_reader.h"

// Piecewise-linear time-temperature history (s, K) with strictly increasing times.
class TemperatureProfile {
public:
    std::vector<double> times;
    std::vector<double> temperatures;
    unsigned int pointCount = 0;

    // Replaces the points from a `temperatureProfile` line (keyword first).
    void setProfile(const KeywordLine& line);

    double GetTemperature(double t) const;
    double GetTime(unsigned int i) const;
    // The first and last times of a profile without points stop the run
    // ("Time index out of range") instead of reading past an empty list.
    double GetFirstTime() const;
    double GetInitialTime() const;
    double GetLastTime() const;
    unsigned int GetPointCount() const { return pointCount; }
};

// The argument-count checks of a `temperatureProfile` line (keyword first):
// time and temperature pairs, at least two points.
void checkTemperatureProfileArguments(const KeywordLine& line);

// Reads the mandatory `temperatureProfile` line with its checks into `profile`.
void readTemperatureProfile(const std::string& dataFile, TemperatureProfile& profile);
