// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// Plain scalar model of the response kernels: one sample and one slot at a
// time, in the order the algorithm is written, with no unrolling and no
// vector code. The production kernels are compared against it.

class RoomEngine;

// Runs one block through `engine` exactly like kernel2/kernel4/kernel5 for
// `outputs` = 2, 4 or 5. out[0..outputs) are the output buffers.
void referenceKernel(RoomEngine& engine, const float* inA, const float* inB, float* const* out,
                     int outputs, int count);

} // namespace ovinta
