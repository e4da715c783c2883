#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kinetics/class_management_methods.h"
#include "kinetics/precipitate.h"
#include "kinetics/precipitate_options.h"
#include "support/fatal.h"

using testing_support::ScopedWorkDir;

namespace {

Precipitate phase(const std::string& name)
{
    Precipitate p;
    p.name = name;
    return p;
}

} // namespace

// Every option reaches its own field, in the phases read with the node and
// in a phase built later, and the console confirms them in reading order.
TEST(PrecipitateOptions, EveryValueReachesItsFieldOfAnyPhase)
{
    ScopedWorkDir dir;
    dir.write("data", "maxDissolutionLimit 3e-10\nminDissolutionLimit 5e-11\nclassManagementType quad\n"
                      "unstationnaryNucleation\nchangeNumberInClass 0.2\nlimitOfpreciInClassForDissolution 7\n"
                      "targetClassNumber 0x20\nboostPrecipitateDiffusion beta 4\nboostPrecipitateDiffusion gamma 5\n"
                      "diffusionCoefficientRatio 30\nnonLinearAlgorithm dicho\nNR_maximumCount 12\n"
                      "tol_divideResidu_NR 50\ntol_Brent_Dicho 1e-11\n");
    const std::vector<Precipitate> phases{phase("beta"), phase("gamma")};
    testing::internal::CaptureStdout();
    const PrecipitateOptions options = readPrecipitateOptions("data", phases, Console(false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Brent or dichotomy tolerance changed to: 1e-11\n"
              "NewtonRaphson algorithm tolerance changed to: 50\n"
              "NewtonRaphson maximumCount changed to: 12\n"
              "nonLinearAlgorithm changed to: dicho\n"
              "diffusionCoefficientRatio changed to: 30\n"
              "boostPrecipitateDiffusion changed to: 4 for beta\n"
              "boostPrecipitateDiffusion changed to: 5 for gamma\n"
              "boostPrecipitateDiffusion changed to: 4 for beta\n"
              "boostPrecipitateDiffusion changed to: 5 for gamma\n"
              "targetClassNumber changed to: 0x20\n"
              "limitOfpreciInClassForDissolution changed to: 7\n"
              "changeNumberInClass changed to: 0.2\n"
              "classManagementType changed to: quad\n"
              "minDissolutionLimit changed to: 5e-11\n"
              "maxDissolutionLimit changed to: 3e-10\n");

    Precipitate later = phase("gamma");
    options.applyTo(later);
    EXPECT_EQ(later.solver.tolBrentDicho, 1e-11);
    EXPECT_EQ(later.solver.tolNR, 50.0);
    EXPECT_EQ(later.solver.maxCountNR, 12.0);
    EXPECT_EQ(later.nonLinearAlgorithm, nonlinear_algorithm::dichotomy);
    EXPECT_EQ(later.diffusionCoefficientRatio, 30.0);
    EXPECT_EQ(later.boostPrecipitateDiffusion, 5.0);
    EXPECT_EQ(later.targetClassNumber, 32);
    EXPECT_EQ(later.limitOfpreciInClassForDissolution, 7.0);
    EXPECT_EQ(later.changeNumberInClass, 0.2);
    EXPECT_TRUE(later.unstationnaryNucleation);
    EXPECT_EQ(later.classManagementType, class_management::method::quad);
    EXPECT_EQ(later.minDissolutionLimit, 5e-11);
    EXPECT_EQ(later.maxDissolutionLimit, 3e-10);

    // Options absent from the file leave a phase's own values alone.
    Precipitate untouched = phase("delta");
    PrecipitateOptions().applyTo(untouched);
    options.applyTo(untouched);
    EXPECT_EQ(untouched.boostPrecipitateDiffusion, 1.0);
    Precipitate defaults = phase("beta");
    PrecipitateOptions().applyTo(defaults);
    EXPECT_EQ(defaults.targetClassNumber, 500);
    EXPECT_EQ(defaults.classManagementType, class_management::method::no);
}
