// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sizes and limits shared by every layer: the engine's capacities, the output
// roles and the denormal offset the audio path adds to its states.

#include <cstdint>

namespace ovinta {

constexpr int kHistoryLength = 1 << 20;   // samples per input history
constexpr uint32_t kHistoryMask = 0xFFFFF; // history indexes are masked, never tested
constexpr int kMaxRays = 512;              // ray slots
constexpr int kCombsPerBank = 10;          // diffusion combs per input history
constexpr int kEqBands = 4;
constexpr int kOutputRoles = 5;            // 0 L, 1 R, 2 Ls, 3 Rs, 4 C

// Added to filter states and steady tap gains so that silence never decays
// into the denormal range.
constexpr float kTiny = 1e-20f;

} // namespace ovinta
