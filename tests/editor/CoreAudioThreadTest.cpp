// SPDX-License-Identifier: GPL-3.0-or-later
// The plug-in core on a host's audio thread with its editor open: every call
// a host may make there (process, parameters of every kind with the program
// tag and the step buttons, program changes, state loads, reset, and the
// state-change notices the adapter sends after them) neither waits for a lock
// nor allocates, while the GUI thread opens, idles, drags walls, closes and
// reopens the real editor (headless) and a host thread changes programs,
// loads state and applies the output configuration. The guards count every
// acquire that may wait on the audio thread (base/RealtimeThread.h); outside
// the thread sanitiser's build this binary counts allocations too.
//
// The program bank is the host's to serialise, as in the engine's own test:
// in each row one thread writes it. When the host thread changes programs,
// the audio thread plays, resets and sends tags that store no program field.

#include "base/RealtimeThread.h"
#include "core/DirectEditorPort.h"
#include "core/PluginCore.h"
#include "core/StandaloneEditorHost.h"
#include "editor/OvintaEditor.h"
#include "model/Parameters.h"
#include "tests/AllocationCount.h"
#include "tests/AudioThreadTally.h"
#include "toolkit/CFrame.h"
#include "toolkit/platform/HeadlessWindow.h"

#ifdef OVINTA_COUNTING_ALLOCATOR
#include "tests/CountingAllocator.h"
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr auto kPhase = std::chrono::milliseconds(800);
constexpr int kFrames = 256;

struct Plugin {
    PluginCore core;
    StandaloneEditorHost host{core};
    OvintaEditor editor{std::make_unique<DirectEditorPort>(core), host};
};

// Two inputs (a sine) and six outputs, as a host passes a block.
struct Block {
    std::vector<float> buffers[kInputChannelCapacity + kOutputChannelCapacity];
    float* channels[kInputChannelCapacity + kOutputChannelCapacity] = {};
    Block()
    {
        for (int c = 0; c < kInputChannelCapacity + kOutputChannelCapacity; ++c) {
            buffers[c].assign(kFrames, 0.0f);
            channels[c] = buffers[c].data();
        }
        for (int i = 0; i < kFrames; ++i)
            buffers[0][i] = buffers[1][i] = 0.5f * std::sin(0.05f * static_cast<float>(i));
    }
    float** in() { return channels; }
    float** out() { return channels + kInputChannelCapacity; }
    long nonFinite() const
    {
        long bad = 0;
        for (int c = kInputChannelCapacity; c < kInputChannelCapacity + kOutputChannelCapacity; ++c)
            for (float s : buffers[c])
                bad += std::isfinite(s) ? 0 : 1;
        return bad;
    }
};

// A host's parameter call and the adapter's notice after it.
void hostSet(PluginCore& core, int tag, float value)
{
    core.setParameter(tag, value);
    core.hostParameterSet();
}

// One of the calls a host may make on its audio thread between blocks.
void audioThreadCall(PluginCore& core, std::mt19937& rng, const std::vector<unsigned char>& chunk,
                     bool writesBank)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int kind = static_cast<int>(rng() % 12);
    if (!writesBank) {
        // Tags that store nothing: screens, a step button held down.
        const int quiet[] = {param::kMainScreen, param::kMeterScreen, param::kProgramNext};
        if (kind < 3)
            hostSet(core, quiet[kind], 1.0f);
        else if (kind == 3)
            core.reset();
        return;
    }
    switch (kind) {
    case 0: hostSet(core, param::kEarsX, unit(rng)); break;    // room: retrace
    case 1: hostSet(core, param::kEQgain2, unit(rng)); break;  // equaliser design
    case 2: hostSet(core, param::kNumRays, unit(rng)); break;  // ray set-up
    case 3: hostSet(core, param::kSurround, unit(rng)); break; // outputs: configuration
    case 4: hostSet(core, param::kSpeakerOut1 + static_cast<int>(rng() % 5), 0.0f); break; // a pin
    case 5: hostSet(core, param::kProgramSelect, static_cast<float>(rng() % kProgramCount)); break;
    case 6: // a step button: press, then release
        hostSet(core, param::kProgramPrevious, 1.0f);
        hostSet(core, param::kProgramPrevious, 0.0f);
        break;
    case 7:
        core.setProgram(static_cast<int>(rng() % kProgramCount));
        core.stateChanged();
        break;
    case 8:
        core.loadState(chunk.data(), static_cast<int64_t>(chunk.size()), true);
        core.stateChanged();
        break;
    case 9: { // the host hands back the block it was given: the live record
        void* data = nullptr;
        const int32_t size = core.saveState(&data, true);
        core.loadState(data, size, true);
        core.stateChanged();
        break;
    }
    case 10: core.reset(); break;
    default: hostSet(core, param::kGain, unit(rng)); break;
    }
}

