// The process call on its own thread while another thread takes the audio
// path away, changes parameters and programs: every block either runs whole
// or leaves its outputs alone, and nothing non-finite comes out. Run under
// ThreadSanitizer by the concurrency build.

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "tests/RoomEngineTestAccess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace {

TEST(AudioThread, ProcessRunsAgainstResetsAndParameterChanges)
{
    auto engine = std::make_unique<RoomEngine>();
    RoomEngine& e = *engine;
    e.selectProgram(0);
    for (int index = 0; index < 46; ++index)
        e.setParameter(index, *programField(e.currentProgramRecord(), index));
    e.finishProgram();
    e.resetAudio();

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, skipped{0}, bad{0};
    std::thread audio([&] {
        constexpr int kFrames = 256;
        constexpr float kSentinel = 12345.0f;
        std::vector<float> in(kFrames), out[6];
        for (int i = 0; i < kFrames; ++i)
            in[i] = std::sin(0.05f * static_cast<float>(i));
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[6];
        for (int c = 0; c < 6; ++c)
            outputs[c] = (out[c].assign(kFrames, 0.0f), out[c].data());
        while (!stop.load(std::memory_order_acquire)) {
            for (auto& o : out)
                o[0] = kSentinel;
            processBlock(e, inputs, outputs, kFrames);
            if (out[0][0] == kSentinel) {
                skipped.fetch_add(1, std::memory_order_relaxed);
                continue;
            }
            for (int c = 0; c < 2; ++c)
                for (float v : out[c])
                    if (!std::isfinite(v))
                        bad.fetch_add(1, std::memory_order_relaxed);
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
    EXPECT_EQ(RoomEngineTestAccess::processing(e).load(), 0);
}

} // namespace
