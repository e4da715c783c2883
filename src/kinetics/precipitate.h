#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/constants.h"
#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/variant_word.h"
#include "kinetics/class_management_methods.h"
#include "kinetics/solvers.h"

class Element;
class Matrix;

// Shape codes of a precipitate phase.
namespace shape {
inline constexpr int sphere = 1;
inline constexpr int rod = 2;
inline constexpr int cylinder = 3;
inline constexpr int cylinderFunction = 4;
inline constexpr int rodFunction = 6;
} // namespace shape

// Codes of the nucleation type of a phase, and the words that select them.
namespace nucleation_type {
inline constexpr int homogeneous = 1;
inline constexpr int heterogeneous = 2;
} // namespace nucleation_type

inline constexpr VariantWord nucleationTypeWords[] = {
    {"homogeneous", nucleation_type::homogeneous},
    {"heterogeneous", nucleation_type::heterogeneous},
};

// Codes of a node's timeStepManagement (the clock variants). Nucleation
// reads the variant too, so the codes live with the clock it is given.
namespace time_step_management {
inline constexpr int version1 = 1;
inline constexpr int version3 = 3;
} // namespace time_step_management

// The node clock that nucleation needs besides the phase itself.
struct NodeClock {
    double time = 0.0;          // s
    double timeStep = 0.0;      // s
    double profileStart = 0.0;  // s
    int timeStepManagement = time_step_management::version3;
};

// Reusable per-phase buffers of the growth step, so that growing a
// distribution allocates nothing once warmed up. Never part of the state.
struct GrowthWorkspace {
    std::vector<unsigned char> limiting;
    std::vector<unsigned char> fast;
};

// One precipitate phase of one node: chemistry, thermodynamics, shape,
// nucleation mode, numerical settings, and its size distribution held as two
// parallel vectors (radius in m, number density in m^-3).
class Precipitate {
public:
    Precipitate() = default;
    // A phase of a node whose element list (matrix last) has these names.
    explicit Precipitate(const std::vector<std::string>& nodeElementNames);

    SolverSettings solver;
    std::string name;
    double atomicVolume = 0.0;
    double surfaceEnergy = 0.0;
    double solubilityA = 0.0;
    double solubilityB = 0.0;
    double solubilityC = 0.0;
    std::string nucleationTypeName;
    int nucleationType = nucleation_type::homogeneous;
    double heterogeneousCoefficient = 1.0;
    double siteDensity = 0.0;
    std::string shapeName;
    int shape = shape::sphere;
    double aspectRatio = 0.0;
    double shapeParameters[7] = {0, 0, 0, 0, 0, 0, 0};
    std::vector<std::string> elementNames;
    std::vector<double> stoichiometry;
    std::vector<double> precipitateFraction;
    std::vector<double> radius;
    std::vector<double> number;
    double nucleationProgress = 0.0;
    double lnSupersaturation = 0.0;
    double drivingForce = 0.0;
    double criticalRadius = 0.0;
    double stoichiometrySum = 0.0;
    double totalNumber = 0.0;
    bool classManagementDue = false;
    double diffusionCoefficientRatio = 10000.0;
    int targetClassNumber = 500;
    double changeNumberInClass = 0.01;
    bool unstationnaryNucleation = false;
    double classManagementType = class_management::method::no;
    double minDissolutionLimit = 1e-10;
    double maxDissolutionLimit = 2e-10;
    double limitOfpreciInClassForDissolution = 0.0;
    double nonLinearAlgorithm = nonlinear_algorithm::newtonRaphson;
    double supersaturation = 0.0;
    double nodeFactor = 1.0;
    double boostPrecipitateDiffusion = 1.0;
    bool dormant = false;
    bool siteSaturation = false;
    std::string siteSaturationType;

    GrowthWorkspace growthWorkspace;

    // Reading of one `precipitate` line (keyword first), with its checks.
    void ReadPrecipitate(const KeywordLine& line);

    // Thermodynamic state.
    double SolubilityProduct(double T) const;
    void Supersaturation(const std::vector<Element>& elements, double T);
    void DrivingForce(double T);
    void Rstar();
    // Supersaturation, driving force and critical radius, in that order.
    void ThermodynamicState(const std::vector<Element>& elements, double T);
    double InterfaceSolubilityProduct(double T, double R) const;
    double Stoichiometry(const std::string& elementName) const;

    // Distribution summaries.
    double VolumeFraction() const;
    double MeanRadius() const;
    double TotalNumber() const;
    void SortClasses();
    // Number of entries of the node's element list the phase was made for.
    std::size_t elementCount() const { return elementNames.size(); }
    // Number of size classes: the length of both class vectors.
    std::size_t classCount() const { return radius.size(); }
    double Radius(unsigned int k) const;
    double Number(unsigned int k) const;
    // Replaces the distribution.
    void SetDistribution(const std::vector<double>& radii, const std::vector<double>& numbers);

    // Kinetics of one time step.
    void Nucleation(const std::vector<Element>& elements, const Matrix& matrix, double T,
                    const NodeClock& clock);
    void Growth(const std::vector<Element>& elements, const Matrix& matrix, double dt, double T);
    double CylinderFunctionAspectRatio(double R) const;
    double RodFunctionAspectRatio(double R) const;
    void Dissolve();
    void ClassManagement();
};

// The Gibbs-Thomson interface solubility product of a phase at one
// temperature, Ks exp(numerator / (radiusScale R kT)), the radius-free factors
// formed once so that growth evaluates it class by class without recomputing
// Ks. Fatal for a shape it does not know. Defined here, so that growth keeps
// the factors in registers over its loop on the classes.
class InterfaceSolubility {
public:
    InterfaceSolubility(const Precipitate& phase, double T);
    double at(double R) const { return solubilityProduct * std::exp(numerator / (radiusScale * R * kT)); }

private:
    double solubilityProduct = 0.0;
    double numerator = 0.0;
    double radiusScale = 1.0;
    double kT = 0.0;
};

inline InterfaceSolubility::InterfaceSolubility(const Precipitate& phase, double T)
    : solubilityProduct(phase.SolubilityProduct(T)), kT(constants::boltzmann * T)
{
    const double gamma = phase.surfaceEnergy;
    const double f = phase.aspectRatio;
    switch (phase.shape) {
    case shape::sphere:
        numerator = phase.stoichiometrySum * 2.0 * gamma * phase.atomicVolume;
        radiusScale = 1.0; // 1 * R is R exactly
        break;
    case shape::rod:
    case shape::rodFunction:
        numerator = 4.0 * f * gamma * phase.atomicVolume * phase.stoichiometrySum;
        radiusScale = 3.0 * f - 2.0;
        break;
    case shape::cylinder:
    case shape::cylinderFunction:
        numerator = 2.0 * gamma * phase.atomicVolume * phase.stoichiometrySum * (f + 2.0);
        radiusScale = 3.0;
        break;
    default:
        Log::fatalError("This shape is not implemented in nucleation");
    }
}

// Reads every `precipitate` line of the data file (mandatory) into phases of
// a node with the given element names; checks that names are unique.
std::vector<Precipitate> readPrecipitates(const std::string& dataFile,
                                          const std::vector<std::string>& elementNames,
                                          const Console& console);
