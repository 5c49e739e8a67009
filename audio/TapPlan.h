// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// Turns the ray slots into the tap stage's runs and lanes at block start, and
// writes the lanes' final states (and finished crossfades) back to the slots
// at block end. Audio path only.

class RoomEngine;
struct KernelWorkspace;

// Reads every slot's pending flag once (acquire) and lists the runs of the
// block for `outputs` used outputs.
void planTaps(RoomEngine& engine, int outputs, int count);
// Points every lane at its next n samples (bouncing chunks that wrap the
// history) and moves its read position past them.
void beginTapChunk(KernelWorkspace& work, int n);
// Notes the outgoing taps that fell silent in the chunk.
void endTapChunk(KernelWorkspace& work, int first, int n, int count);
// Stores filter states and fade levels, commits finished crossfades.
void finishTaps(RoomEngine& engine);

} // namespace ovinta
