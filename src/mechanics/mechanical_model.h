#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "core/data_file_reader.h"
#include "core/variant_word.h"
#include "mechanics/hardening_laws.h"

class Element;
class Precipitate;
class TemperatureProfile;

// Strength models of `mechanicModel`.
namespace strengthModel {
inline constexpr int plates = 0;              // shearing and bypassing of plates
inline constexpr int rods = 1;                // shearing and bypassing of rods
inline constexpr int rodsMeanForce = 2;       // mean obstacle force, line-tension spacing
inline constexpr int rodsMeanForceSpacing = 3; // mean obstacle force, spacing from the volume fraction
inline constexpr int rodsMeanRadiusForce = 4; // force of the mean radius, spacing from the volume fraction
inline constexpr int volumeWeightedPlates = 5; // plates, sheared and bypassed parts weighted by volume
inline constexpr int spheres = 6;             // shearing and bypassing of spheres

inline constexpr int first = plates;
inline constexpr int last = spheres;
} // namespace strengthModel

// Arrangement of the obstacles in the glide plane.
namespace obstaclePath {
inline constexpr int regular = 1;
inline constexpr int triangular = 2;
} // namespace obstaclePath

inline constexpr VariantWord obstaclePathWords[] = {
    {"regularPath", obstaclePath::regular},
    {"regular", obstaclePath::regular},
    {"triangularPath", obstaclePath::triangular},
    {"triangular", obstaclePath::triangular},
};

// Units of a solid-solution constant: stress unit and composition measure.
namespace solidSolutionUnit {
inline constexpr int none = 0;
inline constexpr int megapascalWeightPercent = 1; // "MPa_Wpct"
inline constexpr int megapascalAtomicFraction = 2; // "MPa_Xat"
inline constexpr int pascalWeightPercent = 3;     // "Pa_Wpct"
inline constexpr int pascalAtomicFraction = 4;    // "Pa_Xat"
} // namespace solidSolutionUnit

inline constexpr VariantWord solidSolutionUnitWords[] = {
    {"MPa_Wpct", solidSolutionUnit::megapascalWeightPercent},
    {"MPa_Xat", solidSolutionUnit::megapascalAtomicFraction},
    {"Pa_Wpct", solidSolutionUnit::pascalWeightPercent},
    {"Pa_Xat", solidSolutionUnit::pascalAtomicFraction},
};

// Coupling of the hardening with the precipitation (`couplingHardening`).
namespace hardeningCoupling {
inline constexpr int strong = 1; // at every time step
inline constexpr int semi = 2;   // at the points of the strain history
} // namespace hardeningCoupling

inline constexpr VariantWord hardeningCouplingWords[] = {
    {"strong", hardeningCoupling::strong},
    {"Strong", hardeningCoupling::strong},
    {"semi", hardeningCoupling::semi},
    {"Semi", hardeningCoupling::semi},
};

// What a call of `mechanicalComputation` belongs to.
namespace mechanicalCall {
inline constexpr int initialisation = 0;
inline constexpr int step = 1;      // after an accepted time step
inline constexpr int loadPoint = 2; // the node reached a point of the strain history
} // namespace mechanicalCall

// Solid-solution hardening constant of one element of the node.
struct SolidSolutionConstant {
    double k = 0.0;
    std::string unitName;
    int unit = solidSolutionUnit::none;

    // A constant within double precision of zero adds no term (nor column).
    bool contributes() const { return std::fabs(k) > 2.220446049250313e-16; }
};

// A temperature table (T_i, value_i) with strictly increasing temperatures.
struct TemperatureTable {
    std::vector<double> temperatures;
    std::vector<double> values;
};

// The table's value at T: constant with one pair and outside the table,
// linear between two temperatures. A T that is not a number is fatal with
// `message`.
double interpolateTable(const TemperatureTable& table, double T, const char* message);

