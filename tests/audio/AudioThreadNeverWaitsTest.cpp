// SPDX-License-Identifier: GPL-3.0-or-later
// Every call that may arrive on the audio thread (process, parameters of
// every kind, the program tag, program changes, chunk loads, resets) neither
// waits for a lock nor allocates, while the engine's worker traces, the
// editor traces, reads and drags walls, and a host thread changes programs,
// loads chunks and traces them ahead. The guards count every acquire that may
// wait on the audio thread (base/RealtimeThread.h); in the binary with the
// counting allocator the audio thread's own allocations are counted too.
//
// The program bank (and the current program's record, which every stored
// parameter writes) is the host's to serialise: in each phase one thread
// writes it, as hosts do. When the host thread changes programs, the audio
// thread only plays and resets.

#include "audio/ProcessDriver.h"
#include "base/RealtimeThread.h"
#include "engine/RoomEngine.h"
#include "model/ProgramChunks.h"
#include "tests/AllocationCount.h"
#include "tests/AudioThreadTally.h"
#include "tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr auto kPhase = std::chrono::milliseconds(800);
constexpr int kFrames = 256;

std::vector<unsigned char> programChunk(RoomEngine& e, int program)
{
    void* data = nullptr;
    const int32_t size = getChunkData(e.programBank(), program, true, &data);
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

// One of the calls a host may make on its audio thread between blocks.
void audioThreadCall(RoomEngine& e, std::mt19937& rng, const std::vector<unsigned char>& chunk,
                     bool changesPrograms)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int kind = static_cast<int>(rng() % 8);
    if (!changesPrograms) {
        if (kind == 4)
            e.resetAudio();
        return;
    }
    if (kind == 0)
        e.setParameter(param::kEarsX, unit(rng)); // room: retrace
    else if (kind == 1)
        e.setParameter(param::kEQgain2, unit(rng)); // equaliser design
    else if (kind == 2)
        e.setParameter(param::kNumRays, unit(rng)); // ray set-up
    else if (kind == 3)
        e.setParameter(param::kStereoOnOff, static_cast<float>(rng() % 2));
    else if (kind == 4)
        e.resetAudio();
    else if (kind == 5)
        enginetest::applyProgram(e, static_cast<int>(rng() % 45), 48000.0f); // program tag
    else if (kind == 6) {
        const int current = e.currentProgram();
        loadChunkData(e.programBank(), current, chunk.data(), static_cast<int64_t>(chunk.size()), true);
        enginetest::applyProgram(e, current, 48000.0f);
    } else {
        e.setParameter(param::kGain, unit(rng)); // mix
    }
}

void playPhase(RoomEngine& e, const std::atomic<bool>& stop, bool changesPrograms, AudioTally& tally)
{
    std::mt19937 rng(changesPrograms ? 5u : 6u);
    const std::vector<unsigned char> chunk = programChunk(e, 12);
    enginetest::SineBlock io(kFrames);
    processBlock(e, io.inputs, io.outputs, kFrames); // marks this thread as the audio thread
    const long waitsBefore = realtime::blockingAcquires.load();
    const long allocationsBefore = countingallocator::threadAllocations;
    while (!stop.load(std::memory_order_acquire)) {
        audioThreadCall(e, rng, chunk, changesPrograms);
        processBlock(e, io.inputs, io.outputs, kFrames);
        tally.nonFinite += io.nonFinite();
        ++tally.blocks;
        if (tally.blocks % 16 == 0) // a host pause lets the editor trace
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    tally.waits = realtime::blockingAcquires.load() - waitsBefore;
    tally.allocations = countingallocator::threadAllocations - allocationsBefore;
}

// The editor: idle tracing, what the screens read, and a vertex drag (it
// moves the active walls only).
void editorVisit(RoomEngine& e, int visit, std::vector<Wall>& walls)
{
    EQfilter bands[kEqBands] = {{0, 0.0f, 1000.0f, 48000.0f, 1.0f},
                                {0, 0.0f, 1000.0f, 48000.0f, 1.0f},
                                {0, 0.0f, 1000.0f, 48000.0f, 1.0f},
                                {0, 0.0f, 1000.0f, 48000.0f, 1.0f}};
    static thread_local int tick = -1;
    tick = e.idleTrace(tick);
    e.copyAnalysisEq(visit % 2, bands);
    const int count = e.copyWalls(walls.data());
    if (count > 0) {
        const int x = static_cast<int>(walls[0].x1), y = static_cast<int>(walls[0].y1);
        if (e.dragVertex(x, y, x, y, RoomEngine::VertexDrag::Pick))
            e.clearDragMarks();
    }
}

AudioTally runPhase(bool audioChangesPrograms)
{
    auto engine = enginetest::makeEngine();
    RoomEngine& e = *engine;
    enginetest::applyProgram(e, 5, 48000.0f);
    EXPECT_TRUE(e.traceProgramAhead());
    e.resetAudio();
    std::atomic<bool> stop{false};
    AudioTally tally;
    runThreadsFor(
        kPhase, stop, [&] { playPhase(e, stop, audioChangesPrograms, tally); },
        [&] {
            std::vector<Wall> walls(kMaxWalls);
            for (int visit = 0; !stop.load(std::memory_order_acquire); ++visit) {
                editorVisit(e, visit, walls);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        },
        [&] {
            std::mt19937 rng(9u);
            const std::vector<unsigned char> chunk = programChunk(e, 30);
            while (!stop.load(std::memory_order_acquire)) {
                if (!audioChangesPrograms) {
                    if (rng() % 2 == 0) {
                        enginetest::applyProgram(e, static_cast<int>(rng() % 45), 48000.0f);
                    } else {
                        const int current = e.currentProgram();
                        loadChunkData(e.programBank(), current, chunk.data(),
                                      static_cast<int64_t>(chunk.size()), true);
                        enginetest::applyProgram(e, current, 48000.0f);
                    }
                }
                e.traceProgramAhead();
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
        });
    return tally;
}

TEST(AudioThread, NeverWaitsNorAllocatesWhileOtherThreadsTraceEditAndLoad)
{
    struct Row {
        const char* name;
        bool audioChangesPrograms; // else the host thread changes programs and loads chunks
    } rows[] = {{"programs and chunks on the audio thread", true},
                {"programs and chunks on a host thread", false}};
    for (const Row& r : rows) {
        const long triesBefore = realtime::failedTries.load();
        const AudioTally t = runPhase(r.audioChangesPrograms);
        expectAudioThreadClean(t, r.name, 50, triesBefore);
    }
}

// The counters see what they should: a blocking acquire on the marked
// thread counts, the same on another thread does not.
TEST(AudioThread, TheWaitCounterSeesABlockingAcquire)
{
    auto engine = enginetest::makeEngine(TraceWorker::Caller);
    RoomEngine& e = *engine;
    e.resetAudio(); // audio runs
    std::vector<Wall> walls(kMaxWalls);
    long seen[2] = {};
    std::thread audio([&] {
        enginetest::SineBlock io(kFrames);
        const long before = realtime::blockingAcquires.load();
        e.copyWalls(walls.data()); // not yet the audio thread
        seen[0] = realtime::blockingAcquires.load() - before;
        processBlock(e, io.inputs, io.outputs, kFrames);
        e.copyWalls(walls.data()); // an editor call made on the audio thread
        seen[1] = realtime::blockingAcquires.load() - before;
    });
    audio.join();
    EXPECT_EQ(seen[0], 0);
    EXPECT_EQ(seen[1], 1);
}

} // namespace

} // namespace ovinta
