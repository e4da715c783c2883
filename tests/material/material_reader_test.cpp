#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/material_reader.h"
#include "support/fatal.h"
#include "support/temp_dir.h"

using testing_support::ScopedWorkDir;

namespace {

const std::string matrixLine = "matrix Fe 3.6e-10 1.2e-29 55.8450123\n";

Matrix readMatrixFrom(const ScopedWorkDir& dir, const std::string& data)
{
    dir.write("data", data);
    return readMatrix("data", Console(true));
}

std::vector<Element> readElementsFrom(const ScopedWorkDir& dir, const std::string& elementLines)
{
    dir.write("data", matrixLine + elementLines);
    return readElements("data", readMatrix("data", Console(true)), Console(true));
}

} // namespace

TEST(MaterialReaderDeathTest, MatrixChecksInOrder)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readMatrixFrom(dir, "element Cr 1 52 1e-4 2e5\n"), "keyword matrix not found in datafile.");
    EXPECT_FATAL(readMatrixFrom(dir, "matrix Fe 1\nmatrix Al 1\n"), "More than one matrix information given");
    EXPECT_FATAL(readMatrixFrom(dir, "matrix Fe 3.6e-10 1.2e-29\n"), "matrix command needs 4 arguments and 3 were given.");
    EXPECT_FATAL(readMatrixFrom(dir, "matrix Fe -1 -1 -1\n"), "Invalid lattice parameter for the matrix");
    EXPECT_FATAL(readMatrixFrom(dir, "matrix Fe 0 -1 -1\n"), "Invalid atomic volume for the matrix");
    EXPECT_FATAL(readMatrixFrom(dir, "matrix Fe 0 0 -1\n"), "Invalid molar mass for the matrix");
    // Numbers that are not finite would poison every fraction downstream.
    EXPECT_FATAL(readMatrixFrom(dir, "matrix Fe nan 1e-29 55\n"), "Invalid lattice parameter for the matrix");

    dir.write("data", "matrix Fe 0 0 0abc\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(readMatrix("data", Console(false)).name, "Fe");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Matrix: OK\n");
}

TEST(MaterialReaderDeathTest, ElementChecksInOrder)
{
    ScopedWorkDir dir;
    EXPECT_FATAL(readElementsFrom(dir, ""), "keyword element not found in datafile.");
    EXPECT_FATAL(readElementsFrom(dir, "element\n"), "element command needs 5 arguments and 0 were given for element ");
    // The count of a line is checked before its values.
    EXPECT_FATAL(readElementsFrom(dir, "element Cr -1 -52 -1e-4 2e5 -1\n"),
                 "element command needs 5 arguments and 6 were given for element Cr");
    EXPECT_FATAL(readElementsFrom(dir, "element Cr 100.001 -1 -1 -1\n"), "Invalid content in wt% for element: Cr");
    EXPECT_FATAL(readElementsFrom(dir, "element Cr nan 52 1e-4 2e5\n"), "Invalid content in wt% for element: Cr");
    EXPECT_FATAL(readElementsFrom(dir, "element Cr 1 -52 -1 -1\n"), "Invalid molar mass for element: Cr");
    EXPECT_FATAL(readElementsFrom(dir, "element Cr 1 52 -1e-4 -1\n"), "Invalid diffusion D0 for element: Cr");
    EXPECT_FATAL(readElementsFrom(dir, "element Cr 1 52 1e-4 -2e5\n"), "Invalid diffusion Q for element: Cr");
    EXPECT_FATAL(readElementsFrom(dir, "element Cr 60 52 1e-4 2e5\nelement Ni 40.5 58.7 1e-4 2e5\n"),
                 "Invalid content in wt% for element: Fe");
    EXPECT_FATAL(readElementsFrom(dir, "element Cr 1 52 1e-4 2e5\nelement Cr 2 52 1e-4 2e5\n"),
                 "element Cr defined twice.");
    EXPECT_FATAL(readElementsFrom(dir, "element Fe 1 52 1e-4 2e5\n"), "element Fe defined twice.");

    EXPECT_EQ(readElementsFrom(dir, "element Al 100 27 1e-4 2e5\n")[1].wtPercent, 0.0);
}

TEST(MaterialReader, ElementsAppendTheMatrixThroughSixDigitText)
{
    ScopedWorkDir dir;
    dir.write("data", matrixLine + "element C 0.1234567 12.011 2e-5 1.4e5\nelement Cr 0 52 1e-4 2.4e5\n");
    const Matrix matrix = readMatrix("data", Console(true));
    testing::internal::CaptureStdout();
    std::vector<Element> elements = readElements("data", matrix, Console(false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "2 elements defined in the data file.\nElement C: OK\nElement Cr: OK\nMatrix added to list of Elements\n");

    ASSERT_EQ(elements.size(), 3u);
    const Element& fe = elements[2];
    EXPECT_EQ(fe.name, "Fe");
    EXPECT_EQ(fe.index, 2);
    EXPECT_EQ(fe.wtPercent, 99.8765); // 100 - 0.1234567 kept to six digits
    EXPECT_EQ(fe.molarMass, 55.845);  // 55.8450123 likewise
    EXPECT_EQ(fe.D0, 0.0);

    // x_C = (0.1234567 / 12.011) / (0.1234567 / 12.011 + 99.8765 / 55.845)
    for (Element& element : elements) element.ComputeNominalFraction(elements);
    EXPECT_NEAR(elements[0].nominalFraction, 0.0057143606226072625, 1e-16);
    EXPECT_NEAR(elements[2].nominalFraction, 0.9942856393773927, 1e-15);
}
