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
// to P digits is m * 2^e * 10^(P - 1 - X) rounded to an integer. That
// product is first taken with 10^(P - 1 - X) known to 64 bits, one 64-bit
// multiplication, whose error is bounded; only when the product lies too
// close to a rounding tie or to the bounds of P digits to tell is the
// quotient computed exactly in 128 bits. Values outside that reach (very
// large or small exponents, subnormals, zeros, infinities, NaN, more than
// 17 digits) go to std::to_chars, which formats %.*g exactly at any
// precision.

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

// '0' in every byte of a word.
constexpr std::uint64_t zeroCharacters = 0x3030303030303030ULL;

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

// For each biased binary exponent of the values within the range of
// `tens`: floor(log10(2^k)) of its binary exponent k, which is the decimal
// exponent X of the value or one below it, and the bits of 10^(X + 1) as a
// double, which the bits of the value reach when it is one below. Looked up
// straight from the exponent bits, so that the comparison does not wait for
// a multiplication.
struct DecimalExponent {
    std::uint64_t nextTenBits = 0;
    int floorLog = 0;
};
constexpr int estimatedLog(int biased)
{
    return ((biased - exponentBias) * 78913) >> 18;
}
constexpr int lowestBiased = [] {
    int biased = 1;
    while (estimatedLog(biased) < lowestTen) ++biased;
    return biased;
}();
constexpr int highestBiased = [] {
    int biased = 2046;
    while (estimatedLog(biased) >= highestTen) --biased;
    return biased;
}();
constexpr std::array<DecimalExponent, highestBiased - lowestBiased + 1> decimalExponents = [] {
    std::array<DecimalExponent, highestBiased - lowestBiased + 1> exponents{};
    for (int biased = lowestBiased; biased <= highestBiased; ++biased) {
        const int X = estimatedLog(biased);
        exponents[static_cast<std::size_t>(biased - lowestBiased)] = {
            std::bit_cast<std::uint64_t>(tens[static_cast<std::size_t>(X + 1 - lowestTen)]), X};
    }
    return exponents;
}();

constexpr int bitWidth(Wide value)
{
    const auto high = static_cast<std::uint64_t>(value >> 64);
    return high != 0 ? 64 + std::bit_width(high) : std::bit_width(static_cast<std::uint64_t>(value));
}

// value * 2^shift stays below 2^126.
bool fitsShifted(Wide value, int shift)
{
    return bitWidth(value) + shift <= wideBits;
}

// 10^k as significand * 2^binaryExponent, the significand in [2^63, 2^64)
// rounded to nearest (so within 2^-64 of 10^k relatively), for the k that
// the fast rounding meets: k = P - 1 - X with P <= 17 and X in the range of
// `tens`.
struct ScaledTen {
    std::uint64_t significand = 0;
    int binaryExponent = 0;
};
constexpr int lowestScale = lowestTen;
constexpr int highestScale = integerMethodDigits - 1 - lowestTen;

constexpr ScaledTen scaledTen(int k)
{
    ScaledTen ten;
    if (k >= 0) {
        // 5^k in 32-bit limbs, lowest first (5^56 has 131 bits).
        std::array<std::uint32_t, 5> limbs{1, 0, 0, 0, 0};
        for (int i = 0; i < k; ++i) {
            std::uint64_t carry = 0;
            for (std::uint32_t& limb : limbs) {
                const std::uint64_t product = std::uint64_t{limb} * 5 + carry;
                limb = static_cast<std::uint32_t>(product);
                carry = product >> 32;
            }
        }
        const auto bit = [&](int position) {
            return position < 0 ? 0u : (limbs[static_cast<std::size_t>(position / 32)] >> (position % 32)) & 1u;
        };
        int width = 32 * static_cast<int>(limbs.size());
        while (bit(width - 1) == 0) --width;
        std::uint64_t top = 0;
        for (int position = width - 1; position >= width - 64; --position) top = top << 1 | bit(position);
        ten.binaryExponent = k + width - 64;
        ten.significand = top + bit(width - 65); // to nearest (a tie, up: still within half a unit)
        if (ten.significand == 0) {                // rounded up to 2^64
            ten.significand = std::uint64_t{1} << 63;
            ++ten.binaryExponent;
        }
        return ten;
    }
    // 10^k = 2^k / 5^j with j = -k: 2^N / 5^j by long division, N chosen so
    // that the quotient has 64 bits.
    Wide five = 1;
    for (int i = 0; i < -k; ++i) five *= 5;
    const int N = 63 + bitWidth(five);
    Wide remainder = 0;
    std::uint64_t quotient = 0;
    for (int position = N; position >= 0; --position) {
        remainder = remainder << 1 | (position == N ? 1 : 0);
        quotient <<= 1;
        if (remainder >= five) {
            remainder -= five;
            quotient |= 1;
        }
    }
    ten.binaryExponent = k - N;
    ten.significand = quotient + (2 * remainder > five);
    if (ten.significand == 0) {
        ten.significand = std::uint64_t{1} << 63;
        ++ten.binaryExponent;
    }
    return ten;
}

