#include <csignal>
#include <cstdio>
#include <iostream>
#include <unistd.h>

#include "network/node_ostrel.h"

int main(int argc, char** argv)
{
    // A file-size limit must not kill the run silently: the write that passes
    // it fails instead, and the results writer reports it as a fatal error.
    std::signal(SIGXFSZ, SIG_IGN);
    std::cout << "Welcome to Ostrel v3.0 (May. 25th 2022)" << std::endl;
    // unlink, not remove: a directory that happens to carry one of these names
    // is left alone.
    unlink("computation.end");
    unlink("log.log");

    {
        nodeOstrel network;
        network.initialize(argc, argv);
        network.run();
        // The marker tells a supervising script that the run ended normally.
        std::FILE* marker = std::fopen("computation.end", "w");
        if (marker != nullptr) std::fclose(marker);
    }
    return 0;
}
