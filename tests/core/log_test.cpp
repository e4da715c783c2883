#include <gtest/gtest.h>

#include <filesystem>

#include "core/log.h"
#include "support/temp_dir.h"

using testing_support::readLines;
using testing_support::ScopedWorkDir;

TEST(Log, WarningsAndMessagesGoOnlyToTheLogFile)
{
    ScopedWorkDir dir;
    testing::internal::CaptureStdout();
    Log::logMessage("plain line");
    Log::logWarning("something odd");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(readLines(dir.path() / "log.log"),
              (std::vector<std::string>{"plain line", "WARNING: something odd"}));
}

TEST(Log, UnopenableLogFileIsReportedOnTheConsole)
{
    ScopedWorkDir dir;
    std::filesystem::create_directory(dir.path() / "log.log");
    testing::internal::CaptureStdout();
    Log::logWarning("lost");
    Log::logMessage("lost too");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "WARNING: Unable to open file log.log.\nWARNING: Unable to open file log.log.\n");
}

TEST(LogDeathTest, FatalErrorEndsWithStatusOneAndLogsTheLine)
{
    ScopedWorkDir dir;
    EXPECT_EXIT(Log::fatalError("broken input"), testing::ExitedWithCode(1),
                "");
    EXPECT_EQ(readLines(dir.path() / "log.log"),
              (std::vector<std::string>{"FATAL ERROR: broken input"}));
}
