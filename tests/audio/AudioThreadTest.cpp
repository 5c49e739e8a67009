// SPDX-License-Identifier: GPL-3.0-or-later
// The process call on its own thread while another thread takes the audio
// path away, changes parameters and programs: every block either runs whole
// or leaves its outputs alone, and nothing non-finite comes out. Run under
// ThreadSanitizer by the concurrency build.

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

TEST(AudioThread, ProcessRunsAgainstResetsAndParameterChanges)
{
    auto engine = enginetest::makeEngine();
    RoomEngine& e = *engine;
    enginetest::applyProgram(e, 0);
    e.resetAudio();

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, skipped{0}, bad{0};
    std::thread audio([&] {
        constexpr int kFrames = 256;
        constexpr float kSentinel = 12345.0f;
        enginetest::SineBlock io(kFrames);
        while (!stop.load(std::memory_order_acquire)) {
            for (auto& o : io.out)
                o[0] = kSentinel;
            processBlock(e, io.inputs, io.outputs, kFrames);
            if (io.out[0][0] == kSentinel) {
                skipped.fetch_add(1, std::memory_order_relaxed);
                continue;
            }
            bad.fetch_add(io.nonFinite(), std::memory_order_relaxed);
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
    });
    for (int round = 0; round < 60; ++round) {
        e.resetAudio();
        e.setParameter(17, 0.01f * static_cast<float>(round % 100)); // diffusion
        e.setParameter(1, 0.5f);                                       // dry
        e.setParameter(10, 0.02f * static_cast<float>(round % 50));    // source 1 x: retrace
        if (round % 20 == 10) {
            e.selectProgram(round % 45);
            e.finishProgram();
        }
        std::this_thread::yield();
    }
    while (blocks.load() < 50)
        std::this_thread::yield();
    stop.store(true, std::memory_order_release);
    audio.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_GE(blocks.load(), 50);
    EXPECT_EQ(RoomEngineTestAccess::processing(e), 0);
}

} // namespace

} // namespace ovinta
