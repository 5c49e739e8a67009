// SPDX-License-Identifier: GPL-3.0-or-later
// The ray tracer against geometry worked out independently: direct sound and
// first-order reflections in a plain room, the capture radius, pre-delay and
// reverse, head turning, tie-breaking between walls, and reproducibility.

#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"

#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace ovinta {

using enginetest::makeEngine;

namespace {

// Neutral settings: no scatter, height, pre-delay or absorption anywhere,
// scale 1, wet gain 1, head straight, mono, two outputs, 44.1 kHz.
void plainSettings(RoomEngine& e, float raysValue)
{
    e.setProgramAndRate(0, 44100.0f);
    e.setParameter(param::kScatter, 0.0f);
    e.setParameter(param::kHeight, 0.0f);
    e.setParameter(param::kPreDelay, 0.5f);
    e.setParameter(param::kScale, 0.5f);
    e.setParameter(param::kAbsorb, 0.0f);
    e.setParameter(param::kHiCut, 0.0f);
    e.setParameter(param::kAbsorbAir, 0.0f);
    e.setParameter(param::kHiCutAir, 0.0f);
    e.setParameter(param::kGain, 1.0f);
    e.setParameter(param::kHeadAngle, 0.5f);
    e.setParameter(param::kReverseOnOff, 0.0f);
    e.setParameter(param::kStereoOnOff, 0.0f);
    e.setParameter(param::kNumRays, raysValue);
    RoomEngineTestAccess::values(e).outputCount = 2;
    e.setActiveWalls(nullptr, 0);
}

void place(RoomEngine& e, float sx, float sy, float lx, float ly)
{
    RoomEngineTestAccess::values(e).sourceX[0] = sx;
    RoomEngineTestAccess::values(e).sourceY[0] = sy;
    RoomEngineTestAccess::values(e).listenerX = lx;
    RoomEngineTestAccess::values(e).listenerY = ly;
}

// Lets the tracing thread rewrite the slots, takes their silent taps, then
// traces `units`.
void traceFresh(RoomEngine& e, int units)
{
    e.trace(1);
    e.commitTaps();
    e.trace(units);
}

float gainSum(const RaySlot& slot)
{
    float sum = 0.0f;
    for (float g : slot.pendingTap.gain)
        sum += g;
    return sum;
}

std::vector<int> audibleSlots(const RoomEngine& e)
{
    std::vector<int> result;
    for (int k = 0; k < e.derived().activeRays; ++k)
        if (e.raySlots()[k].pending.load() != 0 && gainSum(e.raySlots()[k]) > 0.0f)
            result.push_back(k);
    return result;
}

constexpr double kSamplesPerMetre44k = 44100.0 / 340.0;
constexpr float kRays16 = 0.0f;
constexpr float kRays256 = 120.5f / 248.0f; // 2 * (8 + 120)
constexpr float kRays512 = 1.0f;

Wall wallBetween(int x1, int y1, int x2, int y2)
{
    return makeWall(x1, y1, x2, y2);
}

} // namespace

TEST(RayTracer, StraightAtTheListenerFromTenMetres)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    plainSettings(e, kRays256);
    place(e, 10.0f, 10.0f, 10.0f, 20.0f);
    traceFresh(e, 8); // one visit per slot
    ASSERT_EQ(e.derived().activeRays, 256);

    // Spacing 2π/256: the capture radius at 10 m is 10 * 2 sin(π/256) + 0.1
    // = 0.345 m. Ray 0 goes straight down at the listener; rays 1 and 255
    // pass 10 sin(2π/256) = 0.245 m from it and are caught too; ray 2
    // passes 0.49 m away and dies.
    const std::vector<int> heard = audibleSlots(e);
    ASSERT_EQ(heard, (std::vector<int>{0, 1, 255}));
    const RaySlot& straight = e.raySlots()[0];
    EXPECT_EQ(straight.pendingTap.delay, -static_cast<int>(10.0 * kSamplesPerMetre44k));
    EXPECT_EQ(straight.pendingTap.reflected, 0);
    EXPECT_FLOAT_EQ(straight.pendingTap.gain[0], 0.5f); // arriving head-on: both sides alike
    EXPECT_FLOAT_EQ(straight.pendingTap.gain[1], 0.5f);
    EXPECT_EQ(straight.pendingTap.gain[2], 0.0f);
    EXPECT_FLOAT_EQ(straight.pendingTap.coeff, 1.0f); // nothing filtered
    const double slanted = 10.0 * std::cos(2.0 * 3.14159265358979 / 256.0);
    EXPECT_EQ(e.raySlots()[1].pendingTap.delay, -static_cast<int>(slanted * kSamplesPerMetre44k));
    for (int k = 0; k < 256; ++k)
        EXPECT_EQ(e.raySlots()[k].pending.load(), 1) << k; // everyone posted, heard or silent
}

