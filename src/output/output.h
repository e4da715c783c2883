#pragma once

#include <string>
#include <vector>

#include "core/console.h"
#include "output/gnuplot_pipe.h"

class Element;
class Matrix;
class Precipitate;
class TemperatureProfile;

// The results writer of one node: its settings (read from the data file) and
// the state of the files it writes.
class Output {
public:
    int outputPrecision = 15;
    std::string thermoFileStem = "resultsThermo";
    std::string distribFileStem = "distribution";
    int thermoPeriod = 10;
    int distribPeriod = 10;
    bool thermoCoupling = false;
    bool distribCoupling = false;
    int plotDistribNode = -1;
    int plotDistribPeriod = 10;
    std::vector<bool> plotDistribSelection;
    int plotThermoNode = -1;
    int plotThermoPeriod = 10;
    std::vector<bool> plotThermoSelection;
    int plotFinalNode = -1;
    std::vector<bool> plotFinalSelection;
    bool heavyOuputs = false;
    bool mechanicalOutput = false;

    bool firstThermo = true;
    bool firstDistrib = true;
    bool firstPlotDistrib = true;
    bool firstPlotThermo = true;
    int nbOfThermoResults = 0;
    int nbOfDistribResults = 0;
    // The live plot windows, started at their first plot and kept for the
    // run. A copied Output starts without them (see GnuplotPipe).
    GnuplotPipe distribPipe;
    GnuplotPipe thermoPipe;

    // Reads the seven output keywords in order, with their checks.
    void ReadOutputOptions(const std::string& dataFile, const std::vector<Precipitate>& precipitates,
                           const Console& console);

    // Mechanical results are written beside every thermodynamic record.
    void SetMechanicalOutput(bool on) { mechanicalOutput = on; }

    // Writes whatever is due at this call: thermodynamic record, distribution
    // records, live plots and the final plot. True when it wrote a
    // thermodynamic record, which the node's mechanical record joins.
    bool SaveResults(const Matrix& matrix, const std::vector<Element>& elements,
                     const std::vector<Precipitate>& precipitates, const TemperatureProfile& profile,
                     unsigned int profileIndex, double t, double T, double dt, unsigned int stepCounter,
                     int nodeNumber, bool forced);

    void ThermoResults(double t, double dt, double T, const Matrix& matrix,
                       const std::vector<Element>& elements,
                       const std::vector<Precipitate>& precipitates, int nodeNumber);
    void DistribResults(double t, const std::vector<Precipitate>& precipitates, int nodeNumber);
    // The thermodynamic results file of a node, which the plots read by name.
    std::string ThermoFileName(int nodeNumber) const;

    // The gnuplot plots: live size distributions, live thermodynamic panels,
    // and the final figure "Results.eps".
    void PlotDistribution(double t, const std::vector<Precipitate>& precipitates);
    void PlotThermo(const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates);
    void PlotFinal(const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates);
    // The six thermodynamic plots of node `nodeNumber`'s results file, for
    // the selected precipitates.
    void ThermoPlotScript(GnuplotPipe& pipe, const std::vector<bool>& selection, int nodeNumber,
                          const std::vector<Element>& elements,
                          const std::vector<Precipitate>& precipitates) const;

    // In coupling mode a node must have written exactly one record per
    // profile point once it has ended; fatal otherwise.
    void CheckCoupledRecords(const TemperatureProfile& profile) const;

    // Whether the live and final plots are due at a SaveResults call. A plot
    // period of 0 means that live plot never runs.
    bool LiveDistribPlotDue(int nodeNumber, unsigned int stepCounter) const;
    bool LiveThermoPlotDue(int nodeNumber, unsigned int stepCounter) const;
    bool FinalPlotDue(int nodeNumber, double t, double endTime) const;
};
