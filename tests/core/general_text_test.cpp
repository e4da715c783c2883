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
