#pragma once

#include <cstddef>

class Precipitate;

// Number density per unit radius of class i of a phase (m^-4), as the
// distribution records and the plotted bars show it: the class's number
// density over its width, the width taken towards its next class in the
// list or towards its previous one. A class of zero width on that side
// (two classes of the same radius) takes its width towards its other
// neighbour; when that is zero too, or there is none, the density is 0
// rather than infinite.
double densityPerUnitRadius(const Precipitate& phase, std::size_t i, bool towardsNext);
