#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "kinetics/precipitate.h"
#include "material/element.h"
#include "material/temperature_profile.h"
#include "mechanics/mechanical_model.h"

namespace mechanics_testing {

// An Al-Cu node with one rod-shaped phase "beta" held at 433 K for an hour.
struct MechanicsNode {
    std::vector<Element> elements;
    std::vector<Precipitate> precipitates;
    TemperatureProfile profile;

    MechanicsNode()
    {
        elements.resize(2);
        elements[0].name = "Cu";
        elements[0].molarMass = 63.55;
        elements[0].ssFraction = 0.001;
        elements[1].name = "Al";
        elements[1].molarMass = 26.98;
        elements[1].ssFraction = 0.999;
        precipitates.resize(1);
        Precipitate& beta = precipitates[0];
        beta.name = "beta";
        beta.shape = shape::rod;
        beta.aspectRatio = 8.0;
        profile.setProfile({"temperatureProfile", "0", "433", "3600", "433"});
    }
};

// Mechanical keywords of a complete strength model 1 for MechanicsNode.
inline const char* strengthKeywords =
    "mechanicModel 1\n"
    "SSconstant Cu MPa_Xat 10\n"
    "young 300 70e9\n"
    "poisson 300 0.33\n"
    "dislocations 1e12 0.3 0.36\n"
    "cristalloConstant 10e6 3.06 2.86e-10 cfc\n"
    "precipitateConstants beta 3e-9 triangular 100e9 0.3 0 10 0.5 0\n";

// A file of the working directory.
inline void writeFile(const std::string& name, const std::string& content)
{
    std::ofstream out(name, std::ios::binary);
    out << content;
}

// Writes `data` in the working directory and reads the
// node's mechanical model from it, silently.
inline MechanicalModel readModel(const std::string& data, const MechanicsNode& node = MechanicsNode(),
                                 int nodeNumber = 0)
{
    writeFile("data", data);
    MechanicalModel model;
    model.ReadMechanicalInput("data", node.elements, node.precipitates, node.profile, nodeNumber, true);
    return model;
}

} // namespace mechanics_testing
