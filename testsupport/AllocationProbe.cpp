#include "AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> largest{0};
}  // namespace

std::size_t LargestAllocation() {
    return largest.load();
}

void ResetLargestAllocation() {
    largest = 0;
}

// Kept in a file of their own, so that no caller sees the pair inlined.
void* operator new(std::size_t n) {
    std::size_t seen = largest.load();
    while (n > seen && !largest.compare_exchange_weak(seen, n)) {
    }
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
