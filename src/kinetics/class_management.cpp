#include "kinetics/precipitate.h"

#include "core/log.h"

// Work in progress: bodies follow.
void Precipitate::Dissolve() { Log::fatalError("Dissolve: not built yet"); }
void Precipitate::ClassManagement() { Log::fatalError("ClassManagement: not built yet"); }
