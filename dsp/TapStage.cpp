// SPDX-License-Identifier: GPL-3.0-or-later
// Run-time choice of the tap stage's instruction set.

#include "dsp/TapStage.h"

#include <atomic>

namespace ovinta {

namespace {

bool processorHas(SimdPath path)
{
    // Runs from a static initialiser, possibly before the compiler's own
    // processor probe. The check covers the system's support for the wide
    // registers too.
    __builtin_cpu_init();
    switch (path) {
    case SimdPath::kAvx512:
        return __builtin_cpu_supports("avx512f");
    case SimdPath::kAvx2:
        return __builtin_cpu_supports("avx2");
    case SimdPath::kSse2:
        break;
    }
    return true;
}

SimdPath detectPath()
{
    return processorHas(SimdPath::kAvx2) ? SimdPath::kAvx2 : SimdPath::kSse2;
}

// Read by every kernel call; written once at start-up or by a test. Relaxed:
// every path gives the same output, so a call may use either.
std::atomic<int> chosenPath{static_cast<int>(detectPath())};

} // namespace

bool simdPathAvailable(SimdPath path)
{
    return processorHas(path);
}

SimdPath defaultSimdPath()
{
    return detectPath();
}

SimdPath currentSimdPath()
{
    return static_cast<SimdPath>(chosenPath.load(std::memory_order_relaxed));
}

void setSimdPath(SimdPath path)
{
    const SimdPath usable = simdPathAvailable(path) ? path : SimdPath::kSse2;
    chosenPath.store(static_cast<int>(usable), std::memory_order_relaxed);
}

void filterTapChunk(SimdPath path, KernelWorkspace& work, int n)
{
    if (path == SimdPath::kAvx512)
        filterTapChunkAvx512(work, n);
    else if (path == SimdPath::kAvx2)
        filterTapChunkAvx2(work, n);
    else
        filterTapChunkSse2(work, n);
}

void sumTapChunk(SimdPath path, const KernelWorkspace& work, float* const* out, int outputs,
                 int first, int n)
{
    if (path == SimdPath::kAvx512)
        sumTapChunkAvx512(work, out, outputs, first, n);
    else if (path == SimdPath::kAvx2)
        sumTapChunkAvx2(work, out, outputs, first, n);
    else
        sumTapChunkSse2(work, out, outputs, first, n);
}

void scaleAdd(SimdPath path, float* to, float a, const float* y, const float* x, int n)
{
    if (path == SimdPath::kAvx512)
        scaleAddAvx512(to, a, y, x, n);
    else if (path == SimdPath::kAvx2)
        scaleAddAvx2(to, a, y, x, n);
    else
        scaleAddSse2(to, a, y, x, n);
}

} // namespace ovinta
