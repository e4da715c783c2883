#pragma once

// The marker files of a run: a supervising script tells a finished run from
// an aborted one by "computation.end" alone.

// Prints the welcome line and removes the markers of an earlier run
// ("computation.end" and "log.log").
void beginRun();

// Leaves the empty "computation.end" after a run that ended normally.
void markNormalEnd();
