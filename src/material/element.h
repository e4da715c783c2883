#pragma once

#include <string>
#include <vector>


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

    // Sets nominalFraction from the weight percents of the whole list. The
    // solid-solution fraction (ssFraction) needs the node's precipitates: the
    // node's mass balance sets it (node/mass_balance.h).
    void ComputeNominalFraction(const std::vector<Element>& elements);

    // Weight percent of this element in the current solid solution.
    double SolidSolutionWtPercent(const std::vector<Element>& elements) const;

    // Sets diffusionInflation and multiplies D0 by the factor.
    void SetDiffusionInflation(double factor);
};

// Interstitial solutes shrink the solid-solution atomic volume and add atoms
// to a node instead of taking lattice sites; only the one-letter symbols C, N
// and H count (Cr or Nb are substitutional).
bool isInterstitial(const std::string& name);
