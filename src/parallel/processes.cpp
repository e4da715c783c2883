#include "parallel/processes.h"

#include <algorithm>

Processes::NodeRange Processes::blockOf(int process, std::size_t nodeCount) const
{
    const auto processes = static_cast<std::size_t>(size());
    const auto me = static_cast<std::size_t>(process);
    const std::size_t base = nodeCount / processes;
    const std::size_t extra = nodeCount % processes;
    const std::size_t first = me * base + std::min(me, extra);
    return {first, first + base + (me < extra ? 1 : 0)};
}

int Processes::ownerOf(std::size_t node, std::size_t nodeCount) const
{
    const auto processes = static_cast<std::size_t>(size());
    const std::size_t base = nodeCount / processes;
    const std::size_t extra = nodeCount % processes;
    // The first `extra` processes hold base + 1 nodes each.
    const std::size_t inLargerBlocks = extra * (base + 1);
    if (node < inLargerBlocks || base == 0) return static_cast<int>(node / (base + 1));
    return static_cast<int>(extra + (node - inLargerBlocks) / base);
}
