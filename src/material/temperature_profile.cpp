#include "material/temperature_profile.h"

#include "core/log.h"

// Work in progress: bodies follow.
void TemperatureProfile::setProfile(const KeywordLine&) { Log::fatalError("setProfile: not built yet"); }
double TemperatureProfile::GetTemperature(double) const { Log::fatalError("GetTemperature: not built yet"); }
double TemperatureProfile::GetTime(unsigned int) const { Log::fatalError("GetTime: not built yet"); }
double TemperatureProfile::GetInitialTime() const { Log::fatalError("GetInitialTime: not built yet"); }
void readTemperatureProfile(const std::string&, TemperatureProfile&) { Log::fatalError("readTemperatureProfile: not built yet"); }
