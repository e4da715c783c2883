#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace testing_support {

// Last line of log.log in the working directory ("" when there is none).
inline std::string lastLogLine()
{
    const auto lines = readLines("log.log");
    return lines.empty() ? std::string() : lines.back();
}

} // namespace testing_support

// Runs `statement` in a child process and expects it to stop the run through
// Log::fatalError with `message`. Use inside a ScopedWorkDir: the working
// directory's log.log is cleared first and read afterwards.
#define EXPECT_FATAL(statement, message)                                                     \
    do {                                                                                     \
        std::remove("log.log");                                                              \
        EXPECT_EXIT(statement, ::testing::ExitedWithCode(1), "");                            \
        EXPECT_EQ(::testing_support::lastLogLine(), std::string("FATAL ERROR: ") + (message)); \
    } while (0)
