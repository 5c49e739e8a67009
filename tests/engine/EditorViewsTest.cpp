// SPDX-License-Identifier: GPL-3.0-or-later
// What the screens read of the engine: ray overlays, posted taps, meters.

#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace ovinta {

using enginetest::makeEngine;

namespace {

// Program 0 in mono with 64 rays, set up and fully traced twice (the first
// round only takes the set-up's silent taps).
std::unique_ptr<RoomEngine> tracedMonoEngine()
{
    auto engine = makeEngine();
    enginetest::applyProgram(*engine, 0);
    engine->setParameter(param::kStereoOnOff, 0.0f);
    engine->setParameter(param::kNumRays, 24.5f / 248.0f); // 2 * (8 + trunc(24.5)) = 64 rays
    for (int round = 0; round < 2; ++round) {
        engine->commitTaps();
        engine->trace(4096);
        engine->commitTaps();
    }
    return engine;
}

} // namespace

TEST(EditorViews, RayViewsShowEmissionAnglesAndFirstReflections)
{
    auto engine = tracedMonoEngine();
    ASSERT_EQ(engine->derived().activeRays, 64);
    std::vector<RayView> views(kMaxRays);
    EXPECT_EQ(engine->copyRayViews(views.data(), 64), 64);
    EXPECT_EQ(engine->copyRayViews(views.data(), kMaxRays + 9), kMaxRays);
    int reflected = 0;
    for (int k = 0; k < 64; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / 64.0; // ray k of 64, clockwise from up
        EXPECT_NEAR(views[k].startDirX, std::sin(angle), 1e-5) << k;
        EXPECT_NEAR(views[k].startDirY, std::cos(angle), 1e-5) << k;
        EXPECT_EQ(views[k].source, 0);
        reflected += views[k].firstHitX != 0.0f || views[k].firstHitY != 0.0f;
    }
    EXPECT_GT(reflected, 32) << "a closed hall reflects most rays";
}

TEST(EditorViews, PostedTapsAreTakenOnceAndMatchTheCommittedTaps)
{
    auto engine = tracedMonoEngine();
    EXPECT_GT(engine->takePostedFlags(), 0);
    EXPECT_EQ(engine->takePostedFlags(), 0) << "the flags are cleared";

    std::vector<PostedTap> taps(64);
    ASSERT_EQ(engine->copyPostedTaps(0, 64, taps.data()), 64);
    for (int k = 0; k < 64; ++k) {
        const RaySlot& slot = engine->raySlots()[k];
        EXPECT_EQ(taps[k].delay, slot.tap.delay) << k;
        EXPECT_EQ(taps[k].gain[0], slot.tap.gain[0]) << k;
        EXPECT_EQ(taps[k].hiFreq, slot.tap.hiFreq) << k;
    }
    // Only slots in use are copied.
    EXPECT_EQ(engine->copyPostedTaps(60, 32, taps.data()), 4);
    EXPECT_EQ(engine->copyPostedTaps(70, 8, taps.data()), 0);
    EXPECT_EQ(engine->copyPostedTaps(-5, 8, taps.data()), 8);
}

TEST(EditorViews, MetersOnlyLowerPeaks)
{
    auto engine = makeEngine();
    engine->raiseOutputPeak(1, 0.5f);
    engine->lowerOutputPeak(1, 0.8f);
    EXPECT_EQ(engine->derived().outputPeak[1], 0.5f);
    engine->lowerOutputPeak(1, 0.25f);
    EXPECT_EQ(engine->derived().outputPeak[1], 0.25f);
    engine->raiseOutputPeak(1, 0.1f);
    EXPECT_EQ(engine->derived().outputPeak[1], 0.25f);
    engine->lowerOutputPeak(7, 0.0f); // no such role: nothing happens
}

} // namespace ovinta
