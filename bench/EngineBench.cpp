// SPDX-License-Identifier: GPL-3.0-or-later
// A whole room traced: commit, trace 4096 units, commit, as an export runs
// it and as a program change is traced ahead (on a host thread or the
// engine's worker), and what is left of a program change for the audio
// thread: the commit. Reported as the fraction of one 512-sample block at
// 48 kHz (10.67 ms) that it takes.

#include "bench/WorstCaseRoom.h"
#include "engine/RoomEngine.h"
#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"
#include "model/Parameters.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>

namespace ovinta {

namespace {

constexpr double kBlockSeconds = 512.0 / 48000.0;
void applyProgram(RoomEngine& engine, int p)
{
    enginetest::applyProgram(engine, p, 48000.0f);
}

void buildWorstCase(RoomEngine& engine, int program)
{
    fillWorstCaseRoom(engine.programBank().programs[program]);
    applyProgram(engine, program);
}

// CPU time of this thread: on a machine shared with other jobs it shows the
// work's own cost, while the wall-clock figure includes time spent waiting.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void runProgramChangeBlock(benchmark::State& state, RoomEngine& engine)
{
    engine.commitTaps();
    engine.trace(4096);
    engine.commitTaps(); // settle once so every iteration starts alike
    double seconds = 0.0, cpuSeconds = 0.0;
    for (auto _ : state) {
        engine.setParameter(param::kClear, 1.0f); // every ray retraces
        const double cpuStart = threadSeconds();
        const auto start = std::chrono::steady_clock::now();
        engine.commitTaps();
        engine.trace(4096);
        engine.commitTaps();
        const auto stop = std::chrono::steady_clock::now();
        cpuSeconds += threadSeconds() - cpuStart;
        const double elapsed = std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["block_fraction"] = seconds / iterations / kBlockSeconds;
    state.counters["block_fraction_cpu"] = cpuSeconds / iterations / kBlockSeconds;
}

void BM_ProgramChangeFactory(benchmark::State& state)
{
    auto engine = std::make_unique<RoomEngine>();
    applyProgram(*engine, static_cast<int>(state.range(0)));
    engine->usePlainWallScan(!(state.range(1) != 0));
    runProgramChangeBlock(state, *engine);
}

void BM_ProgramChangeWorstCase(benchmark::State& state)
{
    auto engine = std::make_unique<RoomEngine>();
    buildWorstCase(*engine, 0);
    engine->usePlainWallScan(!(state.range(0) != 0));
    runProgramChangeBlock(state, *engine);
}

// The audio thread's share of a whole program change in the worst case, a
// ray set-up included (every program change asks for one): the change was
// traced ahead on the calling thread and the audio thread only commits.
// "host_block_fraction_cpu" is what tracing ahead cost the changing thread.
void BM_ProgramChangeAudioThread(benchmark::State& state)
{
    auto engine = std::make_unique<RoomEngine>(TraceWorker::Caller);
    buildWorstCase(*engine, 0);
    engine->traceProgramAhead();
    engine->rebuildAfterProgramChange();
    double seconds = 0.0, cpuSeconds = 0.0, hostSeconds = 0.0;
    for (auto _ : state) {
        engine->setParameter(param::kNumRays, 1.0f); // asks for the ray set-up, as a program does
        engine->finishProgram();
        const double hostStart = threadSeconds();
        if (!engine->traceProgramAhead())
            state.SkipWithError("the change was not traced ahead");
        hostSeconds += threadSeconds() - hostStart;
        const double cpuStart = threadSeconds();
        const auto start = std::chrono::steady_clock::now();
        engine->rebuildAfterProgramChange();
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpuSeconds += threadSeconds() - cpuStart;
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["block_fraction"] = seconds / iterations / kBlockSeconds;
    state.counters["block_fraction_cpu"] = cpuSeconds / iterations / kBlockSeconds;
    state.counters["host_block_fraction_cpu"] = hostSeconds / iterations / kBlockSeconds;
}

} // namespace

// A fixed count: the change spends most of its time outside the timed part.
BENCHMARK(BM_ProgramChangeAudioThread)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
// Arguments: factory program (0: 28 walls, 5: 83, 30: 4, 41: 58), then 1 grid, 0 plain scan.
BENCHMARK(BM_ProgramChangeFactory)
    ->ArgsProduct({{0, 5, 30, 41}, {1, 0}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// Argument: 1 grid, 0 plain scan.
BENCHMARK(BM_ProgramChangeWorstCase)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace ovinta
