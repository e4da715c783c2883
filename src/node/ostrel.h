#pragma once

#include <string>
#include <vector>

#include "core/console.h"
#include "core/variant_word.h"
#include "kinetics/precipitate.h"
#include "kinetics/precipitate_options.h"
#include "material/element.h"
#include "material/matrix.h"
#include "material/temperature_profile.h"
#include "mechanics/mechanical_model.h"
#include "node/working_set.h"
#include "output/output.h"

// Validation criterion of a time step, and the words that select it.
namespace criterion {
inline constexpr int rStar = 1;
inline constexpr int solContent = 2;
} // namespace criterion

inline constexpr VariantWord criterionWords[] = {
    {"Rstar", criterion::rStar},           {"rstar", criterion::rStar},
    {"rStar", criterion::rStar},           {"solContent", criterion::solContent},
    {"solcontent", criterion::solContent},
};

// The simulation of one material point (a node): its alloy, its precipitate
// phases with their size distributions, its temperature history, its results
// writer, its mechanical model, its clock and its time-step settings. Copies
// are deep: copying a node copies every distribution.
class Ostrel {
public:
    Output output;
    // The strength and hardening model; the node's mechanical flags
    // (mechanics on, hardening law, couplings) are its fields.
    MechanicalModel mechanicalModel;
    TemperatureProfile temperatureProfile;
    Matrix matrix;
    std::vector<Precipitate> precipitates;
    // The data file's per-precipitate options, applied to every phase.
    PrecipitateOptions precipitateOptions;
    std::vector<Element> elements;
    double time = 0.0;
    double timeStep = 0.0;
    std::vector<double> criterionReference;
    unsigned int profileIndex = 1;
    unsigned int loadIndex = 1;
    int nodeNumber = 0;
    double positionX = 0.0;
    double positionY = 0.0;
    double positionZ = 0.0;
    double nodeFactor = 1.0;
    double profileStart = 0.0;
    bool precipitationOn = true;
    // The node's console, silenced by notVerbose.
    Console console;
    double increaseDT = 1.1;
    double initialDT = 1e-6;
    double maxCriterionIncrease = 0.01;
    int timeStepManagement = time_step_management::version3;
    double smallestTimeStep = 1e-9;
    bool profilePointReached = false;
    bool loadPointReached = false;
    int criterion = criterion::rStar;
    bool onlyMechanic = false;
    bool standardMassBalance = true;

    // Reads the whole node description from the data file, in a fixed order,
    // and initialises the node.
    void readInput(const std::string& dataFile);

    // The node's volume, copied into the matrix and every precipitate.
    void setNodeFactor(double volume);

    // Clock and criterion references from the node's current description.
    void initializeNode();
    void initializeTime();
    void writeInitialResults();
    // The results due at this call (Output::SaveResults) at the node's time,
    // with the mechanical record beside every thermodynamic record.
    void saveResults(double T, double dt, unsigned int n, bool forced);
    // With a hardening coupling, the second point of the strain history must
    // lie beyond the node's first time step.
    void checkLoadPoints() const;

    // The step of the node as the global loop makes it: an attempt on the
    // working set (refilled from the node, temperature at the node's time,
    // criterion stored, step computed and validated), then, once every check
    // of the loop accepted it, the commit (the step's mechanics and
    // acceptTimeStep), which returns the proposed next time step.
    bool attemptStep(WorkingSet& work, unsigned int n, std::string& reason);
    double commitStep(WorkingSet& work, unsigned int n, bool lastStepRejected);
    // The step the loop hands the node for its next attempt. One other than
    // the node's own proposal (reduced after a rejection, or the smaller
    // step of another connected node) does not end on the point the node
    // shortened its step for, so that point is not taken as reached.
    void adoptTimeStep(double step);
    // The solid solution of a working set whose nominal fractions changed
    // after the node's attempt on it (by the exchange between nodes), its
    // phases unchanged: the mass balance of every element, then VatSS from
    // the solid-solution fractions. Valid between the attempt and the commit.
    void rebalanceWorkingSet(WorkingSet& work);

    // One trial step on working copies of the node's state.
    void storeCriterionValues(std::vector<Element>& workElements,
                              std::vector<Precipitate>& workPrecipitates, double T);
    bool computeTimeStep(Matrix& workMatrix, std::vector<Element>& workElements,
                         std::vector<Precipitate>& workPrecipitates, double T, unsigned int n,
                         std::string& reason);
    bool validTimeStep(std::vector<Element>& workElements, std::vector<Precipitate>& workPrecipitates,
                       double T, unsigned int n, std::string& reason);
    // Commits an accepted step and returns the proposed next time step.
    double acceptTimeStep(Matrix& workMatrix, std::vector<Element>& workElements,
                          std::vector<Precipitate>& workPrecipitates, double T, unsigned int n,
                          bool lastStepRejected);

    // A hardening coupling (strong or semi) makes the clock land on the
    // points of the strain history.
    bool hardeningCoupled() const
    {
        return mechanicalModel.mechanicalHardeningCoupling || mechanicalModel.mechanicalSemiHardeningCoupling;
    }

private:
    // Volume fraction of each working precipitate for one mass-balance pass;
    // reused from attempt to attempt, never part of the node's state.
    std::vector<double> volumeFractionWork;

    // The step just committed ended on the strain-history point loadIndex:
    // the mechanics of that point, its hardening record, the next point.
    void reachLoadPoint();
    void balanceSolidSolution(const Matrix& workMatrix, std::vector<Element>& workElements,
                              const std::vector<Precipitate>& workPrecipitates);
    void readGeneralOptions(const std::string& dataFile);
    void readElementOptions(const std::string& dataFile);
    void readTimeStepOptions(const std::string& dataFile);
};
