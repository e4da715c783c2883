#include "output/output.h"

#include <cmath>

#include "core/constants.h"
#include "core/log.h"
#include "material/temperature_profile.h"

namespace {

// n mod period = 0, computed without unsigned wrap-around so that negative
// periods follow the remainder rule; a period of 0 is never due.
bool periodDue(unsigned int stepCounter, int period)
{
    if (period == 0) return false;
    return static_cast<long long>(stepCounter) % static_cast<long long>(period) == 0;
}

bool sameTime(double a, double b)
{
    return std::fabs(a - b) <= constants::timeTolerance;
}

} // namespace

bool Output::LiveDistribPlotDue(int nodeNumber, unsigned int stepCounter) const
{
    return nodeNumber == plotDistribNode && periodDue(stepCounter, plotDistribPeriod);
}

bool Output::LiveThermoPlotDue(int nodeNumber, unsigned int stepCounter) const
{
    return nodeNumber == plotThermoNode && periodDue(stepCounter, plotThermoPeriod);
}

bool Output::FinalPlotDue(int nodeNumber, double t, double endTime) const
{
    return nodeNumber == plotFinalNode && sameTime(t, endTime);
}

bool Output::SaveResults(const Matrix& matrix, const std::vector<Element>& elements,
                         const std::vector<Precipitate>& precipitates, const TemperatureProfile& profile,
                         unsigned int profileIndex, double t, double T, double dt, unsigned int stepCounter,
                         int nodeNumber, bool forced)
{
    // The current point is read first: an index past the profile (or an
    // empty profile) stops the run before the last point is looked up.
    const double currentPointTime = profile.GetTime(profileIndex);
    const double endTime = profile.GetLastTime();
    const bool atEnd = sameTime(t, endTime);
    // The node's time stepping lands exactly on every profile point, but the
    // record of a point is written by the step that starts there, when the
    // profile index already names the next point. Coupled records therefore
    // look at every point after the first.
    const bool atProfilePoint = sameTime(t, currentPointTime) || atEnd
                                || ((thermoCoupling || distribCoupling) && profile.hasPointAt(t, 1));

    const bool thermoDue = thermoCoupling ? (atProfilePoint || forced)
                                          : (periodDue(stepCounter, thermoPeriod) || atEnd || forced);
    if (thermoDue) {
        ThermoResults(t, dt, T, matrix, elements, precipitates, nodeNumber);
        if (thermoCoupling) ++nbOfThermoResults;
        firstThermo = false;
    }

    const bool distribDue = distribCoupling ? (atProfilePoint || forced)
                                            : (periodDue(stepCounter, distribPeriod) || forced);
    if (distribDue) {
        DistribResults(t, precipitates, nodeNumber);
        if (distribCoupling) ++nbOfDistribResults;
        firstDistrib = false;
    }

    if (LiveDistribPlotDue(nodeNumber, stepCounter)) {
        PlotDistribution(t, precipitates);
        firstPlotDistrib = false;
    }
    if (LiveThermoPlotDue(nodeNumber, stepCounter)) {
        PlotThermo(elements, precipitates);
        firstPlotThermo = false;
    }
    if (FinalPlotDue(nodeNumber, t, endTime)) PlotFinal(elements, precipitates);
    return thermoDue;
}

void Output::CheckCoupledRecords(const TemperatureProfile& profile) const
{
    const long long points = profile.GetPointCount();
    if (thermoCoupling && nbOfThermoResults != points)
        Log::fatalError("Nb of coupling ThermoResults must have same size as time vector");
    if (distribCoupling && nbOfDistribResults != points)
        Log::fatalError("Nb of coupling nbOfDistribResults must have same size as time vector");
}
