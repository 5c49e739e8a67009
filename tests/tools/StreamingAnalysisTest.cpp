// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis of files as `ovinta analyse` runs it: every factory room's
// exported impulse response gives finite figures or says why it has none,
// and a DC offset riding on a response is found where the noise is.

#include "tools/ovinta/StreamingAnalysis.h"
#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/Progress.h"

#include "audio/Exporter.h"
#include "model/OvintaProgram.h"
#include "tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

namespace ovinta {

namespace fs = std::filesystem;

namespace {

fs::path scratchDir()
{
    const fs::path dir = fs::path(testing::TempDir()) / ("ovinta_analysis_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

std::vector<ChannelAnalysis> analysePath(const fs::path& p)
{
    AudioReader reader(p.string());
    Progress quiet("", false);
    return analyseFile(reader, quiet);
}

// Every figure of a band is a finite number in its plausible range, or is
// absent with a reason in the band's note.
void expectFiniteOrExplained(const AcousticFigures& f)
{
    ASSERT_TRUE(f.measured);
    const std::optional<double> times[] = {f.edtSeconds, f.t20Seconds, f.t30Seconds};
    bool missing = false;
    for (const auto& t : times) {
        missing |= !t;
        if (t) {
            EXPECT_TRUE(std::isfinite(*t) && *t > 0.0 && *t < 60.0) << *t;
        }
    }
    for (const auto& c : {f.c50Db, f.c80Db}) {
        missing |= !c;
        if (c) {
            EXPECT_TRUE(std::isfinite(*c) && std::fabs(*c) < 60.0) << *c;
        }
    }
    ASSERT_TRUE(f.d50 && f.centreTimeSeconds);
    EXPECT_GE(*f.d50, 0.0);
    EXPECT_LE(*f.d50, 1.0);
    EXPECT_TRUE(std::isfinite(*f.centreTimeSeconds));
    EXPECT_EQ(missing, !f.note.empty()) << f.note;
}

} // namespace

TEST(StreamingAnalysis, EveryFactoryRoomsExportGivesFiguresOrReasons)
{
#if defined(__SANITIZE_ADDRESS__)
    // An export renders to the exporter's bound; under the address sanitiser
    // that takes seconds a room, so the sanitised run takes every fifth one.
    constexpr int kProgramStep = 5;
#else
    constexpr int kProgramStep = 1;
#endif
    const fs::path dir = scratchDir();
    for (int program = 0; program < kProgramCount; program += kProgramStep) {
        SCOPED_TRACE(program);
        auto engine = std::make_unique<RoomEngine>();
        EngineParameters parameters(*engine);
        Exporter exporter(*engine, parameters);
        engine->setInputChannelCount(2);
        enginetest::applyProgram(*engine, program, 44100.0f);
        engine->resetAudio();
        const ExportResult r =
            exporter.exportImpulse(kExportWavFloat, 48000.0f, 1, (dir / "ir.wav").string());
        ASSERT_EQ(r.status, ExportResult::kWritten);
        for (const std::string& file : r.files) {
            const std::vector<ChannelAnalysis> channels = analysePath(file);
            ASSERT_EQ(channels.size(), 1u);
            expectFiniteOrExplained(channels[0].full.figures);
            fs::remove(file);
        }
    }
    fs::remove_all(dir);
}

TEST(StreamingAnalysis, ADcOffsetIsMeasuredWhereTheNoiseIs)
{
    // A 0.5 s decay over noise 60 dB down and an offset of 0.01, run on for
    // a second: the offset is the mean of the noise, not of the decay.
    const fs::path p = scratchDir() / "dc.wav";
    std::mt19937 generator(5);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<float> s(48000 * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / 48000.0;
        s[i] = 0.01f + noise(generator) * static_cast<float>(0.5 * std::exp(-6.9 * t / 0.5) + 5e-4);
    }
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = 48000;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(p.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, s.data(), static_cast<sf_count_t>(s.size()));
    sf_close(f);
    const std::vector<ChannelAnalysis> channels = analysePath(p);
    ASSERT_EQ(channels.size(), 1u);
    EXPECT_NEAR(channels[0].dcOffset, 0.01, 2e-4);
    ASSERT_TRUE(channels[0].full.figures.t20Seconds);
    EXPECT_NEAR(*channels[0].full.figures.t20Seconds, 0.5, 0.03);
    fs::remove(p);
}

} // namespace ovinta
