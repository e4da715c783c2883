// Where the node's clock and results meet its mechanical model: the
// mechanical record beside every thermodynamic record, the points of the
// strain history under a hardening coupling.
#include "core/log.h"
#include "mechanics/mechanical_results.h"
#include "node/ostrel.h"

void Ostrel::saveResults(double T, double dt, unsigned int n, bool forced)
{
    // The mechanical file takes its header with the first thermodynamic record.
    const bool firstRecord = output.firstThermo;
    const bool thermoWritten = output.SaveResults(matrix, elements, precipitates, temperatureProfile, profileIndex,
                                                  time, T, dt, n, nodeNumber, forced);
    if (thermoWritten && output.mechanicalOutput)
        TimeStepMechanicalResults(output.thermoFileStem, nodeNumber, firstRecord, output.outputPrecision, time, dt, T,
                                  mechanicalModel, elements, precipitates);
}

void Ostrel::reachLoadPoint()
{
    // The point's strength at the temperature of the new time, with the rates
    // over the step as it now stands, then under semi coupling the hardening
    // over the strain interval that ends here.
    const double T1 = temperatureProfile.GetTemperature(time);
    mechanicalModel.mechanicalComputation(mechanicalCall::loadPoint, elements, precipitates, T1, time, timeStep,
                                          loadIndex);
    if (mechanicalModel.mechanicsOn && mechanicalModel.hardeningComputation)
        HardeningResults(false, false, time, mechanicalModel, nodeNumber, {});
    if (loadIndex < mechanicalModel.GetLoadPointCount() - 1) ++loadIndex;
}

void Ostrel::checkLoadPoints() const
{
    if (!hardeningCoupled()) return;
    // The first step is never shortened: a first strain point it reaches
    // would never be taken as reached, nor any point after it.
    if (mechanicalModel.GetLoadPointCount() > 1
        && !(mechanicalModel.GetMechanicalTimeWithIndex(1) - time > timeStep))
        Log::fatalError("Node:" + std::to_string(nodeNumber) + ", File '" + mechanicalModel.strainFileName
                        + "': with a hardening coupling the second strain time must lie beyond the first time step");
}
