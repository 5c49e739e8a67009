// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RayTracer: the room's active walls (with their grid) and the rays that
// travel it. It sets up the rays' directions and sources, advances the ray
// slots one straight segment per step, reflects them off the walls, captures
// them at the listener as taps and hands each tap on: to the kernels as the
// slot's pending tap (release on the slot's `pending` flag), or, tracing ahead
// of a commit, into the slot's ahead tap. It also finds the longest tap.
//
// RoomEngine owns one and calls it only while holding its tracer flag; tests
// build one directly over their own slots and values.
//
// The float arithmetic follows a fixed order in single precision (double only
// for the scatter turn and the air powers), so a room always gives the same
// taps.

#include "base/EngineRandom.h"
#include "base/Limits.h"
#include "engine/EngineParts.h"
#include "engine/RaySlot.h"
#include "engine/WallGrid.h"

#include <atomic>
#include <cstdint>
#include <span>

namespace ovinta {

class RayTracer {
public:
    // values: the engine's settings (read) and the values the tracer
    // publishes (samplesPerMetre, captureRadius); changes: the change count,
    // whose value stamps each path.
    RayTracer(EngineValues& values, std::span<RaySlot, kMaxRays> slots, const std::atomic<int>& changes);
    RayTracer(const RayTracer&) = delete;
    RayTracer& operator=(const RayTracer&) = delete;

    // ---- Walls -------------------------------------------------------------------
    // Copies `count` walls (clamped to 0..kMaxWalls) and rebuilds the grid.
    void setWalls(const Wall* source, int count);
    int wallCount() const { return roomWallCount; }
    const Wall* walls() const { return roomWalls; }
    // In-place edits of the list (the room editor): then setWallCount if the
    // count changed, and wallsChanged.
    Wall* editWalls() { return roomWalls; }
    void setWallCount(int count);
    void wallsChanged(); // grid rebuilt; a path in flight forgets a wall that went
    // Benchmarks and tests: the plain wall scan instead of the grid (same taps).
    void usePlainWallScan(bool plain) { useGrid = !plain; }
    bool usesWallGrid() const { return useGrid; }

    // ---- Ray set-up ----------------------------------------------------------------
    // Directions, sources, path starts and the slot count for values.rayCount
    // rays: `ahead` puts the sources in the slots' ahead fields and leaves
    // the kernels' fields alone. Returns the slot count.
    int setUpRayPaths(bool ahead);
    int rays() const { return tracerRays; }  // slots the tracer visits
    float rayCos() const { return spacingCos; } // angular spacing of the rays
    float raySin() const { return spacingSin; }
    int stepCursor() const { return cursor; }   // next slot to step

    // ---- Tracing -----------------------------------------------------------------------
    // Refreshes samples per metre; returns the pre-delay in samples.
    float startTracing();
    // Runs `steps` ray steps from the cursor on, skipping slots whose tap the
    // kernels (or, ahead, the commit) still have to take.
    void traceSteps(int steps, float preDelaySamples);
    // The most negative delay of the taps to be committed next (ahead taps
    // replace pending ones), shifted by the pre-delay in reverse mode.
    int findLongestTap(float preDelaySamples) const;

    // A preparation ahead of a commit: posts go to the slots' ahead taps.
    void beginAhead();
    void endAhead() { tracingAhead = false; }
    uint32_t preparations() const { return aheadPass; }
    // The preparation includes a ray set-up (sources in the ahead fields).
    void setAheadSetUp(bool setUp) { aheadSetUp = setUp; }
    bool hasAheadSetUp() const { return aheadSetUp; }
    // The source a slot's path starts from.
    int pathSource(const RaySlot& slot) const { return aheadSetUp ? slot.aheadSource : slot.source; }

private:
    void startPath(RaySlot& slot, int stamp);
    // Puts the ray at its source, heading along its emission angle, at full level.
    void placeAtSource(RaySlot& slot, int source);
    void stepRay(RaySlot& slot, float preDelaySamples);
    void reflectRay(RaySlot& slot, const WallHit& hit, float preDelaySamples);
    void captureRay(RaySlot& slot, float preDelaySamples);
    void killRay(RaySlot& slot);
    void holdAheadTap(RaySlot& slot);

    EngineValues& values;
    std::span<RaySlot, kMaxRays> slots;
    const std::atomic<int>& changes;

    int roomWallCount = 0;
    Wall roomWalls[kMaxWalls] = {};  // normals face the last ray
    WallGrid wallGrid;               // cells over the walls
    bool useGrid = true;             // false: plain scan
    int cursor = 0;                  // next slot to step
    int tracerRays = 0;              // slots the tracer visits (activeRays once committed)
    bool tracingAhead = false;       // posts go to the slots' ahead taps
    bool aheadSetUp = false;         // the preparation includes a ray set-up
    uint32_t aheadPass = 0;          // number of the latest preparation
    float spacingCos = 1.0f, spacingSin = 0.0f; // angular ray spacing
    float captureSpread = 0.0f;      // chord between neighbouring rays per metre of path
    EngineRandom random;             // reseeded at every reflection
};

} // namespace ovinta
