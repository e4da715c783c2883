#include "output/result_file.h"

#include <locale>

#include "core/log.h"

bool openResultFile(std::ofstream& file, const std::string& fileName, std::ios::openmode mode,
                    int precision)
{
    file.open(fileName, mode);
    if (!file.is_open()) {
        Log::logWarning("Unable to open file:" + fileName + ". Computation continues.");
        return false;
    }
    file.imbue(std::locale::classic());
    file.precision(precision);
    return true;
}
