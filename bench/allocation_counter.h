// Counts the bytes the process holds through operator new, for the benchmark's memory target.
#pragma once

#include <cstddef>

namespace dravik {

// Starts a new peak at what is held now, and returns that.
std::size_t ResetAllocationPeak();

// The most held at once since the last reset.
std::size_t AllocationPeak();

}  // namespace dravik
