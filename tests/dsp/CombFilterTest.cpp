// SPDX-License-Identifier: GPL-3.0-or-later
// Diffusion comb: echoes at multiples of its delay with the gains worked out
// by hand, the pitch-bend steps, the trigger's positions and safe limits.

#include "dsp/CombFilter.h"

#include "base/EngineRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace ovinta {

namespace {

std::unique_ptr<CombFilter> makeComb(uint32_t writeIndex, uint32_t readIndex, float feedback)
{
    auto comb = std::make_unique<CombFilter>();
    comb->writeIndex = writeIndex;
    comb->readIndex = readIndex;
    comb->feedback = feedback;
    return comb;
}

TEST(CombFilter, EchoesReturnAtMultiplesOfTheDelay)
{
    // Delay 100 and feedback -0.5: the impulse comes back at 100 with gain 1,
    // at 200 with -0.5, at 300 with +0.25, at 400 with -0.125; nothing between.
    auto comb = makeComb(100, 0, -0.5f);
    std::vector<float> y(450);
    for (int n = 0; n < 450; ++n)
        y[n] = comb->step(n == 0 ? 1.0f : 0.0f);
    const float expected[] = {1.0f, -0.5f, 0.25f, -0.125f};
    for (int n = 0; n < 450; ++n) {
        const bool echo = n > 0 && n % 100 == 0;
        EXPECT_EQ(y[n], echo ? expected[n / 100 - 1] : 0.0f) << "sample " << n;
    }
    EXPECT_EQ(comb->lastOut, y[449]);
}

TEST(CombFilter, ZeroDelayReadsTheCellBeforeItIsWritten)
{
    // Equal counters: every step reads the cell it is about to overwrite,
    // which still holds what was written one trip (16,384 samples) earlier.
    auto comb = makeComb(5, 5, 0.5f);
    EXPECT_EQ(comb->step(1.0f), 0.0f);
    for (int n = 1; n < kCombLength; ++n)
        EXPECT_EQ(comb->step(0.0f), 0.0f);
    EXPECT_EQ(comb->step(0.0f), 1.0f); // the impulse, one full trip later
}

TEST(CombFilter, CountersWrapWithoutAJump)
{
    // Counters straddling 2^32: the masked positions keep their distance.
    auto comb = makeComb(0xFFFFFFF0u + 40u, 0xFFFFFFF0u, 0.0f);
    std::vector<float> y(100);
    for (int n = 0; n < 100; ++n)
        y[n] = comb->step(n == 3 ? 1.0f : 0.0f);
    for (int n = 0; n < 100; ++n)
        EXPECT_EQ(y[n], n == 43 ? 1.0f : 0.0f) << n;
}

TEST(CombFilter, BendStepsFollowTheBendValue)
{
    struct Row {
        float bend;
        int32_t step;
    } rows[] = {{0.0f, -64}, {0.25f, -32}, {0.49f, -1}, {0.4921875f, -1}, {0.495f, 0}, {0.5f, 0},
                {0.505f, 0}, {0.75f, 32}, {1.0f, 64},
                // Values a host should never send stay inside the range.
                {7.0f, 64}, {-3.0f, -64}, {1e30f, 64}, {NAN, 0}};
    for (const Row& r : rows) {
        auto comb = makeComb(0, 0, 0.0f);
        comb->bendPhase = 300;
        comb->update(-0.5f, 1.0f, r.bend);
        EXPECT_EQ(comb->bendStep, r.step) << r.bend;
        if (r.step == 0) {
            EXPECT_EQ(comb->bendPhase, 0) << "a still comb has no bend phase";
        }
    }
}

TEST(CombFilter, BendReplaysTheLineFaster)
{
    // Step 64 moves the read position 1/8 sample per sample: a ramp in the
    // line (value = cell index) is read back with slope 1 + 1/8.
    auto comb = makeComb(8000, 0, 0.0f);
    for (int i = 0; i < kCombLength; ++i)
        comb->delayLine[i] = static_cast<float>(i);
    comb->bendStep = 64;
    comb->bendPhase = 0;
    for (int n = 0; n < 4000; ++n) {
        const float y = comb->step(0.0f);
        EXPECT_EQ(y, static_cast<float>(n + (n * 64 >> 9))) << n;
    }
}

TEST(CombFilter, TriggerSetsPositionsFromTheGenerator)
{
    // The generator worked by hand: state = state * 214013 + 2531011,
    // result = bits 16..30.
    uint32_t state = 141;
    auto draw = [&state] {
        state = state * 214013u + 2531011u;
        return static_cast<uint32_t>((state >> 16) & 0x7FFF);
    };
    const uint32_t first = draw() & 511, second = draw() & 511;

    EngineRandom random;
    random.seed(141);
    auto comb = makeComb(0, 0, 0.0f);
    comb->delayLine[77] = 0.5f;
    comb->trigger(47, 0.75f, 44100.0f, random);
    EXPECT_EQ(comb->writeIndex, 2072u);
    EXPECT_EQ(comb->readIndex, first);
    EXPECT_EQ(static_cast<uint32_t>(comb->bendPhase), second);
    EXPECT_EQ(comb->baseGain, 0.75f);
    EXPECT_EQ(comb->delayLine[77], 0.5f) << "a trigger keeps the line";

    const int lengths[] = {47, 43, 40, 38, 35, 33, 31, 28, 26, 25};
    const uint32_t at48k[] = {2256, 2064, 1920, 1824, 1680, 1584, 1488, 1344, 1248, 1200};
    for (int j = 0; j < 10; ++j) {
        comb->trigger(lengths[j], 0.8f, 48000.0f, random);
        EXPECT_EQ(comb->writeIndex, at48k[j]) << lengths[j];
    }
    comb->clear();
    EXPECT_EQ(comb->writeIndex, 1200u) << "clear keeps the positions";
    EXPECT_EQ(comb->delayLine[77], 0.0f);
}

TEST(CombFilter, UpdateWeightsTheOutput)
{
    auto comb = makeComb(0, 0, 0.0f);
    EngineRandom random;
    comb->trigger(30, 0.8f, 48000.0f, random);
    comb->update(-0.9f, 1.58489f, 0.5f);
    EXPECT_EQ(comb->feedback, -0.9f);
    EXPECT_NEAR(comb->outGain, 0.8 * (2.0 / 7.0) * 1.58489, 1e-6);
    comb->update(-0.9f, 0.0f, 0.5f);
    EXPECT_EQ(comb->outGain, 0.0f);
}

TEST(CombFilter, OutlandishTriggerInputsStayDefined)
{
    EngineRandom random;
    auto comb = makeComb(0, 0, 0.0f);
    comb->trigger(47, 0.75f, NAN, random);
    EXPECT_EQ(comb->writeIndex, 0u);
    comb->trigger(47, 0.75f, 1e30f, random);
    EXPECT_EQ(comb->writeIndex, static_cast<uint32_t>(2000000000));
    // Whatever the counters hold, every position is masked.
    comb->bendStep = 64;
    comb->bendPhase = 0x7FFFFFF0;
    for (int n = 0; n < 1000; ++n)
        EXPECT_TRUE(std::isfinite(comb->step(1.0f)));
}

} // namespace

// The longest rooms at low rates push the curve past 1 (and past -1 for a
// reversed room); a comb fed back that hard would grow without end.
TEST(CombFilter, FeedbackStaysBelowOneAtEveryRate)
{
    constexpr int kLongest = (1 << 20) - 1;
    const struct {
        float size;
        int longest;
        float rate;
        float expected; // 0.6370253 * atan(2 * size * longest / rate), limited
    } cases[] = {
        {8.0f, kLongest, 44100.0f, 0.6370253f * std::atan(16.0f * kLongest / 44100.0f)},
        {8.0f, kLongest, 8000.0f, kMaxCombFeedback},
        {8.0f, -kLongest, 8000.0f, -kMaxCombFeedback},
        {0.0f, kLongest, 8000.0f, 0.0f},
        {8.0f, kLongest, 0.0f, kMaxCombFeedback},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(combFeedback(c.size, c.longest, c.rate), c.expected) << c.rate << " Hz";
    EXPECT_LT(std::fabs(combFeedback(8.0f, kLongest, 11025.0f)), 1.0f);
}

} // namespace ovinta
