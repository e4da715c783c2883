#pragma once

#include <vector>

class Element;
class Matrix;
class Precipitate;

// The solid-solution mass balance of one element of a node: its ssFraction
// from its nominal fraction and the volume its node's precipitates hold, by
// the variant its standardMassBalance flag selects. With checkFraction set
// (the node's first balance) an unphysical result is fatal. It lives with the
// node, which owns both the elements and the precipitates; the material
// layer knows nothing of precipitates.
void MassBalance(Element& element, const Matrix& matrix, const std::vector<Precipitate>& precipitates);

// The same with the phases' volume fractions already computed (one per
// precipitate, in list order), for a pass over every element of a node.
void MassBalance(Element& element, const Matrix& matrix, const std::vector<Precipitate>& precipitates,
                 const std::vector<double>& volumeFractions);
