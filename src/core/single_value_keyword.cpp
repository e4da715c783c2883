#include "core/single_value_keyword.h"

#include <vector>

#include "core/data_file_reader.h"
#include "core/log.h"

std::optional<std::string> readSingleValue(const std::string& dataFile, const std::string& keyword,
                                           const std::string& label)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, keyword, lines, true);
    if (lines.empty()) return std::nullopt;
    if (lines.size() > 1) Log::fatalError(label + " defined twice.");
    const KeywordLine& line = lines[0];
    if (line.size() < 2) Log::fatalError("Too low nb of arguments defined for " + label + ".");
    if (line.size() > 2)
        Log::logWarning("Too many arguments defined for " + label + ", only the first is taken into account.");
    return line[1];
}

std::optional<std::size_t> readFlag(const std::string& dataFile, const std::string& keyword)
{
    std::vector<KeywordLine> lines;
    DataFileReader::readKeyword(dataFile, keyword, lines, true);
    if (lines.empty()) return std::nullopt;
    if (lines.size() > 1) Log::fatalError(keyword + " defined twice.");
    return lines[0].size() - 1;
}
