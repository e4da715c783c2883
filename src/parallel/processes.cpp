#include "parallel/processes.h"

#include <algorithm>

Processes::NodeRange Processes::ownedNodes(std::size_t nodeCount) const
{
    const auto processes = static_cast<std::size_t>(size());
    const auto me = static_cast<std::size_t>(rank());
    const std::size_t base = nodeCount / processes;
    const std::size_t extra = nodeCount % processes;
    const std::size_t first = me * base + std::min(me, extra);
    return {first, first + base + (me < extra ? 1 : 0)};
}
