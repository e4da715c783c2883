#include "material/element.h"

#include "core/log.h"

// Work in progress: bodies follow.
double Element::DiffusionCoefficient(double) const { Log::fatalError("DiffusionCoefficient: not built yet"); }
void Element::ComputeNominalFraction(const std::vector<Element>&, const Matrix&, const std::vector<Precipitate>&, bool) { Log::fatalError("ComputeNominalFraction: not built yet"); }
double Element::SolidSolutionWtPercent(const std::vector<Element>&) const { Log::fatalError("SolidSolutionWtPercent: not built yet"); }
void Element::SetDiffusionInflation(double) { Log::fatalError("SetDiffusionInflation: not built yet"); }
