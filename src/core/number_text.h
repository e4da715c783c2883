#pragma once

#include <string>

// A number as a standard stream writes a double by default (general format,
// six significant digits, classic locale): the form of numbers in messages.
std::string sixDigits(double value);
