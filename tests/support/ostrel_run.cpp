#include "support/ostrel_run.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

} // namespace

OstrelRun::OstrelRun(const RunSetup& setup)
{
    // Pre-existing content goes first so a case can plant stale files (an old
    // computation.end, a directory named log.log) before the run.
    for (const auto& name : setup.directories) std::filesystem::create_directories(dir.path() / name);
    for (const auto& [name, target] : setup.links) std::filesystem::create_symlink(target, dir.path() / name);
    for (const auto& [name, content] : setup.files) dir.write(name, content);
    if (!setup.dataName.empty() && !setup.files.count(setup.dataName)) dir.write(setup.dataName, setup.data);

    const std::string consoleFile = (dir.path() / ".console").string();
    const std::string errorFile = (dir.path() / ".errors").string();
    std::vector<std::string> argStorage = setup.launcher;
    argStorage.push_back(setup.program);
    argStorage.insert(argStorage.end(), setup.args.begin(), setup.args.end());
    std::vector<char*> argv;
    for (auto& arg : argStorage) argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dir.path().c_str()) != 0) _exit(127);
        const int out = open(consoleFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0) _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        close(out);
        if (setup.errorsApart) {
            const int errors = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (errors < 0) _exit(127);
            dup2(errors, STDERR_FILENO);
            close(errors);
        }
        const int in = open("/dev/null", O_RDONLY);
        if (in >= 0) dup2(in, STDIN_FILENO);
        for (const auto& [name, value] : setup.environment) setenv(name.c_str(), value.c_str(), 1);
        if (setup.fileSizeLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(setup.fileSizeLimit), static_cast<rlim_t>(setup.fileSizeLimit)};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
    consoleText = dir.read(".console");
    unlink(consoleFile.c_str());
    if (setup.errorsApart) {
        errorText = dir.read(".errors");
        unlink(errorFile.c_str());
    }
}

std::vector<std::string> OstrelRun::consoleLines() const { return splitLines(consoleText); }

std::vector<std::string> OstrelRun::logLines() const { return readLines(dir.path() / "log.log"); }

std::vector<std::string> OstrelRun::fileLines(const std::string& name) const
{
    return readLines(dir.path() / name);
}

bool OstrelRun::consoleHasLine(const std::string& line) const
{
    const auto lines = consoleLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool OstrelRun::logHasLine(const std::string& line) const
{
    const auto lines = logLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<double> numbers(const std::string& line)
{
    std::istringstream in(line);
    std::vector<double> values;
    double value = 0.0;
    while (in >> value) values.push_back(value);
    return values;
}

std::vector<std::vector<double>> thermoRecords(const OstrelRun& run, const std::string& file)
{
    std::vector<std::vector<double>> rows;
    const auto lines = run.fileLines(file);
    for (std::size_t i = 3; i < lines.size(); ++i) rows.push_back(numbers(lines[i]));
    return rows;
}

int countConsoleLinesStartingWith(const OstrelRun& run, const std::string& prefix)
{
    int count = 0;
    for (const auto& line : run.consoleLines()) count += line.rfind(prefix, 0) == 0;
    return count;
}

OstrelRun runOstrel(const std::string& data, const std::vector<std::string>& args)
{
    RunSetup setup;
    setup.data = data;
    setup.args = args;
    return OstrelRun(setup);
}

} // namespace testing_support
