// Golden results: every case of tests/golden is run by build/ostrel in a
// fresh directory, and every result file the run writes is compared with the
// expected files of the case (layout in tests/golden/README.md). With the
// environment variable OSTREL_REGENERATE_GOLDEN=1 (`make golden`) the run's
// files replace the expected ones instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "support/ostrel_run.h"
#include "support/result_comparison.h"

namespace fs = std::filesystem;
using testing_support::firstDifference;
using testing_support::OstrelRun;
using testing_support::RunSetup;

namespace {

constexpr double relativeTolerance = 1e-12;
const std::string examplePrefix = "example-";

fs::path goldenRoot() { return fs::path(OSTREL_SOURCE_DIR) / "tests" / "golden"; }
fs::path examplesRoot() { return fs::path(OSTREL_SOURCE_DIR) / "examples"; }

bool regenerating()
{
    const char* flag = std::getenv("OSTREL_REGENERATE_GOLDEN");
    return flag != nullptr && std::string(flag) == "1";
}

std::set<std::string> entries(const fs::path& directory, bool wantDirectories)
{
    std::set<std::string> names;
    std::error_code missing;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, missing))
        if (entry.is_directory() == wantDirectories) names.insert(entry.path().filename().string());
    return names;
}

std::vector<std::string> caseNames()
{
    const std::set<std::string> names = entries(goldenRoot(), true);
    return {names.begin(), names.end()};
}

std::string contentOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Every file of the case directory is an input of the run; a case without a
// data file of its own runs the bundled example it is named after, with the
// example's other input files (its README and pictures aside).
RunSetup setupOf(const std::string& name)
{
    const fs::path caseDir = goldenRoot() / name;
    RunSetup setup;
    for (const std::string& file : entries(caseDir, false)) setup.files[file] = contentOf(caseDir / file);
    if (!setup.files.count(setup.dataName) && name.rfind(examplePrefix, 0) == 0) {
        const fs::path exampleDir = examplesRoot() / name.substr(examplePrefix.size());
        for (const std::string& file : entries(exampleDir, false))
            if (file != "README.md" && fs::path(file).extension() != ".png")
                setup.files[file] = contentOf(exampleDir / file);
    }
    return setup;
}

// What the run wrote, its inputs and the run-protocol files left aside.
std::set<std::string> resultFiles(const OstrelRun& run, const RunSetup& setup)
{
    std::set<std::string> names = entries(run.workDir().path(), false);
    for (const auto& input : setup.files) names.erase(input.first);
    names.erase("log.log");
    names.erase("computation.end");
    return names;
}

std::string listed(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += " " + name;
    return text.empty() ? " (none)" : text;
}

void replaceExpectedFiles(const fs::path& expectedDir, const OstrelRun& run, const std::set<std::string>& written)
{
    fs::remove_all(expectedDir);
    fs::create_directories(expectedDir);
    for (const std::string& name : written) fs::copy_file(run.workDir().path() / name, expectedDir / name);
}

class GoldenResults : public testing::TestWithParam<std::string> {};

// The TTP example is a whole diagram: seconds in a Release build, minutes
// under the sanitizers, where the other cases already run the same code.
bool tooSlowUnderSanitizers(const std::string& name) { return name == "example-ttp-al-sc"; }

} // namespace

