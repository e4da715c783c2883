#pragma once

#include <fstream>
#include <string>
#include <vector>

// The arguments of one data-file line; element 0 is the keyword.
using KeywordLine = std::vector<std::string>;

// Keyword queries on the data file. Holds no state: every query opens the
// file, reads it from start to end and closes it again.
class DataFileReader {
public:
    // Fills `lines` with every line whose first argument equals `keyword`, in
    // file order. An unopenable file, or an absent keyword when `optional` is
    // false, is fatal.
    static void readKeyword(const std::string& fileName, const std::string& keyword,
                            std::vector<KeywordLine>& lines, bool optional);

    // Splits one line into arguments separated by blank, tab, newline,
    // backspace or carriage return; runs of separators give no empty argument.
    static void splitArguments(const std::string& text, KeywordLine& arguments);

    // Opens an input file named in the run (the data file, a distribution
    // file) for reading; one that cannot be opened, or is a directory, is
    // fatal: "File " + name + " not found".
    static void openInputFile(std::ifstream& file, const std::string& fileName);
    // The same without the fatal error, for callers with a message of their own.
    static bool tryOpenInputFile(std::ifstream& file, const std::string& fileName);

    static constexpr const char* separators = " \t\n\b\r";
};
