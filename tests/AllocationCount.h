// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The count of C++ allocations made so far, in all and by the calling
// thread, in a binary whose global allocation functions count them
// (tests/CountingAllocator.h, included in exactly one of its files).

#include <atomic>

namespace ovinta {

namespace countingallocator {
inline std::atomic<long> allocations{0};
inline thread_local long threadAllocations = 0; // made by the calling thread
} // namespace countingallocator

} // namespace ovinta