constexpr std::array<ScaledTen, highestScale - lowestScale + 1> scaledTens = [] {
    std::array<ScaledTen, highestScale - lowestScale + 1> table{};
    for (int k = lowestScale; k <= highestScale; ++k) table[static_cast<std::size_t>(k - lowestScale)] = scaledTen(k);
    return table;
}();
static_assert(scaledTens[0 - lowestScale].significand == std::uint64_t{1} << 63 &&
              scaledTens[0 - lowestScale].binaryExponent == -63);
static_assert(scaledTens[27 - lowestScale].significand == 7450580596923828125ULL << 1); // 5^27, one bit short
static_assert(scaledTens[-1 - lowestScale].significand == 0xCCCCCCCCCCCCCCCDULL &&
              scaledTens[-1 - lowestScale].binaryExponent == -67);


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

// a = m * 2^e (normal, positive) rounded to `precision` digits through
// v = a * 10^k, k = precision - 1 - X, with 10^k known to 64 bits: v' = m *
// significand * 2^(e + binaryExponent) is one 64x64-bit product, and
// |v' - v| <= v * 2^-64. The digits are v' rounded when that cannot differ
// from v rounded, and X is the decimal exponent when v is within
// [10^(P-1), 10^P); false otherwise (next to a tie, to a bound of P digits,
// or X one off), and the exact quotient decides.
bool roundQuickly(std::uint64_t m, int e, int X, int precision, std::uint64_t& digits, int& exponent)
{
    const ScaledTen& ten = scaledTens[static_cast<std::size_t>(precision - 1 - X - lowestScale)];
    // With m moved up to the top bit the product lies within [2^126, 2^128),
    // and for v within [10^-2, 10^18) (X at most one off) the point lies
    // between bits 66 and 132 of it: within or below the upper word.
    const Wide product = static_cast<Wide>(m << (63 - mantissaBits)) * ten.significand;
    const int shift = -(e - (63 - mantissaBits) + ten.binaryExponent) - 64;
    if (shift >= 64) return false; // v below 1: X too high for one or two digits
    const auto upper = static_cast<std::uint64_t>(product >> 64);
    const auto lower = static_cast<std::uint64_t>(product);
    const std::uint64_t whole = upper >> shift;
    // The first 64 bits after the point, in units of 2^-64.
    const std::uint64_t fraction = upper << (64 - shift) | lower >> shift;

    const std::uint64_t limit = powersOfTen[precision];
    const std::uint64_t lowest = powersOfTen[precision - 1];
    // Every v accepted below is under 10^P + 1, so its error is under 10^P + 1
    // units of 2^-64, and the fraction's truncation adds one.
    const std::uint64_t uncertainty = 2 * limit;
    constexpr std::uint64_t half = std::uint64_t{1} << 63;
    // Within `uncertainty` of one half, in one unsigned comparison (a branch
    // on the side of one half would be mispredicted every other number).
    if (fraction - (half - uncertainty) <= 2 * uncertainty) return false;
    // v' within [10^(P-1) + 1, 10^P), so v above 10^(P-1) surely (v at
    // 10^(P-1) exactly, a value like 1 or 0.001, goes the exact way).
    if (whole - (lowest + 1) >= limit - (lowest + 1)) return false;
    std::uint64_t q = whole + (fraction > half ? 1 : 0);
    if (q == limit) { // v rounds up to 10^P, which is 10^(P-1) at the next exponent
        q = lowest;
        ++X;
    }
    digits = q;
    exponent = X;
    return true;
}