TEST(RayTracer, PlainRoomGivesDirectSoundAndFirstOrderReflections)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    plainSettings(e, kRays512);
    // Walls absorb so much that a ray survives one reflection but not two
    // (factor 1 - 0.7 v^3 = 0.0499: 0.0499 > 0.01 > 0.0499^2).
    const float absorb = std::cbrt(0.9501f / 0.7f);
    e.setParameter(param::kAbsorb, absorb);
    const Wall room[4] = {wallBetween(0, 0, 40, 0), wallBetween(40, 0, 40, 40),
                          wallBetween(40, 40, 0, 40), wallBetween(0, 40, 0, 0)};
    e.setActiveWalls(room, 4);
    place(e, 10.0f, 12.0f, 28.0f, 25.0f);
    traceFresh(e, 64); // at most three segments per ray

    // Each heard ray is followed here in double precision: straight to the
    // listener, or to its first wall, mirrored, then to its nearest approach.
    // A first segment whose nearest approach to the listener lies before the
    // wall leaves that distance in the path (the listener test adds it even
    // when the ray passes outside the capture radius).
    const double sx = 10.0, sy = 12.0, lx = 28.0, ly = 25.0;
    bool wallHeard[4] = {false, false, false, false}; // x = 0, x = 40, y = 0, y = 40
    bool directHeard = false;
    const std::vector<int> heard = audibleSlots(e);
    ASSERT_FALSE(heard.empty());
    for (int k : heard) {
        const RaySlot& slot = e.raySlots()[k];
        const double theta = 2.0 * 3.14159265358979 * k / 512.0;
        double dx = std::sin(theta), dy = std::cos(theta);
        const double toListener = dx * (lx - sx) + dy * (ly - sy);
        double metres = 0.0;
        if (slot.pendingTap.reflected == 0) {
            metres = toListener;
            directHeard = true;
            EXPECT_NEAR(slot.pendingTap.gain[0] + slot.pendingTap.gain[1], 1.0f, 1e-5) << "slot " << k;
        } else {
            // Distance to the first wall of the 40 m square.
            const double ax = dx > 0 ? (40.0 - sx) / dx : dx < 0 ? -sx / dx : 1e9;
            const double ay = dy > 0 ? (40.0 - sy) / dy : dy < 0 ? -sy / dy : 1e9;
            const double a = std::min(ax, ay);
            const double rx = sx + a * dx, ry = sy + a * dy;
            EXPECT_NEAR(slot.firstHitX, rx, 1e-3) << "slot " << k;
            EXPECT_NEAR(slot.firstHitY, ry, 1e-3) << "slot " << k;
            wallHeard[ax < ay ? (dx < 0 ? 0 : 1) : (dy < 0 ? 2 : 3)] = true;
            if (ax < ay)
                dx = -dx;
            else
                dy = -dy;
            const double passing = toListener >= 0.0 && toListener < a ? toListener : 0.0;
            metres = a + passing + dx * (lx - rx) + dy * (ly - ry);
            EXPECT_NEAR(slot.pendingTap.gain[0] + slot.pendingTap.gain[1], 0.0499f, 2e-4) << "slot " << k;
        }
        EXPECT_NEAR(slot.pendingTap.delay, -metres * kSamplesPerMetre44k, 1.0) << "slot " << k;
    }
    EXPECT_TRUE(directHeard);
    for (int w = 0; w < 4; ++w)
        EXPECT_TRUE(wallHeard[w]) << "wall " << w;
}