TEST_P(GoldenResults, EveryResultFileMatchesItsExpectedFile)
{
    const std::string& name = GetParam();
#ifdef OSTREL_SANITIZED
    if (tooSlowUnderSanitizers(name)) GTEST_SKIP() << "golden case " << name << " runs in the Release build";
#else
    (void)tooSlowUnderSanitizers;
#endif
    const RunSetup setup = setupOf(name);
    ASSERT_TRUE(setup.files.count(setup.dataName)) << "golden case " << name << " has no data file";
    const OstrelRun run(setup);
    ASSERT_EQ(run.exitCode(), 0) << "golden case " << name << "\n" << run.console();
    ASSERT_TRUE(run.hasFile("computation.end")) << "golden case " << name;

    const std::set<std::string> written = resultFiles(run, setup);
    const fs::path expectedDir = goldenRoot() / name / "expected";
    if (regenerating()) {
        replaceExpectedFiles(expectedDir, run, written);
        return;
    }

    const std::set<std::string> expected = entries(expectedDir, false);
    EXPECT_EQ(written, expected) << "golden case " << name << ": the run writes" << listed(written)
                                 << "; expected are" << listed(expected);
    for (const std::string& file : expected) {
        if (!written.count(file)) continue;
        const auto difference = firstDifference(file, testing_support::readLines(expectedDir / file),
                                                run.fileLines(file), relativeTolerance);
        if (difference) ADD_FAILURE() << "golden case " << name << ": " << *difference;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenResults, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string testName = info.param;
                             std::replace_if(
                                 testName.begin(), testName.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return testName;
                         });

TEST(GoldenCases, EveryBundledExampleHasOne)
{
    const std::set<std::string> examples = entries(examplesRoot(), true);
    ASSERT_FALSE(examples.empty());
    for (const std::string& example : examples)
        EXPECT_TRUE(fs::is_directory(goldenRoot() / (examplePrefix + example)))
            << "no golden case " << examplePrefix << example;
}

TEST(GoldenCases, NoResultHoldsANumberThatIsNotFinite)
{
    for (const std::string& name : caseNames()) {
        const fs::path expectedDir = goldenRoot() / name / "expected";
        for (const std::string& file : entries(expectedDir, false)) {
            const auto line = testing_support::firstNonFiniteLine(testing_support::readLines(expectedDir / file));
            EXPECT_FALSE(line) << name << "/" << file << ": " << *line;
        }
    }
    EXPECT_EQ(*testing_support::firstNonFiniteLine({"t x ", "1 2 ", "3 -nan "}), "3 -nan ");
}

TEST(ResultComparison, NumbersWithinTheToleranceAndTextExactly)
{
    const std::vector<std::string> expected{"Elements: Sc Al", "(volume=1m3)", "t[s] dt[s] X_Sc ", "0 0 0.001 ",
                                            "3600 1.5 0.0002 "};
    EXPECT_FALSE(firstDifference("r_0.dat", expected, expected, relativeTolerance));

    std::vector<std::string> close = expected;
    close[4] = "3600.0000000000005 1.5 2.0e-4 ";
    EXPECT_FALSE(firstDifference("r_0.dat", expected, close, relativeTolerance));

    std::vector<std::string> moved = expected;
    moved[4] = "3600 1.5 0.00020000001 ";
    const auto difference = firstDifference("r_0.dat", expected, moved, relativeTolerance);
    ASSERT_TRUE(difference);
    EXPECT_EQ(difference->rfind("r_0.dat, line 5 (record 2), column 3 (X_Sc): expected '0.0002', got "
                                "'0.00020000001'",
                                0),
              0u)
        << *difference;

    std::vector<std::string> zero = expected;
    zero[3] = "0 1e-300 0.001 ";
    EXPECT_TRUE(firstDifference("r_0.dat", expected, zero, relativeTolerance));
}

TEST(ResultComparison, LayoutDifferences)
{
    const std::vector<std::string> expected{"R*(t) R(i) R(i+1) ...", "t[s] N(i) N(i+1) ...", "t[s] D(i) D(i+1) ...",
                                            "1e-09 1e-09", "10 1e20", "10 0.0"};
    std::vector<std::string> header = expected;
    header[0] = "R* R(i) R(i+1) ...";
    EXPECT_EQ(*firstDifference("d.dat", expected, header, relativeTolerance),
              "d.dat, line 1, column 1: expected 'R*(t)', got 'R*'");

    std::vector<std::string> trailingBlank = expected;
    trailingBlank[4] = "10 1e20 ";
    EXPECT_EQ(firstDifference("d.dat", expected, trailingBlank, relativeTolerance)->rfind(
                  "d.dat, line 5 (line 2 of record 1), column 3: expected 2 columns, got 3", 0),
              0u);

    std::vector<std::string> shorter(expected.begin(), expected.end() - 1);
    EXPECT_EQ(*firstDifference("d.dat", expected, shorter, relativeTolerance), "d.dat: expected 6 lines, got 5");
}
