#pragma once

#include <cstddef>

namespace conversion {

// Room for the general text of any double at any precision: precisions are
// capped at 800 digits (every double is exact within 767 significant digits,
// so a larger precision writes the same text), plus sign, point and exponent.
inline constexpr std::size_t generalTextCapacity = 832;

// The precision of a stream that nobody has set, also what the streams use
// for a negative precision.
inline constexpr int defaultDigits = 6;

// Writes `value` in general notation with `precision` significant digits,
// byte for byte as a C++ stream in the classic locale writes it with that
// precision ("3600", "1.235e-05", "inf"; a negative precision means 6 and 0
// means 1, as for the streams), several times faster than the streams.
// `text` holds at least generalTextCapacity characters; returns the end of
// what was written.
char* writeGeneral(char* text, double value, int precision);

} // namespace conversion
