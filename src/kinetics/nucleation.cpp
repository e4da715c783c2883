#include "kinetics/precipitate.h"

#include "core/log.h"

// Work in progress: bodies follow.
void Precipitate::Nucleation(const std::vector<Element>&, const Matrix&, double, const NodeClock&) { Log::fatalError("Nucleation: not built yet"); }
