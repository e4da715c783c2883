#include "output/gnuplot_pipe.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include "core/log.h"

namespace {

// Commands are sent once this much text is pending even without a flush, so
// a long inline distribution never piles up in memory.
constexpr std::size_t sendThreshold = 1 << 16;

// Where a local install puts gnuplot; taken before the one on PATH.
constexpr const char* fixedGnuplotPath = "/opt/local/bin/gnuplot";

// The search path of execvp when PATH is not set.
constexpr const char* defaultSearchPath = "/bin:/usr/bin";

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Writes everything, or stops at the first failure. A reader that has gone
// gives EPIPE; the SIGPIPE that comes with it is held back and consumed here,
// so that it neither ends the process nor changes how the rest of the
// program reacts to the signal.
bool writeAll(int fd, const char* data, std::size_t size)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const bool signalWasPending = sigismember(&pendingBefore, SIGPIPE) == 1;

    int failure = 0;
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            failure = errno;
            break;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }

    // Only a signal raised here is taken; one that was already waiting
    // stays for the rest of the program.
    if (failure == EPIPE && !signalWasPending) {
        sigset_t pendingAfter;
        sigpending(&pendingAfter);
        int taken = 0;
        if (sigismember(&pendingAfter, SIGPIPE) == 1) sigwait(&pipeSignal, &taken);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    return failure == 0;
}

// Starts `program` with its standard input read from a new pipe. Both ends
// are closed on exec, so no other child (a second plot window) holds this
// pipe open and keeps gnuplot from seeing its end.
bool spawnWithInputPipe(const std::string& program, int& writeEnd, pid_t& process)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    std::string name = program;
    char* arguments[] = {name.data(), nullptr};
    pid_t child = -1;
    const int status = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);

    if (status != 0) {
        ::close(ends[1]);
        return false;
    }
    writeEnd = ends[1];
    process = child;
    return true;
}

} // namespace

std::string findGnuplotOnPath()
{
    const char* searchPath = std::getenv("PATH");
    const std::string directories = searchPath != nullptr ? searchPath : defaultSearchPath;
    std::size_t begin = 0;
    while (begin <= directories.size()) {
        std::size_t end = directories.find(':', begin);
        if (end == std::string::npos) end = directories.size();
        // An empty entry names the working directory, as for the shell.
        const std::string directory = end == begin ? "." : directories.substr(begin, end - begin);
        const std::string candidate = directory + "/gnuplot";
        if (isExecutableFile(candidate)) return candidate;
        begin = end + 1;
    }
    return {};
}

GnuplotPipe::~GnuplotPipe()
{
    close();
}

GnuplotPipe& GnuplotPipe::operator=(const GnuplotPipe& other)
{
    if (this != &other) close();
    return *this;
}

GnuplotPipe::GnuplotPipe(GnuplotPipe&& other) noexcept
    : writeEnd(std::exchange(other.writeEnd, -1)), process(std::exchange(other.process, -1)),
      pending(std::move(other.pending))
{
    other.pending.clear();
}

GnuplotPipe& GnuplotPipe::operator=(GnuplotPipe&& other) noexcept
{
    if (this != &other) {
        close();
        writeEnd = std::exchange(other.writeEnd, -1);
        process = std::exchange(other.process, -1);
        pending = std::move(other.pending);
        other.pending.clear();
    }
    return *this;
}

bool GnuplotPipe::start()
{
    close();
    if (isExecutableFile(fixedGnuplotPath) && spawnWithInputPipe(fixedGnuplotPath, writeEnd, process)) return true;
    const std::string onPath = findGnuplotOnPath();
    if (!onPath.empty() && spawnWithInputPipe(onPath, writeEnd, process)) return true;
    Log::logWarning("Unable to open gnuplot. Computation continues.");
    return false;
}

void GnuplotPipe::print(const char* format, ...)
{
    if (!writable()) return;

    // Most commands fit the local buffer; longer ones (long names) are
    // formatted a second time straight into the pending text.
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) < sizeof line) {
        pending.append(line, static_cast<std::size_t>(length));
    } else {
        const std::size_t start = pending.size();
        pending.resize(start + static_cast<std::size_t>(length) + 1);
        va_start(arguments, format);
        std::vsnprintf(&pending[start], static_cast<std::size_t>(length) + 1, format, arguments);
        va_end(arguments);
        pending.resize(start + static_cast<std::size_t>(length));
    }
    if (pending.size() >= sendThreshold) flush();
}

void GnuplotPipe::flush()
{
    if (!writable() || pending.empty()) return;
    if (!writeAll(writeEnd, pending.data(), pending.size())) stopWriting();
    pending.clear();
}

void GnuplotPipe::stopWriting()
{
    if (writeEnd >= 0) ::close(writeEnd);
    writeEnd = -1;
    pending.clear();
}

void GnuplotPipe::close()
{
    flush();
    stopWriting();
    if (process > 0) {
        int status = 0;
        while (waitpid(process, &status, 0) < 0 && errno == EINTR) {
        }
    }
    process = -1;
}
