// SPDX-License-Identifier: GPL-3.0-or-later
// Time of a whole impulse-response export (re-trace, measuring pass,
// writing pass, restore) for factory rooms of different lengths, written as
// float RAW files into a temporary folder.

#include "audio/Exporter.h"
#include "tests/EngineTestSupport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace ovinta {

namespace {

void selectProgram(RoomEngine& engine, int program)
{
    enginetest::applyProgram(engine, program);
    engine.resetAudio();
}

} // namespace

static void BM_ExportImpulse(benchmark::State& state)
{
    auto engine = std::make_unique<RoomEngine>();
    selectProgram(*engine, static_cast<int>(state.range(0)));
    EngineParameters parameters(*engine);
    Exporter exporter(*engine, parameters);
    const auto dir = std::filesystem::temp_directory_path() / "ovinta_export_bench";
    std::filesystem::create_directories(dir);
    int64_t bytes = 0;
    for (auto _ : state) {
        const ExportResult r =
            exporter.exportImpulse(kExportRaw, 48000.0f, 1, (dir / "ir").string());
        for (int64_t d : r.dataBytes)
            bytes += d;
    }
    state.SetBytesProcessed(bytes);
    std::filesystem::remove_all(dir);
}
// 0: a concert hall, 12: a short vocal room, 37: a long space.
BENCHMARK(BM_ExportImpulse)->Arg(0)->Arg(12)->Arg(37)->Unit(benchmark::kMillisecond);

} // namespace ovinta

BENCHMARK_MAIN();
