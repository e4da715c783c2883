#include "output/result_file.h"

#include <charconv>

#include "core/log.h"
#include "core/number_conversion.h"

ResultFile::~ResultFile()
{
    if (stream.is_open()) close();
}

bool ResultFile::open(const std::string& fileName, std::ios::openmode mode, int digits)
{
    stream.open(fileName, mode);
    if (!stream.is_open()) {
        Log::logWarning("Unable to open file:" + fileName + ". Computation continues.");
        return false;
    }
    name = fileName;
    setPrecision(digits);
    return true;
}

void ResultFile::setPrecision(int digits)
{
    precision = digits;
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
    char text[conversion::generalTextCapacity];
    stream.write(text, conversion::writeGeneral(text, number, precision) - text);
    return *this;
}

ResultFile& ResultFile::operator<<(std::size_t count)
{
    char text[24];
    stream.write(text, std::to_chars(text, text + sizeof text, count).ptr - text);
    return *this;
}

ResultFile& ResultFile::operator<<(std::string_view text)
{
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    return *this;
}

ResultFile& ResultFile::operator<<(char character)
{
    stream.put(character);
    return *this;
}
