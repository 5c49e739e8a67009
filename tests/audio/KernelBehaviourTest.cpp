// SPDX-License-Identifier: GPL-3.0-or-later
// Response kernels on small hand-made set-ups whose outputs are worked out on
// paper: dry path, stereo width, output gains and meters, one-pole taps,
// crossfades, reverse reading and unsafe input.

#include "audio/Kernels.h"
#include "engine/RoomEngine.h"
#include "tests/RoomEngineTestAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace ovinta {

namespace {

// Dry gain 1, width 0.5, unit output gains, combs silent, equaliser flat,
// history at 1e-20, no rays: the output is the input plus 1e-20.
std::unique_ptr<RoomEngine> makeQuietEngine(bool stereo)
{
    auto e = std::make_unique<RoomEngine>();
    RoomEngineTestAccess::values(*e).dryGain = 1.0f;
    RoomEngineTestAccess::values(*e).widthFactor = 0.5f;
    RoomEngineTestAccess::values(*e).stereoOn = stereo ? 1 : 0;
    RoomEngineTestAccess::values(*e).reverseOn = 0;
    RoomEngineTestAccess::values(*e).activeRays = 0;
    e->audioPath().writePos = 5000;
    for (int k = 0; k < kOutputRoles; ++k) {
        RoomEngineTestAccess::values(*e).outputGain[k] = 1.0f;
        RoomEngineTestAccess::values(*e).outputPeak[k] = 0.0f;
    }
    for (auto& bank : e->audioPath().combs)
        for (CombFilter& comb : bank) {
            comb.outGain = 0.0f;
            comb.feedback = 0.0f;
        }
    for (EQfilter* set : {e->audioPath().eqA, e->audioPath().eqC})
        for (int b = 0; b < kEqBands; ++b) {
            set[b].b0 = 1.0f;
            set[b].b1 = set[b].b2 = set[b].a1 = set[b].a2 = 0.0f;
        }
    for (auto& history : e->audioPath().sourceHistory)
        std::fill_n(history.get(), kHistoryLength, 1e-20f);
    return e;
}

// One tap on output L of history 0, no filtering (c = 1).
void setSteadyTap(RaySlot& slot, int delay, float gainL, float coeff = 1.0f)
{
    slot.pending.store(0);
    slot.tapSource = 0;
    slot.tap.delay = delay;
    slot.tap.coeff = coeff;
    slot.tapFilterState = 0.0f;
    for (float& g : slot.tap.gain)
        g = 0.0f;
    slot.tap.gain[0] = gainL;
}

struct Block {
    std::vector<float> a, b, out[kOutputRoles];
    explicit Block(int n, float inA = 0.0f, float inB = 0.0f) : a(n, inA), b(n, inB)
    {
        for (auto& o : out)
            o.assign(n, -5.0f);
    }
    void run2(RoomEngine& e) { kernel2(e, a.data(), b.data(), out[0].data(), out[1].data(), size()); }
    void run4(RoomEngine& e)
    {
        kernel4(e, a.data(), b.data(), out[0].data(), out[1].data(), out[2].data(), out[3].data(), size());
    }
    void run5(RoomEngine& e)
    {
        kernel5(e, a.data(), b.data(), out[0].data(), out[1].data(), out[2].data(), out[3].data(),
                  out[4].data(), size());
    }
    int size() const { return static_cast<int>(a.size()); }
};

TEST(Kernels, DryPathIsTheInputPlusTheDenormalGuard)
{
    {
        auto e = makeQuietEngine(true);
        Block silence(40, 0.0f, 0.0f);
        silence.run2(*e);
        EXPECT_EQ(silence.out[0][7], 1e-20f);
        EXPECT_EQ(silence.out[1][7], 1e-20f);
        Block blk(40, 0.25f, -0.75f);
        blk.run2(*e);
        EXPECT_EQ(blk.out[0][7], 0.25f);
        EXPECT_EQ(blk.out[1][7], -0.75f);
    }
    {
        auto e = makeQuietEngine(false); // mixed source: every output gets A + B
        Block blk(40, 0.25f, 0.5f);
        blk.run5(*e);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(blk.out[k][3], 0.75f) << k;
    }
    {
        auto e = makeQuietEngine(true); // centre: the mean of the two sources
        Block blk(8, 0.25f, 0.75f);
        blk.run5(*e);
        EXPECT_EQ(blk.out[4][0], 0.5f);
        EXPECT_EQ(blk.out[2][0], 0.25f);
        EXPECT_EQ(blk.out[3][0], 0.75f);
    }
}

TEST(Kernels, WidthSpreadsOrNarrowsEachPair)
{
    struct Row {
        float width, left, right;
    } rows[] = {{0.0f, 0.5f, 0.5f}, {0.5f, 1.0f, 0.0f}, {2.0f, 2.5f, -1.5f}, {1.0f, 1.5f, -0.5f}};
    for (const Row& r : rows) {
        auto e = makeQuietEngine(true);
        RoomEngineTestAccess::values(*e).widthFactor = r.width;
        Block blk(12, 1.0f, 0.0f);
        blk.run5(*e);
        EXPECT_NEAR(blk.out[0][5], r.left, 1e-6) << r.width;
        EXPECT_NEAR(blk.out[1][5], r.right, 1e-6) << r.width;
        EXPECT_NEAR(blk.out[2][5], r.left, 1e-6) << "rear pair, " << r.width;
        EXPECT_NEAR(blk.out[3][5], r.right, 1e-6) << "rear pair, " << r.width;
        EXPECT_NEAR(blk.out[4][5], 0.5f, 1e-6) << "the centre has no width stage";
    }
}

TEST(Kernels, OutputGainsScaleTheWholeOutputAndFeedTheMeters)
{
    auto e = makeQuietEngine(true);
    const float gains[kOutputRoles] = {0.0f, 2.0f, -1.0f, 0.5f, 3.0f};
    for (int k = 0; k < kOutputRoles; ++k)
        RoomEngineTestAccess::values(*e).outputGain[k] = gains[k];
    Block loud(64, 0.5f, -0.25f);
    loud.a[10] = -0.9f;
    loud.run5(*e);
    EXPECT_EQ(loud.out[0][3], 0.0f) << "a gain of 0 silences the dry signal too";
    EXPECT_EQ(loud.out[1][3], -0.5f);
    EXPECT_EQ(loud.out[2][3], -0.5f);
    EXPECT_EQ(loud.out[3][3], -0.125f);
    EXPECT_NEAR(loud.out[4][3], 0.375f, 1e-7);
    // Sample 10 (A = -0.9) is the loudest: C = (-0.9 - 0.25) / 2 * 3.
    const float peaks[kOutputRoles] = {0.0f, 0.5f, 0.9f, 0.125f, 1.725f};
    for (int k = 0; k < kOutputRoles; ++k)
        EXPECT_NEAR(e->derived().outputPeak[k], peaks[k], 1e-6) << k;
    // A quieter block leaves the meters where they were.
    Block quiet(64, 0.01f, 0.01f);
    quiet.run5(*e);
    for (int k = 0; k < kOutputRoles; ++k)
        EXPECT_NEAR(e->derived().outputPeak[k], peaks[k], 1e-6) << k;
}

TEST(Kernels, OnePoleTapApproachesAStepExponentially)
{
    // History of ones behind the block, c = 0.25, state 0: y_n = 1 - 0.75^(n+1).
    auto e = makeQuietEngine(true);
    RoomEngineTestAccess::values(*e).dryGain = 0.0f;
    std::fill_n(e->audioPath().sourceHistory[0].get(), kHistoryLength, 1.0f);
    RoomEngineTestAccess::values(*e).activeRays = 1;
    setSteadyTap(e->raySlots()[0], -3000, 1.0f, 0.25f);
    Block blk(100);
    blk.run2(*e);
    for (int n = 0; n < 100; n += 9)
        EXPECT_NEAR(blk.out[0][n], 1.0 - std::pow(0.75, n + 1), 2e-6) << n;
    EXPECT_NEAR(e->raySlots()[0].tapFilterState, 1.0 - std::pow(0.75, 100), 2e-6);
}

TEST(Kernels, SteadyTapsStayOutOfTheDenormalRangeInSilence)
{
    // A tap reading true zeros (older than any block) from state 1: without
    // its 1e-20 offsets the state would decay through the denormals to 0.
    auto e = makeQuietEngine(true);
    RoomEngineTestAccess::values(*e).dryGain = 0.0f;
    std::fill_n(e->audioPath().sourceHistory[0].get(), kHistoryLength, 0.0f);
    RoomEngineTestAccess::values(*e).activeRays = 1;
    setSteadyTap(e->raySlots()[0], -500000, 1.0f, 0.5f);
    e->raySlots()[0].tapFilterState = 1.0f;
    for (int block = 0; block < 40; ++block) {
        Block blk(512);
        blk.run2(*e);
        e->audioPath().advance(512);
    }
    const float state = e->raySlots()[0].tapFilterState;
    EXPECT_EQ(std::fpclassify(state), FP_NORMAL);
    EXPECT_GT(state, 1e-21f);
    EXPECT_LT(state, 1e-18f);
}

TEST(Kernels, TapsWithoutAnAudibleGainAreSkipped)
{
    // Gains only on C (and a negative L): silent for two and four outputs,
    // heard by five.
    for (int outputs : {2, 4, 5}) {
        auto e = makeQuietEngine(true);
        std::fill_n(e->audioPath().sourceHistory[0].get(), kHistoryLength, 1.0f);
        RoomEngineTestAccess::values(*e).activeRays = 1;
        setSteadyTap(e->raySlots()[0], -2000, -1.0f, 0.5f);
        e->raySlots()[0].tap.gain[4] = 2.0f;
        e->raySlots()[0].tapFilterState = 0.125f;
        Block blk(32);
        if (outputs == 2)
            blk.run2(*e);
        else if (outputs == 4)
            blk.run4(*e);
        else
            blk.run5(*e);
        if (outputs < 5) {
            EXPECT_EQ(e->raySlots()[0].tapFilterState, 0.125f) << outputs;
            EXPECT_EQ(blk.out[0][20], 1e-20f) << outputs;
        } else {
            EXPECT_NEAR(e->raySlots()[0].tapFilterState, 1.0f, 1e-6);
            EXPECT_NEAR(blk.out[4][20], 2.0f, 1e-5);
            EXPECT_NEAR(blk.out[0][20], -1.0f, 1e-5);
        }
    }
}

TEST(Kernels, CrossfadeMovesFromTheOldTapToTheNewOne)
{
    // Old tap: gain 0.5, new tap: gain 1, both read ones unfiltered. With
    // fadeStep 0.0001 the new weight is 0 at sample 0 and 0.0001 at sample 1;
    // the old weight falls to 1e-20 after about 10,000 samples.
    auto e = makeQuietEngine(true);
    RoomEngineTestAccess::values(*e).dryGain = 0.0f;
    std::fill_n(e->audioPath().sourceHistory[0].get(), kHistoryLength, 1.0f);
    RoomEngineTestAccess::values(*e).activeRays = 1;
    RaySlot& slot = e->raySlots()[0];
    setSteadyTap(slot, -2000, 0.5f);
    slot.source = 0;
    slot.pendingTap.delay = -1000;
    slot.pendingTap.coeff = 1.0f;
    slot.newFilterState = 1e-20f;
    for (float& g : slot.pendingTap.gain)
        g = 0.0f;
    slot.pendingTap.gain[0] = 1.0f;
    slot.fadeLevel = 1.0f;
    slot.fadeStep = 0.0001f;
    slot.pending.store(1);

    int committedInBlock = -1;
    for (int block = 0; block < 24; ++block) {
        Block blk(512, 1.0f, 1.0f); // keeps the history at ones as it advances
        blk.run2(*e);
        e->audioPath().advance(512);
        if (block == 0) {
            EXPECT_EQ(blk.out[0][0], 0.5f);
            EXPECT_NEAR(blk.out[0][1], 0.0001 + 0.5 * 0.9999, 1e-6);
            EXPECT_NEAR(blk.out[0][400], 0.5 + 0.5 * 0.04, 1e-5);
        }
        const int sample = block * 512 + 300; // the two weights sum to 1 throughout
        if (sample < 9900) {
            EXPECT_NEAR(blk.out[0][300], 0.5 + 0.5 * 0.0001 * sample, 1e-4) << sample;
        }
        if (committedInBlock < 0 && slot.pending.load() == 0)
            committedInBlock = block;
        if (committedInBlock >= 0 && block > committedInBlock) {
            EXPECT_NEAR(blk.out[0][100], 1.0f, 1e-6) << "the new tap alone, at full weight";
        }
    }
    // 10,000 samples fall in the block that spans samples 9,728..10,239.
    EXPECT_EQ(committedInBlock, 19);
    EXPECT_EQ(slot.tap.delay, -1000);
    EXPECT_EQ(slot.tap.gain[0], 1.0f);
    EXPECT_EQ(slot.tap.coeff, 1.0f);
}

TEST(Kernels, ReverseReadsFromTheLongestTapBackwards)
{
    // longestTap -48,000: delay -48,000 reads the block's own samples
    // (offset 0); delay -1,000 reads at offset -47,000.
    auto e = makeQuietEngine(true);
    RoomEngineTestAccess::values(*e).dryGain = 0.0f;
    RoomEngineTestAccess::values(*e).reverseOn = 1;
    RoomEngineTestAccess::values(*e).longestTap = -48000;
    RoomEngineTestAccess::values(*e).activeRays = 1;
    float* h = e->audioPath().sourceHistory[0].get();
    for (int i = 0; i < 64; ++i)
        h[(e->audioPath().writePos - 47000 + static_cast<uint32_t>(i)) & kHistoryMask] = 0.001f * static_cast<float>(i);

    setSteadyTap(e->raySlots()[0], -48000, 1.0f);
    Block own(64);
    for (int i = 0; i < 64; ++i)
        own.a[i] = 0.01f * static_cast<float>(i % 7);
    own.run2(*e);
    for (int i = 0; i < 64; i += 5)
        EXPECT_NEAR(own.out[0][i], own.a[i], 1e-7) << i;

    setSteadyTap(e->raySlots()[0], -1000, 1.0f);
    Block far(64);
    far.run2(*e);
    for (int i = 0; i < 64; i += 5)
        EXPECT_NEAR(far.out[0][i], 0.001f * static_cast<float>(i), 1e-7) << i;
}

TEST(Kernels, UnsafeInputNeverReachesTheState)
{
    auto e = makeQuietEngine(true);
    for (auto& bank : e->audioPath().combs)
        for (CombFilter& comb : bank) {
            comb.outGain = 0.1f;
            comb.feedback = -0.7f;
            comb.writeIndex = comb.readIndex + 700;
        }
    Block bad(64, 0.1f, 0.1f);
    bad.a[3] = NAN;
    bad.b[3] = 0.0f;
    bad.a[4] = 0.0f;
    bad.b[4] = INFINITY;
    bad.a[5] = -1e30f;
    bad.a[6] = -INFINITY;
    bad.b[6] = 0.0f;
    bad.run2(*e);
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(std::isfinite(bad.out[0][i])) << i;
        EXPECT_TRUE(std::isfinite(bad.out[1][i])) << i;
    }
    EXPECT_EQ(bad.out[0][3], 1e-20f) << "NaN counts as silence";
    EXPECT_EQ(bad.out[1][4], 1e-20f) << "so does an infinity";
    EXPECT_EQ(bad.out[0][6], 1e-20f) << "of either sign";
    for (int block = 0; block < 20; ++block) {
        Block next(512, 0.2f, -0.2f);
        next.run2(*e);
        e->audioPath().advance(512);
        ASSERT_TRUE(std::isfinite(next.out[0][511]));
    }
    for (int k = 0; k < kCombsPerBank; ++k)
        for (int i = 0; i < kCombLength; i += 97)
            ASSERT_TRUE(std::isfinite(e->audioPath().combs[1][k].delayLine[i]));
}

} // namespace

} // namespace ovinta
