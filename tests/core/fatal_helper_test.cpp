#include "support/fatal.h"

#include "core/log.h"

TEST(FatalHelperDeathTest, ChecksTheLoggedMessage)
{
    testing_support::ScopedWorkDir dir;
    EXPECT_FATAL(Log::fatalError("exact text"), "exact text");
}
