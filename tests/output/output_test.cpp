#include <gtest/gtest.h>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"
#include "material/temperature_profile.h"
#include "output/output.h"
#include "support/fatal.h"
#include "support/temp_dir.h"

using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

// A node with one element and one phase, on the profile 0 / 1800 / 3600 s.
struct SavingNode {
    Matrix matrix;
    std::vector<Element> elements{1};
    std::vector<Precipitate> precipitates{1};
    TemperatureProfile profile;
    Output output;

    SavingNode()
    {
        elements[0].name = "Al";
        precipitates[0].name = "beta";
        profile.times = {0, 1800, 3600};
        profile.temperatures = {773, 773, 773};
        profile.pointCount = 3;
    }

    void save(unsigned int index, double t, unsigned int n, bool forced = false)
    {
        output.SaveResults(matrix, elements, precipitates, profile, index, t, 773, 1, n, 0, forced);
    }

    // The first column of every record written so far.
    std::vector<std::string> thermoTimes() const { return firstColumns("resultsThermo_0.dat", 3, 1); }
    std::vector<std::string> distribTimes() const { return firstColumns("distributionbeta_0.dat", 4, 3); }

    static std::vector<std::string> firstColumns(const std::string& file, std::size_t first, std::size_t stride)
    {
        std::vector<std::string> times;
        const auto lines = readLines(file);
        for (std::size_t i = first; i < lines.size(); i += stride) times.push_back(lines[i].substr(0, lines[i].find(' ')));
        return times;
    }
};

using Times = std::vector<std::string>;

} // namespace

TEST(SaveResults, PeriodEndTimeAndForcedRecords)
{
    ScopedWorkDir dir;
    SavingNode node;
    node.save(1, 5, 3); // nothing due: the headers stay pending
    EXPECT_TRUE(node.output.firstThermo);
    EXPECT_TRUE(node.output.firstDistrib);
    node.save(1, 0, 0, true);
    EXPECT_FALSE(node.output.firstThermo);
    EXPECT_FALSE(node.output.firstDistrib);
    for (unsigned int n = 1; n <= 21; ++n) node.save(1, 10.0 * n, n);
    node.save(2, 3000, 23, true);
    node.save(2, 3600, 24); // end time: thermodynamics only

    EXPECT_EQ(node.thermoTimes(), (Times{"0", "100", "200", "3000", "3600"}));
    EXPECT_EQ(node.distribTimes(), (Times{"0", "100", "200", "3000"}));
    EXPECT_EQ(node.output.nbOfThermoResults, 0);
    EXPECT_EQ(node.output.nbOfDistribResults, 0);
}

TEST(SaveResults, CouplingWritesOneRecordPerProfilePoint)
{
    ScopedWorkDir dir;
    SavingNode node;
    node.output.thermoCoupling = true;
    node.output.distribCoupling = true;
    // The sequence of a run: initial forced record, steps that start before,
    // at and after the interior point (the index already names the next
    // point there), and the closing forced record.
    node.save(1, 0, 0, true);
    node.save(1, 900, 1);
    node.save(2, 1800, 2);
    node.save(2, 2700, 3);
    node.save(2, 3600, 4, true);

    EXPECT_EQ(node.thermoTimes(), (Times{"0", "1800", "3600"}));
    EXPECT_EQ(node.distribTimes(), (Times{"0", "1800", "3600"}));
    EXPECT_EQ(node.output.nbOfThermoResults, 3);
    EXPECT_EQ(node.output.nbOfDistribResults, 3);
    node.output.CheckCoupledRecords(node.profile);

    // The rule on the current point still holds, and the step counter plays no part.
    node.save(1, 1800, 10);
    node.save(2, 1000, 20);
    EXPECT_EQ(node.output.nbOfThermoResults, 4);
}

TEST(SaveResults, OnlyTheCoupledFileFollowsTheProfile)
{
    ScopedWorkDir dir;
    SavingNode node;
    node.output.distribCoupling = true;
    node.save(2, 1800, 3);
    node.save(2, 1900, 10);
    EXPECT_EQ(node.thermoTimes(), (Times{"1900"}));
    EXPECT_EQ(node.distribTimes(), (Times{"1800"}));
    EXPECT_EQ(node.output.nbOfThermoResults, 0);
    EXPECT_EQ(node.output.nbOfDistribResults, 1);
}

TEST(SaveResults, PlotsDueRules)
{
    Output output;
    EXPECT_FALSE(output.LiveDistribPlotDue(0, 0)); // without a plot keyword no node plots
    EXPECT_FALSE(output.FinalPlotDue(0, 3600, 3600));
    output.plotDistribNode = 2;
    output.plotDistribPeriod = 10;
    EXPECT_TRUE(output.LiveDistribPlotDue(2, 0));
    EXPECT_TRUE(output.LiveDistribPlotDue(2, 20));
    EXPECT_FALSE(output.LiveDistribPlotDue(2, 5));
    EXPECT_FALSE(output.LiveDistribPlotDue(1, 20));

    output.plotThermoNode = 0;
    output.plotThermoPeriod = 0;
    EXPECT_FALSE(output.LiveThermoPlotDue(0, 0));
    EXPECT_FALSE(output.LiveThermoPlotDue(0, 10));
    output.plotThermoPeriod = -3;
    EXPECT_TRUE(output.LiveThermoPlotDue(0, 6));
    EXPECT_FALSE(output.LiveThermoPlotDue(0, 7));
    output.plotThermoPeriod = -2147483647 - 1;
    EXPECT_FALSE(output.LiveThermoPlotDue(0, 7));

    output.plotFinalNode = 1;
    EXPECT_TRUE(output.FinalPlotDue(1, 3600, 3600));
    EXPECT_FALSE(output.FinalPlotDue(1, 3599.9, 3600));
    EXPECT_FALSE(output.FinalPlotDue(0, 3600, 3600));
}

TEST(SaveResultsDeathTest, IndexPastTheProfile)
{
    ScopedWorkDir dir;
    SavingNode node;
    EXPECT_FATAL(node.save(3, 0, 0, true), "Time index out of range");
}

TEST(SaveResultsDeathTest, CoupledRecordsMustMatchTheProfilePoints)
{
    ScopedWorkDir dir;
    SavingNode node;
    node.output.nbOfThermoResults = 2;
    node.output.nbOfDistribResults = 2;
    node.output.CheckCoupledRecords(node.profile); // no coupling: nothing checked

    node.output.thermoCoupling = true;
    EXPECT_FATAL(node.output.CheckCoupledRecords(node.profile),
                 "Nb of coupling ThermoResults must have same size as time vector");
    node.output.nbOfThermoResults = 3;
    node.output.distribCoupling = true;
    EXPECT_FATAL(node.output.CheckCoupledRecords(node.profile),
                 "Nb of coupling nbOfDistribResults must have same size as time vector");
    node.output.nbOfDistribResults = 4;
    EXPECT_FATAL(node.output.CheckCoupledRecords(node.profile),
                 "Nb of coupling nbOfDistribResults must have same size as time vector");
}
