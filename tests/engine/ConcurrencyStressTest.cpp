// SPDX-License-Identifier: GPL-3.0-or-later
// Three threads on one plug-in instance, as a host and the editor run it:
// an audio thread processing blocks of random sizes, a parameter thread
// changing parameters, ray counts, stereo, programs (also by the step tags)
// and chunks and resuming, and an editor thread tracing when audio pauses and
// reading the equaliser. Program changes and chunk loads are traced on the
// parameter thread while the audio runs. The audio must stay finite throughout; the sanitiser build
// checks that every shared access is ordered.

#include "engine/RoomEngine.h"
#include "tests/RoomEngineTestAccess.h"
#include "core/PluginCore.h"
#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr int kMaxBlock = 4096;
constexpr auto kRunTime = std::chrono::milliseconds(2000);

struct AudioResult {
    long blocks = 0;
    long samples = 0;
    long nonFinite = 0;
    float loudest = 0.0f;
};

void runAudio(PluginCore& effect, const std::atomic<bool>& stop, AudioResult& result)
{
    std::mt19937 rng(11u);
    std::uniform_int_distribution<int> blockSize(0, kMaxBlock);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::vector<float> in[kInputChannelCapacity];
    std::vector<float> out[kOutputChannelCapacity];
    float* inputs[kInputChannelCapacity];
    float* outputs[kOutputChannelCapacity];
    for (int c = 0; c < kInputChannelCapacity; ++c) {
        in[c].resize(kMaxBlock);
        inputs[c] = in[c].data();
    }
    for (int c = 0; c < kOutputChannelCapacity; ++c) {
        out[c].resize(kMaxBlock);
        outputs[c] = out[c].data();
    }
    while (!stop.load(std::memory_order_relaxed)) {
        const int frames = blockSize(rng);
        for (auto& channel : in)
            for (int i = 0; i < frames; ++i)
                channel[static_cast<std::size_t>(i)] = 0.25f * sample(rng);
        for (auto& channel : out)
            std::fill(channel.begin(), channel.end(), 0.0f);
        effect.process(inputs, outputs, frames);
        for (auto& channel : out)
            for (int i = 0; i < frames; ++i) {
                const float v = channel[static_cast<std::size_t>(i)];
                if (!std::isfinite(v))
                    ++result.nonFinite;
                else
                    result.loudest = std::max(result.loudest, std::fabs(v));
            }
        ++result.blocks;
        result.samples += frames;
        if (result.blocks % 64 == 0) // a host pause lets the editor trace
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
}

// One random action of the host's parameter thread.
void hostAction(PluginCore& effect, std::mt19937& rng, std::vector<unsigned char>& savedChunk)
{
    std::uniform_int_distribution<int> kind(0, 99);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int k = kind(rng);
    if (k < 60) {
        const int index = static_cast<int>(rng() % 69);
        float value = unit(rng);
        if (index >= 37 && index <= 43)
            value = static_cast<float>(static_cast<int>(rng() % 8)) - 1.0f; // pins, -1 = none
        else if (index == param::kSurround)
            value = static_cast<float>(rng() % 3);
        else if (index == 46 || index == 67 || index == 68)
            value = index == 46 ? static_cast<float>(rng() % 45) : 0.0f;
        effect.setParameter(index, value);
    } else if (k < 70) {
        effect.setParameter(param::kNumRays, unit(rng));
    } else if (k < 78) {
        effect.setParameter(param::kStereoOnOff, static_cast<float>(rng() % 2));
    } else if (k < 88) {
        effect.setProgram(static_cast<int>(rng() % 45));
    } else if (k < 94) {
        void* data = nullptr;
        const int32_t size = effect.saveState(&data, true);
        if (data != nullptr && size > 0) {
            const auto* bytes = static_cast<const unsigned char*>(data);
            savedChunk.assign(bytes, bytes + size);
        }
        if (!savedChunk.empty())
            effect.loadState(savedChunk.data(), static_cast<int64_t>(savedChunk.size()), true);
    } else if (k < 97) {
        effect.suspend();
        effect.resume();
    } else {
        effect.setParameter(param::kScale, unit(rng) * 3.0f); // beyond the knob's range too
    }
}

} // namespace

TEST(ConcurrencyStress, AudioParametersAndEditorShareOneInstance)
{
    auto effect = std::make_unique<PluginCore>();
    effect->resume();
    RoomEngine& engine = effect->engine();

    std::atomic<bool> stop{false};
    AudioResult audio;
    long hostActions = 0;
    long editorVisits = 0;
    std::thread audioThread([&] { runAudio(*effect, stop, audio); });
    std::thread hostThread([&] {
        std::mt19937 rng(23u);
        std::vector<unsigned char> chunk;
        while (!stop.load(std::memory_order_relaxed)) {
            hostAction(*effect, rng, chunk);
            ++hostActions;
            if (hostActions % 16 == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::thread editorThread([&] {
        EQfilter analysed[kEqBands] = {{0, 0.0f, 1000.0f, 44100.0f, 1.0f},
                                       {0, 0.0f, 1000.0f, 44100.0f, 1.0f},
                                       {0, 0.0f, 1000.0f, 44100.0f, 1.0f},
                                       {0, 0.0f, 1000.0f, 44100.0f, 1.0f}};
        int lastTick = -1;
        std::vector<Wall> walls(kMaxWalls);
        std::vector<RayView> views(kMaxRays);
        std::vector<PostedTap> taps(kMaxRays);
        while (!stop.load(std::memory_order_relaxed)) {
            lastTick = engine.idleTrace(lastTick);
            engine.copyAnalysisEq(editorVisits % 2 == 0 ? 0 : 1, analysed);
            // What the screens read while the audio thread plays.
            engine.copyWalls(walls.data());
            engine.copyRayViews(views.data(), kMaxRays);
            if (engine.takePostedFlags() > 0)
                engine.copyPostedTaps(0, kMaxRays, taps.data());
            engine.lowerOutputPeak(static_cast<int>(editorVisits % kOutputRoles), 0.0f);
            ++editorVisits;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    std::this_thread::sleep_for(kRunTime);
    stop.store(true);
    audioThread.join();
    hostThread.join();
    editorThread.join();

    EXPECT_EQ(audio.nonFinite, 0);
    EXPECT_GT(audio.blocks, 20);
    EXPECT_GT(audio.samples, 20 * 1000);
    EXPECT_GT(hostActions, 100);
    EXPECT_GT(editorVisits, 100);
    // Something was heard: the wet path and the dry path both carry signal.
    EXPECT_GT(audio.loudest, 0.0f);
    // After the storm the engine's own state is still in range.
    EXPECT_GE(engine.derived().activeRays, 16);
    EXPECT_LE(engine.derived().activeRays, kMaxRays);
    EXPECT_FALSE(RoomEngineTestAccess::audioPathHeld(engine)); // every taker gave the path back
    EXPECT_FALSE(RoomEngineTestAccess::tracerHeld(engine));
    // Program changes and chunk loads on the host's and the editor's threads
    // were traced there.
    EXPECT_GT(RoomEngineTestAccess::aheadPreparations(engine), 0u);
    std::printf("blocks %ld, samples %ld, host actions %ld, editor visits %ld, peak %g\n",
                audio.blocks, audio.samples, hostActions, editorVisits,
                static_cast<double>(audio.loudest));
}

} // namespace ovinta
