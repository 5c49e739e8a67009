// SPDX-License-Identifier: GPL-3.0-or-later
// The engine setter: derived values worked out by hand, the change-counter
// rules, pins, non-finite input and the getter.

#include "tests/EngineTestSupport.h"

#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace ovinta {

using enginetest::changes;
using enginetest::makeEngine;

TEST(EngineSetter, DerivedValuesMatchHandWorkedFigures)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    e.setParameter(param::kGain, 0.5f);
    EXPECT_FLOAT_EQ(e.derived().wetGain, 0.25f);
    e.setParameter(param::kDryOut, 0.2f);
    EXPECT_FLOAT_EQ(e.derived().dryGain, 0.04f);
    e.setParameter(param::kAbsorb, 0.5f); // 1 - 0.7/8
    EXPECT_FLOAT_EQ(e.derived().wallAbsorb, 0.9125f);
    e.setParameter(param::kHiCut, 1.0f);
    EXPECT_FLOAT_EQ(e.derived().wallHiCut, 0.3f);
    e.setParameter(param::kScatter, 0.4f);
    EXPECT_FLOAT_EQ(e.derived().scatterAmount, 0.2f);
    e.setParameter(param::kHeight, 0.1f);
    EXPECT_FLOAT_EQ(e.derived().heightSpread, 4.0f);
    e.setParameter(param::kAbsorbAir, 1.0f);
    EXPECT_FLOAT_EQ(e.derived().airAbsorb, 0.995f);
    e.setParameter(param::kHiCutAir, 0.5f); // 1 - 0.005/8
    EXPECT_FLOAT_EQ(e.derived().airHiCut, 0.999375f);
    e.setParameter(param::kEarsX, 0.37f); // 18.5 m rounds up
    EXPECT_EQ(e.derived().listenerX, 19.0f);
    e.setParameter(param::kEarsY, 0.33f); // 16.5 m
    EXPECT_EQ(e.derived().listenerY, 17.0f);
    e.setParameter(param::kSource1X, 0.0f);
    EXPECT_EQ(e.derived().sourceX[0], 0.0f);
    e.setParameter(param::kSource2Y, 1.0f);
    EXPECT_EQ(e.derived().sourceY[1], 50.0f);
    e.setParameter(param::kPreDelay, 0.25f);
    EXPECT_FLOAT_EQ(e.derived().preDelayMs, -250.0f);
    e.setParameter(param::kScale, 0.75f);
    EXPECT_FLOAT_EQ(e.derived().scale, 1.5f);
    e.setParameter(param::kDiffusion, 1.0f);
    EXPECT_FLOAT_EQ(e.derived().diffusionGain, 1.58489f);
    e.setParameter(param::kDiffLoPass, 0.5f);
    EXPECT_FLOAT_EQ(e.derived().widthFactor, 0.5f);
    e.setParameter(param::kBend, 0.3f);
    EXPECT_FLOAT_EQ(e.derived().bendValue, 0.3f);
    e.setParameter(param::kReverseOnOff, 1.0f);
    EXPECT_EQ(e.derived().reverseOn, 1);
}

TEST(EngineSetter, ScaleHasAFloorAndDiffusionSizeBendsAtOneHalf)
{
    auto engine = makeEngine();
    engine->setParameter(param::kScale, 0.0f);
    EXPECT_EQ(engine->programBank().programs[0].parScale, 0.0f);
    EXPECT_FLOAT_EQ(engine->derived().scale, 0.1f);
    engine->setParameter(param::kScale, 0.04f);
    EXPECT_FLOAT_EQ(engine->derived().scale, 0.1f);
    engine->setParameter(param::kDiffSize, 0.25f);
    EXPECT_FLOAT_EQ(engine->derived().diffusionSize, 0.5f);
    engine->setParameter(param::kDiffSize, 0.5f); // 8 / 8
    EXPECT_FLOAT_EQ(engine->derived().diffusionSize, 1.0f);
    engine->setParameter(param::kDiffSize, 0.75f); // 8 * 27 / 64
    EXPECT_FLOAT_EQ(engine->derived().diffusionSize, 3.375f);
}

TEST(EngineSetter, HeadAngleDegreesAndDirection)
{
    auto engine = makeEngine();
    struct Row { float v; int degrees; float sinH, cosH; };
    // The facing turns by (v + 0.5) of a full turn.
    const Row rows[] = {{0.0f, 180, 0.0f, -1.0f}, {0.5f, 0, 0.0f, 1.0f},
                        {1.0f, 180, 0.0f, -1.0f}, {0.75f, 90, 1.0f, 0.0f},
                        {0.25f, 270, -1.0f, 0.0f}};
    for (const Row& row : rows) {
        engine->setParameter(param::kHeadAngle, row.v);
        EXPECT_EQ(engine->derived().headAngleDegrees, row.degrees) << row.v;
        EXPECT_NEAR(engine->derived().headSin, row.sinH, 1e-6) << row.v;
        EXPECT_NEAR(engine->derived().headCos, row.cosH, 1e-6) << row.v;
    }
}

