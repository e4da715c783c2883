#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/general_text.h"
#include "core/number_conversion.h"

namespace {

std::string streamText(double value, int precision)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(precision);
    text << value;
    return text.str();
}

std::string generalText(double value, int precision)
{
    char text[conversion::generalTextCapacity];
    return std::string(text, conversion::writeGeneral(text, value, precision));
}

double fromBits(std::uint64_t bits)
{
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Doubles of every kind: random bit patterns (all exponents, NaNs and
// infinities included), values spread over the magnitudes of the results
// (1e-30 to 1e30), short decimals and binary fractions (which end in exact
// ties at small precisions), subnormals, powers of ten and their
// neighbours, values that round up to the next power of ten at some
// precision, and the extremes.
std::vector<double> sampleDoubles(std::size_t randomCount)
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> magnitude(-30.0, 30.0);
    std::vector<double> values;
    for (std::size_t k = 0; k < randomCount; ++k) {
        values.push_back(fromBits(random()));
        values.push_back(std::pow(10.0, magnitude(random)));
        values.push_back(static_cast<double>(random() % 100000) / 1000.0);
        values.push_back(static_cast<double>(random() % 100000) / 1024.0);
    }
    for (int k = 0; k < 200; ++k) values.push_back(fromBits(random() & 0x000fffffffffffffULL)); // subnormal
    for (int e = -324; e <= 308; ++e) {
        // Within three units in the last place of a power of ten, where the
        // decimal exponent and the rounding up to the next power are decided.
        const double power = std::pow(10.0, e);
        double below = power;
        double above = power;
        values.push_back(power);
        for (int ulp = 1; ulp <= 3; ++ulp) {
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, INFINITY);
            values.push_back(below);
            values.push_back(-above);
        }
        values.push_back(9.9999999999999995 * power);
    }
    const double extremes[] = {0.0, -0.0, 1.0, 0.5, 0.0001, 0.00009999999999999999, 123456789012345678.0,
                               std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::quiet_NaN()};
    values.insert(values.end(), std::begin(extremes), std::end(extremes));
    return values;
}

// Values whose rounding to `precision` digits is decided by what lies far
// below the last digit, where a rounding from an approximate product would
// go wrong: decimal ties (the nearest doubles to decimals of precision + 1
// digits ending in 5, and their neighbours) at magnitudes from 1e-45 to
// 1e45, exact ties (a whole number of `precision` digits plus one half, and
// tenths, hundredths and thousandths of it), and the bounds of `precision`
// digits (10^(precision - 1) itself and the values just below 10^precision).
std::vector<double> hardRoundings(int precision)
{
    std::mt19937_64 random(static_cast<std::uint64_t>(precision));
    std::vector<double> values;
    const auto withNeighbours = [&](double value) {
        values.push_back(value);
        values.push_back(std::nextafter(value, 0.0));
        values.push_back(std::nextafter(value, INFINITY));
    };
    for (int exponent = -45; exponent <= 45; ++exponent) {
        for (int k = 0; k < 8; ++k) {
            std::string tie = std::to_string(1 + random() % 9) + ".";
            for (int digit = 1; digit < precision; ++digit) tie += static_cast<char>('0' + random() % 10);
            tie += "5e" + std::to_string(exponent);
            withNeighbours(std::stod(tie));
        }
        const double bound = std::pow(10.0, exponent);
        withNeighbours(bound);
        withNeighbours(bound * (1.0 - std::pow(10.0, -precision) / 2)); // rounds up to the next power
    }
    if (precision <= 15) {
        const double lowest = std::pow(10.0, precision - 1);
        for (int k = 0; k < 200; ++k) {
            const double tie = lowest + static_cast<double>(random() % static_cast<std::uint64_t>(9 * lowest)) + 0.5;
            withNeighbours(tie);
            for (double scale : {10.0, 100.0, 1000.0}) values.push_back(tie / scale);
        }
    }
    return values;
}

} // namespace

// The result files must not change by a byte when numbers are written
// without the streams: every double, at the precisions a data file can give
// (negative, zero, the default 15, and the large ones up to beyond the 800
// digits that are passed on), writes exactly the stream's text.
TEST(GeneralText, SameBytesAsTheStreamsForEveryKindOfDouble)
{
    const std::vector<double> many = sampleDoubles(10000);
    const std::vector<double> fewer = sampleDoubles(300);
    const int precisions[] = {-7, -1, 0, 1, 2, 3, 4, 6, 8, 15, 16, 17, 18, 25, 40, 100, 330, 767, 800, 1000};
    for (int precision : precisions) {
        const std::vector<double>& values = precision > 100 ? fewer : many;
        int differences = 0;
        for (double value : values) {
            const std::string expected = streamText(value, precision);
            const std::string written = generalText(value, precision);
            if (written != expected && ++differences <= 3)
                ADD_FAILURE() << "precision " << precision << ": stream '" << expected << "', written '" << written
                              << "'";
        }
        EXPECT_EQ(differences, 0) << "precision " << precision;
    }
}

// Next to ties and to the bounds of the digits the rounding must follow
// the exact value, at every precision the integer method handles.
TEST(GeneralText, SameBytesAsTheStreamsNextToTiesAndBounds)
{
    for (int precision = 1; precision <= 17; ++precision) {
        int differences = 0;
        for (double value : hardRoundings(precision)) {
            for (double signedValue : {value, -value}) {
                const std::string expected = streamText(signedValue, precision);
                const std::string written = generalText(signedValue, precision);
                if (written != expected && ++differences <= 3)
                    ADD_FAILURE() << "precision " << precision << ": stream '" << expected << "', written '" << written
                                  << "'";
            }
        }
        EXPECT_EQ(differences, 0) << "precision " << precision;
    }
}

TEST(GeneralText, DefaultTextAndHugePrecisions)
{
    EXPECT_EQ(conversion::toDefaultText(3600.0), "3600");
    EXPECT_EQ(conversion::toDefaultText(2.220446049250313e-16), "2.22045e-16");
    EXPECT_EQ(generalText(0.000123456, 4), "0.0001235");
    EXPECT_EQ(generalText(0.0000123456, 4), "1.235e-05");
    // The most digits any double needs: the largest subnormal has 767
    // significant digits, and a precision near the int limit writes the
    // same text quickly instead of exhausting the streams.
    const double largestSubnormal = std::nextafter(std::numeric_limits<double>::min(), 0.0);
    const std::string exact = generalText(largestSubnormal, 800);
    EXPECT_EQ(exact.size(), 767u + 1u + 5u); // digits, point and "e-308"
    EXPECT_EQ(generalText(largestSubnormal, std::numeric_limits<int>::max()), exact);
    EXPECT_EQ(generalText(-std::numeric_limits<double>::max(), std::numeric_limits<int>::max()),
              streamText(-std::numeric_limits<double>::max(), 800));
}
