#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"
#include "output/output.h"
#include "support/temp_dir.h"

using testing_support::fields;
using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

// Cu in an Al matrix with one phase beta of two classes.
struct ThermoNode {
    Matrix matrix;
    std::vector<Element> elements;
    std::vector<Precipitate> precipitates;

    ThermoNode()
    {
        elements.resize(2);
        elements[0].name = "Cu";
        elements[0].ssFraction = 0.002;
        elements[0].molarMass = 63.55;
        elements[1].name = "Al";
        elements[1].ssFraction = 0.998;
        elements[1].molarMass = 26.98;
        precipitates.resize(1);
        Precipitate& beta = precipitates[0];
        beta.name = "beta";
        beta.radius = {1e-9, 3e-9};
        beta.number = {1e20, 3e20};
        beta.criticalRadius = 2e-9;
    }
};

std::string general(double value, int precision)
{
    std::ostringstream out;
    out.precision(precision);
    out << value;
    return out.str();
}

} // namespace

TEST(ThermoResults, HeaderAndRecordOfOneSoluteAndOnePhase)
{
    ScopedWorkDir dir;
    ThermoNode node;
    Output output;
    output.ThermoResults(3600, 0.5, 773, node.matrix, node.elements, node.precipitates, 4);

    const auto lines = readLines("resultsThermo_4.dat");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Elements: Cu Al");
    EXPECT_EQ(lines[1], "(volume=1m3)Precipitates: beta");
    EXPECT_EQ(lines[2], "t[s] dt[s] T[K] X_Cu X_Al rmean_beta[m] r*_beta[m] fv_beta N_beta Nclass_beta ");
    const Precipitate& beta = node.precipitates[0];
    EXPECT_EQ(lines[3], "3600 0.5 773 0.002 0.998 2.5e-09 2e-09 " + general(beta.VolumeFraction(), 15) +
                            " 4e+20 2 ");
}

TEST(ThermoResults, HeavyOutputsAddWeightPercentColumns)
{
    ScopedWorkDir dir;
    ThermoNode node;
    Output output;
    output.heavyOuputs = true;
    output.ThermoResults(0, 0, 773, node.matrix, node.elements, node.precipitates, 0);

    const auto lines = readLines("resultsThermo_0.dat");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "t[s] dt[s] T[K] X_Cu C_wtPer_Cu X_Al C_wtPer_Al rmean_beta[m] r*_beta[m] fv_beta "
                        "N_beta Nclass_beta ");
    const auto values = fields(lines[3]);
    ASSERT_EQ(values.size(), 12u);
    EXPECT_EQ(values[4], general(node.elements[0].SolidSolutionWtPercent(node.elements), 15));
    EXPECT_EQ(values[6], general(node.elements[1].SolidSolutionWtPercent(node.elements), 15));
}

TEST(ThermoResults, NodeWithoutPrecipitatesAndNodeVolume)
{
    ScopedWorkDir dir;
    ThermoNode node;
    node.precipitates.clear();
    Output output;
    output.ThermoResults(0, 0, 773, node.matrix, node.elements, node.precipitates, 0);
    auto lines = readLines("resultsThermo_0.dat");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "(volume=1m3)");
    EXPECT_EQ(lines[2], "t[s] dt[s] T[K] X_Cu X_Al ");
    EXPECT_EQ(lines[3], "0 0 773 0.002 0.998 ");

    // The volume keeps six significant digits whatever outputPrecision says.
    ThermoNode two;
    two.precipitates.resize(2);
    two.precipitates[1].name = "gamma";
    two.matrix.nodeFactor = 1.23456789e-9;
    output.outputPrecision = 3;
    output.ThermoResults(0, 0, 773, two.matrix, two.elements, two.precipitates, 0);
    lines = readLines("resultsThermo_0.dat");
    EXPECT_EQ(lines[1], "(volume=1.23457e-09m3)Precipitates: beta gamma");
}

TEST(ThermoResults, NumberFormattingFollowsOutputPrecision)
{
    ScopedWorkDir dir;
    ThermoNode node;
    node.precipitates.clear();
    Output output;
    output.outputPrecision = 4;
    output.ThermoResults(0.000123456, 0.0000123456, 3600, node.matrix, node.elements, node.precipitates, 0);
    EXPECT_EQ(readLines("resultsThermo_0.dat")[3], "0.0001235 1.235e-05 3600 0.002 0.998 ");

    // A huge precision writes every number exactly, without trailing zeros.
    output.outputPrecision = 2147483647;
    output.ThermoResults(0.1, 0, 773, node.matrix, node.elements, node.precipitates, 0);
    EXPECT_EQ(readLines("resultsThermo_0.dat")[3],
              "0.1000000000000000055511151231257827021181583404541015625 0 773 "
              "0.00200000000000000004163336342344337026588618755340576171875 "
              "0.9979999999999999982236431605997495353221893310546875 ");
}

TEST(ThermoResults, HeaderOnlyAtTheFirstRecordWhichTruncates)
{
    ScopedWorkDir dir;
    dir.write("resultsThermo_0.dat", "old content\n");
    ThermoNode node;
    Output output;
    output.ThermoResults(0, 0, 773, node.matrix, node.elements, node.precipitates, 0);
    output.firstThermo = false;
    // A phase whose classes are all empty shows mean radius 0 and N 0.
    node.precipitates[0].number = {0, 0};
    output.ThermoResults(1, 1, 773, node.matrix, node.elements, node.precipitates, 0);
    const auto lines = readLines("resultsThermo_0.dat");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Elements: Cu Al");
    EXPECT_EQ(lines[4], "1 1 773 0.002 0.998 0 2e-09 0 0 2 ");
}

TEST(ThermoResults, UnwritableFileWarnsAndTheRunGoesOn)
{
    ScopedWorkDir dir;
    std::filesystem::create_directory("resultsThermo_0.dat");
    ThermoNode node;
    Output output;
    output.ThermoResults(0, 0, 773, node.matrix, node.elements, node.precipitates, 0);
    const std::string warning = "WARNING: Unable to open file:resultsThermo_0.dat. Computation continues.";
    // One warning for the header, one for the record.
    EXPECT_EQ(readLines("log.log"), (std::vector<std::string>{warning, warning}));
}
