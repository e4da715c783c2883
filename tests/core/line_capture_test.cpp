#include <gtest/gtest.h>

#include <filesystem>

#include "core/console.h"
#include "core/line_capture.h"
#include "core/log.h"
#include "support/temp_dir.h"

using testing_support::readLines;
using testing_support::ScopedWorkDir;

namespace {

void writeSomeLines()
{
    Console::sayAlways("progress");
    Log::logWarning("odd");
    Console(true).say("silenced");
    Log::logMessage("");
    Console().say("confirmed");
}

} // namespace

// Lines recorded and replayed reach the console and log.log exactly as the
// same calls write them directly, empty lines included.
TEST(LineCapture, ReplayWritesWhatTheCallsWouldHaveWritten)
{
    ScopedWorkDir direct;
    testing::internal::CaptureStdout();
    writeSomeLines();
    const std::string directConsole = testing::internal::GetCapturedStdout();
    const auto directLog = readLines(direct.path() / "log.log");

    ScopedWorkDir replayed;
    LineRecorder recorder;
    testing::internal::CaptureStdout();
    line_capture::start(recorder);
    writeSomeLines();
    line_capture::stop();
    EXPECT_FALSE(std::filesystem::exists(replayed.path() / "log.log"));
    line_capture::replay(recorder.take());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), directConsole);
    EXPECT_EQ(readLines(replayed.path() / "log.log"), directLog);
    EXPECT_TRUE(recorder.empty());
}

// A driver of several processes gets the fatal error as an exception, its
// lines recorded first; an unwritable log.log turns into a console line at
// replay, where the direct write would have printed it.
TEST(LineCapture, RaisedFatalErrorIsRecordedBeforeItIsThrown)
{
    ScopedWorkDir dir;
    std::filesystem::create_directory(dir.path() / "log.log");
    LineRecorder recorder;
    line_capture::start(recorder);
    Log::raiseFatalErrors(true);
    std::string message;
    try {
        Log::fatalError("broken");
    } catch (const FatalErrorRaised& fatal) {
        message = fatal.message;
    }
    Log::raiseFatalErrors(false);
    line_capture::stop();
    EXPECT_EQ(message, "broken");

    testing::internal::CaptureStdout();
    line_capture::replay(recorder.take());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "FATAL ERROR: broken\nWARNING: Unable to open file log.log.\n");
}
