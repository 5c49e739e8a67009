// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Engines prepared by hand for the kernel tests and benchmarks: history
// filled with noise, combs triggered and fed back, equaliser bands designed
// and ray slots given taps directly, without the tracer.

#include "engine/RoomEngine.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ovinta {

struct KernelScene {
    int rays = 512;
    bool stereo = true;
    bool reverse = false;
    int longestTap = 0;
    int pendingEvery = 0;    // every n-th slot starts a crossfade (0: none)
    int silentEvery = 0;     // every n-th steady slot has gains <= 0
    float bend = 0.5f;
    uint32_t writePos = 1000;
    int maxDelay = 48000;    // tap delays are drawn from [-maxDelay, 0]
    uint32_t seed = 7;
    int combDelay = 0;       // > 0: comb j delays combDelay + 13 j samples (shorter than a block)
    bool silent = false;     // history and comb lines hold only 1e-20, as after a reset
};

std::unique_ptr<RoomEngine> makeSceneEngine(const KernelScene& scene);

// Deterministic test signal of `count` samples (noise with a few loud clicks).
std::vector<float> makeSignal(int count, uint32_t seed);

} // namespace ovinta