TEST(RayTracer, ScaleTwoMakesSeventeenMetresFourThousandFourHundredTenSamples)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    plainSettings(e, kRays256);
    e.setParameter(param::kScale, 1.0f);
    place(e, 10.0f, 10.0f, 10.0f, 27.0f);
    traceFresh(e, 8);
    // 2 * 17 m at 44,100 / 340 samples per metre.
    EXPECT_EQ(e.raySlots()[0].pendingTap.delay, -4410);
}

TEST(RayTracer, NegativePreDelayDropsShortTapsUnlessReversed)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    plainSettings(e, kRays256);
    e.setParameter(param::kPreDelay, 0.0f); // -500 ms
    place(e, 10.0f, 10.0f, 10.0f, 20.0f);
    traceFresh(e, 8);
    EXPECT_TRUE(audibleSlots(e).empty()); // 10 m is far shorter than 500 ms

    e.setParameter(param::kReverseOnOff, 1.0f);
    e.commitTaps();
    e.trace(8);
    ASSERT_EQ(audibleSlots(e), (std::vector<int>{0, 1, 255}));
    // 22,050 samples of negative pre-delay minus 10 m of travel.
    EXPECT_EQ(e.raySlots()[0].pendingTap.delay, static_cast<int>(22050.0 - 10.0 * kSamplesPerMetre44k));
    // In reverse the longest tap (none is negative here) is moved by the
    // pre-delay: 0 - (-22,050).
    EXPECT_EQ(e.derived().longestTap, 22050);
}

TEST(RayTracer, ReverseLongestTapStaysWithinTheHistoryWhateverThePreDelay)
{
    // The kernels read `longestTap - delay` back from the write position; a
    // wild pre-delay sent straight to the engine must not push it out of the
    // history (or out of int).
    for (float raw : {-1.0e6f, -3.0e4f, 3.0e4f, 1.0e6f}) {
        auto engine = makeEngine();
        RoomEngine& e = *engine;
        plainSettings(e, kRays256);
        e.setParameter(param::kReverseOnOff, 1.0f);
        e.setParameter(param::kPreDelay, raw);
        place(e, 10.0f, 10.0f, 10.0f, 20.0f);
        traceFresh(e, 8);
        EXPECT_LT(std::abs(e.derived().longestTap.load()), kHistoryLength) << raw;
    }
}

TEST(RayTracer, CaptureRadiusNeverExceedsNineMetres)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    plainSettings(e, kRays16);
    place(e, 50.0f, 0.0f, 0.0f, 50.0f);
    traceFresh(e, 1); // 32 steps: each of the 16 slots takes its one step
    // Ray 14 (315 degrees) runs through the listener. Ray 15 (337.5 degrees)
    // passes 70.7 sin(22.5°) = 27 m away: the neighbour spacing there is
    // 27.7 m, but the radius stops at 9 m, so it is not heard.
    EXPECT_EQ(audibleSlots(e), (std::vector<int>{14}));
    EXPECT_FLOAT_EQ(e.derived().captureRadius, 9.0f); // ray 15 computed it last
    // A ray that passes the listener outside the radius keeps the distance
    // along the ray to its nearest approach in its path length.
    const double along = 50.0 * (std::sin(3.14159265358979 / 8.0) + std::cos(3.14159265358979 / 8.0));
    EXPECT_NEAR(e.raySlots()[15].pathLength, along, 1e-3);
}

