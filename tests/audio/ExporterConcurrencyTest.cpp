// SPDX-License-Identifier: GPL-3.0-or-later
// An export while the host's audio thread keeps calling the process driver:
// the export takes the audio path, the process calls return without touching
// anything until it is given back, and the files are the same as those of an
// export made with no audio running. Run under ThreadSanitizer in CI.

#include "audio/ProcessDriver.h"
#include "audio/Exporter.h"
#include "tests/RoomEngineTestAccess.h"
#include "model/OvintaProgram.h"
#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>
#include <unistd.h>

namespace ovinta {

namespace fs = std::filesystem;

namespace {

std::vector<char> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(ExporterConcurrency, ExportWhileTheAudioThreadRuns)
{
    auto engine = std::make_unique<RoomEngine>();
    const int program = 12;
    engine->setProgramAndRate(program, 44100.0f);
    engine->selectProgram(program);
    for (int index = 0; index < kStoredParameterCount; ++index)
        engine->setParameter(index, *programField(engine->programBank().programs[program], index));
    engine->finishProgram();
    engine->setParameter(param::kBend, 0.5f);
    engine->resetAudio();
    EngineParameters parameters(*engine);
    Exporter exporter(*engine, parameters);

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        constexpr int kFrames = 256;
        std::vector<float> in[2], out[6];
        float* inputs[2];
        float* outputs[6];
        for (int c = 0; c < 2; ++c) {
            in[c].assign(kFrames, 0.0f);
            in[c][0] = 0.5f; // a click in the first block of every call
            inputs[c] = in[c].data();
        }
        for (int c = 0; c < 6; ++c) {
            out[c].assign(kFrames, 0.0f);
            outputs[c] = out[c].data();
        }
        while (!stop.load(std::memory_order_relaxed)) {
            processBlock(*engine, inputs, outputs, kFrames);
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
    });
    while (blocks.load(std::memory_order_relaxed) < 20)
        std::this_thread::yield();

    const fs::path dir = fs::path(testing::TempDir()) / ("ovinta_export_concurrent_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const ExportResult during =
        exporter.exportImpulse(kExportWavFloat, 48000.0f, 1, (dir / "a").string());
    const int blocksAfterExport = blocks.load(std::memory_order_relaxed);
    // Audio runs again once the export has given the path back.
    while (blocks.load(std::memory_order_relaxed) < blocksAfterExport + 20)
        std::this_thread::yield();
    stop.store(true, std::memory_order_relaxed);
    audio.join();
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(*engine), 1);

    const ExportResult quiet =
        exporter.exportImpulse(kExportWavFloat, 48000.0f, 1, (dir / "b").string());
    ASSERT_EQ(during.status, ExportResult::kWritten);
    ASSERT_EQ(quiet.status, ExportResult::kWritten);
    ASSERT_EQ(during.files.size(), quiet.files.size());
    for (std::size_t c = 0; c < during.files.size(); ++c)
        EXPECT_EQ(readBytes(during.files[c]), readBytes(quiet.files[c])) << c;
}

} // namespace ovinta
