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
    name = fileName;
    stream.imbue(std::locale::classic());
    setPrecision(precision);
    return true;
}

void ResultFile::setPrecision(int precision)
{
    stream.precision(std::min(precision, exactDigits));
}

void ResultFile::close()
{
    stream.flush();
    const bool written = static_cast<bool>(stream);
    stream.close();
    if (!written || stream.fail()) Log::fatalError("Unable to write file " + name);
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
