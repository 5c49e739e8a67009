// SPDX-License-Identifier: GPL-3.0-or-later
// EffectVST shared by the threads a host really uses: the host's dispatcher
// describing speakers, the editor's idle applying the output configuration
// and changing programs, and the audio thread processing blocks. Run under
// ThreadSanitizer in CI; here it checks that the audio stays finite and the
// configuration ends consistent.

#include "engine/RoomEngine.h"
#include "core/EditorFollower.h"
#include "host/EffectVST.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace ovinta {

namespace {
VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A host's arrangement record with room for `channels` speakers.
std::vector<unsigned char> makeArrangement(VstInt32 type, int channels, const VstInt32* types)
{
    std::vector<unsigned char> bytes(speakerArrangementBytes(std::max(channels, 8)), 0);
    auto* a = reinterpret_cast<VstSpeakerArrangement*>(bytes.data());
    a->type = type;
    a->numChannels = channels;
    for (int i = 0; i < channels; ++i) {
        a->speakers[i].type = types[i % 6];
        std::snprintf(a->speakers[i].name, sizeof(a->speakers[i].name), "ch %d", i);
    }
    return bytes;
}

// An editor whose window is open: while it is, the configuration step is its
// idle's alone, and the dispatcher leaves it to it.
class OpenEditor : public EditorLink, public EditorFollower {
public:
    bool getRect(ERect**) override { return false; }
    bool open(void*) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    void idle() override {}
    bool onKeyDown(int, int, int) override { return false; }
    bool onKeyUp(int, int, int) override { return false; }
    bool setKnobMode(int) override { return false; }
    void followParameter(int, float) override {}
    void setInputPinMenu(int, const char* const*, int) override {}
    void refreshInputPin(int) override {}
    void setOutputPinMenu(int, const char* const*, int) override {}
};

constexpr auto kRunTime = std::chrono::milliseconds(800);
} // namespace

TEST(EffectConcurrency, SpeakersConfigurationAndAudioOnThreeThreads)
{
    EffectVST effect(quietHost);
    auto owned = std::make_unique<OpenEditor>();
    OpenEditor* editor = owned.get();
    effect.getCore().attachEditor(editor);
    effect.attachEditor(std::move(owned));
    AEffect* record = effect.getAeffect();
    std::atomic<bool> stop{false};
    std::atomic<bool> nonFinite{false};
    std::atomic<int> blocks{0};

    std::thread audio([&] {
        constexpr int kFrames = 256;
        std::vector<float> in(2 * kFrames), out(6 * kFrames);
        float* inputs[2] = {in.data(), in.data() + kFrames};
        float* outputs[6];
        for (int c = 0; c < 6; ++c)
            outputs[c] = out.data() + c * kFrames;
        std::minstd_rand noise(7);
        std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
        while (!stop.load(std::memory_order_relaxed)) {
            for (float& s : in)
                s = sample(noise);
            record->processReplacing(record, inputs, outputs, kFrames);
            for (float s : out)
                if (!std::isfinite(s))
                    nonFinite = true;
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
    });

    std::thread host([&] {
        const VstInt32 surround[6] = {kSpeakerL, kSpeakerR, kSpeakerC, kSpeakerLfe, kSpeakerLs,
                                      kSpeakerRs};
        std::minstd_rand choose(11);
        while (!stop.load(std::memory_order_relaxed)) {
            int outputs = 1 + static_cast<int>(choose() % 12);
            int inputs = 1 + static_cast<int>(choose() % 8);
            auto in = makeArrangement(-2, inputs, surround);
            auto out = makeArrangement(-2, outputs, surround);
            record->dispatcher(record, effSetSpeakerArrangement, 0,
                               reinterpret_cast<VstIntPtr>(in.data()), out.data(), 0.0f);
            VstSpeakerArrangement* ownIn = nullptr;
            VstSpeakerArrangement* ownOut = nullptr;
            record->dispatcher(record, effGetSpeakerArrangement, 0,
                               reinterpret_cast<VstIntPtr>(&ownIn), &ownOut, 0.0f);
        }
    });

    // This thread plays the editor: it owns program changes and the
    // configuration step, as the editor's idle does.
    std::minstd_rand choose(3);
    auto end = std::chrono::steady_clock::now() + kRunTime;
    int rounds = 0;
    int lastTick = -1;
    while (std::chrono::steady_clock::now() < end) {
        effect.setParameter(45, static_cast<float>(choose() % 3));
        if (++rounds % 8 == 0)
            effect.setProgram(static_cast<int>(choose() % 45));
        effect.getCore().applyOutputConfiguration(editor);
        lastTick = effect.getEngine().idleTrace(lastTick);
    }
    stop = true;
    audio.join();
    host.join();

    EXPECT_FALSE(nonFinite.load());
    EXPECT_GT(blocks.load(), 0);

    // After the last change the step leaves a count the last arrangement and
    // setting allow: two with setting 0, at most four with setting 1.
    effect.setParameter(45, 1.0f);
    effect.getCore().applyOutputConfiguration(editor);
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    ASSERT_EQ(record->dispatcher(record, effGetSpeakerArrangement, 0,
                                 reinterpret_cast<VstIntPtr>(&in), &out, 0.0f),
              1);
    int channels = out->numChannels;
    int expected = channels > 4 ? 4 : channels;
    EXPECT_EQ(effect.getEngine().derived().outputCount.load(), expected);
    EXPECT_LE(in->numChannels, 6);
}

} // namespace ovinta
