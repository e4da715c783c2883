#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A fresh directory under the system temporary directory, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return root; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::filesystem::path root;
};

// A TempDir that is also the working directory while it lives, so code that
// writes log.log or result files never touches the build tree.
class ScopedWorkDir : public TempDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();

private:
    std::filesystem::path previous;
};

// Lines of a text file (without their newlines); empty when missing.
std::vector<std::string> readLines(const std::filesystem::path& file);

// The blank-separated words of a line.
std::vector<std::string> fields(const std::string& line);

} // namespace testing_support
