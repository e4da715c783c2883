#include "core/run_protocol.h"
#include "network/node_ostrel.h"
#include "network/run_over_processes.h"
#include "parallel/processes.h"

int main(int argc, char** argv)
{
    Processes processes(argc, argv);
    if (Processes::overSeveralProcesses()) return runOverProcesses(processes, argc, argv);

    beginRun();
    {
        nodeOstrel network;
        network.initialize(argc, argv);
        network.run();
        markNormalEnd();
    }
    return 0;
}
