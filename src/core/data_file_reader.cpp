#include "core/data_file_reader.h"

#include <filesystem>

#include "core/log.h"

void DataFileReader::readKeyword(const std::string& fileName, const std::string& keyword,
                                 std::vector<KeywordLine>& lines, bool optional)
{
    lines.clear();
    std::ifstream file;
    openInputFile(file, fileName);

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

bool DataFileReader::tryOpenInputFile(std::ifstream& file, const std::string& fileName)
{
    // A directory opens like a file on some systems but holds no lines.
    std::error_code ignored;
    if (!std::filesystem::is_directory(fileName, ignored)) file.open(fileName, std::ios::binary);
    return file.is_open();
}

void DataFileReader::openInputFile(std::ifstream& file, const std::string& fileName)
{
    if (!tryOpenInputFile(file, fileName)) Log::fatalError("File " + fileName + " not found");
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
