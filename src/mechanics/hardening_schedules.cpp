#include "core/console.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "kinetics/precipitate.h"
#include "mechanics/mechanical_model.h"

void MechanicalModel::mechanicalComputation(int call, const std::vector<Element>& elements,
                                            const std::vector<Precipitate>& precipitates, double T, double time,
                                            double dt, unsigned int loadIndex)
{
    if (!mechanicsOn) return;
    if (mechanicalHardeningCoupling && mechanicalSemiHardeningCoupling)
        Log::fatalError("You cannot have 'mechanicalHardeningCoupling' & 'mechanicalSemiHardeningCoupling'");
    temperature = T;
    ComputeStrength(elements, precipitates, dt);

    switch (call) {
    case mechanicalCall::initialisation:
        // The coupled schedules start from the start values of the uncoupled one.
        if (hardeningComputation && (mechanicalHardeningCoupling || mechanicalSemiHardeningCoupling))
            PrepareHardeningStart(precipitates.size());
        break;
    case mechanicalCall::step:
        if (mechanicalHardeningCoupling) BehaviourCoupledIntegration(time, dt);
        break;
    case mechanicalCall::loadPoint:
        if (mechanicalSemiHardeningCoupling) BehaviourSemiCoupledIntegration(loadIndex);
        break;
    default:
        Log::fatalError("In 'mechanicalComputation' this kind of call is not defined");
    }
}

std::vector<HardeningRecord> MechanicalModel::BehaviourUncoupledIntegration(std::size_t precipitateCount)
{
    if (mechanicalHardeningCoupling || mechanicalSemiHardeningCoupling)
        Log::fatalError("You cannot go in 'BehaviourUncoupledIntegration' if you have an hardening coupling option");
    PrepareHardeningStart(precipitateCount);

    std::vector<HardeningRecord> records;
    const unsigned int points = GetLoadPointCount();
    records.reserve(points);
    for (unsigned int j = 1; j < points; ++j) {
        if (hardeningModelChosen > hardeningLaw::last) Log::fatalError("Error in hardening choice");
        const double tBefore = loadTimes[j - 1];
        const double tAfter = loadTimes[j];
        strainRate = (loadStrains[j] - loadStrains[j - 1]) / (tAfter - tBefore);
        modelImplementationAndComputation(tBefore, tAfter - tBefore, loadStrains[j]);
        if (!quiet) Console::sayAlways("Mechanical computation " + conversion::toDefaultText(tAfter));
        records.push_back(HardeningResultRecord(tAfter));
    }
    return records;
}

void MechanicalModel::BehaviourCoupledIntegration(double t, double dt)
{
    if (!mechanicalHardeningCoupling)
        Log::fatalError("You cannot go in the function 'BehaviourCoupledIntegration' if 'mechanicalHardeningCoupling' is not true");
    const double strain = GetStrain(t + dt);
    strainRate = (strain - lastStrain) / dt;
    modelImplementationAndComputation(t, dt, strain);
}

void MechanicalModel::BehaviourSemiCoupledIntegration(unsigned int j)
{
    if (!mechanicalSemiHardeningCoupling)
        Log::fatalError("You cannot go in the function 'BehaviourSemiCoupledIntegration' if 'mechanicalSemiHardeningCoupling' is not true");
    const double tAfter = GetMechanicalTimeWithIndex(j);
    const double tBefore = GetMechanicalTimeWithIndex(j - 1);
    const double strainAfter = GetStrainWithIndex(j);
    strainRate = (strainAfter - GetStrainWithIndex(j - 1)) / (tAfter - tBefore);
    modelImplementationAndComputation(tBefore, tAfter - tBefore, strainAfter);
}
