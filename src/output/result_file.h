#pragma once

#include <array>
#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>

#include "core/general_text.h"

// One write (the header or one record) to a results file. Every number of
// the result files goes out through this type, in general notation with the
// file's precision whatever the user's locale, so the way numbers are
// formatted is decided here and nowhere else. An unopenable file costs a
// warning in log.log and never stops the run; the caller then skips its write.
class ResultFile {
public:
    ResultFile() = default;
    ResultFile(const ResultFile&) = delete;
    ResultFile& operator=(const ResultFile&) = delete;
    // A writer left by an error drops its unfinished record unchecked.
    ~ResultFile();

    bool open(const std::string& fileName, std::ios::openmode mode, int precision);
    void setPrecision(int precision);
    // Ends the write: a record that could not be written completely (a full
    // disk, a file-size limit, an I/O error) stops the run with "Unable to
    // write file " + its name instead of leaving a results file that
    // silently lacks it.
    void close();

    ResultFile& operator<<(double number);      // `precision` significant digits
    ResultFile& operator<<(std::size_t count);  // a whole number, e.g. a class count
    ResultFile& operator<<(std::string_view text);
    ResultFile& operator<<(char character);

private:
    // The text waits here and goes to the file in large pieces: a record of
    // thousands of numbers then costs a few writes, not a stream call per
    // number. The file stream itself keeps no second buffer.
    static constexpr std::size_t bufferSize = 16384;

    std::ofstream stream;
    std::string name;
    int precision = 6;
    std::array<char, bufferSize> buffer;
    std::size_t used = 0;

    // Where `size` more characters can be written (after writing out what
    // waits, if it would not fit).
    char* room(std::size_t size)
    {
        if (used + size > buffer.size()) writeOut();
        return buffer.data() + used;
    }
    void writeOut();
};

// The two writes of every number of a record, here so that they cost no call.
inline ResultFile& ResultFile::operator<<(double number)
{
    char* text = room(conversion::generalTextCapacity);
    used += static_cast<std::size_t>(conversion::writeGeneral(text, number, precision) - text);
    return *this;
}

inline ResultFile& ResultFile::operator<<(char character)
{
    *room(1) = character;
    ++used;
    return *this;
}
