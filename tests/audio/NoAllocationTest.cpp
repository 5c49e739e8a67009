// SPDX-License-Identifier: GPL-3.0-or-later
// The audio path allocates nothing: this binary replaces the global
// allocation functions with counting ones and runs many process calls
// (steady blocks, odd sizes, the commit of a change traced ahead, a
// program-change rebuild, crossfades, doubled pins) between two readings of the counter.

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "tests/CountingAllocator.h"
#include "model/Parameters.h"
#include "tests/RoomEngineTestAccess.h"

#include <gtest/gtest.h>

#include <vector>

namespace ovinta {

namespace {

using countingallocator::allocations;

TEST(AudioPath, ProcessCallsAllocateNothing)
{
    auto engine = std::make_unique<RoomEngine>();
    ASSERT_GT(allocations.load(), 0) << "the counter must see the engine's own allocations";
    RoomEngine& e = *engine;
    e.selectProgram(3);
    for (int index = 0; index < 46; ++index)
        e.setParameter(index, *programField(e.currentProgramRecord(), index));
    e.finishProgram();
    e.resetAudio();

    std::vector<float> in[2], out[6];
    float* inPtr[2];
    float* outPtr[6];
    for (int c = 0; c < 2; ++c) {
        in[c].assign(4096, 0.0f);
        for (int i = 0; i < 4096; i += 331)
            in[c][i] = 0.7f;
        inPtr[c] = in[c].data();
    }
    for (int c = 0; c < 6; ++c) {
        out[c].assign(4096, 0.0f);
        outPtr[c] = out[c].data();
    }
    const int sizes[] = {512, 512, 64, 1, 0, 37, 128, 4096, 255, 512};
    const long before = allocations.load();
    // A change traced ahead (with a ray set-up) before this thread has
    // played: the first block only commits it.
    e.setParameter(param::kNumRays, 0.8f);
    ASSERT_TRUE(e.traceProgramAhead());
    for (int round = 0; round < 6; ++round) {
        RoomEngineTestAccess::values(e).outputCount = round % 3 == 0 ? 5 : (round % 3 == 1 ? 2 : 4);
        RoomEngineTestAccess::values(e).stereoOn = round % 2;
        if (round == 3) {
            RoomEngineTestAccess::immediateRebuild(e).store(true, std::memory_order_release); // program change
            RoomEngineTestAccess::values(e).outputChannel[1] = 0;                                    // doubled pin
        }
        for (int n : sizes)
            processBlock(e, inPtr, outPtr, n);
    }
    EXPECT_EQ(allocations.load(), before);
}

} // namespace

} // namespace ovinta
