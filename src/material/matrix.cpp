#include "material/matrix.h"

#include "core/log.h"

// Work in progress: bodies follow.
void Matrix::ReadMatrix(const KeywordLine&) { Log::fatalError("ReadMatrix: not built yet"); }
void Matrix::UpdateVatSS(const std::vector<Element>&, bool) { Log::fatalError("UpdateVatSS: not built yet"); }
