#include <algorithm>
#include <string>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "output/density_per_radius.h"
#include "output/output.h"

namespace {

constexpr const char* liveTerminal = "x11 enhanced";
constexpr const char* finalTerminal = "postscript enhanced color";

// Width of every bar of the live distribution charts (m).
constexpr double barWidth = 8e-13;

// Height of class i's bar (i >= 1): the number density per unit radius, the
// class width taken towards the previous class.
double barHeight(const Precipitate& precipitate, std::size_t i)
{
    return densityPerUnitRadius(precipitate, i, false);
}

// One inline data set: the origin, then the classes on one side of the
// critical radius. Class 0 has no previous class and is never drawn; a class
// exactly at the critical radius is on neither side.
void writeChartData(GnuplotPipe& pipe, const Precipitate& precipitate, bool superCritical)
{
    const double rStar = precipitate.criticalRadius;
    const std::size_t n = std::min(precipitate.radius.size(), precipitate.number.size());
    pipe.print("0 0 \n");
    for (std::size_t i = 1; i < n; ++i) {
        const double R = precipitate.radius[i];
        if (superCritical ? R > rStar : rStar > R) pipe.print("%.20E %.20E\n", R, barHeight(precipitate, i));
    }
    pipe.print("e\n");
}

bool selected(const std::vector<bool>& selection, std::size_t k)
{
    return k < selection.size() && selection[k];
}

// The items of one plot command share a line: "plot " before the first,
// "," before every further one.
void startItem(GnuplotPipe& pipe, bool& first)
{
    pipe.print(first ? "plot " : ",");
    first = false;
}

// A panel with one curve per selected precipitate: column `offset` of the
// precipitate's block of five in the results file.
void precipitatePanel(GnuplotPipe& pipe, const std::string& file, const std::vector<bool>& selection,
                      const std::vector<Precipitate>& precipitates, int firstBlockColumn, int offset)
{
    bool first = true;
    for (std::size_t k = 0; k < precipitates.size(); ++k) {
        if (!selected(selection, k)) continue;
        startItem(pipe, first);
        const int column = firstBlockColumn + 5 * static_cast<int>(k) + offset;
        pipe.print("'%s' u 1:%i t \"%s\" w l lw 2", file.c_str(), column, precipitates[k].name.c_str());
    }
}

} // namespace

void Output::PlotDistribution(double t, const std::vector<Precipitate>& precipitates)
{
    if (firstPlotDistrib) {
        distribPipe.start();
        distribPipe.print("set terminal %s\n", liveTerminal);
        distribPipe.print("set xrange [0:]\n");
        distribPipe.print("set boxwidth %e\n", barWidth);
    }
    // Without a process there is nothing to write, and no class to go through.
    if (!distribPipe.writable()) return;

    const int charts = static_cast<int>(std::count(plotDistribSelection.begin(), plotDistribSelection.end(), true));
    distribPipe.print("set multiplot layout %i,1\n", charts);
    for (std::size_t k = 0; k < precipitates.size(); ++k) {
        if (!selected(plotDistribSelection, k)) continue;
        const Precipitate& precipitate = precipitates[k];
        distribPipe.print("set format x \"%%g\"\n");
        distribPipe.print("set title \"%s - time(s)=%.4f\"\n", precipitate.name.c_str(), t);
        distribPipe.print("plot '-' t \"Sub-critical\" w boxes ,'-' t \"Super-critical\" w boxes lt 3\n");
        writeChartData(distribPipe, precipitate, false);
        writeChartData(distribPipe, precipitate, true);
    }
    // The whole list counts here, not the selection: a node with one phase
    // leaves its multiplot open.
    if (precipitates.size() > 1) distribPipe.print("unset multiplot\n");
    distribPipe.flush();
}

void Output::PlotThermo(const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates)
{
    if (firstPlotThermo) {
        thermoPipe.start();
        thermoPipe.print("set terminal %s\n", liveTerminal);
        thermoPipe.print("set output 'results.eps'\n");
    }
    if (!thermoPipe.writable()) return;
    thermoPipe.print("set multiplot layout 2,3\n");
    ThermoPlotScript(thermoPipe, plotThermoSelection, plotThermoNode, elements, precipitates);
    thermoPipe.print("unset multiplot\n");
    // Sent now rather than with the next plot, so the window is complete
    // while the run goes on.
    thermoPipe.flush();
}

void Output::PlotFinal(const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates)
{
    GnuplotPipe pipe;
    if (!pipe.start()) return;
    pipe.print("set terminal %s\n", finalTerminal);
    pipe.print("set output 'Results.eps'\n");
    pipe.print("set size .75,.75\n");
    pipe.flush();
    ThermoPlotScript(pipe, plotFinalSelection, plotFinalNode, elements, precipitates);
    // Waits for gnuplot, so "Results.eps" is complete when the run ends.
    pipe.close();
}

void Output::ThermoPlotScript(GnuplotPipe& pipe, const std::vector<bool>& selection, int nodeNumber,
                              const std::vector<Element>& elements,
                              const std::vector<Precipitate>& precipitates) const
{
    const std::string fileName = ThermoFileName(nodeNumber);
    const char* file = fileName.c_str();
    // Column layout of the results file: t, dt, T, then one (or, with the
    // weight percents, two) columns per element, then five per precipitate.
    const int columnsPerElement = heavyOuputs ? 2 : 1;
    const int firstBlockColumn = 4 + columnsPerElement * static_cast<int>(elements.size());

    pipe.print("set format y \"%%g\"\n");
    pipe.print("set xlabel \"Time (s)\"\n");
    pipe.print("set ylabel \"Time Step (s)\"\n");
    pipe.print("set logscale\n");
    pipe.print("plot '%s' u 1:2 t \"dt\" w l lw 2\n", file);

    pipe.print("set ylabel \"Radius (m)\"\n");
    pipe.print("set logscale\n");
    bool first = true;
    for (std::size_t k = 0; k < precipitates.size(); ++k) {
        if (!selected(selection, k)) continue;
        startItem(pipe, first);
        const int column = firstBlockColumn + 5 * static_cast<int>(k);
        const char* name = precipitates[k].name.c_str();
        pipe.print("'%s' u 1:%i t \"%s (<R>)\" w l lw 2,'%s' u 1:%i t \"%s (R*)\"w l lw 1", file, column, name,
                   file, column + 1, name);
    }

    pipe.print("\n");
    pipe.print("set ylabel \"Number density (#/m^3)\"\n");
    pipe.print("set logscale\n");
    precipitatePanel(pipe, fileName, selection, precipitates, firstBlockColumn, 3);

    pipe.print("\n");
    pipe.print("set ylabel \"Solute content (at. frac.)\"\n");
    pipe.print("set logscale\n");
    first = true;
    for (std::size_t j = 0; j < elements.size(); ++j) {
        startItem(pipe, first);
        pipe.print("'%s' u 1:%i t \"%s\" w l lw 2", file, 4 + columnsPerElement * static_cast<int>(j),
                   elements[j].name.c_str());
    }

    pipe.print("\n");
    pipe.print("set ylabel \"Precipitate volume fraction\"\n");
    pipe.print("unset logscale y\n");
    precipitatePanel(pipe, fileName, selection, precipitates, firstBlockColumn, 2);

    pipe.print("\n");
    pipe.print("set ylabel \"Number of classes\"\n");
    pipe.print("unset logscale y\n");
    precipitatePanel(pipe, fileName, selection, precipitates, firstBlockColumn, 4);

    pipe.print("\n");
    pipe.flush();
}
