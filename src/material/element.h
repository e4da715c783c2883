#pragma once

#include <string>
#include <vector>

class Matrix;
class Precipitate;

// A solute of the alloy, or the matrix itself as the last entry of a node's
// element list. Compositions are atomic fractions except `wtPercent`.
class Element {
public:
    std::string name;
    double wtPercent = 0.0;
    double nominalFraction = 0.0;
    double molarMass = 0.0;
    double D0 = 0.0;   // m^2/s, already multiplied by diffusionInflation
    double Q = 0.0;    // J/mol
    double ssFraction = 0.0;
    int index = 0;
    bool checkFraction = false;
    bool standardMassBalance = true;
    double diffusionInflation = 1.0;

    // D0 exp(-Q / (R T)), T in K.
    double DiffusionCoefficient(double T) const;

    // Sets nominalFraction from the weight percents of the whole list, then
    // (unless skipMassBalance) runs the mass balance variant of this element.
    void ComputeNominalFraction(const std::vector<Element>& elements, const Matrix& matrix,
                                const std::vector<Precipitate>& precipitates, bool skipMassBalance);

    // Weight percent of this element in the current solid solution.
    double SolidSolutionWtPercent(const std::vector<Element>& elements) const;

    // Sets diffusionInflation and multiplies D0 by the factor.
    void SetDiffusionInflation(double factor);

    // Solid-solution fraction from the nominal one and the precipitated volume.
    void MassBalance(const Matrix& matrix, const std::vector<Precipitate>& precipitates);
    // The same with the phases' volume fractions already computed (one per
    // precipitate, in list order), for a pass over every element of a node.
    void MassBalance(const Matrix& matrix, const std::vector<Precipitate>& precipitates,
                     const std::vector<double>& volumeFractions);
    void StandardMassBalance(const Matrix& matrix, const std::vector<Precipitate>& precipitates);
    void ImprovedMassBalance(const Matrix& matrix, const std::vector<Precipitate>& precipitates);
};
