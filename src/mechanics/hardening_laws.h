#pragma once

#include <array>
#include <cstddef>

struct DormandPrinceSettings;

// Hardening laws of `hardeningModel`.
namespace hardeningLaw {
inline constexpr int linearIsotropic = 1;
inline constexpr int linearKinematic = 2;
inline constexpr int linearMixed = 3;
inline constexpr int saturatingIsotropic = 4;
inline constexpr int nonLinearKinematic = 5;
inline constexpr int nonLinearKinematicVariable = 6;
inline constexpr int saturatingMixed = 7;
inline constexpr int saturatingMixedVariable = 8;
inline constexpr int dislocations = 9;
inline constexpr int dislocationsCoupled = 10;
inline constexpr int grainLoops = 11;
inline constexpr int grainLoopsCoupled = 12;
inline constexpr int precipitateLoops = 13;
inline constexpr int precipitateLoopsCoupled = 14;
inline constexpr int allLoops = 15;
inline constexpr int reversible = 16;

inline constexpr int first = linearIsotropic;
inline constexpr int last = reversible;

// Laws 9-16 describe the dislocation population and need strength model 1.
constexpr bool isPhysical(int law) { return law >= dislocations && law <= reversible; }
constexpr bool exists(int law) { return law >= first && law <= last; }
} // namespace hardeningLaw

// The hardening state of a node; a law integrates some of these values and
// leaves the others at their start values.
namespace hardeningVariable {
enum : int {
    plasticStrain,        // epsilon_p
    cumulatedPlasticStrain, // p
    stress,               // sigma, Pa
    isotropic,            // R, Pa
    backStress,           // X, Pa
    burgersDensity,       // b * rho, m^-1
    grainLoops,           // n_G
    grainBackStress,      // X_G, Pa
    precipitateLoops,     // n_P
    precipitateBackStress, // X_P, Pa
    count
};
} // namespace hardeningVariable

using HardeningState = std::array<double, hardeningVariable::count>;

// Slots of `parametersForHardening`, named after their use in the laws.
namespace hardeningParameter {
enum : int {
    K1, K2, Q, B, C1, gamma1, gamma0, gammaInfinity, omega,
    k1, k2, kG, cG, k2a, k2b,
    count,
    // Arguments that set a switch instead of a value.
    switchA = count, // set by an argument that reads exactly 0
    switchB,
    F1, F2, F3, F4   // set by an argument that is not 0
};
} // namespace hardeningParameter

// What `parametersForHardening` holds for the chosen law.
struct HardeningParameters {
    std::array<double, hardeningParameter::count> value{};
    bool switchA = false;
    bool switchB = false;
    std::array<bool, 4> flag{}; // F1...F4 of law 16
};

// One law's argument slots of `parametersForHardening` (with the message
// for a wrong count) and the components of the state it integrates, in the
// order of its integrated vector.
struct HardeningLawLayout {
    std::size_t parameterCount;
    const char* countMessage;
    std::array<int, 9> slots;
    std::size_t stateSize;
    std::array<int, 9> state;
};

// The layout of a law 1...16 (fatal `message` for another number).
const HardeningLawLayout& hardeningLawLayout(int law, const char* message);

// Everything the right-hand side of a law reads besides the integrated state;
// fixed during one plastic increment. Stresses and moduli in Pa.
struct HardeningInputs {
    int law = 0;
    double young = 0.0;       // E
    double strainRate = 0.0;  // imposed total strain rate, s^-1
    HardeningParameters parameters;
    // Start values of the components the law does not integrate.
    HardeningState start{};

    // Matrix and crystal.
    double shearModulus = 0.0; // mu
    double taylorFactor = 0.0; // M
    double alpha = 0.0;
    double beta = 0.0;
    double burgers = 0.0;      // b, m
    double grainSize = 0.0;    // d, m
    double grainSizeRate = 0.0; // no input sets it
    double grainLoopSaturation = 0.0; // n_G*
    double superpositionExponent = 0.0; // c5 of law 16

    // Strength terms of the microstructure and their rates.
    double precipitateStress = 0.0;     // sigma_p
    double precipitateStressRate = 0.0;
    double solidSolutionStress = 0.0;   // sigma_ss
    double solidSolutionStressRate = 0.0;
    double grainBoundaryStress = 0.0;   // sigma_gb

    // First precipitate: its constants and its bypassed classes.
    double loopCoefficient = 0.0;       // q8
    double effectiveModulus = 0.0;      // mu*
    double precipitateLoopSaturation = 0.0; // n_P*
    double bypassedSpacing = 0.0;       // L_b (Lambda of law 16), m
    double bypassedLength = 0.0;        // l: mean R*A of the bypassed rods, m
    double bypassedLengthRate = 0.0;
    double bypassedFraction = 0.0;      // f
    double bypassedFractionRate = 0.0;
    double bypassedNumber = 0.0;        // n_b, m^-3
    double bypassedNumberRate = 0.0;
    double bypassedRadius = 0.0;        // mean radius of the bypassed classes, m
    double bypassedRadiusRate = 0.0;
};

// Stops the run when the law cannot be integrated with these inputs: no
// hardening computation, an unknown law, or a singular loop saturation or
// grain size.
void checkHardeningInputs(const HardeningInputs& inputs, bool hardeningComputation);

// Extra dislocation density of the loops around precipitates (laws 13-15),
// 2 pi q8 |n_P| n_b R_b, m^-2; 0 under switch B.
double precipitateLoopDensity(const HardeningInputs& inputs, double precipitateLoops);

// Step control and messages of the integration of a plastic increment.
const DormandPrinceSettings& hardeningIntegration();

// The right-hand side of the chosen law: dydt from the integrated state y
// laid out as the law's state (the other components at their start values).
class HardeningRhs {
public:
    explicit HardeningRhs(const HardeningInputs& inputs);
    void operator()(double t, const double* y, double* dydt) const;

private:
    const HardeningInputs& in;
    const HardeningLawLayout& layout;
};
