#pragma once

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Compares the lines of a result file with their expected lines. Lines are
// split at single blanks, so a trailing blank is an (empty) column of its
// own and must be there too. A column that reads in full as a number must be
// a number within `relativeTolerance` of the expected one (equal when either
// is 0 or not finite); any other column must be the same text. Returns a
// readable description of the first difference, or nothing when the files
// agree. `fileName` only names the file in that description.
std::optional<std::string> firstDifference(const std::string& fileName, const std::vector<std::string>& expected,
                                           const std::vector<std::string>& actual, double relativeTolerance);

// The first line of a result file holding a column that reads as a number
// but not a finite one ("nan", "inf", "-nan", ...), or nothing.
std::optional<std::string> firstNonFiniteLine(const std::vector<std::string>& lines);

} // namespace testing_support
