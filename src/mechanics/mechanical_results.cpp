#include "mechanics/mechanical_results.h"

#include <cmath>

#include "core/log.h"
#include "kinetics/precipitate.h"
#include "material/element.h"
#include "output/result_file.h"

namespace {

namespace hv = hardeningVariable;

constexpr double megapascal = 1e-6; // MPa per Pa
constexpr int fixedDigits = 6;      // headers and hardening values

// The hardening columns differ by family of laws.
enum class Columns { phenomenological, precipitateLoops, reversible };

Columns columnsOf(int law, const char* message)
{
    if (law >= hardeningLaw::first && law < hardeningLaw::dislocations) return Columns::phenomenological;
    if (law >= hardeningLaw::dislocations && law < hardeningLaw::reversible) return Columns::precipitateLoops;
    if (law == hardeningLaw::reversible) return Columns::reversible;
    Log::fatalError(message);
}

const char* stepHardeningTitles(Columns columns)
{
    switch (columns) {
    case Columns::phenomenological: return "strain[] flowStress[MPa] isotropHard[MPa] kinematicHard[MPa]";
    case Columns::precipitateLoops:
        return "epsP[] epsPcum[] dislo[m^-2] disloPPT[m^-2] nG[] X_G[MPa] nPPT[] Xppt[MPa] R[MPa]";
    case Columns::reversible: return "epsP[] epsPcum[] dislo[m^-2] nG[] X_G[MPa] R[MPa]";
    }
    return "";
}

const char* responseTitles(Columns columns)
{
    switch (columns) {
    case Columns::phenomenological: return "yield[MPa] R[MPa] X[MPa] ";
    case Columns::precipitateLoops:
        return "epsP[] epsPcum[] dislo[m^-2] disloPPT[m^-2] nG[] X_G[MPa] nPPT[] Xppt[MPa] R[MPa] 'fv_bp[0]' "
               "'meanL_bp[0]' 'distanceBetweenPPT[0]'";
    case Columns::reversible: return "epsP[] epsPcum[] dislo[m^-2] nG[] X_G[MPa] R[MPa] 'fv_bp[0]'";
    }
    return "";
}

// Hardening state as written per time step under strong coupling.
void writeStepHardening(ResultFile& file, const MechanicalModel& model, Columns columns)
{
    const HardeningState& h = model.hardening;
    file.setPrecision(fixedDigits);
    switch (columns) {
    case Columns::phenomenological:
        file << model.lastStrain << ' ' << h[hv::stress] * megapascal << ' ' << h[hv::isotropic] * megapascal << ' '
             << h[hv::backStress] * megapascal << ' ';
        break;
    case Columns::precipitateLoops:
        file << h[hv::plasticStrain] << ' ' << h[hv::cumulatedPlasticStrain] << ' ' << model.dislocationDensity << ' '
             << model.PrecipitateLoopDensity() << ' ' << h[hv::grainLoops] << ' ' << h[hv::grainBackStress] * megapascal
             << ' ' << h[hv::precipitateLoops] << ' ' << h[hv::precipitateBackStress] * megapascal << ' '
             << h[hv::isotropic] * megapascal << ' ';
        break;
    case Columns::reversible:
        file << h[hv::plasticStrain] << ' ' << h[hv::cumulatedPlasticStrain] << ' ' << model.dislocationDensity << ' '
             << h[hv::grainLoops] << ' ' << h[hv::grainBackStress] * megapascal << ' ' << h[hv::isotropic] * megapascal
             << ' ';
        break;
    }
}

void writeStrengthHeader(ResultFile& file, const MechanicalModel& model, const std::vector<Element>& elements,
                         const std::vector<Precipitate>& precipitates)
{
    file << "Initial yield='" << model.frictionStress << "'\n";

    file << "Elements SS contribution: ";
    bool anyContribution = false;
    const std::size_t constants = std::min(elements.size(), model.solidSolution.size());
    for (std::size_t i = 0; i < constants; ++i) {
        const SolidSolutionConstant& constant = model.solidSolution[i];
        if (!constant.contributes()) continue;
        file << elements[i].name << " [" << constant.unitName << "] ";
        anyContribution = true;
    }
    file << (anyContribution ? " " : "no SS contribution") << '\n';

    if (!precipitates.empty()) {
        file << "Precipitates: ";
        for (std::size_t k = 0; k < precipitates.size(); ++k) {
            const double transitionRadius =
                k < model.precipitateConstants.size() ? model.precipitateConstants[k].transitionRadius : 0.0;
            file << (k == 0 ? "" : " ") << precipitates[k].name << " Rc=" << transitionRadius << "[m]";
        }
        file << '\n';
    }

    file << "t[s] dt[s] T[K] SigmaDislo[MPa] SigmaSS[MPa] SigmaGrain[MPa] SigmaPreciTOT[MPa] sigmaFlowMicro[MPa] ";
    for (const Precipitate& precipitate : precipitates) file << "sigma" << precipitate.name << "[MPa] ";
    for (const Precipitate& precipitate : precipitates) file << "sigma" << precipitate.name << "_sh[MPa] ";
    for (const Precipitate& precipitate : precipitates) file << "sigma" << precipitate.name << "_bp[MPa] ";
    if (model.mechanicalHardeningCoupling)
        file << stepHardeningTitles(columnsOf(model.hardeningModelChosen,
                                              "hardening model not implemented in 'output.TimeStepMechanicalResults'"));
    file << '\n';
}

void writeRecord(ResultFile& file, const HardeningRecord& record)
{
    for (double value : record) file << value << ' ';
    file << '\n';
}

} // namespace

