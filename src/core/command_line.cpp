#include "core/command_line.h"

#include <limits>

#include "core/constants.h"
#include "core/log.h"
#include "core/number_conversion.h"

std::string readCommandLine(int argc, const char* const* argv)
{
    std::string path;
    std::string fileName = "data";
    // The value after an option is itself examined as an option at the next
    // position, so "-path -file x" sets the path to "-file" and the file to "x".
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument != "-path" && argument != "-file") continue;
        if (i + 1 >= argc)
            Log::fatalError("Ostrel have been launch with an incorrect number of arguments");
        if (argument == "-path")
            path = argv[i + 1];
        else
            fileName = argv[i + 1];
    }
    return path + fileName;
}

void logConstants()
{
    Log::logMessage("Constant parameters values");
    Log::logMessage("Max precision for double: " + conversion::toDefaultText(std::numeric_limits<double>::epsilon()));
    Log::logMessage("Gas constant: " + conversion::toDefaultText(constants::gasConstant));
    Log::logMessage("Boltzman constant: " + conversion::toDefaultText(constants::boltzmann));
}
