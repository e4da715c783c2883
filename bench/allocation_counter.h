#pragma once

// Counts heap allocations, so that a benchmark can show that a warmed-up call
// allocates nothing (its counter "allocations", one call). Replaces the
// global operator new with malloc; include it in exactly one file of a
// benchmark program.

// GCC cannot see that the matching delete is replaced too.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <cstddef>
#include <cstdlib>
#include <new>

inline std::size_t allocationCount = 0;

void* operator new(std::size_t size)
{
    ++allocationCount;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
