// SPDX-License-Identifier: GPL-3.0-or-later
// The editor shared between the host's parameter thread and its GUI thread:
// automation arrives while the window idles, paints and takes clicks, and
// while it is closed and opened again. Run under ThreadSanitizer in CI.

#include "editor/OvintaEditor.h"
#include "plugin/PluginFactory.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

std::atomic<int> automations{0};

VstIntPtr countingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterAutomate)
        automations.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

// A small generator for the host thread's values (no shared state).
float nextValue(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 16777216.0f;
}

struct Instance {
    Instance() : effect(createEffectWithEditor(&countingHost))
    {
        editor = editorOf(*effect);
    }
    void open()
    {
        ASSERT_TRUE(editor->open(nullptr));
        window = editor->getFrame()->getHeadless();
    }
    void idle()
    {
        ticks += 40;
        window->setTickCount(ticks);
        editor->idle();
    }
    std::unique_ptr<EffectVST> effect;
    OvintaEditor* editor = nullptr;
    HeadlessWindow* window = nullptr;
    uint32_t ticks = 1000;
};

} // namespace

TEST(EditorConcurrency, AutomationWhileTheWindowIdlesAndTakesClicks)
{
    automations = 0;
    Instance plugin;
    ASSERT_NE(plugin.editor, nullptr);
    plugin.open();
    AEffect* e = plugin.effect->getAeffect();
    // Knobs and EQ only: the window's own clicks below touch other parameters.
    const int automated[] = {0, 1, 2, 3, 4, 6, 7, 14, 15, 17, 18, 19, 24, 28, 32, 35};
    std::atomic<bool> stop{false};
    std::thread host([&] {
        uint32_t state = 12345;
        for (int i = 0; !stop.load(std::memory_order_relaxed); ++i)
            e->setParameter(e, automated[i % 16], nextValue(state));
    });
    for (int step = 0; step < 60; ++step) {
        if (step % 10 == 3)
            plugin.window->click(CPoint(460, 346)); // Stereo
        if (step % 10 == 7)
            plugin.window->click(CPoint(390, 520)); // 3D VIEW
        plugin.idle();
    }
    stop = true;
    host.join();
    plugin.idle();
    // Every control ends on the value its parameter holds.
    for (int tag : automated)
        EXPECT_EQ(plugin.editor->getControl(tag)->getValue(), plugin.effect->getParameter(tag)) << tag;
    // Nothing of the host's automation came back as automation: only the
    // first paint's eight position reports.
    EXPECT_EQ(automations.load(), 8);
}

TEST(EditorConcurrency, ParameterFollowNeverReachesAClosedWindow)
{
    Instance plugin;
    ASSERT_NE(plugin.editor, nullptr);
    AEffect* e = plugin.effect->getAeffect();
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread host([&] {
        // Editor-side tags that store no program field: the main and meter
        // screens and the step arrows held down (which select nothing).
        const int tags[] = {47, 53, 67, 68};
        for (int i = 0; !stop.load(std::memory_order_relaxed); ++i) {
            e->setParameter(e, tags[i % 4], 1.0f);
            sent.fetch_add(1, std::memory_order_relaxed);
        }
    });
    for (int round = 0; round < 8; ++round) {
        plugin.open();
        plugin.idle();
        plugin.idle();
        plugin.editor->close();
    }
    stop = true;
    host.join();
    EXPECT_GT(sent.load(), 0);
    EXPECT_EQ(plugin.effect->getProgram(), 0);
}

TEST(EditorConcurrency, AudioBlocksWhileTheScreensDrawAndThePannerMoves)
{
    Instance plugin;
    ASSERT_NE(plugin.editor, nullptr);
    plugin.effect->setSampleRate(44100.0f);
    plugin.effect->resume();
    plugin.open();
    plugin.effect->setParameter(param::kSurround, 1.0f); // four outputs: every fan in use
    plugin.idle();
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        // Noise in, the meters' peaks and the posted taps come back.
        std::vector<float> buffers[kInputChannelCapacity + kOutputChannelCapacity];
        float* channels[kInputChannelCapacity + kOutputChannelCapacity];
        for (int c = 0; c < kInputChannelCapacity + kOutputChannelCapacity; ++c) {
            buffers[c].assign(256, 0.0f);
            channels[c] = buffers[c].data();
        }
        float** in = channels;
        float** out = channels + kInputChannelCapacity;
        uint32_t state = 99;
        while (!stop.load(std::memory_order_relaxed)) {
            for (int i = 0; i < 256; ++i)
                in[0][i] = in[1][i] = nextValue(state) - 0.5f;
            plugin.effect->processReplacing(in, out, 256);
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
    });
    // The panner dragged from its centre, one step per idle, while the
    // screens draw every tick.
    plugin.effect->setParameter(param::kPanX, 0.5f);
    plugin.effect->setParameter(param::kPanY, 0.5f);
    plugin.idle();
    plugin.window->pressAt(CPoint(642, 438), kLButton);
    for (int step = 1; step <= 40; ++step) {
        plugin.window->holdAt(CPoint(642 - step, 438 + step / 2), kLButton);
        plugin.idle();
    }
    plugin.window->releaseAt(CPoint(600, 460));
    plugin.idle();
    stop = true;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
    // 40 pixels left and 20 down of the centre: 20 units left, 10 down.
    EXPECT_EQ(plugin.effect->getEngine().derived().panX, 3.0f);
    EXPECT_EQ(plugin.effect->getEngine().derived().panY, 33.0f);
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(std::isfinite(plugin.effect->getEngine().derived().outputPeak[k])) << k;
}

} // namespace ovinta
