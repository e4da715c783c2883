#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "ostrel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

void TempDir::write(const std::string& name, const std::string& content) const
{
    const fs::path file = root / name;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << content;
}

std::string TempDir::read(const std::string& name) const
{
    std::ifstream in(root / name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempDir::exists(const std::string& name) const
{
    return fs::exists(root / name);
}

ScopedWorkDir::ScopedWorkDir() : previous(fs::current_path())
{
    fs::current_path(path());
}

ScopedWorkDir::~ScopedWorkDir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

std::vector<std::string> readLines(const fs::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> fields(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

} // namespace testing_support