// Constants of one precipitate phase of `precipitateConstants`.
struct PrecipitateConstants {
    double transitionRadius = 0.0;   // r_c, m: larger classes are bypassed
    int path = obstaclePath::triangular;
    double youngModulus = 0.0;       // E_p, Pa
    double poissonRatio = 0.0;       // nu_p
    double shearModulus = 0.0;       // mu_p, Pa
    double initialLoops = 0.0;       // n_P0 (q6)
    double loopSaturation = 0.0;     // n_P* (q7)
    double loopCoefficient = 0.0;    // q8
    double obstacleStrength = 0.0;   // k_obs; 0: computed by the strength model
    double eshelbyFactor = 0.0;      // omega
    double effectiveModulus = 0.0;   // mu*
};

// Strength of one precipitate phase, with what the hardening laws and the
// results read of its bypassed classes. Stresses in Pa.
struct PrecipitateStrength {
    double total = 0.0;              // sigma_k
    double sheared = 0.0;            // sigma_sh,k
    double bypassed = 0.0;           // sigma_bp,k
    double bypassedFraction = 0.0;   // volume fraction of the bypassed classes
    double bypassedRadius = 0.0;     // mean radius of the bypassed classes, m
    double bypassedLength = 0.0;     // mean length R*A of the bypassed rods, m
    double bypassedThickness = 0.0;  // mean thickness of the bypassed plates, m
    double bypassedNumber = 0.0;     // number density of the bypassed classes, m^-3
    double bypassedSpacing = 0.0;    // m
    double shearedSpacing = 0.0;     // m
    double meanSpacing = 0.0;        // m
};

// Strength terms of the whole microstructure, Pa.
struct StrengthTerms {
    double dislocations = 0.0;   // SigmaDislo
    double solidSolution = 0.0;  // SigmaSS
    double grainBoundary = 0.0;  // SigmaGrain
    double precipitates = 0.0;   // SigmaPreciTOT
    double flowStress = 0.0;     // sigmaFlowMicro
};

// One line of the stress response along the strain history, in the units it
// is written with (stresses in MPa).
using HardeningRecord = std::vector<double>;

// The strength and hardening model of one node: its constants, read once
// from the data file (and node properties), the strength of the current
// microstructure, and the state of the hardening law along the strain
// history. Internally every stress and modulus is in Pa.
class MechanicalModel {
public:
    // Choices.
    int mechanicModel = 0;
    int hardeningModelChosen = 0;
    bool mechanicsOn = false;            // a `mechanicModel` value was given
    bool hardeningLinePresent = false;   // a `hardeningModel` line exists
    bool hardeningComputation = false;
    bool mechanicalHardeningCoupling = false;
    bool mechanicalSemiHardeningCoupling = false;
    bool quiet = false;

    // Constants.
    double temperature = 0.0;            // K, of the last strength evaluation
    HardeningParameters hardeningParameters;
    std::vector<SolidSolutionConstant> solidSolution; // one per element of the node
    double grainSize = 0.0;              // d, m
    double initialGrainLoops = 0.0;      // n_G0
    double grainLoopSaturation = 0.0;    // n_G*
    double hallPetch = 0.0;              // k_HP, Pa m^0.5
    TemperatureTable youngTable;
    TemperatureTable poissonTable;
    double initialDislocationDensity = 0.0; // rho0, m^-2
    double dislocationDensity = 0.0;     // rho, m^-2
    double alpha = 0.0;
    double beta = 0.0;
    double frictionStress = 0.0;         // sigma0, Pa
    double taylorFactor = 0.0;           // M
    double burgers = 0.0;                // b, m
    std::string structure;
    double superpositionExponent = 0.0;  // c5 of law 16
    std::vector<PrecipitateConstants> precipitateConstants; // like the node's precipitate list
    double initialPrecipitateLoops = 0.0; // n_P0 of the first precipitate

    // Strain history.
    std::vector<double> loadTimes;       // s
    std::vector<double> loadStrains;
    std::string strainFileStem;          // first `strainLoad` argument
    std::string strainFileName;          // both arguments joined
    double initialStrain = 0.0;

    // Loaded flags, for the model check.
    bool solidSolutionLoaded = false;
    bool transitionRadiusLoaded = false;
    bool dislocationsLoaded = false;
    bool crystalLoaded = false;
    bool youngLoaded = false;
    bool poissonLoaded = false;
    bool grainSizeLoaded = false;

