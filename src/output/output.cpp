#include "output/output.h"

#include "core/log.h"

// Work in progress: bodies follow.
void Output::ReadOutputOptions(const std::string&, const std::vector<Precipitate>&, bool) { Log::fatalError("ReadOutputOptions: not built yet"); }
void Output::SaveResults(const Matrix&, const std::vector<Element>&, const std::vector<Precipitate>&, const TemperatureProfile&, unsigned int, double, double, double, unsigned int, int, bool) { Log::fatalError("SaveResults: not built yet"); }
void Output::ThermoResults(double, double, double, const Matrix&, const std::vector<Element>&, const std::vector<Precipitate>&, int) { Log::fatalError("ThermoResults: not built yet"); }
void Output::DistribResults(double, const std::vector<Precipitate>&, int) { Log::fatalError("DistribResults: not built yet"); }
void Output::CheckCoupledRecords(const TemperatureProfile&) const { Log::fatalError("CheckCoupledRecords: not built yet"); }
