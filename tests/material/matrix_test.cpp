#include <gtest/gtest.h>

#include <vector>

#include "material/element.h"
#include "material/matrix.h"

namespace {

Element solute(const std::string& name, double nominalFraction, double ssFraction)
{
    Element element;
    element.name = name;
    element.nominalFraction = nominalFraction;
    element.ssFraction = ssFraction;
    return element;
}

} // namespace

TEST(Matrix, VatSSCountsOnlyOneLetterInterstitialSolutes)
{
    Matrix matrix;
    matrix.ReadMatrix({"matrix", "H", "3.6e-10", "1.2e-29", "55.85"});
    EXPECT_EQ(matrix.VatSS, 1.2e-29);

    // "Cr", "Nb", "c" and the matrix entry (last, here named "H") are no interstitials.
    const std::vector<Element> elements{solute("C", 0.01, 0.004), solute("Cr", 0.1, 0.1), solute("N", 0.002, 0.001),
                                        solute("Nb", 0.05, 0.05), solute("c", 0.3, 0.3), solute("H", 0.5, 0.5)};
    matrix.UpdateVatSS(elements, true);
    EXPECT_DOUBLE_EQ(matrix.VatSS, (1.0 - 0.012) * 1.2e-29);
    matrix.UpdateVatSS(elements, false);
    EXPECT_DOUBLE_EQ(matrix.VatSS, (1.0 - 0.005) * 1.2e-29);
    matrix.UpdateVatSS({solute("Cr", 0.1, 0.1), solute("Nb", 0.05, 0.05), solute("H", 0.85, 0.85)}, true);
    EXPECT_EQ(matrix.VatSS, 1.2e-29);

    Matrix fixed = matrix;
    fixed.computeVatSS = false;
    fixed.UpdateVatSS(elements, true);
    EXPECT_EQ(fixed.VatSS, 1.2e-29);
}
