#include "core/number_conversion.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

#include "core/general_text.h"

namespace {

locale_t classicLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

int clampToInt(long long value)
{
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

long long parseInteger(const std::string& text, int base)
{
    errno = 0;
    long long value = strtoll_l(text.c_str(), nullptr, base, classicLocale());
    return value; // saturates at LLONG_MIN/LLONG_MAX on overflow
}

} // namespace

namespace conversion {

double toDouble(const std::string& text)
{
    return strtod_l(text.c_str(), nullptr, classicLocale());
}

bool isWholeNumber(const std::string& text)
{
    if (text.empty()) return false;
    char* end = nullptr;
    strtod_l(text.c_str(), &end, classicLocale());
    return end != text.c_str() && *end == '\0';
}

int truncateToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

int toTruncatedInt(const std::string& text)
{
    return truncateToInt(toDouble(text));
}

int toDecimalInt(const std::string& text)
{
    return clampToInt(parseInteger(text, 10));
}

int toAutoBaseInt(const std::string& text)
{
    return clampToInt(parseInteger(text, 0));
}

std::string toDefaultText(double value)
{
    char text[generalTextCapacity];
    return std::string(text, writeGeneral(text, value, defaultDigits));
}

} // namespace conversion
