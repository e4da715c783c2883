#include "material/element.h"

#include "core/log.h"

// Work in progress: bodies follow.
void Element::MassBalance(const Matrix&, const std::vector<Precipitate>&) { Log::fatalError("MassBalance: not built yet"); }
void Element::StandardMassBalance(const Matrix&, const std::vector<Precipitate>&) { Log::fatalError("StandardMassBalance: not built yet"); }
void Element::ImprovedMassBalance(const Matrix&, const std::vector<Precipitate>&) { Log::fatalError("ImprovedMassBalance: not built yet"); }
