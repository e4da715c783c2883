#include "kinetics/precipitate.h"

#include "core/log.h"

// Work in progress: bodies follow.
void Precipitate::ReadPrecipitate(const KeywordLine&) { Log::fatalError("ReadPrecipitate: not built yet"); }
std::vector<Precipitate> readPrecipitates(const std::string&, const std::vector<std::string>&, bool) { Log::fatalError("readPrecipitates: not built yet"); }
