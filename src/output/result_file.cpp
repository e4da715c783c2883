#include "output/result_file.h"

#include <algorithm>
#include <charconv>

#include "core/log.h"

ResultFile::~ResultFile()
{
    // Every write ends with close(), so only a writer left by an error gets
    // here with its file open: the run is ending with that error, and the
    // unfinished record is dropped (as a run that exits at once drops it)
    // rather than raising a second error while the first one travels.
    if (stream.is_open()) stream.close();
}

bool ResultFile::open(const std::string& fileName, std::ios::openmode mode, int digits)
{
    // Before opening, or the file stream keeps its own buffer.
    stream.rdbuf()->pubsetbuf(nullptr, 0);
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

void ResultFile::writeOut()
{
    stream.write(buffer.data(), static_cast<std::streamsize>(used));
    used = 0;
}

void ResultFile::close()
{
    writeOut();
    stream.flush();
    const bool written = static_cast<bool>(stream);
    stream.close();
    if (!written || stream.fail()) Log::fatalError("Unable to write file " + name);
}

ResultFile& ResultFile::operator<<(std::size_t count)
{
    constexpr std::size_t digits = 20;
    char* text = room(digits);
    used += std::to_chars(text, text + digits, count).ptr - text;
    return *this;
}

ResultFile& ResultFile::operator<<(std::string_view text)
{
    if (text.size() > buffer.size()) {
        writeOut();
        stream.write(text.data(), static_cast<std::streamsize>(text.size()));
        return *this;
    }
    std::copy(text.begin(), text.end(), room(text.size()));
    used += text.size();
    return *this;
}

