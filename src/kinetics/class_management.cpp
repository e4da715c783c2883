#include "kinetics/precipitate.h"

#include <cmath>
#include <string>

#include "core/log.h"
#include "kinetics/class_management_methods.h"

void Precipitate::ClassManagement()
{
    if (!classManagementDue) return;
    namespace method = class_management::method;
    switch (codeOfValue(class_management::methodWords, classManagementType)) {
    case method::no:
        break;
    case method::old:
        class_management::splitWideGaps(*this);
        break;
    case method::lin:
        class_management::regridLinear(*this);
        break;
    case method::distrib:
        class_management::regridByDistribution(*this);
        break;
    case method::quad:
        class_management::regridQuadratic(*this);
        break;
    case method::oldWithLess:
        class_management::splitWideThenMergeNarrowGaps(*this);
        break;
    default:
        Log::fatalError("Uncorrect choice of class management method.");
    }
    class_management::warnNegativeNumbers(*this);
}

void class_management::warnNegativeNumbers(const Precipitate& phase)
{
    for (double N : phase.number)
        if (N < 0.0) Log::logWarning("Class management leads to negative number of precipitate in a class :-(");
}

void class_management::warnSkipped(const Precipitate& phase, const char* reason)
{
    Log::logWarning("Class management skipped for precipitate " + phase.name + ": " + reason);
}

bool class_management::rescaleRadii(Precipitate& phase, double meanRadiusBefore)
{
    const double factor = meanRadiusBefore / phase.MeanRadius();
    if (!std::isfinite(factor)) return false;
    for (double& R : phase.radius) R = R * factor;
    return true;
}

bool class_management::rescaleNumbers(Precipitate& phase, double volumeFractionBefore)
{
    const double factor = volumeFractionBefore / phase.VolumeFraction();
    if (!std::isfinite(factor)) return false;
    for (double& N : phase.number) N = N * factor;
    return true;
}
