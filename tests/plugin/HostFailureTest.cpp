// SPDX-License-Identifier: GPL-3.0-or-later
// Failures inside the plug-in stop at its entry points: a test build injects
// a failed allocation (OVINTA_FAIL_ONCE) half-way through a chunk load or at
// the start of a process call, and the host gets the "failed" answer (0, or
// silence) and an instance that goes on working.

#include "tests/plugin/PluginFixture.h"

#include <cmath>
#include <cstdlib>

namespace ovinta {

namespace {
constexpr int kFrames = 512;

// Loads the plug-in with `points` armed; the instance reads them when made.
void loadWithFailures(VstHost& host, const char* points)
{
    ::setenv("OVINTA_FAIL_ONCE", points, 1);
    std::string error;
    const bool loaded = host.load(OVINTA_PLUGIN_PATH, error);
    ::unsetenv("OVINTA_FAIL_ONCE");
    ASSERT_TRUE(loaded) << error;
    host.dispatch(effOpen);
    host.dispatch(effMainsChanged, 0, 1);
}

// Output energy of one block with an impulse on both inputs; -1 when any
// sample is not finite. The outputs start as garbage, as a host's may.
double impulseBlockEnergy(VstHost& host)
{
    std::vector<float> in(2 * kFrames, 0.0f), out(6 * kFrames, 7.0f);
    float* inputs[2] = {in.data(), in.data() + kFrames};
    float* outputs[6];
    for (int c = 0; c < 6; ++c)
        outputs[c] = out.data() + c * kFrames;
    in[0] = in[kFrames] = 1.0f;
    host.processReplacing(inputs, outputs, kFrames);
    double energy = 0.0;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < kFrames; ++i) {
            if (!std::isfinite(outputs[c][i]))
                return -1.0;
            energy += static_cast<double>(outputs[c][i]) * static_cast<double>(outputs[c][i]);
        }
    return energy;
}
} // namespace

TEST(HostFailure, AFailedChunkLoadAnswersZeroAndTheInstanceGoesOn)
{
    VstHost host;
    loadWithFailures(host, "state-load");
    // A program chunk of program 7, loaded over program 0.
    host.dispatch(effSetProgram, 0, 7);
    void* data = nullptr;
    const VstIntPtr size = host.dispatch(effGetChunk, 1, 0, &data);
    ASSERT_EQ(size, 9432);
    const std::vector<unsigned char> seven(static_cast<unsigned char*>(data),
                                           static_cast<unsigned char*>(data) + size);
    host.dispatch(effSetProgram, 0, 0);

    EXPECT_EQ(host.dispatch(effSetChunk, 1, size, const_cast<unsigned char*>(seven.data())), 0);
    // Still answering, still playing.
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_GT(impulseBlockEnergy(host), 0.0);
    // The same load again succeeds and the chunk reads back byte for byte.
    ASSERT_EQ(host.dispatch(effSetChunk, 1, size, const_cast<unsigned char*>(seven.data())), 1);
    data = nullptr;
    ASSERT_EQ(host.dispatch(effGetChunk, 1, 0, &data), size);
    EXPECT_EQ(std::vector<unsigned char>(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size),
              seven);
}

TEST(HostFailure, AFailedProcessCallGivesSilenceAndTheNextOnePlays)
{
    VstHost host;
    loadWithFailures(host, "process");
    // The failed block: every output sample zero, none of the garbage left.
    EXPECT_EQ(impulseBlockEnergy(host), 0.0);
    // The next block plays the impulse.
    EXPECT_GT(impulseBlockEnergy(host), 0.0);
}

} // namespace ovinta
