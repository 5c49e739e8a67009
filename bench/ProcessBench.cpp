// Response kernels: production (SIMD tap stage) against the plain scalar
// model in the same run, on hand-built rooms at 48 kHz with 512-sample
// blocks. The "rtf" counter is the real-time factor: seconds of audio per
// second of CPU time.

#include "audio/Kernels.h"
#include "dsp/DenormalGuard.h"
#include "dsp/TapStage.h"
#include "tests/audio/KernelFixture.h"
#include "tests/audio/ReferenceKernels.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kBlock = 512;
constexpr double kSampleRate = 48000.0;

enum class Kind { kReference, kSse2, kAvx2 };

struct Setup {
    int rays;
    int outputs;
    bool fading; // every slot restarts a crossfade each block
};

void rearmFades(RoomEngine& e, int rays)
{
    for (int j = 0; j < rays; ++j) {
        e.raySlots()[j].fadeLevel = 1.0f;
        e.raySlots()[j].pending.store(1, std::memory_order_relaxed);
    }
}

void runBench(benchmark::State& state, Kind kind, Setup setup)
{
    if (kind == Kind::kAvx2 && !simdPathAvailable(SimdPath::kAvx2)) {
        state.SkipWithError("no AVX2");
        return;
    }
    setSimdPath(kind == Kind::kAvx2 ? SimdPath::kAvx2 : SimdPath::kSse2);
    KernelScene scene;
    scene.rays = setup.rays;
    scene.pendingEvery = setup.fading ? 1 : 0;
    scene.maxDelay = 2000;
    auto engine = makeSceneEngine(scene);
    const std::vector<float> a = makeSignal(kBlock, 1), b = makeSignal(kBlock, 2);
    std::vector<float> out[kOutputRoles];
    float* o[kOutputRoles];
    for (int k = 0; k < kOutputRoles; ++k) {
        out[k].assign(kBlock, 0.0f);
        o[k] = out[k].data();
    }
    const DenormalGuard denormals;
    for (auto _ : state) {
        if (setup.fading)
            rearmFades(*engine, setup.rays);
        if (kind == Kind::kReference)
            referenceKernel(*engine, a.data(), b.data(), o, setup.outputs, kBlock);
        else if (setup.outputs == 5)
            kernel5(*engine, a.data(), b.data(), o[0], o[1], o[2], o[3], o[4], kBlock);
        else
            kernel2(*engine, a.data(), b.data(), o[0], o[1], kBlock);
        engine->audioPath().advance(kBlock);
        benchmark::DoNotOptimize(o[0][kBlock - 1]);
    }
    state.counters["rtf"] = benchmark::Counter(kBlock / kSampleRate, benchmark::Counter::kIsIterationInvariantRate);
}

const Setup k512x5{512, 5, false};
const Setup k256x2{256, 2, false};
const Setup k512x5Fading{512, 5, true};

BENCHMARK_CAPTURE(runBench, reference_512rays_5out, Kind::kReference, k512x5)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, sse2_512rays_5out, Kind::kSse2, k512x5)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, avx2_512rays_5out, Kind::kAvx2, k512x5)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, reference_256rays_2out, Kind::kReference, k256x2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, sse2_256rays_2out, Kind::kSse2, k256x2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, avx2_256rays_2out, Kind::kAvx2, k256x2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, reference_512rays_5out_fading, Kind::kReference, k512x5Fading)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, sse2_512rays_5out_fading, Kind::kSse2, k512x5Fading)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(runBench, avx2_512rays_5out_fading, Kind::kAvx2, k512x5Fading)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