TEST(RayTracer, HeadAngleTurnsTheArrivalBetweenTheEars)
{
    struct Row { float head; float left; float right; };
    // The sound arrives travelling in +x: from the listener's left side.
    // Half a turn swaps the sides; a quarter turn puts it straight ahead.
    const Row rows[] = {{0.5f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 1.0f},
                        {0.75f, 0.5f, 0.5f}};
    for (const Row& row : rows) {
        auto engine = makeEngine();
        RoomEngine& e = *engine;
        plainSettings(e, kRays16);
        e.setParameter(param::kHeadAngle, row.head);
        place(e, 10.0f, 20.0f, 20.0f, 20.0f);
        traceFresh(e, 1);
        const RaySlot& slot = e.raySlots()[4]; // 90 degrees: (1, 0)
        ASSERT_EQ(slot.pending.load(), 1);
        EXPECT_NEAR(slot.pendingTap.gain[0], row.left, 1e-6) << row.head;
        EXPECT_NEAR(slot.pendingTap.gain[1], row.right, 1e-6) << row.head;
    }
}

TEST(RayTracer, EarlierWallWinsATieWithGridAndPlainScan)
{
    for (bool grid : {true, false}) {
        auto engine = makeEngine();
        RoomEngine& e = *engine;
        plainSettings(e, kRays16);
        e.usePlainWallScan(!grid);
        // Walls 1 and 3 lie on top of each other across ray 0's path; short
        // walls in a far corner make the room big enough for the grid.
        Wall room[32] = {wallBetween(40, 40, 45, 45), wallBetween(0, 30, 20, 30),
                         wallBetween(30, 0, 30, 5), wallBetween(0, 30, 20, 30)};
        for (int i = 4; i < 32; ++i)
            room[i] = wallBetween(44 + i % 6, 44 + i / 6, 45 + i % 6, 44 + i / 6);
        e.setActiveWalls(room, 32);
        place(e, 10.0f, 10.0f, 45.0f, 2.0f);
        e.trace(1);
        e.commitTaps();
        e.trace(0); // one unit: 32 steps, slot 0 takes its first step once
        EXPECT_EQ(e.raySlots()[0].lastWall, 1) << (grid ? "grid" : "plain");
        EXPECT_FLOAT_EQ(e.raySlots()[0].posY, 30.0f);
    }
}

TEST(RayTracer, ResponsesRepeatAcrossRunsAndInstances)
{
    auto first = makeEngine();
    auto second = makeEngine();
    enginetest::applyProgram(*first, 0);
    enginetest::applyProgram(*second, 0);
    second->usePlainWallScan(true); // the grid must not change a single tap
    for (RoomEngine* e : {first.get(), second.get()}) {
        e->commitTaps();
        e->trace(4096);
        e->commitTaps();
        e->trace(4096);
        e->commitTaps();
    }
    int heard = 0;
    for (int k = 0; k < first->derived().activeRays; ++k) {
        const RaySlot& a = first->raySlots()[k];
        const RaySlot& b = second->raySlots()[k];
        EXPECT_EQ(a.tap.delay, b.tap.delay) << k;
        for (int role = 0; role < kOutputRoles; ++role)
            EXPECT_EQ(a.tap.gain[role], b.tap.gain[role]) << k;
        EXPECT_EQ(a.tap.coeff, b.tap.coeff) << k;
        heard += a.tap.gain[0] + a.tap.gain[1] > 0.0f;
    }
    EXPECT_GT(heard, 10);

    // A retrace under the same settings delivers the same taps again.
    std::vector<int> delays;
    for (int k = 0; k < first->derived().activeRays; ++k)
        delays.push_back(first->raySlots()[k].tap.delay);
    first->setParameter(64, 1.0f); // a redraw tag: counts as a change, alters nothing
    first->trace(4096);
    first->commitTaps();
    first->trace(4096);
    first->commitTaps();
    for (int k = 0; k < first->derived().activeRays; ++k)
        EXPECT_EQ(first->raySlots()[k].tap.delay, delays[static_cast<std::size_t>(k)]) << k;
}

} // namespace ovinta
