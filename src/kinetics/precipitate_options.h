#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/console.h"

class Precipitate;

// The per-precipitate options of a node's data file. Only the values given
// there are held, and applyTo writes them into a phase, so every phase of
// the node shares them, including a phase built later to replace another.
struct PrecipitateOptions {
    std::optional<double> tolBrentDicho;
    std::optional<double> tolNR;
    std::optional<double> maxCountNR;
    std::optional<double> nonLinearAlgorithm;
    std::optional<double> diffusionCoefficientRatio;
    // (phase name, factor) of each boostPrecipitateDiffusion line, in file order.
    std::vector<std::pair<std::string, double>> boostPrecipitateDiffusion;
    std::optional<int> targetClassNumber;
    std::optional<double> limitOfpreciInClassForDissolution;
    std::optional<double> changeNumberInClass;
    bool unstationnaryNucleation = false;
    std::optional<double> classManagementType;
    std::optional<double> minDissolutionLimit;
    std::optional<double> maxDissolutionLimit;

    void applyTo(Precipitate& phase) const;
};

// The factor of a boostPrecipitateDiffusion line (of the data file or of a
// node property) converted and checked: a factor that is not a finite
// number > 0 stops the run, since it would stop or reverse diffusion.
double boostPrecipitateDiffusionFactor(const std::string& text);

// Reads the per-precipitate options with their checks, in their fixed order,
// for a node with these phases (read already; the boost lines are checked
// against their count and confirmed once per phase).
PrecipitateOptions readPrecipitateOptions(const std::string& dataFile, const std::vector<Precipitate>& precipitates,
                                          const Console& console);