// The positive normal double `a` = m * 2^e rounded to `precision`
// significant digits with the exact quotient, given X, its decimal exponent
// or one off: `digits` has exactly that many digits and `exponent` is the
// decimal exponent of its first one. False when the exact quotient does not
// fit. Rarely needed (next to ties and bounds), so kept out of the common
// path, whose registers it would otherwise take.
[[gnu::noinline]] bool roundExactly(double a, std::uint64_t m, int e, int X, int precision, std::uint64_t& digits,
                                    int& exponent)
{
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

// "0000" to "9999": the four characters of every group of four digits in
// one 32-bit word, the first in the lowest byte. 40 kB, of which a run
// writing numbers keeps the parts it uses in the cache; looking a group up
// costs far less than splitting it into digits with multiplications.
constexpr std::array<std::uint32_t, 10000> groupTexts = [] {
    std::array<std::uint32_t, 10000> groups{};
    for (std::uint32_t i = 0; i < groups.size(); ++i)
        groups[i] = ('0' + i / 1000) | ('0' + i / 100 % 10) << 8 | ('0' + i / 10 % 10) << 16 | ('0' + i % 10) << 24;
    return groups;
}();

// The sixteen decimal digits of `value` (below 10^16, leading zeros
// included) as characters in two words, eight in each, the first digit in
// the lowest byte of `first`.
struct DigitWords {
    std::uint64_t first;
    std::uint64_t second;
};

DigitWords sixteenDigits(std::uint64_t value)
{
    static_assert(std::endian::native == std::endian::little, "the digits are stored lowest byte first");
    // The four groups straight from `value` rather than one from the
    // other, so that they take the time of one division.
    constexpr std::uint64_t four = 10000;
    const std::uint64_t upTo4 = value / (four * four * four);
    const std::uint64_t upTo8 = value / (four * four);
    const std::uint64_t upTo12 = value / four;
    const auto text = [](std::uint64_t group) { return std::uint64_t{groupTexts[group]}; };
    return {text(upTo4) | text(upTo8 - upTo4 * four) << 32,
            text(upTo12 - upTo8 * four) | text(value - upTo12 * four) << 32};
}

// "e-41" to "e+41": the exponents of the rounded values, whose decimal
// exponent is within the range of `tens` or one beyond.
constexpr int lowestExponentText = lowestTen - 1;
constexpr int highestExponentText = highestTen + 1;
static_assert(-lowestExponentText < 100 && highestExponentText < 100, "two exponent digits");
constexpr std::array<std::array<char, 4>, highestExponentText - lowestExponentText + 1> exponentTexts = [] {
    std::array<std::array<char, 4>, highestExponentText - lowestExponentText + 1> texts{};
    for (int X = lowestExponentText; X <= highestExponentText; ++X) {
        const int magnitude = X < 0 ? -X : X;
        texts[static_cast<std::size_t>(X - lowestExponentText)] = {'e', X < 0 ? '-' : '+',
                                                                    static_cast<char>('0' + magnitude / 10),
                                                                    static_cast<char>('0' + magnitude % 10)};
    }
    return texts;
}();

// Writes the rounded digits in general notation. The digits are made
// left-aligned in seventeen places (two words of eight and, for seventeen
// digits, one more) and stored straight into the caller's room, whose size
// (generalTextCapacity) leaves space for whole words past the end of the
// number; the end returned is where the number ends.
char* writeRounded(char* out, bool negative, std::uint64_t digits, int X, int precision)
{
    constexpr int wordPlaces = 16;
    const bool seventeen = precision > wordPlaces;
    const std::uint64_t aligned = seventeen ? digits / 10 : digits * powersOfTen[wordPlaces - precision];
    const char extra = static_cast<char>('0' + (seventeen ? digits % 10 : 0));
    const DigitWords words = sixteenDigits(aligned);
    const auto lead = static_cast<char>(words.first);
    // Trailing zeros are dropped: the last nonzero digit is the highest
    // nonzero byte of the digit values (the lead digit is never zero).
    const std::uint64_t firstValues = words.first - zeroCharacters;
    const std::uint64_t secondValues = words.second - zeroCharacters;
    const auto zeroBytes = [](std::uint64_t values) {
        return static_cast<int>(static_cast<unsigned>(std::countl_zero(values)) / 8);
    };
    const int count = extra != '0'         ? 17
                      : secondValues != 0 ? 16 - zeroBytes(secondValues)
                                          : 8 - zeroBytes(firstValues);
    const auto storeDigits = [&](char* place) { // all seventeen places
        std::memcpy(place, &words.first, sizeof words.first);
        std::memcpy(place + sizeof words.first, &words.second, sizeof words.second);
        place[wordPlaces] = extra;
    };

    if (negative) *out++ = '-';
    if (X < -4 || X >= precision) {
        storeDigits(out + 1);
        out[0] = lead;
        out[1] = '.';
        out += count > 1 ? count + 1 : 1;
        std::memcpy(out, &exponentTexts[static_cast<std::size_t>(X - lowestExponentText)], 4);
        return out + 4;
    }
    if (X < 0) {
        std::memcpy(out, "0.000", 5); // X >= -4: at most three zeros after the point
        out += 1 - X;
        storeDigits(out);
        return out + count;
    }
    // A plain number of at least one whole digit: the point goes after the
    // whole digits, or there is none.
    const int wholeDigits = X + 1;
    if (count <= wholeDigits) {
        storeDigits(out);
        return out + wholeDigits;
    }
    // The point within the first seventeen places (wholeDigits <= 16): the
    // places from the point on move up by one within a 128-bit word of the
    // first sixteen, which is stored whole; places 15 and 16 land after it.
    const Wide places = words.first | static_cast<Wide>(words.second) << 64;
    const Wide wholeMask = ~Wide{0} >> (128 - 8 * wholeDigits);
    const Wide moved = (places & wholeMask) | (places & ~wholeMask) << 8;
    std::memcpy(out, &moved, sizeof moved);
    out[wordPlaces] = static_cast<char>(words.second >> 56);
    out[wordPlaces + 1] = extra;
    out[wholeDigits] = '.';
    return out + count + 1;
}

} // namespace

