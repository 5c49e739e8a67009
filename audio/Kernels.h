// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// The response kernels: one algorithm for two, four or five outputs. Each
// runs a block of `count` samples through the engine's audio path (dry
// signal and history write, diffusion and equaliser, the taps, stereo width,
// output gains and peak meters). Audio thread, or a thread holding the path.

class RoomEngine;

void kernel2(RoomEngine& engine, const float* inA, const float* inB, float* out1, float* out2, int count);
void kernel4(RoomEngine& engine, const float* inA, const float* inB, float* out1, float* out2, float* out3,
             float* out4, int count);
void kernel5(RoomEngine& engine, const float* inA, const float* inB, float* out1, float* out2, float* out3,
             float* out4, float* out5, int count);

} // namespace ovinta
