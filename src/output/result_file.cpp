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

bool ResultFile::open(const std::string& fileName, std::ios::openmode mode, int precision)
{
    stream.open(fileName, mode);
    if (!stream.is_open()) {
        Log::logWarning("Unable to open file:" + fileName + ". Computation continues.");
        return false;
    }
    stream.imbue(std::locale::classic());
    stream.precision(std::min(precision, exactDigits));
    return true;
}

ResultFile& ResultFile::operator<<(double number)
{
    stream << number;
    return *this;
}

ResultFile& ResultFile::operator<<(std::size_t count)
{
    stream << count;
    return *this;
}

ResultFile& ResultFile::operator<<(std::string_view text)
{
    stream << text;
    return *this;
}

ResultFile& ResultFile::operator<<(char character)
{
    stream << character;
    return *this;
}
