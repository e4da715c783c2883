#pragma once

#include <optional>
#include <span>
#include <string>
#include <type_traits>

#include "core/console.h"

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

// One keyword of the single-value pattern, as one row of its reader's table.
template <typename Target>
struct SingleValueKeyword {
    const char* keyword;
    const char* label;                          // names the keyword in the pattern's messages
    double (*convert)(const std::string& text); // the value as written; a word it does not know is fatal
    void (*check)(double value);                // fatal (or a warning) for a refused value; may be null
    void (*store)(Target& target, double value);
    const char* confirmation;                   // console text put before the value as written
};

// Reads the keywords of `table` in its order: for each one present, the
// pattern's checks, then conversion, check, storing, and the confirmation.
template <typename Target>
void readSingleValueKeywords(const std::string& dataFile,
                             std::type_identity_t<std::span<const SingleValueKeyword<Target>>> table, Target& target,
                             const Console& console)
{
    for (const SingleValueKeyword<Target>& row : table) {
        const std::optional<std::string> text = readSingleValue(dataFile, row.keyword, row.label);
        if (!text) continue;
        const double value = row.convert(*text);
        if (row.check != nullptr) row.check(value);
        row.store(target, value);
        console.say(row.confirmation + *text);
    }
}
