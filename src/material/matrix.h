#pragma once

#include <string>
#include <vector>

#include "core/data_file_reader.h"

class Element;

// The matrix of a node: lattice parameter and atomic volumes in SI units.
class Matrix {
public:
    std::string name;
    double latticeParameter = 0.0; // m
    double atomicVolume = 0.0;     // m^3, pure matrix (VatM)
    double molarMass = 0.0;
    double VatSS = 0.0;            // m^3, solid solution
    bool computeVatSS = true;
    double nodeFactor = 1.0;       // node volume, m^3 (kept for output)

    // Fills the fields from the tokens of a `matrix` line (keyword first),
    // checking each number in order. The argument count is checked by the caller.
    void ReadMatrix(const KeywordLine& tokens);

    // VatSS = (1 - c) VatM with c the content of the interstitials C, N, H
    // (nominal or solid-solution fractions).
    void UpdateVatSS(const std::vector<Element>& elements, bool useNominal);
};