TEST(EngineSetter, RayCountIsEvenAndWithinTheSlots)
{
    auto engine = makeEngine();
    struct Row { float v; int rays; };
    const Row rows[] = {{0.0f, 16},  {1.0f, 512}, {0.5f, 264}, {0.3f, 164},
                        {-5.0f, 16}, {3.0f, 512}, {1e30f, 512}};
    for (const Row& row : rows) {
        engine->setParameter(param::kNumRays, row.v);
        EXPECT_EQ(engine->derived().rayCount, row.rays) << row.v;
        EXPECT_EQ(engine->derived().rayCount % 2, 0);
        EXPECT_EQ(engine->programBank().programs[0].parNumRays, row.v);
    }
}

TEST(EngineSetter, PannerGainsFollowThePosition)
{
    auto engine = makeEngine();
    engine->setParameter(param::kSurround, 2.0f);
    engine->setParameter(param::kPanX, 0.5f);
    engine->setParameter(param::kPanY, 0.5f);
    EXPECT_EQ(engine->derived().panX, 23.0f);
    for (int role = 0; role < kOutputRoles; ++role)
        EXPECT_FLOAT_EQ(engine->derived().outputGain[role], 1.0f) << role;

    // Front-left corner (2, 2) with four outputs: everything on L.
    engine->setParameter(param::kSurround, 1.0f);
    engine->setParameter(param::kPanX, 2.0f / 46.0f);
    engine->setParameter(param::kPanY, 2.0f / 46.0f);
    EXPECT_FLOAT_EQ(engine->derived().outputGain[0], 4.0f);
    EXPECT_FLOAT_EQ(engine->derived().outputGain[1], 0.0f);
    EXPECT_FLOAT_EQ(engine->derived().outputGain[2], 0.0f);
    EXPECT_FLOAT_EQ(engine->derived().outputGain[3], 0.0f);

    // Stereo: L and Ls share a, R and Rs share b; C untouched.
    const float centreBefore = engine->derived().outputGain[4];
    engine->setParameter(param::kSurround, 0.0f);
    engine->setParameter(param::kPanX, 44.0f / 46.0f); // x = 44: a = 0
    EXPECT_NEAR(engine->derived().outputGain[0], 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(engine->derived().outputGain[1], 2.0f);
    EXPECT_FLOAT_EQ(engine->derived().outputGain[3], 2.0f);
    EXPECT_EQ(engine->derived().outputGain[4], centreBefore);
}

TEST(EngineSetter, ChangeCountRules)
{
    auto engine = makeEngine();
    auto increment = [&](int index, float value) {
        const int before = changes(*engine);
        engine->setParameter(index, value);
        return changes(*engine) - before;
    };
    for (int index = 0; index < kStoredParameterCount; ++index) {
        const bool immediate = index == 1 || (index >= 17 && index <= 19) || index == 21
                               || index == 22 || (index >= 24 && index <= 35);
        const int expected = immediate ? 0 : (index == 23 || index == 44) ? 2 : 1;
        EXPECT_EQ(increment(index, 0.6f), expected) << "index " << index;
    }
    const int silentTags[] = {54, 55, 57, 60, 61, 62, 63, 66};
    for (int tag : silentTags)
        EXPECT_EQ(increment(tag, 1.0f), 0) << "tag " << tag;
    const int countingTags[] = {46, 47, 50, 53, 56, 58, 59, 64, 65, 67, 68, 99};
    for (int tag : countingTags)
        EXPECT_EQ(increment(tag, 1.0f), 1) << "tag " << tag;
    EXPECT_EQ(increment(-3, 1.0f), 0);
}

TEST(EngineSetter, PinsIgnoreChannelsThePluginDoesNotHave)
{
    auto engine = makeEngine();
    OvintaProgram& record = engine->programBank().programs[0];
    engine->setParameter(40, 3.0f);
    ASSERT_EQ(engine->derived().outputChannel[1], 3);

    struct Row { int index; float value; bool applied; int channel; };
    const Row rows[] = {{40, -1.0f, false, 3}, {40, 6.0f, false, 3}, {40, 5.9f, true, 5},
                        {40, 0.0f, true, 0},   {37, 2.0f, false, 0}, {37, 1.5f, true, 1},
                        {38, -0.5f, false, 1}, {43, 4.0f, true, 4},  {43, 1e9f, false, 4}};
    for (const Row& row : rows) {
        const float storedBefore = *programField(record, row.index);
        const int before = changes(*engine);
        engine->setParameter(row.index, row.value);
        EXPECT_EQ(changes(*engine) - before, 1) << row.index << " " << row.value;
        const int channel = row.index <= 38 ? engine->derived().inputChannel[row.index - 37].load()
                                            : engine->derived().outputChannel[row.index - 39].load();
        EXPECT_EQ(channel, row.channel) << row.index << " " << row.value;
        EXPECT_EQ(*programField(record, row.index), row.applied ? row.value : storedBefore);
    }
}

TEST(EngineSetter, NonFiniteValuesChangeNothing)
{
    auto engine = makeEngine();
    engine->setParameter(param::kGain, 0.5f);
    engine->setParameter(param::kEarsX, 0.2f);
    OvintaProgram before = engine->programBank().programs[0];
    const int count = changes(*engine);
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (float value : bad)
        for (int index = -1; index <= 70; ++index)
            engine->setParameter(index, value);
    EXPECT_EQ(changes(*engine), count);
    EXPECT_EQ(std::memcmp(&before, &engine->programBank().programs[0], sizeof(OvintaProgram)), 0);
    EXPECT_FLOAT_EQ(engine->derived().wetGain, 0.25f);
    EXPECT_EQ(engine->derived().listenerX, 10.0f);
    EXPECT_EQ(engine->derived().rawParam63, 0.0f);
}

TEST(EngineSetter, StereoIsRefusedForAOneChannelInput)
{
    auto engine = makeEngine();
    engine->setInputChannelCount(1);
    engine->setParameter(param::kStereoOnOff, 1.0f);
    EXPECT_EQ(engine->programBank().programs[0].parStereoOnOff, 0.0f);
    EXPECT_EQ(engine->derived().stereoOn, 0);
    engine->setInputChannelCount(2);
    engine->setParameter(param::kStereoOnOff, 1.0f);
    EXPECT_EQ(engine->programBank().programs[0].parStereoOnOff, 1.0f);
    EXPECT_EQ(engine->derived().stereoOn, 1);
}

TEST(EngineSetter, GetterReturnsRawValuesAndItsOwnHistory)
{
    auto engine = makeEngine();
    engine->setParameter(param::kGain, 0.123f);
    EXPECT_EQ(engine->getParameter(param::kGain), 0.123f);
    engine->setParameter(40, 2.0f);
    EXPECT_EQ(engine->getParameter(40), 2.0f);
    EXPECT_EQ(engine->getParameter(58), 2.0f); // the previous answer
    engine->setParameter(param::kProgramSelect, 3.7f);
    EXPECT_EQ(engine->getParameter(param::kProgramSelect), 0.0f);
    engine->setParameter(63, 0.77f);
    EXPECT_EQ(engine->getParameter(63), 0.77f);
    EXPECT_EQ(engine->getParameter(58), 0.77f);
    EXPECT_EQ(engine->getParameter(70), 0.0f);
    EXPECT_EQ(engine->getParameter(-1), 0.0f);
}

TEST(EngineSetter, EqFrequencyIsLimitedForStorageAndForTheDesign)
{
    auto engine = makeEngine();
    engine->setProgramAndRate(0, 22050.0f);
    engine->setParameter(param::kEQgain1, 0.7f);
    engine->setParameter(param::kEQwide1, 0.5f);
    engine->setParameter(param::kEQfreq1, 1.0f);
    EXPECT_FLOAT_EQ(engine->derived().eqFrequency[0], 11025.0f);
    EXPECT_FLOAT_EQ(engine->derived().eqGain[0], 6.0f);
    EXPECT_FLOAT_EQ(engine->derived().eqWidth[0], 0.6f);
    // The design uses 0.45 of the rate: a shelf built directly there matches.
    EQfilter reference(kEqLowShelf, 6.0f, 9922.5f, 22050.0f, 0.6f);
    const EQfilter blank(kEqLowPass, 0.0f, 2500.0f, 44100.0f, 5.0f);
    ASSERT_NE(blank.b0, reference.b0);
    EQfilter analysed[kEqBands] = {blank, blank, blank, blank};
    engine->copyAnalysisEq(0, analysed);
    EXPECT_FLOAT_EQ(analysed[0].b0, reference.b0);
    EXPECT_FLOAT_EQ(analysed[0].a1, reference.a1);
    engine->setParameter(param::kEQwide2, 0.3f);
    EXPECT_FLOAT_EQ(engine->derived().eqWidth[1], 1.0f);
}

} // namespace ovinta
