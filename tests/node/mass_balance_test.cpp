#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/matrix.h"
#include "node/mass_balance.h"
#include "support/fatal.h"
#include "support/temp_dir.h"

using testing_support::ScopedWorkDir;

namespace {

constexpr double V = 1.2e-29; // solid-solution atomic volume

// Solute Nb (index 0) in Fe (index 1), with spherical phases made of them.
struct Node {
    Matrix matrix;
    Element nb;
    Element fe;
    std::vector<Precipitate> precipitates;

    Node(double nbFraction, bool standard)
    {
        matrix.VatSS = V;
        nb.name = "Nb";
        fe.name = "Fe";
        fe.index = 1;
        nb.nominalFraction = nbFraction;
        fe.nominalFraction = 1.0 - nbFraction;
        nb.standardMassBalance = fe.standardMassBalance = standard;
    }

    // One class of 10 nm radius holding the volume fraction `fraction`.
    void addPhase(double fraction, double atomicVolume, double nbCoefficient, double feCoefficient)
    {
        Precipitate phase({"Nb", "Fe"});
        phase.atomicVolume = atomicVolume;
        phase.stoichiometry = {nbCoefficient, feCoefficient};
        phase.stoichiometrySum = nbCoefficient + feCoefficient;
        phase.SetDistribution({1e-8}, {fraction / (4.0 / 3.0 * M_PI * 1e-24)});
        precipitates.push_back(phase);
    }

    void balance()
    {
        MassBalance(nb, matrix, precipitates);
        MassBalance(fe, matrix, precipitates);
    }
};

} // namespace

TEST(MassBalance, BothVariantsOnHandComputedCases)
{
    for (bool standard : {true, false}) {
        Node node(0.05, standard);
        // A phase without classes adds nothing, even one with no atomic volume or chemistry set.
        node.precipitates.emplace_back(std::vector<std::string>{"Nb", "Fe"});
        node.balance();
        EXPECT_EQ(node.nb.ssFraction, 0.05);

        // Pure Nb with Vp = V: A = F, the variants coincide.
        node.addPhase(0.01, V, 1.0, 0.0);
        node.balance();
        EXPECT_NEAR(node.nb.ssFraction, 0.04040404040404041, 1e-14); // (0.05 - 0.01) / 0.99
        EXPECT_NEAR(node.fe.ssFraction, 0.95 / 0.99, 1e-14);
    }

    // Vp = 2V (a = 0.5), half of the phase's atoms are Nb.
    Node node(0.05, true);
    node.addPhase(0.01, 2.0 * V, 1.0, 1.0);
    node.balance();
    EXPECT_NEAR(node.nb.ssFraction, 0.04773869346733668, 1e-14); // (0.05 - 0.0025) / 0.995
    node.nb.standardMassBalance = false;
    node.balance();
    EXPECT_NEAR(node.nb.ssFraction, 0.04772727272727273, 1e-14); // (0.995 * 0.05 - 0.0025) / 0.99

    // Fe absent from the phase is enriched.
    Node absent(0.05, true);
    absent.addPhase(0.01, 2.0 * V, 1.0, 0.0);
    absent.balance();
    EXPECT_NEAR(absent.fe.ssFraction, 0.9547738693467336, 1e-13); // 0.95 / 0.995
    absent.fe.standardMassBalance = false;
    absent.balance();
    EXPECT_NEAR(absent.fe.ssFraction, 0.9547979797979798, 1e-13); // 0.95 * 0.995 / 0.99
}

TEST(MassBalanceDeathTest, OnlyTheFirstBalanceStopsOnUnphysicalFractions)
{
    ScopedWorkDir dir;
    const char* standardMessage = "X is not >0 for first massBalance, so initialDistrib have a problem";
    const char* improvedMessage = "Initial Distribution leads to unphysical atomic fractions";
    for (bool standard : {true, false}) {
        // More Nb in the phase than in the alloy.
        Node node(0.005, standard);
        node.addPhase(0.01, V, 1.0, 0.0);
        node.balance();
        EXPECT_LT(node.nb.ssFraction, 0.0); // written as it comes during the time loop
        node.nb.checkFraction = true;
        EXPECT_FATAL(MassBalance(node.nb, node.matrix, node.precipitates), standard ? standardMessage : improvedMessage);

        Node undefined(std::nan(""), standard);
        undefined.nb.checkFraction = true;
        EXPECT_FATAL(MassBalance(undefined.nb, undefined.matrix, undefined.precipitates),
                     standard ? standardMessage : improvedMessage);
    }

    // A dense phase without Fe (a = 2) pushes pure Fe above 1: only the improved check refuses it.
    Node node(0.0, true);
    node.addPhase(0.01, 0.5 * V, 1.0, 0.0);
    node.fe.nominalFraction = 1.0;
    node.fe.checkFraction = true;
    MassBalance(node.fe, node.matrix, node.precipitates);
    EXPECT_NEAR(node.fe.ssFraction, 1.0 / 0.98, 1e-14);
    node.fe.standardMassBalance = false;
    EXPECT_FATAL(MassBalance(node.fe, node.matrix, node.precipitates), improvedMessage);
}
