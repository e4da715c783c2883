#include "output/result_file.h"

#include <algorithm>
#include <locale>

#include "core/log.h"

namespace {

// Every double is written exactly with at most 767 significant digits, so a
// larger precision cannot change what is written; it only costs time and
// memory in the stream formatting, which near the int limit even writes
// wrong digits.
constexpr int exactDigits = 800;

} // namespace

bool openResultFile(std::ofstream& file, const std::string& fileName, std::ios::openmode mode,
                    int precision)
{
    file.open(fileName, mode);
    if (!file.is_open()) {
        Log::logWarning("Unable to open file:" + fileName + ". Computation continues.");
        return false;
    }
    file.imbue(std::locale::classic());
    file.precision(std::min(precision, exactDigits));
    return true;
}