HardeningRecord MechanicalModel::HardeningResultRecord(double time) const
{
    const HardeningState& h = hardening;
    const Columns columns = columnsOf(hardeningModelChosen, "hardening model not implemented in 'output.HardeningResults'");
    const PrecipitateStrength first = precipitateStrength.empty() ? PrecipitateStrength{} : precipitateStrength[0];
    HardeningRecord record{time, lastStrain, h[hv::stress] * megapascal};
    switch (columns) {
    case Columns::phenomenological:
        record.insert(record.end(), {strength.flowStress * megapascal, h[hv::isotropic] * megapascal,
                                     h[hv::backStress] * megapascal});
        break;
    case Columns::precipitateLoops:
        record.insert(record.end(),
                      {h[hv::plasticStrain], h[hv::cumulatedPlasticStrain], dislocationDensity, PrecipitateLoopDensity(),
                       h[hv::grainLoops], h[hv::grainBackStress] * megapascal, h[hv::precipitateLoops],
                       h[hv::precipitateBackStress] * megapascal, h[hv::isotropic] * megapascal,
                       first.bypassedFraction, first.bypassedLength, first.meanSpacing});
        break;
    case Columns::reversible:
        record.insert(record.end(),
                      {h[hv::plasticStrain], h[hv::cumulatedPlasticStrain], dislocationDensity, h[hv::grainLoops],
                       h[hv::grainBackStress] * megapascal, h[hv::isotropic] * megapascal, first.bypassedFraction});
        break;
    }
    return record;
}

void TimeStepMechanicalResults(const std::string& thermoFileStem, int nodeNumber, bool first, int precision,
                               double t, double dt, double T, const MechanicalModel& model,
                               const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates)
{
    const std::string fileName = thermoFileStem + "Mechanic_" + std::to_string(nodeNumber) + ".dat";
    if (first) {
        ResultFile header;
        if (header.open(fileName, std::ios::out | std::ios::trunc, fixedDigits)) {
            writeStrengthHeader(header, model, elements, precipitates);
            header.close();
        }
    }

    ResultFile file;
    if (!file.open(fileName, std::ios::out | std::ios::app, precision)) return;
    const StrengthTerms& s = model.strength;
    file << t << ' ' << dt << ' ' << T << ' ' << s.dislocations * megapascal << ' ' << s.solidSolution * megapascal
         << ' ' << s.grainBoundary * megapascal << ' ' << s.precipitates * megapascal << ' '
         << s.flowStress * megapascal << ' ';
    const std::size_t count = std::min(precipitates.size(), model.precipitateStrength.size());
    for (std::size_t k = 0; k < count; ++k) file << model.precipitateStrength[k].total * megapascal << ' ';
    for (std::size_t k = 0; k < count; ++k) file << model.precipitateStrength[k].sheared * megapascal << ' ';
    for (std::size_t k = 0; k < count; ++k) file << model.precipitateStrength[k].bypassed * megapascal << ' ';
    if (model.mechanicalHardeningCoupling)
        writeStepHardening(file,
                           model,
                           columnsOf(model.hardeningModelChosen,
                                     "hardening model not implemented in 'output.TimeStepMechanicalResults'"));
    file << '\n';
    file.close();
}

void HardeningResults(bool first, bool final, double time, const MechanicalModel& model, int nodeNumber,
                      const std::vector<HardeningRecord>& results)
{
    const std::string fileName = model.strainFileStem + "_node" + std::to_string(nodeNumber) + ".dat";
    if (first) {
        ResultFile header;
        if (header.open(fileName, std::ios::out | std::ios::trunc, fixedDigits)) {
            header << "time[s] eps[] sig[MPa] "
                   << responseTitles(columnsOf(model.hardeningModelChosen,
                                               "hardening model not implemented in 'output.HardeningResults'"))
                   << '\n';
            header.close();
        }
    }
    if (final && first) return;
    if (final) {
        if (results.empty()) Log::fatalError("In 'Output.HardeningResults': 'nbOfTimesResults' must be >0");
        for (const HardeningRecord& record : results)
            if (record.empty()) Log::fatalError("In 'Output.HardeningResults': 'nbOfResults' must be >0");
    }

    ResultFile file;
    if (!file.open(fileName, std::ios::out | std::ios::app, fixedDigits)) return;
    if (final)
        for (const HardeningRecord& record : results) writeRecord(file, record);
    else
        writeRecord(file, model.HardeningResultRecord(time));
    file.close();
}
