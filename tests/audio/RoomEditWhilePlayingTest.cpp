// SPDX-License-Identifier: GPL-3.0-or-later
// Room edits while the audio plays: the wall and marker calls of the room
// editor on one thread, process calls on a second and the editor's idle
// tracing on a third (ThreadSanitizer in the concurrency build); and, on
// one thread, a steady tone rendered while walls are drawn, dragged and
// deleted every few blocks, whose largest sample-to-sample step stays that
// of the same render without edits (every changed tap is crossfaded).

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr int kFrames = 256;

std::unique_ptr<RoomEngine> playingEngine(int program)
{
    auto engine = enginetest::makeEngine();
    enginetest::applyProgram(*engine, program);
    engine->resetAudio();
    return engine;
}

// One round of what a user does on the edit view: draw, drag a vertex
// (preview, then the release's delete and re-add), sweep, move a marker.
void editRound(RoomEngine& e, int round)
{
    const int y = 5 + round % 40;
    switch (round % 5) {
    case 0: e.insertWall(10, y, 20, y + 3); break;
    case 1:
        e.dragVertex(20, y - 1 + 3 - 3, 20, y - 1 + 3 - 3, RoomEngine::VertexDrag::Pick);
        e.dragVertex(20, y + 2 - 3, 22, y + 4 - 3, RoomEngine::VertexDrag::Move);
        break;
    case 2: {
        const int found = e.findDraggedWall(22, y + 1);
        if (found >= 0) {
            Wall w;
            e.copyWall(found, w);
            e.deleteWall(found);
            e.insertWall(static_cast<int>(w.x1), static_cast<int>(w.y1), static_cast<int>(w.x2),
                         static_cast<int>(w.y2));
        }
        e.clearDragMarks();
        break;
    }
    case 3: {
        const int found = e.findWallAt(15, y);
        if (found >= 0)
            e.deleteWall(found);
        e.deleteWallByEnds(10, y - 3, 20, y);
        break;
    }
    default: {
        // Dragged one metre at a time; like the edit view, never onto
        // another marker.
        const auto which = static_cast<RoomEngine::Marker>(round % 3);
        const int x = 15 + round % 20, yy = which == RoomEngine::Marker::Listener ? 35 : 15;
        const EngineValues& v = e.derived();
        const bool taken = (x == static_cast<int>(v.listenerX) && yy == static_cast<int>(v.listenerY)) ||
                           (x == static_cast<int>(v.sourceX[0]) && yy == static_cast<int>(v.sourceY[0])) ||
                           (x == static_cast<int>(v.sourceX[1]) && yy == static_cast<int>(v.sourceY[1]));
        if (!taken)
            e.moveMarker(which, x, yy);
        break;
    }
    }
}

TEST(RoomEditWhilePlaying, EditsTracingAndAudioOnThreeThreads)
{
    auto engine = playingEngine(0);
    RoomEngine& e = *engine;
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, bad{0};
    std::thread audio([&] {
        enginetest::SineBlock io(kFrames);
        while (!stop.load(std::memory_order_acquire)) {
            processBlock(e, io.inputs, io.outputs, kFrames);
            bad.fetch_add(io.nonFinite(), std::memory_order_relaxed);
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
    });
    std::thread idle([&] {
        int seen = -1;
        while (!stop.load(std::memory_order_acquire)) {
            seen = e.idleTrace(seen - 1); // never equal: trace whenever the path is free
            Wall copy[kMaxWalls];
            e.copyWalls(copy);
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 400; ++round) {
        editRound(e, round);
        std::this_thread::yield();
    }
    while (blocks.load() < 50)
        std::this_thread::yield();
    stop.store(true, std::memory_order_release);
    audio.join();
    idle.join();
    EXPECT_EQ(bad.load(), 0);
}

// The output is a 100 Hz tone whose amplitude may drift while taps fade:
// within one period (441 samples at 44.1 kHz) its largest sample-to-sample
// step is at most 2 sin(pi 100 / 44100) = 0.01425 of the period's peak.
// Returns the largest step / peak over the periods of a render with `edits`
// edit rounds (one every four blocks) after the room has settled.
float worstStepToPeak(int edits, bool& allFinite)
{
    auto engine = playingEngine(3);
    constexpr int kBlocks = 800, kSettleBlocks = 200, kPeriod = 441;
    std::vector<float> in(kFrames), left(kFrames), right(kFrames), spare(kFrames), rendered;
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[6] = {left.data(), right.data(), spare.data(), spare.data(), spare.data(), spare.data()};
    long n = 0;
    allFinite = true;
    for (int b = 0; b < kBlocks; ++b) {
        for (int i = 0; i < kFrames; ++i, ++n)
            in[i] = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * 100.0 * static_cast<double>(n) / 44100.0));
        const int round = (b - kSettleBlocks) / 4;
        if (b >= kSettleBlocks && b % 4 == 0 && round < edits)
            editRound(*engine, round);
        processBlock(*engine, inputs, outputs, kFrames);
        for (int i = 0; i < kFrames; ++i) {
            allFinite = allFinite && std::isfinite(left[i]) && std::isfinite(right[i]);
            if (b >= kSettleBlocks)
                rendered.push_back(left[i]);
        }
    }
    float worst = 0.0f;
    for (size_t start = 1; start + kPeriod <= rendered.size(); start += kPeriod) {
        float step = 0.0f, peak = 0.0f;
        for (size_t i = start; i < start + kPeriod; ++i) {
            step = std::max(step, std::fabs(rendered[i] - rendered[i - 1]));
            peak = std::max(peak, std::fabs(rendered[i]));
        }
        if (peak > 0.0f)
            worst = std::max(worst, step / peak);
    }
    return worst;
}

TEST(RoomEditWhilePlaying, EditsNeverStepTheOutputBeyondTheSteadyRender)
{
    bool plainFinite = false, editedFinite = false;
    const float plain = worstStepToPeak(0, plainFinite);
    const float edited = worstStepToPeak(150, editedFinite);
    EXPECT_TRUE(plainFinite);
    EXPECT_TRUE(editedFinite);
    const float sineBound = static_cast<float>(2.0 * std::sin(3.141592653589793 * 100.0 / 44100.0));
    EXPECT_LE(plain, 1.1f * sineBound);
    // Taps fade over 5,000 to 10,000 samples, so the tone's amplitude only
    // drifts; a tap switched without its crossfade would step far beyond.
    EXPECT_LE(edited, 1.25f * plain) << "steady " << plain << ", edited " << edited;
}

} // namespace

} // namespace ovinta
