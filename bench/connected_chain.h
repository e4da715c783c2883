#pragma once

// The case of the benchmarks of connected nodes: a chain of Al-Sc nodes,
// slices of 1 um along x connected to the next, Sc graded from 0.1 to
// 0.3 wt% along the chain, one phase of `classCount` classes per node
// starting from a log-normal distribution that holds a small share of the
// Sc, held at 623 K with a constant step of 1 s (no rejection) up to
// `endTime` s. Results are written only at the start and the end.

#include <filesystem>
#include <fstream>

#include "log_normal_start.h"

inline void writeConnectedChain(const std::filesystem::path& dir, int nodeCount, int classCount, double endTime)
{
    writeLogNormalStart(dir / "start.dat", classCount, 1e20);

    std::ofstream data(dir / "data");
    data << "notVerbose\n" << alScStartingFromDistribution(classCount)
         << "temperatureProfile 0 623 "
         << endTime << " 623\n"
         << "increaseDT 1\ninitialDT 1\nmaxCriterionIncrease 1e6\n"
            "savethermodynamics resultsThermo 999999\n"
            "savedistribution distribution 999999\n"
            "nodes "
         << nodeCount << "\n";
    for (int k = 0; k < nodeCount; ++k) data << "node " << k << ' ' << k * 1e-6 << " 0 0 1e-18\n";
    for (int k = 0; k + 1 < nodeCount; ++k) data << "connect " << k << ' ' << k + 1 << " 1e-12\n";
    for (int k = 0; k < nodeCount; ++k)
        data << "nodeProperty " << k << ' ' << k << " element Sc " << 0.1 + 0.2 * k / (nodeCount - 1)
             << " 44.96 5.31e-4 173000\n";
}
