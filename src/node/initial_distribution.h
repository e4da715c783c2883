#pragma once

#include <string>
#include <vector>

#include "core/console.h"
#include "core/data_file_reader.h"
#include "kinetics/precipitate.h"

// Gives every precipitate the distribution of the file paired with its name
// on `line` (pairs of precipitate name and file name after the keyword). The
// file's last record is used: its radius line is the third non-empty line
// from the end and its number line the second.
void readInitialDistribution(const KeywordLine& line, std::vector<Precipitate>& precipitates);

// The optional `initialDistrib` keyword with its checks.
void readInitialDistributionKeyword(const std::string& dataFile, std::vector<Precipitate>& precipitates,
                                    const Console& console);
