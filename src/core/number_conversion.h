#pragma once

#include <string>

// Conversions of data-file arguments. All of them accept trailing text and read
// text without a leading number as 0; none depends on the user's locale.
namespace conversion {

// strtod semantics in the classic locale: "2.5abc" is 2.5, "abc" is 0.
double toDouble(const std::string& text);

// True when the whole text is a number (nothing left after the conversion).
bool isWholeNumber(const std::string& text);

// The real conversion truncated towards zero ("3.9" is 3, "1e1" is 10).
// Values outside the int range (and NaN) are clamped (NaN gives 0).
int toTruncatedInt(const std::string& text);

// Optional blanks, optional sign, longest run of decimal digits ("1e1" is 1).
int toDecimalInt(const std::string& text);

// Integer with automatic base: "0x20" is 32, "010" is 8.
int toAutoBaseInt(const std::string& text);

// A double truncated towards zero into the int range (NaN gives 0).
int truncateToInt(double value);

// The default stream text of a double: six significant digits, general
// notation ("3600", "2.22045e-16"), whatever the user's locale.
std::string toDefaultText(double value);

} // namespace conversion
