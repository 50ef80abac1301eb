// A replaced operator new and delete that keep count; in a file of their own so the compiler never
// inlines them into the code that calls them.
#include "bench/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include <malloc.h>

// Allocation accounting for the memory target. A replaced operator new is process-wide by nature, so
// these counters are the one place Dravik's code keeps global state. Blocks count at their usable
// size, which is what they really take.
namespace {
std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};
}  // namespace

std::size_t dravik::ResetAllocationPeak() {
    const std::size_t now = liveBytes.load();
    peakBytes = now;
    return now;
}

std::size_t dravik::AllocationPeak() {
    return peakBytes.load();
}

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t live = liveBytes += malloc_usable_size(block);
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    if (block != nullptr) {
        liveBytes -= malloc_usable_size(block);
        std::free(block);
    }
}
void operator delete[](void* block) noexcept {
    operator delete(block);
}
void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    operator delete(block);
}
