#pragma once

#include <optional>
#include <string>

// The pattern shared by keywords that take one value on at most one line:
// two lines are fatal (label + " defined twice."), a line without value is
// fatal ("Too low nb of arguments defined for " + label + "."), extra values
// give a warning and only the first is used. Returns the value as written, or
// nothing when the keyword is absent.
std::optional<std::string> readSingleValue(const std::string& dataFile, const std::string& keyword,
                                           const std::string& label);

// A flag keyword allowed on at most one line (two or more: keyword + " defined twice.").
// Returns the number of arguments given after it, or nothing when absent.
std::optional<std::size_t> readFlag(const std::string& dataFile, const std::string& keyword);
