#include "node/ostrel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/constants.h"
#include "core/log.h"
#include "node/mass_balance.h"

namespace {

constexpr double solContentFirstStepTolerance = 1e-6;

// A time that lies within a few rounding units of a point it was meant to
// land on is that point.
double snappedOnto(double t, double point)
{
    return std::fabs(t - point) <= 4.0 * std::numeric_limits<double>::epsilon() * std::fabs(point) ? point : t;
}

} // namespace

void Ostrel::initializeNode()
{
    for (Element& element : elements) element.ComputeNominalFraction(elements);
    if (timeStepManagement == time_step_management::version3)
        matrix.UpdateVatSS(elements, true);
    else
        Console::sayAlways("If time step management is not 3 then VatSS=VatM");

    // The first mass balance: an unphysical starting distribution stops the run here.
    for (Element& element : elements) {
        element.checkFraction = true;
        element.ComputeNominalFraction(elements);
        MassBalance(element, matrix, precipitates);
        element.checkFraction = false;
    }

    initializeTime();

    if (timeStepManagement == time_step_management::version3)
        matrix.UpdateVatSS(elements, false);
    else
        Console::sayAlways("If time step management is not 3 then VatSS=VatM");
}

void Ostrel::initializeTime()
{
    switch (timeStepManagement) {
    case time_step_management::version1: {
        const double t0 = temperatureProfile.GetInitialTime();
        if (t0 == 0.0) Log::fatalError("Initial time must be non 0 for version 1 time step management");
        time = t0;
        criterion = criterion::rStar;
        timeStep = t0 / 10000.0;
        break;
    }
    case time_step_management::version3:
        time = temperatureProfile.GetInitialTime();
        timeStep = initialDT;
        break;
    default:
        Log::fatalError("Incorrect choice for time management");
    }

    // A first interval of exactly initialDT would end the first step on the
    // second point without it being recognised as reached.
    if (std::fabs(temperatureProfile.GetTime(1) - temperatureProfile.GetTime(0)) <= initialDT)
        Log::fatalError("First time must be greather than initialDt to have good management of time's boundary");

    profileIndex = 1;
    const double T0 = temperatureProfile.GetTemperature(temperatureProfile.GetInitialTime());

    criterionReference.clear();
    switch (criterion) {
    case criterion::rStar:
        for (Precipitate& precipitate : precipitates) {
            precipitate.ThermodynamicState(elements, T0);
            criterionReference.push_back(precipitate.criticalRadius);
        }
        break;
    case criterion::solContent:
        for (const Element& element : elements) criterionReference.push_back(element.ssFraction);
        break;
    default:
        Log::fatalError("Incorrect kind of criterion");
    }
}

void Ostrel::writeInitialResults()
{
    if (timeStepManagement != time_step_management::version1 && timeStepManagement != time_step_management::version3)
        return;
    const double t0 = temperatureProfile.GetInitialTime();
    const double T0 = temperatureProfile.GetTemperature(t0);
    saveResults(T0, 0.0, 0, true);
}

bool Ostrel::attemptStep(WorkingSet& work, unsigned int n, std::string& reason)
{
    work.matrix = matrix;
    work.elements = elements;
    work.precipitates = precipitates;
    work.temperature = temperatureProfile.GetTemperature(time);
    storeCriterionValues(work.elements, work.precipitates, work.temperature);
    return computeTimeStep(work.matrix, work.elements, work.precipitates, work.temperature, n, reason);
}

double Ostrel::commitStep(WorkingSet& work, unsigned int n, bool lastStepRejected)
{
    // The strength of the step's microstructure, before class management
    // and the commit, and under strong coupling the hardening over the step.
    mechanicalModel.mechanicalComputation(mechanicalCall::step, work.elements, work.precipitates, work.temperature,
                                          time, timeStep, loadIndex);
    const double before = time;
    const double proposed =
        acceptTimeStep(work.matrix, work.elements, work.precipitates, work.temperature, n, lastStepRejected);
    // An accepted step that leaves the clock where it was would repeat forever.
    if (time == before)
        Log::fatalError("Time step too small to advance the time of node " + std::to_string(nodeNumber));
    return proposed;
}

