#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/data_file_reader.h"
#include "material/element.h"
#include "material/matrix.h"

// Reads the single `matrix` line with its checks; says "Matrix: OK".
Matrix readMatrix(const std::string& dataFile, const Console& console);

// Reads the `element` lines in file order with their checks, then appends the
// matrix as last element (its wt% and molar mass passed through six-digit
// text) and checks that all names are distinct.
std::vector<Element> readElements(const std::string& dataFile, const Matrix& matrix, const Console& console);

// One `element` line (keyword first) as the entry at list position `index`,
// with the checks of the keyword in their order: argument count, then
// content, molar mass, D0 and Q.
Element readElement(const KeywordLine& line, int index);

// The matrix as the element after `solutes`: whatever they leave of the
// 100 wt%, with the matrix's molar mass, both passed through the default
// six-digit text and read back like data-file arguments; D0 and Q are 0.
Element matrixElement(std::span<const Element> solutes, const Matrix& matrix);
