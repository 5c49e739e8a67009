// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// The host's process call on the engine: audio handshake, rebuild after a
// program change, channel routing, kernel choice, history advance and the
// tracing that prepares the next block's taps. Audio thread.

class RoomEngine;

// inputs: two host channels; outputs: six. Null buffers or a negative count
// make an empty block.
void processBlock(RoomEngine& engine, float** inputs, float** outputs, int count);

} // namespace ovinta
