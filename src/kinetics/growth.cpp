#include "kinetics/precipitate.h"

#include "core/log.h"

// Work in progress: bodies follow.
void Precipitate::Growth(const std::vector<Element>&, const Matrix&, double, double) { Log::fatalError("Growth: not built yet"); }
double Precipitate::CylinderFunctionAspectRatio(double) const { Log::fatalError("CylinderFunctionAspectRatio: not built yet"); }
double Precipitate::RodFunctionAspectRatio(double) const { Log::fatalError("RodFunctionAspectRatio: not built yet"); }
