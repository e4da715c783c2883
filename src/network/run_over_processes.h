#pragma once

class Processes;

// A whole run (reading, nodes, marker files) with its nodes spread over the
// processes. Every process calls it; it returns the exit status of the run,
// the same on every process: 0 after a normal run, 1 after a fatal error.
//
// The console and log.log get the lines of the serial run, in its order,
// from the root alone. The data file is read by the root first, then by the
// others silently. Unconnected nodes go to whichever process is free next;
// a node's result files and plots are written by that process only, from its
// initial results on. Lines of a node reach the root when the node's
// preparation or run ends; the root writes all preparations (the serial run
// prepares every node while reading) before the first node's run. Connected
// nodes are shared out in contiguous blocks that advance in lockstep
// (Lockstep); the lines of a global step reach the root at its end.
int runOverProcesses(Processes& processes, int argc, const char* const* argv);
