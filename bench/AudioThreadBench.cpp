// SPDX-License-Identifier: GPL-3.0-or-later
// The audio thread's cost of every call a host may make on it, in the
// tracer's worst case (256 walls, 512 rays; bench/WorstCaseRoom.h), through
// the effect object as a host calls it. Each call is timed on the thread that
// plays, after it has played, with the room left to settle between
// iterations. "worst_fraction" is the slowest call and "mean_fraction" the
// average, as fractions of one 512-frame block at 48 kHz (10.67 ms); the
// target for the worst is 0.1. The "_cpu" figures count the calling thread's
// own CPU time: on a machine shared with other jobs the wall-clock figures
// also hold the time the thread waited to be scheduled.

#include "bench/WorstCaseRoom.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <ctime>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;
constexpr double kBlockSeconds = kBlock / 48000.0;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

struct Player {
    std::vector<float> in[kInputChannelCapacity];
    std::vector<float> out[kOutputChannelCapacity];
    float* inputs[kInputChannelCapacity] = {};
    float* outputs[kOutputChannelCapacity] = {};
    std::unique_ptr<EffectVST> effect = std::make_unique<EffectVST>(quietHost);
    std::vector<unsigned char> chunk;

    Player()
    {
        for (int c = 0; c < kInputChannelCapacity; ++c) {
            in[c].assign(kBlock, 0.0f);
            for (int i = 0; i < kBlock; i += 97)
                in[c][static_cast<std::size_t>(i)] = 0.5f;
            inputs[c] = in[c].data();
        }
        for (int c = 0; c < kOutputChannelCapacity; ++c) {
            out[c].assign(kBlock, 0.0f);
            outputs[c] = out[c].data();
        }
        // Programs 0 and 1 are both the worst case, so that a program change
        // always traces it.
        for (int p = 0; p < 2; ++p)
            fillWorstCaseRoom(effect->getEngine().programBank().programs[p]);
        effect->setSampleRate(kRate);
        effect->setBlockSize(kBlock);
        effect->setProgram(0);
        effect->resume();
        void* data = nullptr;
        const VstInt32 size = effect->getChunk(&data, true);
        const auto* bytes = static_cast<const unsigned char*>(data);
        chunk.assign(bytes, bytes + size);
        play(); // this thread is now the audio thread
    }
    void play() { effect->processReplacing(inputs, outputs, kBlock); }
    // Blocks with pauses, so that work handed on finishes and every
    // crossfade ends before the next timed call.
    void settle()
    {
        for (int round = 0; round < 3; ++round) {
            for (int block = 0; block < 8; ++block)
                play();
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    }
};

enum class Call {
    kPlay,
    kBlockAfterProgramChange,
    kRoomParameter,
    kMixParameter,
    kEqParameter,
    kRayCount,
    kStereo,
    kProgramTag,
    kChunk,
    kReset,
};

void runCall(Player& p, Call call, int iteration)
{
    EffectVST& e = *p.effect;
    const float alternate = iteration % 2 == 0 ? 0.25f : 0.75f;
    switch (call) {
    case Call::kPlay:
    case Call::kBlockAfterProgramChange: p.play(); break;
    case Call::kRoomParameter: e.setParameter(param::kEarsX, alternate); break;
    case Call::kMixParameter: e.setParameter(param::kGain, alternate); break;
    case Call::kEqParameter: e.setParameter(param::kEQgain2, alternate); break;
    case Call::kRayCount: e.setParameter(param::kNumRays, alternate); break;
    case Call::kStereo: e.setParameter(param::kStereoOnOff, static_cast<float>(iteration % 2)); break;
    case Call::kProgramTag: e.setParameter(param::kProgramSelect, static_cast<float>(1 - e.getProgram())); break;
    case Call::kChunk: e.setChunk(p.chunk.data(), static_cast<VstIntPtr>(p.chunk.size()), true); break;
    case Call::kReset: e.resume(); break;
    }
}

void BM_AudioThreadCall(benchmark::State& state)
{
    const auto call = static_cast<Call>(state.range(0));
    Player p;
    double worst = 0.0, total = 0.0, worstCpu = 0.0, totalCpu = 0.0;
    int iteration = 0;
    for (auto _ : state) {
        p.settle();
        if (call == Call::kBlockAfterProgramChange)
            p.effect->setProgram(1 - p.effect->getProgram()); // on the audio thread, not timed
        if (call == Call::kReset) // a whole history played since the last reset
            p.effect->getEngine().audioPath().unclean = static_cast<uint32_t>(kHistoryLength);
        const double cpuStart = threadSeconds();
        const auto start = std::chrono::steady_clock::now();
        runCall(p, call, iteration++);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpuSeconds = threadSeconds() - cpuStart;
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds);
        total += seconds;
        worstCpu = std::max(worstCpu, cpuSeconds);
        totalCpu += cpuSeconds;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["worst_fraction"] = worst / kBlockSeconds;
    state.counters["mean_fraction"] = total / iterations / kBlockSeconds;
    state.counters["worst_fraction_cpu"] = worstCpu / kBlockSeconds;
    state.counters["mean_fraction_cpu"] = totalCpu / iterations / kBlockSeconds;
}

// A program change made on the audio thread, paced like a real host (one
// 512-frame block every 10.67 ms): the blocks it plays before the new room
// is committed, counting the block that commits it. "worst_blocks" is the
// longest wait over the iterations.
void BM_BlocksUntilTheNewRoomPlays(benchmark::State& state)
{
    Player p;
    RoomEngine& engine = p.effect->getEngine();
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(kBlockSeconds));
    double worst = 0.0, total = 0.0;
    for (auto _ : state) {
        p.settle();
        p.effect->setProgram(1 - p.effect->getProgram());
        auto next = std::chrono::steady_clock::now();
        int blocks = 0;
        while (engine.programChangePending() && blocks < 1000) {
            std::this_thread::sleep_until(next);
            next += period;
            p.play();
            ++blocks;
        }
        state.SetIterationTime(blocks * kBlockSeconds);
        worst = std::max(worst, static_cast<double>(blocks));
        total += blocks;
    }
    state.counters["worst_blocks"] = worst;
    state.counters["mean_blocks"] = total / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_BlocksUntilTheNewRoomPlays)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
// Argument: the call (Call's order: block, block after a program change,
// room, mix, EQ, ray count, stereo, program tag, chunk, reset).
BENCHMARK(BM_AudioThreadCall)->DenseRange(0, 9)->Iterations(30)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace ovinta

BENCHMARK_MAIN();
