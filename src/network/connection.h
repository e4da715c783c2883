#pragma once

#include <cstdint>

// A diffusion link between two nodes of the network: their indices (the
// smaller first), the exchange section between them and the distance
// between their centres, computed once when the connections are read, since
// node positions never change afterwards.
struct Connection {
    std::int32_t first = 0;
    std::int32_t second = 0;
    double section = 0.0;  // m^2
    double distance = 0.0; // m
};
