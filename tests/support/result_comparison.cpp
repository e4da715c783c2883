#include "support/result_comparison.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace testing_support {

namespace {

std::vector<std::string> columnsOf(const std::string& line)
{
    std::vector<std::string> columns;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type blank = line.find(' ', start);
        columns.push_back(line.substr(start, blank - start));
        if (blank == std::string::npos) return columns;
        start = blank + 1;
    }
}

std::optional<double> asNumber(const std::string& text)
{
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

bool sameNumber(double expected, double actual, double relativeTolerance)
{
    if (expected == actual) return true;
    if (std::isnan(expected) && std::isnan(actual)) return true;
    if (!std::isfinite(expected) || !std::isfinite(actual) || expected == 0.0 || actual == 0.0) return false;
    return std::fabs(expected - actual) <= relativeTolerance * std::max(std::fabs(expected), std::fabs(actual));
}

// Where a line sits in the file, in the terms of the file's kind: the
// thermodynamic file has one record per line and names its columns in its
// third line; a distribution file has records of three lines.
std::string position(const std::vector<std::string>& expected, std::size_t line, std::size_t column)
{
    const bool thermo = !expected.empty() && expected[0].rfind("Elements:", 0) == 0;
    const bool distribution = !expected.empty() && expected[0].rfind("R*(t)", 0) == 0;
    std::ostringstream text;
    text << "line " << line + 1;
    if ((thermo || distribution) && line >= 3) {
        if (thermo)
            text << " (record " << line - 2 << ")";
        else
            text << " (line " << (line - 3) % 3 + 1 << " of record " << (line - 3) / 3 + 1 << ")";
    }
    text << ", column " << column + 1;
    if (thermo && line >= 3 && expected.size() > 2) {
        const std::vector<std::string> titles = columnsOf(expected[2]);
        if (column < titles.size() && !titles[column].empty()) text << " (" << titles[column] << ")";
    }
    return text.str();
}

} // namespace

std::optional<std::string> firstDifference(const std::string& fileName, const std::vector<std::string>& expected,
                                           const std::vector<std::string>& actual, double relativeTolerance)
{
    const std::size_t lines = std::min(expected.size(), actual.size());
    for (std::size_t line = 0; line < lines; ++line) {
        const std::vector<std::string> want = columnsOf(expected[line]);
        const std::vector<std::string> got = columnsOf(actual[line]);
        const std::size_t columns = std::min(want.size(), got.size());
        for (std::size_t column = 0; column < columns; ++column) {
            const std::optional<double> wantNumber = asNumber(want[column]);
            const std::optional<double> gotNumber = asNumber(got[column]);
            const bool same = wantNumber && gotNumber ? sameNumber(*wantNumber, *gotNumber, relativeTolerance)
                                                      : want[column] == got[column];
            if (same) continue;
            std::ostringstream text;
            text << fileName << ", " << position(expected, line, column) << ": expected '" << want[column]
                 << "', got '" << got[column] << "'";
            if (wantNumber && gotNumber && *wantNumber != 0.0)
                text << " (relative difference " << (*gotNumber - *wantNumber) / std::fabs(*wantNumber) << ")";
            return text.str();
        }
        if (want.size() != got.size()) {
            std::ostringstream text;
            text << fileName << ", " << position(expected, line, columns) << ": expected " << want.size()
                 << " columns, got " << got.size() << " (line '" << actual[line] << "')";
            return text.str();
        }
    }
    if (expected.size() != actual.size()) {
        std::ostringstream text;
        text << fileName << ": expected " << expected.size() << " lines, got " << actual.size();
        return text.str();
    }
    return std::nullopt;
}

std::optional<std::string> firstNonFiniteLine(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        for (const std::string& column : columnsOf(line)) {
            const std::optional<double> value = asNumber(column);
            if (value && !std::isfinite(*value)) return line;
        }
    return std::nullopt;
}

} // namespace testing_support
