#include <csignal>

#include "core/log.h"
#include "core/run_protocol.h"
#include "network/node_ostrel.h"
#include "network/run_over_processes.h"
#include "parallel/processes.h"

int main(int argc, char** argv)
{
    // A file-size limit must not kill the run silently: the write that passes
    // it fails instead, and the results writer reports it as a fatal error.
    std::signal(SIGXFSZ, SIG_IGN);
    Processes processes(argc, argv);
    if (Processes::overSeveralProcesses()) {
        try {
            return runOverProcesses(processes, argc, argv);
        } catch (const FatalErrorRaised&) {
            // Met by one process outside the work the processes end together.
            processes.abandon(1);
        }
    }

    beginRun();
    {
        nodeOstrel network;
        network.initialize(argc, argv);
        network.run();
        markNormalEnd();
    }
    return 0;
}