namespace conversion {

char* writeGeneral(char* text, double value, int precision)
{
    const int digits = precision < 0 ? conversion::defaultDigits : std::clamp(precision, 1, exactDigits);
    if (digits <= integerMethodDigits) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        const std::uint64_t magnitudeBits = bits & ~(std::uint64_t{1} << 63);
        const int biased = static_cast<int>(magnitudeBits >> mantissaBits);
        // Within the table's range the value is normal, finite and not zero.
        if (biased >= lowestBiased && biased <= highestBiased) {
            const DecimalExponent& estimate = decimalExponents[static_cast<std::size_t>(biased - lowestBiased)];
            const int X = estimate.floorLog + (magnitudeBits >= estimate.nextTenBits ? 1 : 0);
            const double a = std::bit_cast<double>(magnitudeBits);
            const std::uint64_t hidden = std::uint64_t{1} << mantissaBits;
            const std::uint64_t m = (bits & (hidden - 1)) | hidden;
            const int e = biased - exponentBias - mantissaBits;
            std::uint64_t rounded = 0;
            int exponent = 0;
            if (roundQuickly(m, e, X, digits, rounded, exponent) ||
                roundExactly(a, m, e, X, digits, rounded, exponent))
                return writeRounded(text, std::signbit(value), rounded, exponent, digits);
        }
    }
    return std::to_chars(text, text + generalTextCapacity, value, std::chars_format::general, digits).ptr;
}

} // namespace conversion
