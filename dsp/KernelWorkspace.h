// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Working memory of the response kernels, held by value inside the engine so
// the audio path never allocates. Filled and consumed within one kernel call;
// nothing in it carries over from block to block.
//
// The tap stage runs every tap's one-pole recursion in SIMD lanes: each tap
// (a "run": a steady tap, or the incoming or outgoing tap of a crossfade) owns
// one lane. Lanes are laid out as structure-of-arrays so that a group of 4 or
// 8 neighbouring lanes loads as one vector. The filtered samples of a chunk
// land in a per-lane row, from which the outputs are summed in slot order.

#include "base/Limits.h"

#include <cstdint>

namespace ovinta {

constexpr float kInputLimit = 1.0e6f;  // host samples are clamped to +-this; NaN and infinities become 0
constexpr int kTapChunk = 64;          // samples per pass of the tap stage
constexpr int kLaneBatch = 64;         // lanes a batch computes together; lane counts are padded to it
constexpr int kMaxRuns = 2 * kMaxRays;  // a crossfading slot has two runs, a steady one has one
constexpr int kLaneCapacity = kMaxRuns + 2 * kLaneBatch; // steady and fade lanes, each padded
constexpr int kPreChunk = 256;         // samples per pass of the diffusion stage
constexpr int kDiscardLength = 1024;   // samples of the sink for a doubly routed output

enum TapRunKind : int32_t { kRunSteady = 0, kRunFadeIn = 1, kRunFadeOut = 2 };

// One contribution to the outputs, listed in slot order (incoming before
// outgoing for a crossfading slot).
struct TapRun {
    int32_t kind;           // TapRunKind
    int32_t lane;           // lane, also the row of its filtered samples
    int32_t slot;           // ray slot it came from
    int32_t stop;           // fade-out: first block sample it no longer plays; else the block length
    float gain[kOutputRoles];          // output gains as applied (steady taps carry +1e-20)
};

struct alignas(64) TapLanes {
    const float* base[kLaneCapacity];   // history buffer the lane reads
    const float* source[kLaneCapacity]; // first sample of the current chunk (history or bounce row)
    uint32_t readPos[kLaneCapacity];    // history index of the current chunk's first sample
    float coeff[kLaneCapacity];         // c of y = c*x + (1 - c)*y
    float keep[kLaneCapacity];          // 1 - c
    float state[kLaneCapacity];         // y
    float level[kLaneCapacity];         // fade lanes: t (incoming) or v (outgoing)
    float step[kLaneCapacity];          // fade lanes: +fadeStep (incoming), -fadeStep (outgoing)
    float cap[kLaneCapacity];           // fade lanes: 1 (incoming), +infinity (outgoing)
    float alive[kLaneCapacity];         // fade lanes: samples so far whose weight exceeded 1e-20
};

struct alignas(64) KernelWorkspace {
    TapLanes lanes;
    TapRun runs[kMaxRuns];
    int32_t runCount = 0;
    int32_t steadyLanes = 0;            // lanes [0, steadyLanes) are steady, padded to kLaneBatch
    int32_t fadeLanes = 0;              // lanes [steadyLanes, steadyLanes + fadeLanes) fade
    uint8_t slotPending[kMaxRays];  // each slot's pending flag as read at block start
    alignas(64) float filtered[kLaneCapacity][kTapChunk]; // y of each lane over the chunk
    alignas(64) float weight[kLaneCapacity][kTapChunk];   // fade weight of each lane over the chunk
    alignas(64) float bounce[kLaneCapacity][kTapChunk];   // chunks that wrap the history end
    alignas(64) float combOut[2][kCombsPerBank][kPreChunk];          // each comb's output over a pass
    alignas(64) float diffused[2][kPreChunk];             // diffusion input, then the sum, of a pass
    alignas(64) float discard[kDiscardLength];            // sink for an output routed twice
};

} // namespace ovinta
