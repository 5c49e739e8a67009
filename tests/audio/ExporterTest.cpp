// SPDX-License-Identifier: GPL-3.0-or-later
// The impulse-response export run on a real engine: file names and counts,
// the bytes of headers and samples, normalisation, the failure path and the
// engine's state afterwards.

#include "audio/Exporter.h"
#include "audio/ProcessDriver.h"
#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"
#include "model/OvintaProgram.h"
#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>
#include <unistd.h>

namespace ovinta {

namespace fs = std::filesystem;

namespace {

constexpr float kHostRate = 44100.0f;

struct Fixture {
    std::unique_ptr<RoomEngine> engine = std::make_unique<RoomEngine>();
    EngineParameters parameters{*engine};
    Exporter exporter{*engine, parameters};

    explicit Fixture(int program = 0)
    {
        engine->setInputChannelCount(2);
        enginetest::applyProgram(*engine, program, kHostRate);
        // No diffusion bend, so that both passes render alike.
        engine->setParameter(param::kBend, 0.5f);
        engine->resetAudio();
    }
};

fs::path scratchDir(const char* name)
{
    const fs::path dir = fs::path(testing::TempDir()) / ("ovinta_export_" + std::string(name) + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::vector<uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// A float WAV's header: its "fmt " chunk carries cbSize (18 bytes).
constexpr std::size_t kFloatWavHeaderBytes = 46;

std::vector<float> floatsOf(const std::vector<uint8_t>& bytes, std::size_t offset)
{
    std::vector<float> out((bytes.size() - offset) / 4);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const uint32_t v = le32(&bytes[offset + 4 * i]);
        std::memcpy(&out[i], &v, 4);
    }
    return out;
}

std::vector<int16_t> pcmOf(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> out((bytes.size() - 44) / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8);
    return out;
}

float peakOf(const std::vector<float>& v)
{
    float peak = 0.0f;
    for (float x : v)
        peak = std::max(peak, std::fabs(x));
    return peak;
}

} // namespace

TEST(Exporter, BaseNameCutsOnlyAThreeLetterExtension)
{
    EXPECT_EQ(Exporter::baseName("room.wav"), "room");
    EXPECT_EQ(Exporter::baseName("ab"), "ab");
    EXPECT_EQ(Exporter::baseName("dir.x/take.aif"), "dir.x/take");
    EXPECT_EQ(Exporter::baseName("a.flac"), "a.flac");
    EXPECT_EQ(Exporter::baseName(".wav"), ".wav"); // four characters: not longer than 4
}

TEST(Exporter, FilesPerOutputCountAndFormat)
{
    struct Row {
        const char* name;
        int format;
        int outputCount;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"room.wav", kExportWav16, 2, {"room1.wav", "room2.wav"}},
        {"ab", kExportWav16, 2, {"ab1.wav", "ab2.wav"}},
        {"room.wav", kExportRaw, 2, {"room1.raw", "room2.raw"}},
        {"one.wav", kExportWavFloat, 1, {"one1.wav", "one2.wav"}},
        {"three.wav", kExportWavFloat, 3, {"three1.wav", "three2.wav"}},
        {"four.wav", kExportRaw, 4, {"four1.raw", "four2.raw", "four3.raw", "four4.raw"}},
        {"six.wav", kExportRaw, 6, {"six1.raw", "six2.raw", "six3.raw", "six4.raw", "six5.raw"}},
    };
    Fixture f;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path dir = scratchDir("names");
        RoomEngineTestAccess::values(*f.engine).outputCount = row.outputCount;
        const ExportResult r =
            f.exporter.exportImpulse(row.format, 48000.0f, 1, (dir / row.name).string());
        ASSERT_EQ(r.status, ExportResult::kWritten);
        std::vector<std::string> made;
        for (const auto& entry : fs::directory_iterator(dir))
            made.push_back(entry.path().filename().string());
        std::sort(made.begin(), made.end());
        EXPECT_EQ(made, row.expected);
        ASSERT_EQ(r.files.size(), row.expected.size());
        EXPECT_EQ(fs::path(r.files[0]).filename(), row.expected[0]);
    }
}

TEST(Exporter, WavFilesCarryConsistentHeadersAndANormalisedPeak)
{
    Fixture f;
    const fs::path dir = scratchDir("headers");
    const ExportResult r =
        f.exporter.exportImpulse(kExportWav16, 96000.0f, 1, (dir / "ir.wav").string());
    ASSERT_EQ(r.status, ExportResult::kWritten);
    int loudest = 0;
    for (const std::string& file : r.files) {
        const std::vector<uint8_t> b = readBytes(file);
        ASSERT_GT(b.size(), 44u);
        const uint32_t data = static_cast<uint32_t>(b.size() - 44);
        EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
        EXPECT_EQ(le32(&b[4]), 36 + data);
        EXPECT_EQ(le32(&b[24]), 96000u);
        EXPECT_EQ(le32(&b[40]), data);
        EXPECT_EQ(data % 2048, 0u); // whole blocks of 1,024 16-bit samples
        for (int16_t s : pcmOf(b))
            loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    }
    // One scale for all channels: the loudest sample anywhere is full scale.
    EXPECT_GE(loudest, 32760);
    EXPECT_LE(loudest, 32767);
}

