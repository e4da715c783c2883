#include "core/general_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

// General notation is printf's %.*g: the value rounded to P significant
// digits (exact value, ties to even), written as a plain decimal when its
// decimal exponent X satisfies -4 <= X < P and in exponent form otherwise,
// trailing zeros and a trailing point dropped. The result files use P = 15
// (or what the user sets) for millions of numbers, so the common case is
// done here with integer arithmetic: a double is m * 2^e, and its rounding
// to P digits is the quotient of m * 2^e by 10^(X - P + 1), computed
// exactly in 128 bits. Values outside that reach (very large or small
// exponents, subnormals, zeros, infinities, NaN, more than 17 digits) go to
// std::to_chars, which formats %.*g exactly at any precision.

namespace {

using Wide = unsigned __int128;

// Precisions beyond this are passed on as this: no double has more
// significant digits, so the text is the same.
constexpr int exactDigits = 800;
// Up to this precision the rounded digits fit in 64 bits.
constexpr int integerMethodDigits = 17;
// Every 128-bit quantity stays below 2^126, so that twice a remainder fits.
constexpr int wideBits = 126;

constexpr int mantissaBits = 52;
constexpr int exponentBias = 1023;

constexpr std::array<std::uint64_t, integerMethodDigits + 1> powersOfTen = [] {
    std::array<std::uint64_t, integerMethodDigits + 1> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
    return powers;
}();

// 5^54 is the largest power of five below 2^126.
constexpr int largestFivePower = 54;
constexpr std::array<Wide, largestFivePower + 1> powersOfFive = [] {
    std::array<Wide, largestFivePower + 1> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
    return powers;
}();

// m (53 bits) times 5^t stays below 2^126 up to this t.
constexpr int largestScaledFive = 31;
static_assert(std::bit_width(static_cast<std::uint64_t>(powersOfFive[largestScaledFive] >> 64)) + 64 + 53 <= wideBits);

// 10^-s for the divisions by 10^s that go through an estimate: a product
// instead of a division, within a few units of the quotient all the same.
constexpr int largestEstimatedTen = 22;
constexpr std::array<double, largestEstimatedTen + 1> inverseTens = [] {
    std::array<double, largestEstimatedTen + 1> powers{};
    double ten = 1.0;
    for (std::size_t i = 0; i < powers.size(); ++i, ten *= 10.0) powers[i] = 1.0 / ten;
    return powers;
}();

// 10^k as doubles (rounded for k < 0), k from lowestTen on, to find the
// decimal exponent of a value: exact except next to a power of ten, where
// the rounding below corrects it. Beyond this range the quotients do not
// fit in 128 bits anyway.
constexpr int lowestTen = -40;
constexpr int highestTen = 40;
constexpr std::array<double, highestTen - lowestTen + 1> tens = [] {
    std::array<double, highestTen - lowestTen + 1> powers{};
    double ten = 1.0;
    for (int k = 0; k <= highestTen; ++k, ten *= 10.0) powers[k - lowestTen] = ten;
    ten = 10.0;
    for (int k = -1; k >= lowestTen; --k, ten *= 10.0) powers[k - lowestTen] = 1.0 / ten;
    return powers;
}();

int bitWidth(Wide value)
{
    const auto high = static_cast<std::uint64_t>(value >> 64);
    return high != 0 ? 64 + std::bit_width(high) : std::bit_width(static_cast<std::uint64_t>(value));
}

// value * 2^shift stays below 2^126.
bool fitsShifted(Wide value, int shift)
{
    return bitWidth(value) + shift <= wideBits;
}

// n / d rounded to the nearest integer, ties to even, and `truncated`,
// the quotient before rounding, given `estimate`, which is within a few
// units of the quotient up to 16 digits: the remainder is computed exactly
// and the estimate corrected, which is cheaper than a 128-bit division. A
// rougher estimate (17 digits) is replaced by that division.
Wide divideNear(Wide n, Wide d, std::uint64_t estimate, Wide& truncated)
{
    Wide q = estimate;
    Wide product = q * d;
    const Wide slack = 4 * d;
    if (product > n ? product - n > slack : n - product > slack) {
        q = n / d;
        product = q * d;
    }
    while (product > n) {
        --q;
        product -= d;
    }
    Wide r = n - product;
    while (r >= d) {
        ++q;
        r -= d;
    }
    truncated = q;
    const Wide twice = r << 1;
    return q + (twice > d || (twice == d && (q & 1) != 0));
}

// a / 10^s rounded to the nearest integer, ties to even, with a = m * 2^e,
// and the quotient before rounding (`truncated`, which tells whether 10^s
// was the right power); false when that does not fit in 128 bits.
bool divideByPowerOfTen(double a, std::uint64_t m, int e, int s, Wide& rounded, Wide& truncated)
{
    if (s <= 0) {
        // m * 5^t * 2^(e + t) with t = -s.
        const int t = -s;
        if (t > largestScaledFive) return false;
        const Wide scaled = static_cast<Wide>(m) * powersOfFive[t];
        const int b = e + t;
        if (b >= 0) {
            if (!fitsShifted(scaled, b)) return false;
            rounded = truncated = scaled << b;
            return true;
        }
        const int shift = -b;
        if (shift > wideBits) return false;
        // Adding half the divisor less one, and one more when the quotient
        // is odd, rounds to nearest with ties to even.
        truncated = scaled >> shift;
        const Wide half = static_cast<Wide>(1) << (shift - 1);
        rounded = (scaled + (half - 1) + (truncated & 1)) >> shift;
        return true;
    }
    // m * 2^(e - s) / 5^s. The quotient in doubles is within a few units of
    // the exact one (at most 10^18, with a relative error of a few roundings).
    if (s > largestEstimatedTen) return false;
    const Wide five = powersOfFive[s];
    const int b = e - s;
    const auto estimate = static_cast<std::uint64_t>(a * inverseTens[s]);
    if (b >= 0) {
        if (!fitsShifted(m, b)) return false;
        rounded = divideNear(static_cast<Wide>(m) << b, five, estimate, truncated);
    } else {
        if (!fitsShifted(five, -b)) return false;
        rounded = divideNear(m, five << -b, estimate, truncated);
    }
    return true;
}

// The positive normal double `a` rounded to `precision` significant digits:
// `digits` has exactly that many digits and `exponent` is the decimal
// exponent of its first one. False when the exact quotient does not fit.
bool roundToDigits(double a, int precision, std::uint64_t& digits, int& exponent)
{
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const int biased = static_cast<int>(bits >> mantissaBits);
    if (biased == 0) return false; // subnormal
    const std::uint64_t hidden = std::uint64_t{1} << mantissaBits;
    const std::uint64_t m = (bits & (hidden - 1)) | hidden;
    const int e = biased - exponentBias - mantissaBits;
    // floor(log10(2^k)) for the binary exponent k of a is the decimal
    // exponent of a or one below it; the table tells which.
    int X = ((biased - exponentBias) * 78913) >> 18;
    if (X < lowestTen || X >= highestTen) return false;
    if (a >= tens[X + 1 - lowestTen]) ++X;

    const std::uint64_t limit = powersOfTen[precision];
    const std::uint64_t lowest = powersOfTen[precision - 1];
    for (int attempt = 0; attempt < 2; ++attempt) {
        Wide q = 0;
        Wide truncated = 0;
        if (!divideByPowerOfTen(a, m, e, X - precision + 1, q, truncated)) return false;
        // Next to a power of ten the table may be one off either way; the
        // exact quotient tells, before rounding.
        if (truncated >= limit) {
            ++X;
            continue;
        }
        if (truncated < lowest) {
            --X;
            continue;
        }
        if (q == limit) { // rounded up to the next power of ten
            q = lowest;
            ++X;
        }
        digits = static_cast<std::uint64_t>(q);
        exponent = X;
        return true;
    }
    return false;
}

// The eight decimal digits of `value` (below 10^8, leading zeros included)
// as eight characters in one word, the first digit in the lowest byte:
// the value is split into two groups of four digits, each into two of two,
// each into two of one, all groups side by side in the word.
std::uint64_t eightDigits(std::uint32_t value)
{
    static_assert(std::endian::native == std::endian::little, "the digits are stored lowest byte first");
    std::uint64_t x = value / 10000 | static_cast<std::uint64_t>(value % 10000) << 32;
    const std::uint64_t hundreds = ((x * 10486) >> 20) & 0x0000007F0000007FULL; // x / 100, below 10^4
    x = (x - hundreds * 100) << 16 | hundreds;
    const std::uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000FULL; // x / 10, below 100
    x = (x - tens * 10) << 8 | tens;
    return x + 0x3030303030303030ULL; // '0' in every byte
}

// "00" to "99".
constexpr std::array<char, 200> digitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the rounded digits in general notation. The digits are made
// left-aligned in seventeen places (a leading one and two words of eight)
// and stored straight into the caller's room, whose size
// (generalTextCapacity) leaves space for whole words past the end of the
// number; the end returned is where the number ends.
char* writeRounded(char* out, bool negative, std::uint64_t digits, int X, int precision)
{
    // Trailing zeros are dropped; most numbers have none.
    int count = precision;
    for (std::uint64_t rest = digits; count > 1 && rest % 10 == 0; rest /= 10) --count;

    constexpr std::uint64_t eight = 100000000;
    const std::uint64_t aligned = digits * powersOfTen[integerMethodDigits - precision];
    const char lead = static_cast<char>('0' + aligned / (eight * eight));
    const std::uint64_t middle = eightDigits(static_cast<std::uint32_t>(aligned / eight % eight));
    const std::uint64_t last = eightDigits(static_cast<std::uint32_t>(aligned % eight));
    const auto storeDigits = [&](char* place) { // all seventeen places
        place[0] = lead;
        std::memcpy(place + 1, &middle, sizeof middle);
        std::memcpy(place + 1 + sizeof middle, &last, sizeof last);
    };

    if (negative) *out++ = '-';
    if (X < -4 || X >= precision) {
        storeDigits(out + 1);
        out[0] = lead;
        out[1] = '.';
        out += count > 1 ? count + 1 : 1;
        *out++ = 'e';
        *out++ = X < 0 ? '-' : '+';
        const int magnitude = X < 0 ? -X : X;
        if (magnitude >= 100) *out++ = static_cast<char>('0' + magnitude / 100);
        std::memcpy(out, &digitPairs[2 * (magnitude % 100)], 2);
        return out + 2;
    }
    if (X < 0) {
        std::memcpy(out, "0.000", 5); // X >= -4: at most three zeros after the point
        out += 1 - X;
        storeDigits(out);
        return out + count;
    }
    // A plain number of at least one whole digit: the point goes after the
    // whole digits (moved up by one place), or there is none.
    const int wholeDigits = X + 1;
    if (count <= wholeDigits) {
        storeDigits(out);
        return out + wholeDigits;
    }
    storeDigits(out + 1);
    std::memmove(out, out + 1, static_cast<std::size_t>(wholeDigits));
    out[wholeDigits] = '.';
    return out + count + 1;
}

} // namespace

namespace conversion {

char* writeGeneral(char* text, double value, int precision)
{
    const int digits = precision < 0 ? conversion::defaultDigits : std::clamp(precision, 1, exactDigits);
    if (digits <= integerMethodDigits && std::isfinite(value) && value != 0.0) {
        std::uint64_t rounded = 0;
        int exponent = 0;
        if (roundToDigits(std::fabs(value), digits, rounded, exponent))
            return writeRounded(text, std::signbit(value), rounded, exponent, digits);
    }
    return std::to_chars(text, text + generalTextCapacity, value, std::chars_format::general, digits).ptr;
}

} // namespace conversion
