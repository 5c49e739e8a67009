// SPDX-License-Identifier: GPL-3.0-or-later
// PluginCore on its own, as a format's adapter drives it: the tail it
// announces against a rendered response, and its state as bytes.

#include "core/PluginCore.h"
#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace ovinta {

namespace {
constexpr int kBlock = 1024;

// The last sample index (from the impulse) where L or R is above `floor`,
// rendering `frames` samples of the response to a unit impulse.
long lastAudibleSample(PluginCore& core, long frames, float floor)
{
    std::vector<float> in(2 * kBlock, 0.0f), out(6 * kBlock, 0.0f);
    float* inputs[2] = {in.data(), in.data() + kBlock};
    float* outputs[6];
    for (int c = 0; c < 6; ++c)
        outputs[c] = out.data() + c * kBlock;
    in[0] = in[kBlock] = 1.0f;
    long last = -1;
    for (long start = 0; start < frames; start += kBlock) {
        core.process(inputs, outputs, kBlock);
        in[0] = in[kBlock] = 0.0f;
        for (int i = 0; i < kBlock; ++i)
            if (std::fabs(outputs[0][i]) > floor || std::fabs(outputs[1][i]) > floor)
                last = start + i;
    }
    return last;
}
} // namespace

TEST(PluginCore, TheWetResponseEndsWithinTheAnnouncedTail)
{
    // The wet sound of a factory room, dry path off: past its tail (and a
    // margin for the diffusion and equaliser filters to settle) it is at
    // least 80 dB down; and the tail is no gross overestimate: the sound is
    // still above that past its first half (the latest taps are the
    // quietest, so the response drops under it before the tail ends).
    for (int program : {0, 12, 30}) {
        auto core = std::make_unique<PluginCore>();
        core->setProgram(program);
        core->setParameter(param::kDryOut, 0.0f);
        core->resume();
        const long rendered = 10L * 44100L;
        const long last = lastAudibleSample(*core, rendered, 1e-4f);
        const long tail = core->tailSamples();
        ASSERT_GT(tail, 0) << program;
        ASSERT_LT(tail, rendered - 44100L) << program;
        EXPECT_LE(last, tail + 4410) << program;
        EXPECT_GE(last, tail / 2) << program;
    }
}

TEST(PluginCore, SavedStateLoadsBackToTheSameBytes)
{
    for (bool oneProgram : {true, false}) {
        auto core = std::make_unique<PluginCore>();
        core->setProgram(9);
        core->setParameter(param::kScatter, 0.3f);
        void* data = nullptr;
        const int32_t size = core->saveState(&data, oneProgram);
        ASSERT_GT(size, 0);
        const std::vector<unsigned char> saved(static_cast<unsigned char*>(data),
                                               static_cast<unsigned char*>(data) + size);

        auto other = std::make_unique<PluginCore>();
        other->setProgram(9);
        ASSERT_TRUE(other->loadState(saved.data(), size, oneProgram));
        EXPECT_EQ(other->getParameter(param::kScatter), 0.3f);
        void* again = nullptr;
        ASSERT_EQ(other->saveState(&again, oneProgram), size);
        EXPECT_EQ(std::vector<unsigned char>(static_cast<unsigned char*>(again),
                                             static_cast<unsigned char*>(again) + size),
                  saved);
        // A size that is neither layout changes nothing.
        EXPECT_FALSE(other->loadState(saved.data(), size - 1, oneProgram));
    }
}

} // namespace ovinta
