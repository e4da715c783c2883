#pragma once

// Physical constants used by every computation of the program, with exactly
// these values, and the absolute tolerance on times (s).
namespace constants {
inline constexpr double gasConstant = 8.314;     // J/(mol K)
inline constexpr double boltzmann = 1.38e-23;    // J/K
inline constexpr double timeTolerance = 2.220446049250313e-16;
inline constexpr double pi = 3.141592653589793;
// The longest time step (s): a step never grows beyond it, so that a large
// increaseDT cannot make it infinite, and it stands for "no limit" where the
// smallest of the steps proposed by the nodes is sought.
inline constexpr double largestTimeStep = 1e300;
} // namespace constants
