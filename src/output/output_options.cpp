#include "core/data_file_reader.h"
#include "core/log.h"
#include "core/number_conversion.h"
#include "kinetics/precipitate.h"
#include "core/single_value_keyword.h"
#include "output/output.h"

namespace {

// The four refusals of a save keyword, each written out where it is used.
struct SaveKeywordMessages {
    const char* moreThanOne;
    const char* argumentCount;
    const char* numberOutOfRange;
    const char* notCoupling;
};

// A save mode shorter than "coupling" is a period; a longer one must begin
// with "coupling". Long numbers ("00000010") are refused with the text message.
void applySaveMode(const std::string& mode, const SaveKeywordMessages& messages, int& period, bool& coupling)
{
    static const std::string couplingWord = "coupling";
    if (mode.size() < couplingWord.size()) {
        const int value = conversion::toDecimalInt(mode);
        if (value < 1 || value > 999999) Log::fatalError(messages.numberOutOfRange);
        period = value;
        return;
    }
    if (mode.compare(0, couplingWord.size(), couplingWord) != 0) Log::fatalError(messages.notCoupling);
    coupling = true;
}

// savethermodynamics / savedistribution: mandatory, one line, stem and mode.
void readSaveKeyword(const std::string& dataFile, const std::string& keyword,
                     const SaveKeywordMessages& messages, std::string& stem, int& period, bool& coupling)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, keyword, lines, false);
    if (lines.size() > 1) Log::fatalError(messages.moreThanOne);
    const KeywordLine& line = lines[0];
    if (line.size() != 3) Log::fatalError(messages.argumentCount);
    // The stem is kept even when the mode is refused next.
    stem = line[1];
    applySaveMode(line[2], messages, period, coupling);
}

// An optional plot keyword on at most one line with at least `minimumArguments`
// after the keyword. Returns false when the keyword is absent.
bool readPlotLine(const std::string& dataFile, const std::string& keyword, std::size_t minimumArguments,
                  const char* moreThanOne, const char* argumentCount, KeywordLine& line)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, keyword, lines, true);
    if (lines.empty()) return false;
    if (lines.size() > 1) Log::fatalError(moreThanOne);
    if (lines[0].size() < minimumArguments + 1) Log::fatalError(argumentCount);
    line = lines[0];
    return true;
}

// Flags the precipitates named from argument `first` on; "all" flags every one.
// Unknown names are ignored on purpose: one data file serves nodes whose
// precipitate lists may differ.
void selectPrecipitates(const KeywordLine& line, std::size_t first, const std::vector<Precipitate>& precipitates,
                        std::vector<bool>& selection)
{
    selection.assign(precipitates.size(), false);
    for (std::size_t a = first; a < line.size(); ++a)
        if (line[a] == "all") selection.assign(precipitates.size(), true);
    for (std::size_t i = 0; i < precipitates.size(); ++i)
        for (std::size_t a = first; a < line.size(); ++a)
            if (line[a] == precipitates[i].name) selection[i] = true;
}

const SingleValueKeyword<Output> precisionKeyword[] = {
    {"outputPrecision", "outputPrecision", conversion::toDouble, nullptr,
     [](Output& output, double digits) { output.outputPrecision = conversion::truncateToInt(digits); },
     "outputPrecision changed to: "},
};

} // namespace

void Output::ReadOutputOptions(const std::string& dataFile, const std::vector<Precipitate>& precipitates,
                               const Console& console)
{
    // Every selection has one flag per precipitate, so the plots can index
    // them by position even when their keyword is absent.
    plotDistribSelection.assign(precipitates.size(), false);
    plotThermoSelection.assign(precipitates.size(), false);
    plotFinalSelection.assign(precipitates.size(), false);

    readSaveKeyword(dataFile, "savethermodynamics",
                    {"More than one savethermodynamics command",
                     "incorrect number of arguments for savethermodynamics.",
                     "'savethermodynamics' number argument must be in ]0,999999]",
                     "either 'savethermodynamics' don't begin by 'coupling' either nb is grather than 999999"},
                    thermoFileStem, thermoPeriod, thermoCoupling);
    console.say("Saving thermodynamics options: OK");

    readSaveKeyword(dataFile, "savedistribution",
                    {"More than one savedistribution command",
                     "incorrect number of arguments for savedistribution.",
                     "'savedistribution' number argument must be in ]0,999999]",
                     "either 'savedistribution' don't begin by 'coupling' either nb is grather than 999999"},
                    distribFileStem, distribPeriod, distribCoupling);
    console.say("Saving distributions options: OK");

    KeywordLine line;
    if (readPlotLine(dataFile, "plot_distrib", 3, "More than one plot_distrib command",
                     "incorrect number of arguments for plot_distrib.", line)) {
        plotDistribNode = conversion::toDecimalInt(line[1]);
        plotDistribPeriod = conversion::toDecimalInt(line[2]);
        selectPrecipitates(line, 3, precipitates, plotDistribSelection);
        console.say("Plot distribution options: OK");
    }

    if (readPlotLine(dataFile, "plot_thermo", 3, "More than one plot_thermo command",
                     "incorrect number of arguments for plot_thermo.", line)) {
        plotThermoNode = conversion::toDecimalInt(line[1]);
        plotThermoPeriod = conversion::toDecimalInt(line[2]);
        selectPrecipitates(line, 3, precipitates, plotThermoSelection);
        console.say("Plot thermodynamics options: OK");
    }

    if (readPlotLine(dataFile, "plot_final", 2, "More than one plot_final command",
                     "incorrect number of arguments for plot_final.", line)) {
        plotFinalNode = conversion::toDecimalInt(line[1]);
        selectPrecipitates(line, 2, precipitates, plotFinalSelection);
        console.say("Plot final output options: OK");
    }

    readSingleValueKeywords(dataFile, precisionKeyword, *this, console);

    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, "heavyOuputs", lines, true);
    if (lines.size() > 1) Log::fatalError("'heavyOuputs' defined twice.");
    if (lines.size() == 1) {
        if (lines[0].size() > 1) Log::fatalError("heavyOuputs don't need arguments");
        heavyOuputs = true;
        console.say("heavyOuputs changed to 'true'");
    }
}
