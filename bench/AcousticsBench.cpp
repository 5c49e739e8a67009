// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the room-acoustic analysis of one impulse-response channel (full
// band and seven octave bands), for responses of 0.5 to 4 seconds.

#include "dsp/RoomAcoustics.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace ovinta {

static void BM_AnalyseChannel(benchmark::State& state)
{
    const double rate = 48000.0;
    const double milliseconds = static_cast<double>(state.range(0));
    const auto frames = static_cast<std::size_t>(milliseconds * rate / 1000.0);
    std::mt19937 generator(1);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<float> response(frames);
    const float length = static_cast<float>(frames);
    for (std::size_t i = 0; i < frames; ++i)
        response[i] = noise(generator) * std::exp(-6.9f * static_cast<float>(i) / length);
    for (auto _ : state)
        benchmark::DoNotOptimize(analyseChannel(response.data(), frames, rate));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * frames));
}
BENCHMARK(BM_AnalyseChannel)->Arg(500)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

} // namespace ovinta

BENCHMARK_MAIN();
