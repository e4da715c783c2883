#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>

#include "core/data_file_reader.h"
#include "core/number_conversion.h"
#include "support/temp_dir.h"

using testing_support::ScopedWorkDir;

TEST(SplitArguments, SeparatorsRunsAndLineEnds)
{
    KeywordLine args;
    DataFileReader::splitArguments("   reduceDT\t0.3\r", args);
    EXPECT_EQ(args, (KeywordLine{"reduceDT", "0.3"}));

    DataFileReader::splitArguments("a \t\b\r\n b", args);
    EXPECT_EQ(args, (KeywordLine{"a", "b"}));

    DataFileReader::splitArguments("a,b;c", args);
    EXPECT_EQ(args, (KeywordLine{"a,b;c"}));

    DataFileReader::splitArguments("", args);
    EXPECT_TRUE(args.empty());
    DataFileReader::splitArguments(" \t\r", args);
    EXPECT_TRUE(args.empty());

    DataFileReader::splitArguments("reduceDT 0.3 0.4", args);
    EXPECT_EQ(args.size(), 3u);
}

TEST(NumberConversion, RealAndIntegerForms)
{
    EXPECT_DOUBLE_EQ(conversion::toDouble("2.5abc"), 2.5);
    EXPECT_DOUBLE_EQ(conversion::toDouble("abc"), 0.0);
    EXPECT_DOUBLE_EQ(conversion::toDouble("1E-9"), 1e-9);
    EXPECT_DOUBLE_EQ(conversion::toDouble("  -3"), -3.0);
    EXPECT_TRUE(std::isnan(conversion::toDouble("nan")));
    EXPECT_TRUE(std::isinf(conversion::toDouble("inf")));

    // "1e1" under the three integer conversions.
    EXPECT_EQ(conversion::toTruncatedInt("1e1"), 10);
    EXPECT_EQ(conversion::toDecimalInt("1e1"), 1);
    EXPECT_EQ(conversion::toAutoBaseInt("1e1"), 1);

    EXPECT_EQ(conversion::toTruncatedInt("3.9"), 3);
    EXPECT_EQ(conversion::toTruncatedInt("-3.9"), -3);
    EXPECT_EQ(conversion::toDecimalInt("3.9"), 3);
    EXPECT_EQ(conversion::toDecimalInt("abc"), 0);
    EXPECT_EQ(conversion::toDecimalInt("010"), 10);
    EXPECT_EQ(conversion::toAutoBaseInt("010"), 8);
    EXPECT_EQ(conversion::toAutoBaseInt("0x20"), 32);
    EXPECT_EQ(conversion::toTruncatedInt("0x20"), 32); // strtod reads hexadecimal too

    // Out-of-range values never overflow into undefined behaviour.
    EXPECT_EQ(conversion::toTruncatedInt("1e300"), INT_MAX);
    EXPECT_EQ(conversion::toTruncatedInt("nan"), 0);
    EXPECT_EQ(conversion::toDecimalInt("99999999999999999999"), INT_MAX);

    EXPECT_TRUE(conversion::isWholeNumber("-1.5e3"));
    EXPECT_FALSE(conversion::isWholeNumber("1.5x"));
    EXPECT_FALSE(conversion::isWholeNumber("sphere"));
    EXPECT_FALSE(conversion::isWholeNumber(""));
}

TEST(NumberConversion, IndependentOfUserLocale)
{
    // A locale with a decimal comma must not change how "2.5" reads.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no decimal-comma locale installed";
    EXPECT_DOUBLE_EQ(conversion::toDouble("2.5"), 2.5);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(ReadKeyword, OrderCaseAndAbsence)
{
    ScopedWorkDir dir;
    dir.write("data",
              "reduceDT 0.1\r\n"
              "# reduceDT 9\n"
              "ReduceDT 0.2\n"
              "  reduceDTx 7\n"
              "\treduceDT 0.3 0.4\n"
              "\n"
              "reduceDT 0.5"); // no final newline
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword("data", "reduceDT", lines, false);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (KeywordLine{"reduceDT", "0.1"}));
    EXPECT_EQ(lines[1], (KeywordLine{"reduceDT", "0.3", "0.4"}));
    EXPECT_EQ(lines[2], (KeywordLine{"reduceDT", "0.5"}));

    lines.push_back({"stale"});
    DataFileReader::readKeyword("data", "increaseDT", lines, true);
    EXPECT_TRUE(lines.empty());
}

TEST(ReadKeywordDeathTest, MissingFileAndMandatoryKeyword)
{
    ScopedWorkDir dir;
    dir.write("empty", "");
    std::vector<KeywordLine> lines;
    EXPECT_EXIT(DataFileReader::readKeyword("nowhere", "matrix", lines, true),
                testing::ExitedWithCode(1), "");
    EXPECT_EXIT(DataFileReader::readKeyword("empty", "matrix", lines, false),
                testing::ExitedWithCode(1), "");
    const auto log = testing_support::readLines(dir.path() / "log.log");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "FATAL ERROR: File nowhere not found");
    EXPECT_EQ(log[1], "FATAL ERROR: keyword matrix not found in datafile.");
}

TEST(ReadKeyword, BinaryJunkAndLongLines)
{
    ScopedWorkDir dir;
    std::string junk;
    for (int i = 0; i < 256; ++i) junk.push_back(static_cast<char>(i));
    junk += std::string(1 << 20, 'x') + "\nnodes 1\n";
    junk += std::string("no\0des 2\n", 9);
    dir.write("data", junk);
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword("data", "nodes", lines, true);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][1], "1");
}
