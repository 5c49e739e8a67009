// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tap stage of the response kernels, built once per instruction set
// (SSE2 everywhere, AVX2 and AVX-512F where the processor has them) and
// chosen at run time. The start-up choice is AVX2 where the processor has
// it: on processors that split 512-bit operations in two halves the AVX-512
// path measured slower (its transposes cost twice), so it is taken only
// when asked for.
// Every path performs the same single-precision operations in the same order
// per lane and per sample, so all paths give bit-identical output.

#include "dsp/KernelWorkspace.h"

namespace ovinta {

enum class SimdPath : int { kSse2 = 0, kAvx2 = 1, kAvx512 = 2 };

bool simdPathAvailable(SimdPath path);
SimdPath defaultSimdPath(); // the path chosen at start-up
SimdPath currentSimdPath();
// Forces a path (tests and benchmarks); an unavailable path leaves SSE2.
void setSimdPath(SimdPath path);

// Runs every lane's one-pole recursion (and fade weights) over the chunk's
// first n samples (n <= kTapChunk), from lanes.source into filtered/weight.
void filterTapChunk(SimdPath path, KernelWorkspace& work, int n);
// Adds every run of the list to outputs 0..outputs-1 at block samples
// first..first+n-1, in list order for each sample.
void sumTapChunk(SimdPath path, const KernelWorkspace& work, float* const* out, int outputs,
                 int first, int n);

// to[i] = a * y[i] + x[i] for i < n (the diffusion stage's sums and comb
// writes); `to` may be `x`.
void scaleAdd(SimdPath path, float* to, float a, const float* y, const float* x, int n);

// The per-instruction-set entry points behind the calls above.
void filterTapChunkSse2(KernelWorkspace& work, int n);
void sumTapChunkSse2(const KernelWorkspace& work, float* const* out, int outputs, int first, int n);
void filterTapChunkAvx2(KernelWorkspace& work, int n);
void sumTapChunkAvx2(const KernelWorkspace& work, float* const* out, int outputs, int first, int n);
void filterTapChunkAvx512(KernelWorkspace& work, int n);
void sumTapChunkAvx512(const KernelWorkspace& work, float* const* out, int outputs, int first, int n);
void scaleAddSse2(float* to, float a, const float* y, const float* x, int n);
void scaleAddAvx2(float* to, float a, const float* y, const float* x, int n);
void scaleAddAvx512(float* to, float a, const float* y, const float* x, int n);

} // namespace ovinta
