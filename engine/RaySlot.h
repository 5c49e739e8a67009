// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RaySlot: one ray of the tracer and the tap it last delivered. The tracer
// owns the path and pending-tap fields while `pending` is 0; the kernels own
// the committed tap and the crossfade fields. A posted tap changes hands
// through `pending` (release on post, acquire on take).

#include "base/Limits.h"
#include "base/Shared.h"

#include <atomic>
#include <cstdint>

namespace ovinta {

// One tap of a ray: where it reads the history, how loud it plays on each
// output role and how it is filtered. A slot holds three: the committed one
// the kernels play, the pending one a crossfade brings in, and one traced
// ahead of its commit.
struct Tap {
    int delay = 0;                // <= 0, samples relative to writePos
    float gain[kOutputRoles] = {};
    float coeff = 0.0f;           // c of y = c*x + (1 - c)*y
    float hiFreq = 0.0f;          // high-frequency factor at capture, display only
    int reflected = 0;            // 0 marks the direct sound
};

// One ray and the tap it last delivered.
struct RaySlot {
    // Committed tap, read and written by the kernels (audio path).
    Tap tap;
    int tapSource = 0;            // history buffer 0 or 1
    float tapFilterState = 0.0f;  // one-pole low-pass state

    // Hand-over: 1 while a posted tap waits to be faded in. Set (release) by
    // the tracer after it wrote the pending tap; cleared (release) by the
    // kernels or commitTaps after they took it.
    std::atomic<uint8_t> pending{0};
    float fadeLevel = 0.0f;       // weight of the old tap during a crossfade
    float newFilterState = 0.0f;  // filter state of the incoming tap
    float fadeStep = 0.0f;        // per-sample crossfade step, [0.0001, 0.0002)

    // Tracing state (tracer only).
    int stamp = 0;                // changeCount the current path started under, -1 after set-up
    int tracing = 0;              // 1 while the path is in flight
    float rayIndex = 0.0f;        // emission number
    int source = 0;               // 0 source 1 / history 0, 1 source 2 / history 1
    float posX = 0.0f, posY = 0.0f;
    float dirX = 0.0f, dirY = 0.0f;
    float startDirX = 0.0f, startDirY = 0.0f; // sin, cos of the emission angle
    float firstHitX = 0.0f, firstHitY = 0.0f; // first reflection, for display
    float firstDirX = 0.0f, firstDirY = 0.0f; // direction after it x 20
    float firstLevel = 0.0f;
    float pathLength = 0.0f;      // metres travelled
    int lastWall = -1;            // wall last hit, -1 none

    // Pending tap (from source `source`), written by the tracer while pending is 0.
    Tap pendingTap;

    // Running values of the path.
    float level = 0.0f;           // amplitude, starts at 1
    float hiFreq = 0.0f;          // high-frequency factor, starts at 1
    int reflected = 0;            // 1 once the first reflection is recorded
    Shared<int> posted{0};        // set on every post; the impulse screen clears it

    // A tap traced ahead on a host thread after a program change (tracer
    // only, under the tracer's lock). The audio thread commits it at its next
    // block start; until then the slot's pending tap and crossfade stay the
    // kernels'. aheadState: 0 none, 1 a tap to commit.
    int aheadState = 0;
    uint32_t aheadPass = 0;       // preparation that posted it (the slot waits for the commit)
    int aheadSource = 0;          // source after a ray set-up traced ahead
    Tap aheadTap;
    float aheadFadeStep = 0.0f;   // crossfade step drawn by a ray set-up traced ahead

    // The pending tap becomes the committed one, with no crossfade (a commit,
    // or the end of a crossfade), and the slot goes back to the tracer.
    void takePendingTap()
    {
        tap = pendingTap;
        tapSource = source;
        tapFilterState = newFilterState;
        pending.store(0, std::memory_order_release);
    }
};

} // namespace ovinta
