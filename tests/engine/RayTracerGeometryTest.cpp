// SPDX-License-Identifier: GPL-3.0-or-later
// The tracer built on its own, over its own slots, in a plain square room:
// with pre-delay, height and scatter at zero, a tap's delay is its path
// length, worked out by hand, times samplesPerMetre (sampleRate / 340, here
// 34000 Hz, so 100 samples a metre), and each wall it meets scales it by the
// wall's absorption factor.

#include "engine/RayTracer.h"

#include <gtest/gtest.h>

#include <memory>

namespace ovinta {

namespace {

// A 10 m square, source 1 at (2, 5), the listener at (8, 5), 16 mono rays:
// ray i leaves along (sin, cos) of i x 22.5 degrees, so ray 4 heads straight
// at the listener (+x) and ray 12 straight away from it (-x).
struct SquareRoom {
    EngineValues values;
    std::unique_ptr<RaySlot[]> slotStore = std::make_unique<RaySlot[]>(kMaxRays);
    std::atomic<int> changes{1};
    RayTracer tracer{values, std::span<RaySlot, kMaxRays>(slotStore.get(), kMaxRays), changes};

    SquareRoom(float absorb, float preDelayMs)
    {
        values.sampleRate = 34000.0f;
        values.wallAbsorb = absorb;
        for (Shared<float>* one : {&values.wallHiCut, &values.airAbsorb, &values.airHiCut, &values.scale,
                                   &values.wetGain, &values.headCos})
            *one = 1.0f;
        values.preDelayMs = preDelayMs;
        values.sourceX[0] = 2.0f;
        values.sourceY[0] = 5.0f;
        values.listenerX = 8.0f;
        values.listenerY = 5.0f;
        values.rayCount = 16;
        const Wall square[] = {makeWall(0, 0, 10, 0), makeWall(10, 0, 10, 10), makeWall(10, 10, 0, 10),
                               makeWall(0, 10, 0, 0)};
        tracer.setWalls(square, 4);
        tracer.setUpRayPaths(false);
    }
    const Tap& traced(int ray)
    {
        tracer.traceSteps(2048, tracer.startTracing());
        return slotStore[ray].pendingTap;
    }
};

float level(const Tap& tap)
{
    return tap.gain[0] + tap.gain[1]; // two outputs: the pan splits the level
}

TEST(RayTracer, TapDelaysAreHandComputedPathLengthsInASquareRoom)
{
    struct Row {
        const char* name;
        int ray;
        float absorb, preDelayMs;
        int delaySamples; // -(path metres x 100 + pre-delay samples)
        float level;      // absorb ^ reflections
    } rows[] = {
        {"direct: 6 m", 4, 0.5f, 0.0f, -600, 1.0f},
        {"off the wall behind the source: 2 m + 8 m", 12, 0.5f, 0.0f, -1000, 0.5f},
        {"direct after 10 ms of pre-delay (340 samples)", 4, 0.5f, 10.0f, -940, 1.0f},
        {"one reflection off a wall keeping 0.8", 12, 0.8f, 0.0f, -1000, 0.8f},
    };
    for (const Row& r : rows) {
        SquareRoom room(r.absorb, r.preDelayMs);
        const Tap& tap = room.traced(r.ray);
        EXPECT_EQ(room.slotStore[r.ray].pending.load(), 1) << r.name;
        EXPECT_NEAR(tap.delay, r.delaySamples, 1) << r.name;
        EXPECT_NEAR(level(tap), r.level, 1e-5f) << r.name;
        EXPECT_EQ(tap.reflected, r.level == 1.0f ? 0 : 1) << r.name;
    }
}

TEST(RayTracer, ThePlainWallScanGivesTheGridsTaps)
{
    SquareRoom grid(0.9f, 0.0f), plain(0.9f, 0.0f);
    plain.tracer.usePlainWallScan(true);
    for (int ray = 0; ray < 16; ++ray) {
        const Tap& a = grid.traced(ray);
        const Tap& b = plain.traced(ray);
        EXPECT_EQ(a.delay, b.delay) << ray;
        EXPECT_EQ(a.gain[0], b.gain[0]) << ray;
    }
}

} // namespace

} // namespace ovinta
