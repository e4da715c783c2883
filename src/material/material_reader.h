#pragma once

#include <string>
#include <vector>

#include "core/console.h"
#include "material/element.h"
#include "material/matrix.h"

// Reads the single `matrix` line with its checks; says "Matrix: OK".
Matrix readMatrix(const std::string& dataFile, const Console& console);

// Reads the `element` lines in file order with their checks, then appends the
// matrix as last element (its wt% and molar mass passed through six-digit
// text) and checks that all names are distinct.
std::vector<Element> readElements(const std::string& dataFile, const Matrix& matrix, const Console& console);