std::vector<unsigned char> programChunk(PluginCore& core)
{
    void* data = nullptr;
    const int32_t size = core.saveState(&data, true);
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

void playPhase(PluginCore& core, const std::vector<unsigned char>& chunk, const std::atomic<bool>& stop,
               bool writesBank, AudioTally& tally)
{
    std::mt19937 rng(writesBank ? 5u : 6u);
    Block io;
    core.process(io.in(), io.out(), kFrames); // marks this thread as the audio thread
    const long waitsBefore = realtime::blockingAcquires.load();
    const long allocationsBefore = countingallocator::threadAllocations;
    while (!stop.load(std::memory_order_acquire)) {
        audioThreadCall(core, rng, chunk, writesBank);
        core.process(io.in(), io.out(), kFrames);
        tally.nonFinite += io.nonFinite();
        ++tally.blocks;
        if (tally.blocks % 16 == 0) // a host pause lets the others run
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    tally.waits = realtime::blockingAcquires.load() - waitsBefore;
    tally.allocations = countingallocator::threadAllocations - allocationsBefore;
}

// The GUI thread: the window opened, idled and closed again, and between
// idles a wall end dragged one unit and back through the editor's port.
void guiPhase(Plugin& plugin, const std::atomic<bool>& stop)
{
    EditorPort& port = plugin.editor.getPort();
    std::vector<Wall> walls(kMaxWalls);
    uint32_t ticks = 1000;
    for (int round = 0; !stop.load(std::memory_order_acquire); ++round) {
        ASSERT_TRUE(plugin.editor.open(nullptr));
        HeadlessWindow* window = plugin.editor.getFrame()->getHeadless();
        ASSERT_NE(window, nullptr);
        for (int step = 0; step < 12 && !stop.load(std::memory_order_acquire); ++step) {
            ticks += 40;
            window->setTickCount(ticks);
            plugin.editor.idle();
            if (port.copyWalls(walls.data()) > 0) {
                const int x = static_cast<int>(walls[0].x1), y = static_cast<int>(walls[0].y1);
                const int dx = x > 0 ? -1 : 1;
                if (port.dragVertex(x, y, x + dx, y, EditorPort::VertexDrag::Pick))
                    port.dragVertex(x + dx, y, x, y, EditorPort::VertexDrag::Move);
                port.clearDragMarks();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        plugin.editor.close();
    }
}

AudioTally runPhase(bool audioWritesBank)
{
    auto plugin = std::make_unique<Plugin>();
    PluginCore& core = plugin->core;
    core.setSampleRate(48000.0f);
    core.setBlockSize(kFrames);
    core.setProgram(12);
    const std::vector<unsigned char> chunk = programChunk(core);
    core.setProgram(5);
    core.resume();
    core.stateChanged();
    std::atomic<bool> stop{false};
    AudioTally tally;
    runThreadsFor(
        kPhase, stop, [&] { playPhase(core, chunk, stop, audioWritesBank, tally); },
        [&] { guiPhase(*plugin, stop); },
        [&] {
            std::mt19937 rng(9u);
            while (!stop.load(std::memory_order_acquire)) {
                if (!audioWritesBank) {
                    if (rng() % 2 == 0) {
                        core.setProgram(static_cast<int>(rng() % kProgramCount));
                    } else {
                        core.loadState(chunk.data(), static_cast<int64_t>(chunk.size()), true);
                    }
                }
                core.stateChanged(); // output configuration and a trace ahead, off the audio thread
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
        });
    return tally;
}

TEST(CoreAudioThread, NeverWaitsNorAllocatesWithTheEditorOpenAndAHostThreadLoading)
{
    struct Row {
        const char* name;
        bool audioWritesBank; // else the host thread changes programs and loads state
    } rows[] = {{"programs and state on the audio thread", true},
                {"programs and state on a host thread", false}};
    for (const Row& r : rows) {
        const long triesBefore = realtime::failedTries.load();
        const AudioTally t = runPhase(r.audioWritesBank);
        expectAudioThreadClean(t, r.name, 20, triesBefore);
    }
}

} // namespace

} // namespace ovinta
