// SPDX-License-Identifier: GPL-3.0-or-later
// Ray and comb-bank set-up: slot counts, emission angles, crossfade speeds,
// the deferred rewrite, and the comb positions at the common sample rates.

#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"

#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace ovinta {

using enginetest::changes;
using enginetest::makeEngine;

namespace {
constexpr double kPi = 3.14159265358979323846;
}

TEST(RaySetup, ConstructionPreparesTwoHundredFiftySixMonoRays)
{
    auto engine = makeEngine();
    EXPECT_EQ(engine->derived().activeRays, 256);
    EXPECT_EQ(engine->derived().rayCount, 256);
    EXPECT_EQ(changes(*engine), kInitialChangeCount + 1); // the set-up's own increment
    std::set<float> steps;
    for (int i = 0; i < 256; ++i) {
        const RaySlot& slot = engine->raySlots()[i];
        const double theta = 2.0 * kPi * i / 256.0;
        EXPECT_NEAR(slot.startDirX, std::sin(theta), 1e-5) << i;
        EXPECT_NEAR(slot.startDirY, std::cos(theta), 1e-5) << i;
        EXPECT_EQ(slot.source, 0);
        EXPECT_EQ(slot.stamp, -1);
        EXPECT_EQ(slot.pending.load(), 1);
        EXPECT_EQ(slot.fadeLevel, 1.0f);
        EXPECT_GE(slot.fadeStep, 0.0001f);
        EXPECT_LT(slot.fadeStep, 0.0002f);
        for (float gain : slot.pendingTap.gain)
            EXPECT_EQ(gain, 0.0f);
        steps.insert(slot.fadeStep);
    }
    // The crossfades are spread, not one length for every slot.
    EXPECT_GT(steps.size(), 200u);
    EXPECT_NEAR(RoomEngineTestAccess::rayCos(*engine), std::cos(2.0 * kPi / 256.0), 1e-6);
    EXPECT_NEAR(RoomEngineTestAccess::raySin(*engine), std::sin(2.0 * kPi / 256.0), 1e-6);
}

TEST(RaySetup, StereoGivesEachSourceHalfTheRaysAtTwiceTheSpacing)
{
    auto engine = makeEngine();
    engine->setParameter(param::kStereoOnOff, 1.0f);
    engine->setParameter(param::kNumRays, 0.0f); // 16 rays
    engine->trace(1);                            // the tracing thread rewrites the slots
    ASSERT_EQ(engine->derived().activeRays, 16);
    int perSource[2] = {0, 0};
    for (int i = 0; i < 16; i += 2) {
        const RaySlot& first = engine->raySlots()[i];
        const RaySlot& second = engine->raySlots()[i + 1];
        EXPECT_EQ(first.source, 0);
        EXPECT_EQ(second.source, 1);
        ++perSource[first.source];
        ++perSource[second.source];
        // Source 1 and source 2 at 0, 4π/16, 8π/16, ...
        const double theta = 4.0 * kPi * (i / 2) / 16.0;
        EXPECT_NEAR(first.startDirX, std::sin(theta), 1e-5);
        EXPECT_NEAR(first.startDirY, std::cos(theta), 1e-5);
        EXPECT_EQ(first.startDirX, second.startDirX);
        EXPECT_EQ(first.startDirY, second.startDirY);
        EXPECT_EQ(first.rayIndex, static_cast<float>(i));
    }
    EXPECT_EQ(perSource[0], 8);
    EXPECT_EQ(perSource[1], 8);
    EXPECT_NEAR(RoomEngineTestAccess::rayCos(*engine), std::cos(4.0 * kPi / 16.0), 1e-6);
}

TEST(RaySetup, RewriteWaitsForTheTracingThread)
{
    auto engine = makeEngine();
    const int before = changes(*engine);
    engine->setParameter(param::kNumRays, 0.25f); // 2 * (8 + 62) = 140 rays
    EXPECT_EQ(changes(*engine), before + 2);
    EXPECT_EQ(engine->derived().rayCount, 140);
    EXPECT_EQ(engine->derived().activeRays, 256); // the kernels keep the old slots until a trace
    EXPECT_TRUE(RoomEngineTestAccess::raySetupRequested(*engine).load());
    ASSERT_TRUE(engine->trace(1));
    EXPECT_EQ(engine->derived().activeRays, 140);
    EXPECT_FALSE(RoomEngineTestAccess::raySetupRequested(*engine).load());
    EXPECT_EQ(changes(*engine), before + 2); // the rewrite itself does not count again
}

TEST(RaySetup, TraceDoesNothingWhileTheTracerIsBusy)
{
    auto engine = makeEngine();
    engine->setParameter(param::kNumRays, 0.0f);
    RoomEngineTestAccess::holdTracer(*engine);
    EXPECT_FALSE(engine->trace(4));
    EXPECT_EQ(engine->derived().activeRays, 256);
    RoomEngineTestAccess::releaseTracer(*engine);
    EXPECT_TRUE(engine->trace(4));
    EXPECT_EQ(engine->derived().activeRays, 16);
}

TEST(RaySetup, CombWriteIndexesAtCommonRates)
{
    // Comb j is 47 / 2^(j/10) ms long; its whole milliseconds are
    // 47, 43, 40, 38, 35, 33, 31, 28, 26, 25 (47/1.0718 = 43.85, 47/1.1487 = 40.9, ...).
    const int wholeMs[kCombsPerBank] = {47, 43, 40, 38, 35, 33, 31, 28, 26, 25};
    for (int rate : {44100, 48000, 96000}) {
        auto engine = makeEngine();
        engine->setProgramAndRate(0, static_cast<float>(rate));
        engine->setupRays();
        for (int j = 0; j < kCombsPerBank; ++j) {
            const int expected = wholeMs[j] * rate / 1000; // integer samples, truncated
            for (int bank = 0; bank < 2; ++bank) {
                const CombFilter& comb = engine->audioPath().combs[bank][j];
                EXPECT_EQ(comb.writeIndex, static_cast<uint32_t>(expected))
                    << rate << " comb " << j << " bank " << bank;
                EXPECT_LE(comb.readIndex, 511u);
                EXPECT_GE(comb.bendPhase, 0);
                EXPECT_LE(comb.bendPhase, 511);
                // Base gain 0.75 per 47 ms of length.
                const double length = 47.0 / std::pow(2.0, j / 10.0);
                EXPECT_NEAR(comb.baseGain, std::pow(0.75, length / 47.0), 1e-5);
            }
        }
        EXPECT_EQ(engine->audioPath().combs[0][0].writeIndex, rate == 44100 ? 2072u : rate == 48000 ? 2256u : 4512u);
    }
}

TEST(RaySetup, CombPositionsRepeatForEverySetUp)
{
    auto first = makeEngine();
    auto second = makeEngine();
    second->setupRays();
    second->setupRays();
    for (int bank = 0; bank < 2; ++bank)
        for (int j = 0; j < kCombsPerBank; ++j) {
            EXPECT_EQ(first->audioPath().combs[bank][j].readIndex, second->audioPath().combs[bank][j].readIndex);
            EXPECT_EQ(first->audioPath().combs[bank][j].bendPhase, second->audioPath().combs[bank][j].bendPhase);
        }
    // The two banks draw different positions.
    int differing = 0;
    for (int j = 0; j < kCombsPerBank; ++j)
        differing += first->audioPath().combs[0][j].readIndex != first->audioPath().combs[1][j].readIndex;
    EXPECT_GT(differing, 5);
}

} // namespace ovinta
