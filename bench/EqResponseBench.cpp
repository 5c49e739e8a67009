// SPDX-License-Identifier: GPL-3.0-or-later
// The EQ view's analysis alone: 8,192 samples through four bands, one
// 8,192-point real FFT and 4,097 magnitudes in log form; and the FFT by itself.

#include "dsp/EqResponse.h"
#include "dsp/RealFft.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace ovinta {

namespace {

void BM_EqResponseAnalyse(benchmark::State& state)
{
    EQfilter bands[4] = {{kEqLowShelf, 6.0f, 120.0f, 44100.0f, 0.6f},
                         {kEqPeaking, -4.0f, 700.0f, 44100.0f, 1.0f},
                         {kEqPeaking, 3.0f, 3000.0f, 44100.0f, 2.0f},
                         {kEqHighShelf, -6.0f, 9000.0f, 44100.0f, 0.6f}};
    EqResponse response;
    for (auto _ : state) {
        response.analyse(bands[0], bands[1], bands[2], bands[3]);
        benchmark::DoNotOptimize(response.curve().data());
    }
}
BENCHMARK(BM_EqResponseAnalyse)->Unit(benchmark::kMicrosecond);

void BM_RealFft8192(benchmark::State& state)
{
    RealFft fft(8192);
    std::vector<float> in(8192), out(8192);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<float>(i % 17) - 8.0f;
    for (auto _ : state) {
        fft.forward(out.data(), in.data());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_RealFft8192)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace ovinta

BENCHMARK_MAIN();
