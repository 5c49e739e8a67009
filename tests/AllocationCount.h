#pragma once
// The count of C++ allocations made so far in a binary whose global
// allocation functions count them (tests/CountingAllocator.h, included in
// exactly one of its files).

#include <atomic>

namespace ovinta {

namespace countingallocator {
inline std::atomic<long> allocations{0};
} // namespace countingallocator

} // namespace ovinta
