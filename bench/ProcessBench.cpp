// SPDX-License-Identifier: GPL-3.0-or-later
// Response kernels and the whole process call: production (SIMD tap stage,
// per instruction set) against the plain scalar model in the same run, at
// 48 kHz with 512-sample blocks. The "rtf" counter is the real-time factor:
// seconds of audio per second of CPU time. Ratios between instruction sets,
// and to the scalar model, are ratios of the times of one run.
//
// - kernel/...: one kernel call on hand-built rooms (taps set directly);
// - process/...: the whole process call (rebuild check, equaliser pick-up,
//   routing, kernel, history advance, tracing) on a factory room traced by
//   the engine and left to settle; "reference" runs the same steps with the
//   scalar kernel model;
// - stage/...: one stage of the kernel at a time on the 512-ray 5-output
//   hand-built room, to show where a block's time goes.

#include "audio/Kernels.h"
#include "audio/PreProcess.h"
#include "audio/ProcessDriver.h"
#include "audio/TapPlan.h"
#include "dsp/DenormalGuard.h"
#include "dsp/TapStage.h"
#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"
#include "tests/audio/KernelFixture.h"
#include "tests/audio/ReferenceKernels.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace ovinta {

namespace {

constexpr int kBlock = 512;
constexpr double kSampleRate = 48000.0;

enum class Kind { kReference, kSse2, kAvx2, kAvx512 };

struct Setup {
    int rays;
    int outputs;
    bool fading; // every slot restarts a crossfade each block
};

// Chooses the instruction set; false (and the benchmark skipped) when the
// processor lacks it.
bool choosePath(benchmark::State& state, Kind kind)
{
    const SimdPath path = kind == Kind::kAvx512 ? SimdPath::kAvx512
                          : kind == Kind::kAvx2 ? SimdPath::kAvx2
                                                : SimdPath::kSse2;
    if (!simdPathAvailable(path)) {
        state.SkipWithError("instruction set not available on this processor");
        return false;
    }
    setSimdPath(path);
    return true;
}

struct Buffers {
    std::vector<float> in[2];
    std::vector<float> out[6];
    float* inPtr[2];
    float* outPtr[6];
    Buffers()
    {
        for (int c = 0; c < 2; ++c) {
            in[c] = makeSignal(kBlock, static_cast<uint32_t>(c + 1));
            inPtr[c] = in[c].data();
        }
        for (int c = 0; c < 6; ++c) {
            out[c].assign(kBlock, 0.0f);
            outPtr[c] = out[c].data();
        }
    }
};

void setRealTimeFactor(benchmark::State& state)
{
    state.counters["rtf"] = benchmark::Counter(kBlock / kSampleRate, benchmark::Counter::kIsIterationInvariantRate);
}

void rearmFades(RoomEngine& e, int rays)
{
    for (int j = 0; j < rays; ++j) {
        e.raySlots()[j].fadeLevel = 1.0f;
        e.raySlots()[j].pending.store(1, std::memory_order_relaxed);
    }
}

std::unique_ptr<RoomEngine> sceneFor(Setup setup)
{
    KernelScene scene;
    scene.rays = setup.rays;
    scene.pendingEvery = setup.fading ? 1 : 0;
    scene.maxDelay = 2000;
    return makeSceneEngine(scene);
}

void runKernelBench(benchmark::State& state, Kind kind, Setup setup)
{
    if (kind != Kind::kReference && !choosePath(state, kind))
        return;
    auto engine = sceneFor(setup);
    Buffers io;
    float** o = io.outPtr;
    const DenormalGuard denormals;
    for (auto _ : state) {
        if (setup.fading)
            rearmFades(*engine, setup.rays);
        if (kind == Kind::kReference)
            referenceKernel(*engine, io.inPtr[0], io.inPtr[1], o, setup.outputs, kBlock);
        else if (setup.outputs == 5)
            kernel5(*engine, io.inPtr[0], io.inPtr[1], o[0], o[1], o[2], o[3], o[4], kBlock);
        else if (setup.outputs == 4)
            kernel4(*engine, io.inPtr[0], io.inPtr[1], o[0], o[1], o[2], o[3], kBlock);
        else
            kernel2(*engine, io.inPtr[0], io.inPtr[1], o[0], o[1], kBlock);
        engine->audioPath().advance(kBlock);
        benchmark::DoNotOptimize(o[0][kBlock - 1]);
    }
    setRealTimeFactor(state);
}

// A factory room (program 1, stereo sources) with the ray count and outputs
// of the set-up, fully traced and played until every crossfade has ended.
std::unique_ptr<RoomEngine> settledRoom(Setup setup, Buffers& io)
{
    auto engine = enginetest::makeEngine();
    RoomEngine& e = *engine;
    OvintaProgram& record = e.programBank().programs[1];
    record.parNumRays = setup.rays >= 512 ? 1.0f : static_cast<float>(setup.rays / 2 - 8) / 248.0f + 0.001f;
    record.parStereoOnOff = 1.0f;
    RoomEngineTestAccess::values(e).outputCount = setup.outputs;
    enginetest::applyProgram(e, 1, static_cast<float>(kSampleRate));
    RoomEngineTestAccess::values(e).outputCount = setup.outputs;
    e.resetAudio();
    for (int block = 0; block < 400; ++block) // about four seconds: tracing and fades done
        processBlock(e, io.inPtr, io.outPtr, kBlock);
    return engine;
}

// The process call's steps around the scalar kernel model.
void referenceProcessBlock(RoomEngine& e, float** inputs, float** outputs, int outputCount, int count)
{
    if (!e.beginProcess())
        return;
    {
        const DenormalGuard denormals;
        e.rebuildAfterProgramChange();
        e.pickUpEqDesigns();
        referenceKernel(e, inputs[0], inputs[1], outputs, outputCount, count);
        e.audioPath().advance(static_cast<uint32_t>(count));
        e.trace(count >> 6);
    }
    e.endProcess();
}

void runProcessBench(benchmark::State& state, Kind kind, Setup setup)
{
    if (kind != Kind::kReference && !choosePath(state, kind))
        return;
    Buffers io;
    auto engine = settledRoom(setup, io);
    if (engine->derived().activeRays != setup.rays) {
        state.SkipWithError("the room does not have the set-up's ray count");
        return;
    }
    for (auto _ : state) {
        if (kind == Kind::kReference)
            referenceProcessBlock(*engine, io.inPtr, io.outPtr, setup.outputs, kBlock);
        else
            processBlock(*engine, io.inPtr, io.outPtr, kBlock);
        benchmark::DoNotOptimize(io.outPtr[0][kBlock - 1]);
    }
    setRealTimeFactor(state);
}

// One stage of the kernel on the 512-ray 5-output hand-built room.
enum class Stage { kPreProcess, kTapPlan, kTapFilter, kTapSum, kTapFinish, kTrace };

void runStageBench(benchmark::State& state, Kind kind, Stage stage)
{
    if (!choosePath(state, kind))
        return;
    constexpr int kOutputs = 5;
    auto engine = sceneFor({512, kOutputs, false});
    RoomEngine& e = *engine;
    KernelWorkspace& work = e.audioPath().kernelWork;
    Buffers io;
    const DenormalGuard denormals;
    const SimdPath path = currentSimdPath();
    planTaps(e, kOutputs, kBlock);
    for (auto _ : state) {
        switch (stage) {
        case Stage::kPreProcess: preProcess(e, 2, kBlock); break;
        case Stage::kTapPlan: planTaps(e, kOutputs, kBlock); break;
        case Stage::kTapFilter:
            // Read positions restart each block, so the same history is read.
            for (int first = 0; first < kBlock; first += kTapChunk) {
                beginTapChunk(work, kTapChunk);
                filterTapChunk(path, work, kTapChunk);
            }
            break;
        case Stage::kTapSum:
            for (int first = 0; first < kBlock; first += kTapChunk)
                sumTapChunk(path, work, io.outPtr, kOutputs, first, kTapChunk);
            break;
        case Stage::kTapFinish: finishTaps(e); break;
        case Stage::kTrace: e.trace(kBlock >> 6); break;
        }
        benchmark::DoNotOptimize(io.outPtr[0][kBlock - 1]);
        benchmark::DoNotOptimize(work.filtered[0][0]);
    }
    setRealTimeFactor(state);
}

const Setup k512x5{512, 5, false};
const Setup k512x4{512, 4, false};
const Setup k256x2{256, 2, false};
const Setup k512x5Fading{512, 5, true};

#define OVINTA_PER_PATH(fn, name, setup)                                                             \
    BENCHMARK_CAPTURE(fn, name##_reference, Kind::kReference, setup)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_CAPTURE(fn, name##_sse2, Kind::kSse2, setup)->Unit(benchmark::kMicrosecond);           \
    BENCHMARK_CAPTURE(fn, name##_avx2, Kind::kAvx2, setup)->Unit(benchmark::kMicrosecond);           \
    BENCHMARK_CAPTURE(fn, name##_avx512, Kind::kAvx512, setup)->Unit(benchmark::kMicrosecond)

OVINTA_PER_PATH(runKernelBench, kernel_512rays_5out, k512x5);
OVINTA_PER_PATH(runKernelBench, kernel_512rays_4out, k512x4);
OVINTA_PER_PATH(runKernelBench, kernel_256rays_2out, k256x2);
OVINTA_PER_PATH(runKernelBench, kernel_512rays_5out_fading, k512x5Fading);
OVINTA_PER_PATH(runProcessBench, process_512rays_5out, k512x5);
OVINTA_PER_PATH(runProcessBench, process_512rays_4out, k512x4);
OVINTA_PER_PATH(runProcessBench, process_256rays_2out, k256x2);

#define OVINTA_STAGE(name, stage)                                                                   \
    BENCHMARK_CAPTURE(runStageBench, stage_##name##_sse2, Kind::kSse2, stage)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_CAPTURE(runStageBench, stage_##name##_avx2, Kind::kAvx2, stage)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_CAPTURE(runStageBench, stage_##name##_avx512, Kind::kAvx512, stage)->Unit(benchmark::kMicrosecond)

OVINTA_STAGE(pre_process, Stage::kPreProcess);
OVINTA_STAGE(tap_plan, Stage::kTapPlan);
OVINTA_STAGE(tap_filter, Stage::kTapFilter);
OVINTA_STAGE(tap_sum, Stage::kTapSum);
OVINTA_STAGE(tap_finish, Stage::kTapFinish);
OVINTA_STAGE(trace, Stage::kTrace);

} // namespace

} // namespace ovinta

BENCHMARK_MAIN();
