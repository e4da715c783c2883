#include <algorithm>
#include <cmath>
#include <string>

#include "kinetics/precipitate.h"
#include "output/density_per_radius.h"
#include "output/output.h"
#include "output/result_file.h"

namespace {

// One record (three lines) of a precipitate's distribution. Classes whose
// number density would print as nothing at this precision are left out,
// except the last class, which is always written.
void writeDistribRecord(ResultFile& file, double t, const Precipitate& precipitate, double threshold)
{
    const std::vector<double>& R = precipitate.radius;
    const std::vector<double>& N = precipitate.number;
    // A class is a (radius, number) pair; never read past the shorter list.
    const std::size_t n = std::min(R.size(), N.size());

    if (n == 0) {
        file << t << " 0.0\n" << t << " 0.0\n" << t << " 0.0\n";
        return;
    }
    if (n == 1) {
        file << t << ' ' << R[0] << '\n' << t << ' ' << N[0] << '\n' << t << " 0.0\n";
        return;
    }

    const std::size_t last = n - 1;
    file << precipitate.criticalRadius;
    for (std::size_t i = 0; i < last; ++i)
        if (N[i] > threshold) file << ' ' << R[i];
    file << ' ' << R[last] << '\n';

    file << t;
    for (std::size_t i = 0; i < last; ++i)
        if (N[i] > threshold) file << ' ' << N[i];
    file << ' ' << N[last] << '\n';

    // Number density per unit radius: a class's width is taken towards the
    // next class, the last one's towards the class before it.
    file << t;
    for (std::size_t i = 0; i < last; ++i)
        if (N[i] > threshold) file << ' ' << densityPerUnitRadius(precipitate, i, true);
    file << ' ' << densityPerUnitRadius(precipitate, last, false) << '\n';
}

} // namespace

void Output::DistribResults(double t, const std::vector<Precipitate>& precipitates, int nodeNumber)
{
    // Computed in double so that any precision, even the most negative int, is safe.
    const double threshold = std::pow(10.0, -static_cast<double>(outputPrecision));
    const std::string node = "_" + std::to_string(nodeNumber) + ".dat";

    for (const Precipitate& precipitate : precipitates) {
        const std::string fileName = distribFileStem + precipitate.name + node;

        if (firstDistrib) {
            ResultFile header;
            if (header.open(fileName, std::ios::out | std::ios::trunc, outputPrecision)) {
                header << "R*(t) R(i) R(i+1) ...\n"
                       << "t[s] N(i) N(i+1) ...\n"
                       << "t[s] D(i) D(i+1) ...\n";
                header.close();
            }
        }

        ResultFile file;
        if (!file.open(fileName, std::ios::out | std::ios::app, outputPrecision)) continue;
        writeDistribRecord(file, t, precipitate, threshold);
        file.close();
    }
}