TEST(Exporter, RawMatchesFloatWavAndSixteenBitIsItsTruncation)
{
    Fixture f;
    const fs::path dir = scratchDir("formats");
    const auto wavF =
        f.exporter.exportImpulse(kExportWavFloat, 44100.0f, 1, (dir / "f.wav").string());
    const auto raw =
        f.exporter.exportImpulse(kExportRaw, 44100.0f, 1, (dir / "r.wav").string());
    const auto pcm =
        f.exporter.exportImpulse(kExportWav16, 44100.0f, 1, (dir / "p.wav").string());
    ASSERT_EQ(wavF.status, ExportResult::kWritten);
    ASSERT_EQ(raw.status, ExportResult::kWritten);
    ASSERT_EQ(pcm.status, ExportResult::kWritten);
    float peak = 0.0f;
    for (std::size_t c = 0; c < wavF.files.size(); ++c) {
        const std::vector<uint8_t> rawBytes = readBytes(raw.files[c]);
        EXPECT_EQ(rawBytes.size() % 4096, 0u);
        EXPECT_NE(std::memcmp(rawBytes.data(), "RIFF", 4), 0);
        const std::vector<float> a = floatsOf(readBytes(wavF.files[c]), kFloatWavHeaderBytes);
        const std::vector<float> b = floatsOf(rawBytes, 0);
        ASSERT_EQ(a.size(), b.size());
        const std::vector<int16_t> s = pcmOf(readBytes(pcm.files[c]));
        ASSERT_EQ(s.size(), a.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            ASSERT_TRUE(std::isfinite(a[i]));
            ASSERT_NEAR(a[i], b[i], 1e-6f) << i;
            ASSERT_NEAR(s[i], std::trunc(a[i] * 32767.9f), 1.0f) << i;
        }
        peak = std::max(peak, peakOf(a));
    }
    EXPECT_NEAR(peak, 1.0f, 1e-4f);
}

TEST(Exporter, UnnormalisedResponseIsTheNormalisedOneScaled)
{
    // Rendering is linear in the impulse height, so every sample of the plain
    // export is the normalised sample times the plain export's peak.
    Fixture f;
    const fs::path dir = scratchDir("scale");
    const auto on =
        f.exporter.exportImpulse(kExportWavFloat, 48000.0f, 1, (dir / "on").string());
    const auto off =
        f.exporter.exportImpulse(kExportWavFloat, 48000.0f, 0, (dir / "off").string());
    ASSERT_EQ(on.status, ExportResult::kWritten);
    ASSERT_EQ(off.status, ExportResult::kWritten);
    std::vector<float> a, b;
    float offPeak = 0.0f;
    for (std::size_t c = 0; c < on.files.size(); ++c) {
        const auto x = floatsOf(readBytes(on.files[c]), kFloatWavHeaderBytes);
        const auto y = floatsOf(readBytes(off.files[c]), kFloatWavHeaderBytes);
        ASSERT_EQ(x.size(), y.size());
        a.insert(a.end(), x.begin(), x.end());
        b.insert(b.end(), y.begin(), y.end());
        offPeak = std::max(offPeak, peakOf(y));
    }
    ASSERT_GT(offPeak, 0.0f);
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_NEAR(b[i], a[i] * offPeak, 1e-4f * offPeak + 1e-6f) << i;
}

TEST(Exporter, UnopenableFileStopsBeforeTheEngineChanges)
{
    Fixture f;
    const fs::path dir = scratchDir("fail");
    fs::create_directory(dir / "ir2.wav"); // the second channel's name is a directory
    const float dryBefore = f.engine->derived().dryGain;
    f.engine->editorSignals().exportCountdown = 4;
    const ExportResult r =
        f.exporter.exportImpulse(kExportWav16, 48000.0f, 1, (dir / "ir.wav").string());
    EXPECT_EQ(r.status, ExportResult::kOpenFailed);
    EXPECT_EQ(fs::path(r.failedFile).filename(), "ir2.wav");
    EXPECT_EQ(f.engine->editorSignals().exportError.load(), 1);
    EXPECT_EQ(f.engine->editorSignals().exportErrorTicks.load(), 100);
    EXPECT_EQ(f.engine->editorSignals().exportCountdown.load(), 0);
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(*f.engine), 1);
    EXPECT_EQ(f.engine->derived().sampleRate.load(), kHostRate);
    EXPECT_EQ(f.engine->derived().dryGain.load(), dryBefore);
    // The first file was opened before the failure: it stays, empty.
    ASSERT_TRUE(fs::exists(dir / "ir1.wav"));
    EXPECT_EQ(fs::file_size(dir / "ir1.wav"), 0u);

    const ExportResult missing =
        f.exporter.exportImpulse(kExportRaw, 48000.0f, 1, (dir / "no/such/dir/ir").string());
    EXPECT_EQ(missing.status, ExportResult::kOpenFailed);
    EXPECT_TRUE(missing.files.empty());
}

