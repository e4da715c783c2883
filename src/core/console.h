#pragma once

#include <string>

// The console of the network or of one node: progress and confirmation
// lines on standard output, one line each. A silent console (the data file's
// notVerbose) drops them, except the few lines that always print. Every line
// of the program that reaches standard output goes through here, so that a
// line recorder (core/line_capture.h) can hold it back.
class Console {
public:
    Console() = default;
    explicit Console(bool silent) : silenced(silent) {}

    bool silent() const { return silenced; }
    // Prints the line unless the console is silent. Callers on the time loop
    // test silent() first, so that a silent run does not even build its lines.
    void say(const std::string& line) const;
    // Prints the line whether or not the console is silent.
    static void sayAlways(const std::string& line);
    // Prints several lines at once, each ended by a newline, with one flush:
    // lines recorded earlier, which nobody watches come one by one.
    static void sayLines(const std::string& lines);

private:
    bool silenced = false;
};
