#include "core/log.h"
#include "mechanics/mechanical_model.h"

double interpolateTable(const TemperatureTable& table, double T, const char* message)
{
    const std::vector<double>& temperatures = table.temperatures;
    const std::vector<double>& values = table.values;
    const std::size_t n = temperatures.size();
    if (n == 1) return values[0];
    if (n > 1) {
        if (T < temperatures[0]) return values[0];
        if (T > temperatures[n - 1]) return values[n - 1];
        for (std::size_t i = 0; i < n; ++i)
            if (T == temperatures[i]) return values[i];
        for (std::size_t i = 0; i + 1 < n; ++i)
            if (temperatures[i] < T && T < temperatures[i + 1])
                return values[i] + (values[i + 1] - values[i]) * (T - temperatures[i])
                                       / (temperatures[i + 1] - temperatures[i]);
    }
    Log::fatalError(message);
}

double MechanicalModel::GetYoung() const
{
    return interpolateTable(youngTable, temperature, "Bad interpolation in GetYoung");
}

double MechanicalModel::GetPoisson() const
{
    return interpolateTable(poissonTable, temperature, "Bad interpolation in GetPoisson");
}
