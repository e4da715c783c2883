#pragma once

#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"

// The trial state of one node for one attempt of a step: copies of its
// matrix, elements and precipitates, and the temperature of the attempt. An
// attempt changes only these; a commit hands them to the node. Refilled
// before every attempt by assignment, which reuses the storage of the
// previous one.
struct WorkingSet {
    Matrix matrix;
    std::vector<Element> elements;
    std::vector<Precipitate> precipitates;
    double temperature = 0.0; // K
};