TEST(Exporter, FailedWritesAreReportedAndTheEngineStillRestored)
{
    // Both channel files lead to /dev/full: they open, but every write fails.
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    Fixture f;
    const fs::path dir = scratchDir("full");
    fs::create_symlink("/dev/full", dir / "ir1.wav");
    fs::create_symlink("/dev/full", dir / "ir2.wav");
    const ExportResult r =
        f.exporter.exportImpulse(kExportWavFloat, 48000.0f, 1, (dir / "ir.wav").string());
    EXPECT_EQ(r.status, ExportResult::kWriteFailed);
    EXPECT_EQ(f.engine->editorSignals().exportError.load(), 1);
    EXPECT_EQ(f.engine->editorSignals().exportErrorTicks.load(), 100);
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(*f.engine), 1);
    EXPECT_EQ(f.engine->derived().sampleRate.load(), kHostRate);
}

TEST(Exporter, EngineIsRestoredAndSilentAfterwards)
{
    Fixture f;
    f.engine->setParameter(param::kDryOut, 0.5f);
    const float dry = f.engine->derived().dryGain;
    float before[kEqBands][2];
    for (int b = 0; b < kEqBands; ++b) {
        before[b][0] = RoomEngineTestAccess::eqB(*f.engine)[b].b0;
        before[b][1] = RoomEngineTestAccess::eqB(*f.engine)[b].a1;
    }
    f.engine->editorSignals().exportError = 1;
    const fs::path dir = scratchDir("restore");
    ASSERT_EQ(f.exporter.exportImpulse(kExportRaw, 96000.0f, 0, (dir / "x").string()).status,
              ExportResult::kWritten);
    EXPECT_EQ(f.engine->derived().sampleRate.load(), kHostRate);
    EXPECT_EQ(f.engine->derived().dryGain.load(), dry);
    EXPECT_EQ(f.engine->editorSignals().exportError.load(), 0);
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(*f.engine), 1);
    EXPECT_EQ(f.engine->editorSignals().exportCountdown.load(), 0);
    for (int b = 0; b < kEqBands; ++b) { // designed at the host rate again
        EXPECT_EQ(RoomEngineTestAccess::eqB(*f.engine)[b].b0, before[b][0]);
        EXPECT_EQ(RoomEngineTestAccess::eqB(*f.engine)[b].a1, before[b][1]);
    }
    for (const auto& history : f.engine->audioPath().sourceHistory)
        EXPECT_EQ(*std::max_element(history.get(), history.get() + kHistoryLength), 0.0f);
}

TEST(Exporter, OutputThatNeverSoundsEndsAtTheBound)
{
    // Panner x = 2 of 46 gives the right output a gain of exactly 0 in
    // stereo, so its channel never rises above the threshold.
    Fixture f;
    f.engine->setParameter(param::kPanX, 2.0f / 46.0f);
    RoomEngineTestAccess::values(*f.engine).outputCount = 2;
    const fs::path dir = scratchDir("bound");
    const ExportResult r =
        f.exporter.exportImpulse(kExportWavFloat, 44100.0f, 0, (dir / "b").string());
    ASSERT_EQ(r.status, ExportResult::kWritten);
    const auto left = floatsOf(readBytes(r.files[0]), kFloatWavHeaderBytes);
    const auto right = floatsOf(readBytes(r.files[1]), kFloatWavHeaderBytes);
    EXPECT_GT(peakOf(left), 0.01f);
    ASSERT_EQ(right.size(), 1024u); // one silent block
    EXPECT_LE(peakOf(right), 2.5e-5f);
}

TEST(Exporter, RefusesSettingsItCannotWrite)
{
    Fixture f;
    const fs::path dir = scratchDir("refuse");
    EXPECT_EQ(f.exporter.exportImpulse(3, 44100.0f, 1, (dir / "a").string()).status,
              ExportResult::kBadSettings);
    EXPECT_EQ(f.exporter.exportImpulse(0, std::nanf(""), 1, (dir / "a").string()).status,
              ExportResult::kBadSettings);
    EXPECT_EQ(f.exporter.exportImpulse(0, 1e9f, 1, (dir / "a").string()).status,
              ExportResult::kBadSettings);
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(*f.engine), 1);
}

