// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// The diffusion and equaliser stage of the response kernels: the newly
// written history samples pass through their comb bank and their equaliser
// set and are written back in place. Audio path only.

class RoomEngine;

// History buffer 0 (and 1 when `buffers` is 2) over the block's `count`
// samples from writePos.
void preProcess(RoomEngine& engine, int buffers, int count);

} // namespace ovinta
