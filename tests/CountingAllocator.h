// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replaces the global allocation functions with ones that count the
// allocations, for test binaries that check a path allocates nothing.
// Include it in exactly one file of such a binary. The functions are never
// inlined: the compiler would otherwise see free() on memory that a new
// expression returned and take it for a mismatch.

#include "tests/AllocationCount.h"

#include <cstdlib>
#include <new>

[[gnu::noinline]] void* operator new(std::size_t size)
{
    ovinta::countingallocator::allocations.fetch_add(1, std::memory_order_relaxed);
    ++ovinta::countingallocator::threadAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

[[gnu::noinline]] void* operator new(std::size_t size, std::align_val_t align)
{
    ovinta::countingallocator::allocations.fetch_add(1, std::memory_order_relaxed);
    ++ovinta::countingallocator::threadAllocations;
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size, std::align_val_t align)
{
    return operator new(size, align);
}

[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
