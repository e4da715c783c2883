#include <gtest/gtest.h>

#include <cmath>

#include "material/temperature_profile.h"
#include "support/fatal.h"
#include "support/temp_dir.h"

using testing_support::ScopedWorkDir;

namespace {

TemperatureProfile profileOf(KeywordLine values)
{
    values.insert(values.begin(), "temperatureProfile");
    TemperatureProfile profile;
    profile.setProfile(values);
    return profile;
}

void readFrom(const ScopedWorkDir& dir, const std::string& data)
{
    dir.write("data", data);
    TemperatureProfile profile;
    readTemperatureProfile("data", profile);
}

} // namespace

TEST(TemperatureProfileDeathTest, GetTemperatureAndTime)
{
    ScopedWorkDir dir;
    const TemperatureProfile constant = profileOf({"0", "773", "3600", "773"});
    EXPECT_EQ(constant.GetTemperature(0.0), 773.0);
    EXPECT_EQ(constant.GetTemperature(3600.0), 773.0);
    EXPECT_FATAL(constant.GetTemperature(3601.0), "time out of range");
    EXPECT_FATAL(constant.GetTemperature(std::nan("")), "Bad interpolation in GetTemperature");
    EXPECT_FATAL(constant.GetTime(2), "Time index out of range");
    EXPECT_FATAL(TemperatureProfile().GetTime(0), "Time index out of range");
    EXPECT_EQ(constant.GetFirstTime(), 0.0);
    EXPECT_EQ(constant.GetLastTime(), 3600.0);
    // A profile without points has neither a first nor a last time.
    EXPECT_FATAL(TemperatureProfile().GetFirstTime(), "Time index out of range");
    EXPECT_FATAL(TemperatureProfile().GetLastTime(), "Time index out of range");

    const TemperatureProfile ramp = profileOf({"0", "300", "100", "500", "200", "400"});
    EXPECT_EQ(ramp.GetTemperature(25.0), 350.0);
    EXPECT_EQ(ramp.GetTemperature(150.0), 450.0);

    // All-zero temperatures are accepted when set and refused where the computation starts.
    EXPECT_FATAL(profileOf({"0", "0", "100", "0"}).GetInitialTime(), "total time or Temperature is zero.");
}

// A measured history: thousands of irregularly spaced points. Every time,
// on a point or between two, gives what a scan of the points from the start
// gives, and points are found within the time tolerance only.
TEST(TemperatureProfile, LongHistoryFoundByItsInterval)
{
    KeywordLine values;
    std::vector<double> times;
    std::vector<double> temperatures;
    double t = 0.0;
    for (int k = 0; k < 5001; ++k) {
        times.push_back(t);
        temperatures.push_back(600.0 + 20.0 * std::sin(0.37 * k));
        values.push_back(std::to_string(t));
        values.push_back(std::to_string(temperatures.back()));
        t += 0.5 + (k % 7) * 0.25;
    }
    const TemperatureProfile profile = profileOf(values);
    for (std::size_t i = 0; i + 1 < times.size(); ++i) {
        const double a = profile.times[i];
        const double b = profile.times[i + 1];
        const double Ta = profile.temperatures[i];
        const double Tb = profile.temperatures[i + 1];
        EXPECT_EQ(profile.GetTemperature(a), Ta);
        for (double inside : {std::nextafter(a, b), 0.3 * a + 0.7 * b, std::nextafter(b, a)})
            ASSERT_EQ(profile.GetTemperature(inside), Ta + (Tb - Ta) / (b - a) * (inside - a)) << inside;
        EXPECT_TRUE(profile.hasPointAt(b, 1));
        EXPECT_FALSE(profile.hasPointAt(0.5 * (a + b), 0));
    }
    EXPECT_EQ(profile.GetTemperature(profile.times.back()), profile.temperatures.back());
    EXPECT_FALSE(profile.hasPointAt(0.0, 1));
    EXPECT_TRUE(profile.hasPointAt(0.0, 0));

    // Near zero several points lie within the tolerance of one time.
    const TemperatureProfile crowded = profileOf({"0", "300", "1e-16", "300", "3e-16", "300", "1", "300"});
    EXPECT_TRUE(crowded.hasPointAt(2.5e-16, 2));
    EXPECT_TRUE(crowded.hasPointAt(0.0, 1));
    EXPECT_TRUE(crowded.hasPointAt(5e-16, 0));
    EXPECT_FALSE(crowded.hasPointAt(5e-16, 3));
    EXPECT_FALSE(crowded.hasPointAt(std::nan(""), 0));
    EXPECT_FALSE(TemperatureProfile().hasPointAt(0.0, 0));
}

TEST(TemperatureProfileDeathTest, SetProfileChecksMonotonyBeforeValues)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(profileOf({"0", "300", "0", "500"}), "Time value for temperature definition must be increasing");
    // The decreasing later pair is found before the negative temperature of point 0.
    EXPECT_FATAL(profileOf({"0", "-300", "100", "500", "50", "500"}),
                 "Time value for temperature definition must be increasing");
    EXPECT_FATAL(profileOf({"-5", "300", "10", "500"}), "Invalid time for time-temperature history");
    EXPECT_FATAL(profileOf({"0", "300", "10", "-1"}), "Invalid temperature for time-temperature history");
    // A history without end, or a temperature that is not a number, is refused.
    EXPECT_FATAL(profileOf({"0", "300", "inf", "500"}), "Invalid time for time-temperature history");
    EXPECT_FATAL(profileOf({"0", "300", "10", "nan"}), "Invalid temperature for time-temperature history");
}

TEST(TemperatureProfileDeathTest, ReadingChecksInOrder)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readFrom(dir, "matrix Fe 1 1 1\n"), "keyword temperatureProfile not found in datafile.");
    EXPECT_FATAL(readFrom(dir, "temperatureProfile 0 1\ntemperatureProfile 0 1 2\n"),
                 "More than one reference temperature profile given");
    EXPECT_FATAL(readFrom(dir, "temperatureProfile 0 773 3600\n"), "incorrect number of arguments for temperature profile.");
    EXPECT_FATAL(readFrom(dir, "temperatureProfile 0 773\n"), "you must have at least 4 arguments for temperature profile.");
    EXPECT_FATAL(readFrom(dir, "temperatureProfile 0 773 0 773\n"), "Time value for temperature definition must be increasing");

    dir.write("data", "temperatureProfile 0 300 100 500\n");
    TemperatureProfile profile;
    readTemperatureProfile("data", profile);
    EXPECT_EQ(profile.GetTemperature(25.0), 350.0);
}