void Ostrel::adoptTimeStep(double step)
{
    if (step != timeStep) {
        profilePointReached = false;
        loadPointReached = false;
    }
    timeStep = step;
}

void Ostrel::rebalanceWorkingSet(WorkingSet& work)
{
    // The phases are those of the attempt's last mass balance, whose volume
    // fractions are still at hand: only nominal fractions have changed since.
    // An attempt that made no balance (mechanics only) has none to lend.
    if (volumeFractionWork.size() == work.precipitates.size()) {
        for (Element& element : work.elements)
            MassBalance(element, work.matrix, work.precipitates, volumeFractionWork);
    } else {
        balanceSolidSolution(work.matrix, work.elements, work.precipitates);
    }
    work.matrix.UpdateVatSS(work.elements, false);
}

void Ostrel::storeCriterionValues(std::vector<Element>& workElements,
                                  std::vector<Precipitate>& workPrecipitates, double T)
{
    switch (criterion) {
    case criterion::rStar:
        for (std::size_t k = 0; k < workPrecipitates.size(); ++k) {
            Precipitate& precipitate = workPrecipitates[k];
            precipitate.ThermodynamicState(workElements, T);
            criterionReference[k] = precipitate.criticalRadius;
        }
        break;
    case criterion::solContent:
        for (std::size_t i = 0; i < workElements.size(); ++i) criterionReference[i] = workElements[i].ssFraction;
        break;
    default:
        Log::fatalError("Incorrect kind of criterion in 'validTimeStep'");
    }
}

bool Ostrel::computeTimeStep(Matrix& workMatrix, std::vector<Element>& workElements,
                             std::vector<Precipitate>& workPrecipitates, double T, unsigned int n,
                             std::string& reason)
{
    if (onlyMechanic) return true;

    balanceSolidSolution(workMatrix, workElements, workPrecipitates);

    const NodeClock clock{time, timeStep, profileStart, timeStepManagement};
    for (Precipitate& precipitate : workPrecipitates) {
        if (precipitate.dormant) continue;
        precipitate.Nucleation(workElements, workMatrix, T, clock);
        precipitate.Growth(workElements, workMatrix, timeStep, T);
        precipitate.Dissolve();
    }

    balanceSolidSolution(workMatrix, workElements, workPrecipitates);
    if (!standardMassBalance) workMatrix.UpdateVatSS(workElements, false);

    return validTimeStep(workElements, workPrecipitates, T, n, reason);
}

// The mass balance of every element, with each phase's volume fraction
// computed once for the whole pass rather than once per element.
void Ostrel::balanceSolidSolution(const Matrix& workMatrix, std::vector<Element>& workElements,
                                  const std::vector<Precipitate>& workPrecipitates)
{
    volumeFractionWork.clear();
    for (const Precipitate& precipitate : workPrecipitates) volumeFractionWork.push_back(precipitate.VolumeFraction());
    for (Element& element : workElements) MassBalance(element, workMatrix, workPrecipitates, volumeFractionWork);
}

