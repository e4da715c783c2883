#pragma once

#include <string>
#include <vector>

#include "material/element.h"
#include "material/matrix.h"

// Reads the single `matrix` line with its checks; prints "Matrix: OK" unless notVerbose.
Matrix readMatrix(const std::string& dataFile, bool notVerbose);

// Reads the `element` lines in file order with their checks, then appends the
// matrix as last element (its wt% and molar mass passed through six-digit
// text) and checks that all names are distinct.
std::vector<Element> readElements(const std::string& dataFile, const Matrix& matrix, bool notVerbose);
