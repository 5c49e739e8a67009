// SPDX-License-Identifier: GPL-3.0-or-later
// Value display texts, worked out by hand from each display's formula.

#include "model/ValueFormat.h"
#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace ovinta {

namespace {

std::string display(int index, float raw)
{
    char text[valueformat::kTextCapacity] = "unchanged";
    valueformat::parameterDisplay(index, raw, text);
    return text;
}

std::string format(void (*f)(float, char*), float x)
{
    char text[valueformat::kTextCapacity] = "unchanged";
    f(x, text);
    return text;
}

} // namespace

TEST(ValueFormat, GainDisplaysInDecibels)
{
    EXPECT_EQ(display(param::kDryOut, 1.0f), "0 dB");
    EXPECT_EQ(display(param::kDryOut, 0.5f), "-12.0dB"); // 20 log10(0.25) = -12.04
    EXPECT_EQ(display(param::kDryOut, 0.0f), "-inf.");
    EXPECT_EQ(display(param::kGain, 1.0f), "4.0dB");     // 1.58489 = +4 dB
    EXPECT_EQ(display(param::kGain, 0.0f), "-inf.");
    EXPECT_EQ(display(param::kDiffusion, 1.0f), "4.0dB");
    EXPECT_EQ(display(param::kDiffusion, 0.5f), "-2.0dB"); // 20 log10(0.792445) = -2.02
    EXPECT_EQ(format(valueformat::decibels, -0.5f), "-inf.");
}

TEST(ValueFormat, StereoWidthNamesItsEnds)
{
    EXPECT_EQ(display(param::kDiffLoPass, 0.5f), "OFF");  // w = 4 a^2 = 1
    EXPECT_EQ(display(param::kDiffLoPass, 0.0f), "MONO");
    EXPECT_EQ(display(param::kDiffLoPass, 0.04f), "MONO"); // w = 0.0064
    EXPECT_EQ(display(param::kDiffLoPass, 0.05f), "0.01"); // w = 0.01
    EXPECT_EQ(display(param::kDiffLoPass, 1.0f), "4.00");
    EXPECT_EQ(display(param::kDiffLoPass, 0.75f), "2.25");
}

TEST(ValueFormat, TimesScalesAndDistances)
{
    EXPECT_EQ(display(param::kPreDelay, 0.0f), "-500ms");
    EXPECT_EQ(display(param::kPreDelay, 0.25f), "-250ms");
    EXPECT_EQ(display(param::kPreDelay, 0.5f), "0ms");
    EXPECT_EQ(display(param::kPreDelay, 1.0f), "500ms");
    EXPECT_EQ(display(param::kScale, 0.0f), "10%");  // the engine's floor of 0.1
    EXPECT_EQ(display(param::kScale, 0.5f), "100%");
    EXPECT_EQ(display(param::kScale, 1.0f), "200%");
    EXPECT_EQ(display(param::kHeight, 0.0f), "2.00m");
    EXPECT_EQ(display(param::kHeight, 1.0f), "22.00m");
    EXPECT_EQ(display(param::kHeight, 0.1f), "4.00m");
    EXPECT_EQ(display(param::kDiffSize, 0.5f), "100%");
    EXPECT_EQ(display(param::kDiffSize, 0.25f), "50%");
    EXPECT_EQ(display(param::kDiffSize, 1.0f), "800%");
}

TEST(ValueFormat, WallAndAirPercentages)
{
    EXPECT_EQ(display(param::kAbsorb, 0.0f), "0.00%");
    EXPECT_EQ(display(param::kAbsorb, 1.0f), "70.00%");
    EXPECT_EQ(display(param::kHiCut, 0.5f), "8.75%");   // 0.7 / 8
    EXPECT_EQ(display(param::kScatter, 1.0f), "50.00%");
    EXPECT_EQ(display(param::kAbsorbAir, 1.0f), "50.00%"); // 0.005 per metre = 50% per 100 m
    EXPECT_EQ(display(param::kHiCutAir, 0.5f), "6.25%");
}

TEST(ValueFormat, HeadAngleAndRayCountAreWholeNumbers)
{
    EXPECT_EQ(display(param::kHeadAngle, 0.5f), "0");
    EXPECT_EQ(display(param::kHeadAngle, 0.0f), "180"); // -180 + 360
    EXPECT_EQ(display(param::kHeadAngle, 0.75f), "90");
    EXPECT_EQ(display(param::kHeadAngle, 0.25f), "270"); // -90 + 360
    EXPECT_EQ(display(param::kNumRays, 1.0f), "512");
    EXPECT_EQ(display(param::kNumRays, 0.0f), "16");
    EXPECT_EQ(display(param::kNumRays, 0.5f), "264"); // 2 (8 + 124)
    EXPECT_EQ(display(param::kNumRays, 7.0f), "512"); // out of range, limited
}

TEST(ValueFormat, RoundingFollowsEachFunctionsRule)
{
    EXPECT_EQ(format(valueformat::percentRounded, 0.126f), "13%");
    EXPECT_EQ(format(valueformat::percentTruncated, 0.129f), "12%");
    EXPECT_EQ(format(valueformat::wholeNumber, -3.9f), "-3");
    EXPECT_EQ(format(valueformat::milliseconds, 12.99f), "12ms");
    EXPECT_EQ(format(valueformat::metres, 3.14159f), "3.14m");
}

TEST(ValueFormat, WildValuesStillGiveBoundedText)
{
    const float wild[] = {std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity(), -1e38f, 3.4e38f};
    for (int index = 0; index < kHostParameterCount; ++index)
        for (float v : wild) {
            char text[valueformat::kTextCapacity + 8];
            std::memset(text, 'x', sizeof text);
            valueformat::parameterDisplay(index, v, text);
            EXPECT_LT(std::strlen(text), static_cast<std::size_t>(valueformat::kTextCapacity));
            EXPECT_EQ(text[valueformat::kTextCapacity + 7], 'x'); // nothing written beyond
        }
}

TEST(ValueFormat, ParametersWithoutADisplayGiveNoText)
{
    char text[valueformat::kTextCapacity] = "x";
    EXPECT_FALSE(valueformat::parameterDisplay(param::kEarsX, 0.5f, text));
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(valueformat::parameterDisplay(param::kProgramSelect, 3.0f, text));
    EXPECT_TRUE(valueformat::parameterDisplay(param::kGain, 0.5f, text));
}

} // namespace ovinta
