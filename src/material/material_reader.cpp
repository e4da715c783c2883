#include "material/material_reader.h"

#include "core/log.h"

// Work in progress: bodies follow.
Matrix readMatrix(const std::string&, bool) { Log::fatalError("readMatrix: not built yet"); }
std::vector<Element> readElements(const std::string&, const Matrix&, bool) { Log::fatalError("readElements: not built yet"); }