// ---- Completeness against the effect's own render ----------------------

namespace {

constexpr float kRates[] = {44100.0f, 48000.0f, 96000.0f};

// The program's wet response to a unit impulse on both inputs, rendered by
// the process call at `rate` for as long as the export may last; one vector
// per exported channel.
std::vector<std::vector<float>> renderedResponse(int program, float rate)
{
    auto engine = std::make_unique<RoomEngine>();
    engine->setInputChannelCount(2);
    enginetest::applyProgram(*engine, program, rate);
    // Rays set up now and the room traced ahead, so that the first block
    // commits its taps at once, as the export does.
    engine->setupRays();
    EXPECT_TRUE(engine->traceProgramAhead());
    engine->resetAudio();
    RoomEngineTestAccess::values(*engine).dryGain = 0.0f;
    const int channels = Exporter::channelsFor(engine->derived().outputCount);
    std::vector<float> in[2], out[6];
    float* inPtr[2];
    float* outPtr[6];
    for (int c = 0; c < 2; ++c) {
        in[c].assign(kExportBlock, 0.0f);
        inPtr[c] = in[c].data();
        in[c][0] = 1.0f;
    }
    for (int c = 0; c < 6; ++c) {
        out[c].assign(kExportBlock, 0.0f);
        outPtr[c] = out[c].data();
    }
    std::vector<std::vector<float>> response(static_cast<std::size_t>(channels));
    for (int block = 0; block < kExportMaxBlocks; ++block) {
        processBlock(*engine, inPtr, outPtr, kExportBlock);
        in[0][0] = in[1][0] = 0.0f;
        for (int c = 0; c < channels; ++c)
            response[c].insert(response[c].end(), out[c].begin(), out[c].end());
    }
    return response;
}

double energyOf(const std::vector<float>& v)
{
    double sum = 0.0;
    for (float x : v)
        sum += static_cast<double>(x) * static_cast<double>(x);
    return sum;
}

// Blocks up to the last one in which the response, at the export's impulse
// height of 2, rises above the silence threshold; one when it never does.
std::size_t blocksToLastArrival(const std::vector<float>& response)
{
    std::size_t blocks = 1;
    for (std::size_t i = 0; i < response.size(); ++i)
        if (2.0f * std::fabs(response[i]) > 2.5e-5f)
            blocks = i / kExportBlock + 1;
    return blocks;
}

// The export renders an impulse of height 2 with the dry path off, so each
// file is twice the effect's wet render of a unit impulse. It must hold all
// but 0.1 % of that render's energy over the export's bound, and end within
// a block of the render's last sample above the threshold, however sparse
// the taps are at the rate.
void expectWholeResponse(int program, float rate)
{
    SCOPED_TRACE(testing::Message() << "program " << program << " at " << rate << " Hz");
    const auto rendered = renderedResponse(program, rate);
    auto engine = std::make_unique<RoomEngine>();
    EngineParameters parameters{*engine};
    Exporter exporter{*engine, parameters};
    engine->setInputChannelCount(2);
    enginetest::applyProgram(*engine, program, kHostRate);
    engine->resetAudio();
    const fs::path dir = scratchDir("whole");
    const ExportResult r = exporter.exportImpulse(kExportWavFloat, rate, 0, (dir / "ir").string());
    ASSERT_EQ(r.status, ExportResult::kWritten);
    ASSERT_EQ(r.files.size(), rendered.size());
    for (std::size_t c = 0; c < r.files.size(); ++c) {
        const auto file = floatsOf(readBytes(r.files[c]), kFloatWavHeaderBytes);
        EXPECT_GE(energyOf(file), 0.999 * 4.0 * energyOf(rendered[c]) - 1e-9) << "channel " << c;
        const auto blocks = static_cast<double>(blocksToLastArrival(rendered[c]));
        EXPECT_NEAR(static_cast<double>(file.size() / kExportBlock), blocks, 1.0) << "channel " << c;
    }
}

} // namespace

TEST(Exporter, KeepsTheWholeResponseAtEveryRate)
{
    // Programs whose responses the first-quiet-block rule cut at some rate
    // (sparse early taps, long tails, one reaching the bound at 96 kHz).
    for (int program : {0, 5, 12, 32, 33, 44})
        for (float rate : kRates)
            expectWholeResponse(program, rate);
}

// Every factory program at every rate: about 45 s in a release build, so
// run on demand (--gtest_also_run_disabled_tests).
TEST(Exporter, DISABLED_KeepsTheWholeResponseOfEveryProgram)
{
    for (int program = 0; program < kProgramCount; ++program)
        for (float rate : kRates)
            expectWholeResponse(program, rate);
}

} // namespace ovinta
