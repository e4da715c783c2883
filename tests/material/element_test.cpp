#include <gtest/gtest.h>

#include <vector>

#include "material/element.h"

namespace {

Element makeElement(const std::string& name, double wtPercent, double molarMass, double D0, double Q)
{
    Element element;
    element.name = name;
    element.wtPercent = wtPercent;
    element.molarMass = molarMass;
    element.D0 = D0;
    element.Q = Q;
    return element;
}

} // namespace

TEST(Element, NominalAndSolidSolutionFractions)
{
    // 1 wt% Cr (52) in Fe (55.85): x_Cr = (1/52) / (1/52 + 99/55.85).
    std::vector<Element> elements{makeElement("Cr", 1.0, 52.0, 0.0, 0.0), makeElement("Fe", 99.0, 55.85, 0.0, 0.0)};
    for (Element& element : elements) element.ComputeNominalFraction(elements);
    EXPECT_NEAR(elements[0].nominalFraction, 0.010732438483046208, 1e-15);
    EXPECT_NEAR(elements[1].nominalFraction, 0.9892675615169538, 1e-15);
    EXPECT_EQ(elements[0].ssFraction, 0.0); // the mass balance is the node's

    elements[0].ssFraction = 0.01;
    elements[1].ssFraction = 0.99;
    // 100 * 0.01 * 52 / (0.01 * 52 + 0.99 * 55.85)
    EXPECT_NEAR(elements[0].SolidSolutionWtPercent(elements), 0.9317076229809268, 1e-14);
}

TEST(Element, DiffusionCoefficientAndInflation)
{
    Element cr = makeElement("Cr", 1.0, 52.0, 1e-4, 2.5e5);
    EXPECT_NEAR(cr.DiffusionCoefficient(1000.0) / 8.727067950862174e-18, 1.0, 1e-12); // 1e-4 exp(-250000/8314)

    const Element noActivation = makeElement("X", 1.0, 52.0, 3e-6, 0.0);
    for (double T : {0.0, 300.0, 1500.0}) EXPECT_EQ(noActivation.DiffusionCoefficient(T), 3e-6);
    EXPECT_EQ(makeElement("Fe", 99.0, 55.85, 0.0, 0.0).DiffusionCoefficient(0.0), 0.0);

    cr.SetDiffusionInflation(10.0);
    cr.SetDiffusionInflation(3.0);
    EXPECT_DOUBLE_EQ(cr.D0, 3e-3);
    EXPECT_EQ(cr.diffusionInflation, 3.0);
}