bool Ostrel::validTimeStep(std::vector<Element>& workElements, std::vector<Precipitate>& workPrecipitates,
                           double T, unsigned int n, std::string& reason)
{
    for (const Element& element : workElements) {
        const double x = element.ssFraction;
        if (x < 0.0 || x > 1.0) {
            console.say("Solid solution content out of [0;1] for element " + element.name);
            if (timeStep < smallestTimeStep)
                Log::fatalError("Smallest time step value reached with incorrect solid solution content values.");
            reason = "Element " + element.name + " has concentration <0 or >1";
            return false;
        }
        if (std::isnan(x)) {
            console.say("Solid solution content is not a number for element " + element.name);
            Log::logWarning("GetSolidSolContent is nan or inf in valid time step");
            if (timeStep < smallestTimeStep)
                Log::fatalError("Smallest time step value reached with nan or inf solid solution.");
            reason = "Element " + element.name + " is nan of inf";
            return false;
        }
    }

    if (timeStep < smallestTimeStep) {
        Log::logWarning("Time step < lowerLimite. Node : " + std::to_string(nodeNumber));
        if (criterion == criterion::rStar) {
            for (std::size_t k = 0; k < workPrecipitates.size(); ++k)
                criterionReference[k] = workPrecipitates[k].criticalRadius;
        } else {
            for (std::size_t i = 0; i < workElements.size(); ++i) criterionReference[i] = workElements[i].ssFraction;
        }
        return true;
    }

    const double M = maxCriterionIncrease;
    switch (criterion) {
    case criterion::rStar:
        for (std::size_t k = 0; k < workPrecipitates.size(); ++k) {
            Precipitate& precipitate = workPrecipitates[k];
            if (precipitate.classCount() == 0) continue;
            precipitate.ThermodynamicState(workElements, T);
            const double r = std::fabs((criterionReference[k] - precipitate.criticalRadius) / criterionReference[k]);
            if (r > M) {
                reason = "criterion for time step validation (rStar) is not fulfilled";
                return false;
            }
        }
        break;
    case criterion::solContent:
        for (std::size_t i = 0; i < workElements.size(); ++i) {
            const double x = workElements[i].ssFraction;
            const double ref = criterionReference[i];
            const double r = std::fabs((ref - x) / ref);
            if (n == 1) {
                if (r > M && std::fabs(ref - x) > solContentFirstStepTolerance) {
                    reason = "criterion for time step validation (solContent) is not fulfilled (first time step)";
                    return false;
                }
            } else if (r > M) {
                reason = "criterion for time step validation (solContent) is not fulfilled";
                return false;
            }
        }
        break;
    default:
        Log::fatalError("Incorrect kind of criterion in 'validTimeStep'");
    }
    return true;
}

double Ostrel::acceptTimeStep(Matrix& workMatrix, std::vector<Element>& workElements,
                              std::vector<Precipitate>& workPrecipitates, double T, unsigned int n,
                              bool lastStepRejected)
{
    for (Precipitate& precipitate : workPrecipitates) precipitate.ClassManagement();

    // Assignment reuses the node's storage: no allocation once warmed up.
    precipitates = workPrecipitates;
    elements = workElements;
    matrix = workMatrix;

    saveResults(T, timeStep, n, false);

    switch (timeStepManagement) {
    case time_step_management::version1:
        timeStep = std::min(timeStep * increaseDT, constants::largestTimeStep);
        time = time + timeStep;
        break;
    case time_step_management::version3: {
        time = time + timeStep;
        // A step shortened onto a profile or load point ends on it exactly,
        // even when t + (tp - t) rounds one unit away from tp.
        if (!lastStepRejected) {
            if (profilePointReached)
                time = snappedOnto(time, temperatureProfile.GetTime(profileIndex));
            else if (loadPointReached)
                time = snappedOnto(time, mechanicalModel.GetMechanicalTimeWithIndex(loadIndex));
        }
        timeStep = std::min(timeStep * increaseDT, constants::largestTimeStep);
        break;
    }
    default:
        break;
    }

    if (profilePointReached && !lastStepRejected) {
        if (profileIndex < temperatureProfile.GetPointCount() - 1) ++profileIndex;
    }
    if (loadPointReached && !lastStepRejected && hardeningCoupled()) reachLoadPoint();

    profilePointReached = false;
    loadPointReached = false;

    // Land exactly on the next profile point, or load point under a
    // coupling. A point at the very end of the proposed step counts as
    // reached too, so the index never stalls on it.
    const double tp = temperatureProfile.GetTime(profileIndex);
    const bool profileInside = time < tp && tp <= time + timeStep;
    bool loadInside = false;
    double tm = 0.0;
    if (hardeningCoupled()) {
        tm = mechanicalModel.GetMechanicalTimeWithIndex(loadIndex);
        loadInside = time < tm && tm <= time + timeStep;
    }
    // With both inside, the step ends on the nearer one, and only that one
    // (both when they are equally far) is taken as reached.
    const double toProfile = tp - time;
    const double toLoad = tm - time;
    profilePointReached = profileInside && !(loadInside && toLoad < toProfile);
    loadPointReached = loadInside && !(profileInside && toProfile < toLoad);
    if (profilePointReached) {
        if (tp != time + timeStep) timeStep = toProfile;
    } else if (loadPointReached) {
        if (tm != time + timeStep) timeStep = toLoad;
    }
    return timeStep;
}
