#pragma once

#include <string>
#include <vector>

#include "mechanics/mechanical_model.h"

class Element;
class Precipitate;

// The two results files of a node's mechanics. Stresses are written in MPa;
// an unopenable file costs a warning and the record, a failed write stops the
// run ("Unable to write file " + name).

// Strength per time step: thermoFileStem + "Mechanic_" + node + ".dat". The
// first call of the run writes the header (truncating the file); every call
// appends one line at t, dt, T, the strength terms with `precision`
// significant digits and, under strong coupling, the hardening state.
void TimeStepMechanicalResults(const std::string& thermoFileStem, int nodeNumber, bool first, int precision,
                               double t, double dt, double T, const MechanicalModel& model,
                               const std::vector<Element>& elements, const std::vector<Precipitate>& precipitates);

// Stress response along the strain history: strain stem + "_node" + node +
// ".dat". first writes the header (truncating the file); not final appends
// the current state at `time`; final (and not first) appends every record of
// the uncoupled integration.
void HardeningResults(bool first, bool final, double time, const MechanicalModel& model, int nodeNumber,
                      const std::vector<HardeningRecord>& results);
