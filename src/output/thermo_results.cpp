#include <string>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"
#include "output/output.h"
#include "output/result_file.h"

namespace {

// The node volume in the header is always written with six significant digits.
constexpr int volumeDigits = 6;

void writeThermoHeader(ResultFile& file, const Matrix& matrix, const std::vector<Element>& elements,
                       const std::vector<Precipitate>& precipitates, bool heavyOuputs)
{
    file << "Elements: ";
    for (std::size_t j = 0; j < elements.size(); ++j) file << (j == 0 ? "" : " ") << elements[j].name;
    file << '\n';

    file << "(volume=" << matrix.nodeFactor << "m3)";
    if (!precipitates.empty()) {
        file << "Precipitates: ";
        for (std::size_t k = 0; k < precipitates.size(); ++k)
            file << (k == 0 ? "" : " ") << precipitates[k].name;
    }
    file << '\n';

    file << "t[s] dt[s] T[K] ";
    for (const Element& element : elements) {
        file << "X_" << element.name << ' ';
        if (heavyOuputs) file << "C_wtPer_" << element.name << ' ';
    }
    for (const Precipitate& precipitate : precipitates) {
        const std::string& p = precipitate.name;
        file << "rmean_" << p << "[m] " << "r*_" << p << "[m] " << "fv_" << p << ' ' << "N_" << p << ' '
             << "Nclass_" << p << ' ';
    }
    file << '\n';
}

} // namespace

std::string Output::ThermoFileName(int nodeNumber) const
{
    return thermoFileStem + "_" + std::to_string(nodeNumber) + ".dat";
}

void Output::ThermoResults(double t, double dt, double T, const Matrix& matrix,
                           const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates,
                           int nodeNumber)
{
    const std::string fileName = ThermoFileName(nodeNumber);

    if (firstThermo) {
        ResultFile header;
        if (header.open(fileName, std::ios::out | std::ios::trunc, volumeDigits)) {
            writeThermoHeader(header, matrix, elements, precipitates, heavyOuputs);
            header.close();
        }
    }

    ResultFile file;
    if (!file.open(fileName, std::ios::out | std::ios::app, outputPrecision)) return;

    file << t << ' ' << dt << ' ' << T << ' ';
    for (const Element& element : elements) {
        file << element.ssFraction << ' ';
        if (heavyOuputs) file << element.SolidSolutionWtPercent(elements) << ' ';
    }
    for (const Precipitate& precipitate : precipitates) {
        file << precipitate.MeanRadius() << ' ' << precipitate.criticalRadius << ' '
             << precipitate.VolumeFraction() << ' ' << precipitate.TotalNumber() << ' '
             << precipitate.classCount() << ' ';
    }
    file << '\n';
    file.close();
}
