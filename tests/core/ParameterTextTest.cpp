// SPDX-License-Identifier: GPL-3.0-or-later
// Text -> value of the core's parameter descriptions: every accepted text is
// checked through the host's value display (a separate path, the forward
// formulas), every refused one for the range its message names.

#include "core/ParameterInfo.h"
#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <string>

namespace ovinta {

TEST(ParameterText, AcceptedTextsShowAsTheDisplayPrintsThem)
{
    const struct {
        int id;
        const char* text;
        const char* display; // the host's value display of the parsed value
    } rows[] = {
        {param::kGain, "-6dB", "-6.0dB"},           // in its unit
        {param::kGain, "-6", "-6.0dB"},             // no unit: read in dB, as info prints it
        {param::kGain, " +4 dB ", "4.0dB"},         // the top of the range
        {param::kGain, "-inf", "-inf."},            // levels reach -inf
        {param::kDryOut, "-inf dB", "-inf."},
        {param::kGain, "-inf.", "-inf."},           // as the display prints it
        {param::kGain, "raw:1", "4.0dB"},           // the raw value itself
        {param::kNumRays, "100", "100"},
        {param::kNumRays, "512rays", "512"},        // the top, with its unit
        {param::kNumRays, "16 rays", "16"},
        {param::kSurround, "2", "2 outs"},          // the count, not the raw value
        {param::kSurround, "4 outputs", "4 outs"},
        {param::kSurround, "5", "5 outs"},
        {param::kSurround, "raw:1", "4 outs"},
        {param::kPanX, "10", "10"},                 // panner steps, as info shows them
        {param::kPanX, "46", "46"},
        {param::kStereoOnOff, "on", "ON"},
        {param::kStereoOnOff, "OFF", "OFF"},
        {param::kReverseOnOff, "1", "ON"},
        {param::kBend, "0.3", "0.30"},              // printed raw
        {param::kEQgain3, "+6dB", "+6.0dB"},
        {param::kEQfreq3, "2.5kHz", "2.50kHz"},
        {param::kEQwide2, "1.6", "1.60oct"},
        {param::kEQwide1, "0.5", "0.50"},           // a shelf's Q
        {param::kHeadAngle, "90deg", "90"},
        {param::kPreDelay, "20ms", "20ms"},
        {param::kEarsX, "25 m", "25m"},
        {param::kSpeakerOut3, "-1", "-"},           // unassigned
        {param::kSpeakerOut3, "4", "5"},            // channel 4, shown from 1
    };
    for (const auto& row : rows) {
        const ParsedParameter parsed = parameterFromText(row.id, row.text);
        ASSERT_TRUE(parsed.ok) << row.text << ": " << parsed.error;
        EXPECT_EQ(parameterText(row.id, parsed.raw), row.display) << row.text;
    }
}

TEST(ParameterText, RefusedTextsNameWhatIsAllowed)
{
    const struct {
        int id;
        const char* text;
        const char* message; // part of the refusal
    } rows[] = {
        {param::kGain, "+10dB", "-inf..+4 dB"},      // above the range
        {param::kGain, "5Hz", "is in dB, not \"Hz\""},
        {param::kGain, "loud", "must be a number"},
        {param::kGain, "raw:1.5", "0..1"},           // raw, above the raw range
        {param::kGain, "raw:x", "must be a number"},
        {param::kEQgain3, "-inf", "-15..+15 dB"},    // a gain that cannot reach -inf
        {param::kNumRays, "101", "the nearest it makes are 100 and 102"}, // odd counts cannot be made
        {param::kNumRays, "600", "16..512 rays"},
        {param::kNumRays, "8", "16..512 rays"},
        {param::kSurround, "3", "2, 4 or 5"},
        {param::kStereoOnOff, "1dB", "has no unit"},
        {param::kStereoOnOff, "0.5", "on or off"},
        {param::kPanX, "47", "(0..46)"},
        {param::kSpeakerIn1, "2", "0..1 channel"},
        {param::kSpeakerIn1, "0.5", "whole"},
        {param::kNumRays, "100.5", "whole"},
        {param::kScale, "5%", "10..200 %"},
    };
    for (const auto& row : rows) {
        const ParsedParameter parsed = parameterFromText(row.id, row.text);
        ASSERT_FALSE(parsed.ok) << row.text;
        EXPECT_NE(parsed.error.find(row.message), std::string::npos) << row.text << ": " << parsed.error;
        EXPECT_NE(parsed.error.find(parameterInfo(row.id)->name), std::string::npos) << parsed.error;
    }
    // 2 dB is within the wet gain's range: accepted as 2 dB.
    const ParsedParameter two = parameterFromText(param::kGain, "2");
    ASSERT_TRUE(two.ok) << two.error;
    EXPECT_EQ(parameterText(param::kGain, two.raw), "2.0dB");
}

TEST(ParameterText, DescriptionsMatchTheHostsParameters)
{
    // Named parameters carry the host's name; raw ranges hold the defaults.
    for (int id = 0; id < kParameterCount; ++id) {
        const ParameterInfo& p = *parameterInfo(id);
        EXPECT_EQ(p.id, id);
        if (std::string(parameterName(id)) != " ") {
            EXPECT_STREQ(p.name, parameterName(id)) << id;
        }
        EXPECT_GE(parameterDefault(id), p.lowest) << id;
        EXPECT_LE(parameterDefault(id), p.highest) << id;
    }
    EXPECT_EQ(parameterInfo(kParameterCount), nullptr);
    EXPECT_EQ(parameterInfo(-1), nullptr);
}

} // namespace ovinta
