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

    // The interval of t is found by binary search, so that the cost of a
    // call does not grow with the length of a measured history.
    double GetTemperature(double t) const;
    double GetTime(unsigned int i) const;
    // Whether t lies within the absolute time tolerance of a point whose
    // index is at least `firstIndex` (binary search as well).
    bool hasPointAt(double t, unsigned int firstIndex) const;
    // The first and last times of a profile without points stop the run
    // ("Time index out of range") instead of reading past an empty list.
    double GetFirstTime() const;
    double GetInitialTime() const;
    double GetLastTime() const;
    unsigned int GetPointCount() const { return pointCount; }

private:
    // The last point at or before t; 0 when t is before every point, and the
    // last point when t is not a number.
    unsigned int pointAtOrBefore(double t) const;
};

// The argument-count checks of a `temperatureProfile` line (keyword first):
// time and temperature pairs, at least two points.
void checkTemperatureProfileArguments(const KeywordLine& line);

// Reads the mandatory `temperatureProfile` line with its checks into `profile`.
void readTemperatureProfile(const std::string& dataFile, TemperatureProfile& profile);