    // Strength of the current microstructure, with the rates of its last change.
    double young = 0.0;                  // E at `temperature`
    double poisson = 0.0;
    double shearModulus = 0.0;           // mu
    StrengthTerms strength;
    StrengthTerms strengthRate;
    std::vector<PrecipitateStrength> precipitateStrength; // like the node's precipitate list
    std::vector<PrecipitateStrength> precipitateStrengthRate;

    // Hardening state.
    HardeningState hardening{};
    double strainRate = 0.0;             // imposed total strain rate, s^-1
    double lastStrain = 0.0;             // total strain reached by the last increment

    // Reading (data file and node properties).

    // Reads the twelve mechanical keywords in order, with their checks, then
    // checks the model and prints "Load mechanical data: OK". The node gives
    // its element and precipitate lists, its temperature profile and number
    // (for the coupling time check) and whether it is silent.
    void ReadMechanicalInput(const std::string& dataFile, const std::vector<Element>& elements,
                             const std::vector<Precipitate>& precipitates, const TemperatureProfile& profile,
                             int nodeNumber, bool silent);
    // One `parametersForHardening` line (keyword first) into the slots of the chosen law.
    void DefineCoefficientsForHardeningModel(const KeywordLine& line);
    void SScontribution(const std::vector<KeywordLine>& lines, const std::vector<Element>& elements,
                        bool silent);
    void DefineCristalloConstant(const KeywordLine& line);
    // One `young` / `poisson` line (keyword first): the temperature table.
    void ReadYoung(const KeywordLine& line);
    void ReadPoisson(const KeywordLine& line);
    // Every `precipitateConstants` line; E and nu of the effective modulus are
    // taken at `firstTemperature`, the first temperature of the profile.
    void DefinePrecipitateConstants(const std::vector<KeywordLine>& lines,
                                    const std::vector<Precipitate>& precipitates, double firstTemperature,
                                    bool silent);
    // One `strainLoad` line (keyword first): reads the strain history file,
    // then SetInitialHardeningValues.
    void ReadStrainLoad(const KeywordLine& line);
    void SetInitialHardeningValues();
    // With a coupling, the strain history must start and end with the profile.
    void CheckCouplingTimes(const TemperatureProfile& profile, int nodeNumber) const;

    // Tables at the model's temperature.
    double GetYoung() const;
    double GetPoisson() const;

    // Strain history.
    unsigned int GetLoadPointCount() const { return static_cast<unsigned int>(loadTimes.size()); }
    double GetMechanicalTimeWithIndex(unsigned int j) const;
    double GetStrainWithIndex(unsigned int j) const;
    double GetStrain(double t) const;

    // Strength and hardening of one node, called by the node with its state.

    // The node's entry: strength of the current microstructure at T, then the
    // hardening that belongs to the call (mechanicalCall codes). dt is the
    // time step the rates refer to; loadIndex the strain-history point reached.
    void mechanicalComputation(int call, const std::vector<Element>& elements,
                               const std::vector<Precipitate>& precipitates, double T, double time, double dt,
                               unsigned int loadIndex);
    // Strength terms of the chosen model at the stored temperature; rates
    // over dt (0 when dt is 0).
    void ComputeStrength(const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates,
                         double dt);

    // Start values of the hardening state for the schedules: checks of the
    // physical laws and their start values from the current strength.
    void PrepareHardeningStart(std::size_t precipitateCount);
    // One increment of total strain to `strain` over [t, t + dt].
    void elastoPlasticSolving(double t, double dt, double strain);
    void modelImplementationAndComputation(double t, double dt, double strain);
    // The whole strain history on the current microstructure; one record per point.
    std::vector<HardeningRecord> BehaviourUncoupledIntegration(std::size_t precipitateCount);
    // Strong coupling: the increment of one time step [t, t + dt].
    void BehaviourCoupledIntegration(double t, double dt);
    // Semi coupling: the interval of the strain history that ends at point j.
    void BehaviourSemiCoupledIntegration(unsigned int j);

    // The stress response now, as written in the hardening results.
    HardeningRecord HardeningResultRecord(double time) const;
    // Extra dislocation density of the loops around precipitates, m^-2.
    double PrecipitateLoopDensity() const;

private:
    HardeningInputs hardeningInputs() const;
    void readSingleLineKeywords(const std::string& dataFile);
    void checkModel() const;
};
