#include "core/run_protocol.h"

#include <cstdio>
#include <unistd.h>

#include "core/console.h"
#include "core/log.h"

void beginRun()
{
    Console::sayAlways("Welcome to Ostrel v3.0 (May. 25th 2022)");
    // unlink, not remove: a directory that happens to carry one of these names
    // is left alone.
    unlink("computation.end");
    unlink(Log::fileName);
}

void markNormalEnd()
{
    // A marker that cannot be created is no failure of the run itself.
    std::FILE* marker = std::fopen("computation.end", "w");
    if (marker != nullptr) std::fclose(marker);
}
