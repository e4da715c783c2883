#pragma once

#include <string>
#include <sys/types.h>

// The standard input of one gnuplot process. Commands are collected and sent
// at each flush. A process that has gone away (a closed window, a terminal it
// lacks) turns every later write into nothing: it never ends or stalls the run.
//
// A process has exactly one owner, so it is closed exactly once: a copy
// starts without a process, a move hands it over, and assigning a copy first
// closes the process the target owned. Nodes copied from the template
// therefore never share, or close, another node's plot window.
class GnuplotPipe {
public:
    GnuplotPipe() = default;
    ~GnuplotPipe();
    GnuplotPipe(const GnuplotPipe&) noexcept {}
    GnuplotPipe& operator=(const GnuplotPipe& other);
    GnuplotPipe(GnuplotPipe&& other) noexcept;
    GnuplotPipe& operator=(GnuplotPipe&& other) noexcept;

    // Starts "/opt/local/bin/gnuplot" when that file is executable, and the
    // gnuplot found on PATH when it is not or fails to start. When neither
    // can be started, logs one warning and returns false; the pipe then
    // stays closed.
    bool start();

    // Whether a process was started and has not been closed yet (it may
    // have exited since).
    bool isOpen() const { return process > 0; }
    // Whether commands are still sent: false once a write found the process gone.
    bool writable() const { return writeEnd >= 0; }

    // Appends one printf-formatted command text; nothing when the pipe is
    // closed or its process has gone.
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void flush();

    // Sends what is pending, closes the pipe and waits for gnuplot to end,
    // so that a picture it writes is complete on return.
    void close();

private:
    int writeEnd = -1;
    pid_t process = -1;
    std::string pending;

    void stopWriting();
};

// The first executable file named "gnuplot" in the directories of PATH;
// empty when there is none.
std::string findGnuplotOnPath();
