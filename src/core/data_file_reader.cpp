#include "core/data_file_reader.h"

#include <filesystem>
#include <fstream>

#include "core/log.h"

void DataFileReader::readKeyword(const std::string& fileName, const std::string& keyword,
                                 std::vector<KeywordLine>& lines, bool optional)
{
    lines.clear();
    // A directory opens like a file on some systems but holds no lines.
    std::error_code ignored;
    std::ifstream file;
    if (!std::filesystem::is_directory(fileName, ignored)) file.open(fileName, std::ios::binary);
    if (!file.is_open()) Log::fatalError("File " + fileName + " not found");

    std::string text;
    KeywordLine arguments;
    while (std::getline(file, text)) {
        splitArguments(text, arguments);
        if (!arguments.empty() && arguments[0] == keyword) lines.push_back(arguments);
    }
    file.close();

    if (!optional && lines.empty())
        Log::fatalError("keyword " + keyword + " not found in datafile.");
}

void DataFileReader::splitArguments(const std::string& text, KeywordLine& arguments)
{
    arguments.clear();
    std::string::size_type start = 0;
    while (start < text.size()) {
        const std::string::size_type separator = text.find_first_of(separators, start);
        if (separator == std::string::npos) {
            arguments.push_back(text.substr(start));
            return;
        }
        if (separator > start) arguments.push_back(text.substr(start, separator - start));
        start = separator + 1;
    }
}
