// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's audio files in-process: what a reader makes of bad samples and
// what a writer puts on disk.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/AudioWriter.h"
#include "tools/ovinta/ExportFiles.h"
#include "tools/ovinta/ToolError.h"

#include "audio/WavHeader.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <unistd.h>
#include <vector>

namespace ovinta {

namespace fs = std::filesystem;

namespace {

fs::path scratchPath(const std::string& name)
{
    return fs::path(testing::TempDir()) / ("ovinta_cli_" + std::to_string(::getpid()) + "_" + name);
}

std::string fileBytes(const fs::path& p)
{
    std::string bytes(fs::file_size(p), '\0');
    std::FILE* f = std::fopen(p.c_str(), "rb");
    if (f != nullptr) {
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    return bytes;
}

std::vector<float> readFloats(const fs::path& p)
{
    SF_INFO info{};
    SNDFILE* f = sf_open(p.c_str(), SFM_READ, &info);
    std::vector<float> s(static_cast<std::size_t>(info.frames * info.channels));
    if (f != nullptr) {
        sf_read_float(f, s.data(), static_cast<sf_count_t>(s.size()));
        sf_close(f);
    }
    return s;
}

void writeFloats(const fs::path& p, int channels, const std::vector<float>& samples)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = 48000;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(p.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(f);
}

} // namespace

TEST(AudioFile, NonFiniteSamplesAreReadAsZeroAndCountedOnce)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> s(2 * 5000, 0.25f);
    for (std::size_t at : {0u, 7u, 4999u, 9998u})
        s[at] = nan;
    s[100] = inf;
    s[101] = -inf;
    const fs::path p = scratchPath("nan.wav");
    writeFloats(p, 2, s);
    AudioReader reader(p.string());
    std::vector<float> block(2 * 1024);
    for (int pass = 0; pass < 3; ++pass) {
        reader.rewind();
        double sum = 0.0;
        for (std::size_t got; (got = reader.read(block.data(), 1024)) > 0;)
            for (std::size_t i = 0; i < 2 * got; ++i) {
                ASSERT_TRUE(std::isfinite(block[i]));
                sum += static_cast<double>(block[i]);
            }
        EXPECT_DOUBLE_EQ(sum, 0.25 * (10000 - 6));
    }
    EXPECT_EQ(reader.nonFiniteSamples(), 6);
    EXPECT_NE(nonFiniteWarning("x", reader).find("6 NaN or infinite samples"), std::string::npos);
    fs::remove(p);
}

TEST(AudioFile, NormalisedExportsEndExactlyAtFullScale)
{
    // Two float WAV files (libsndfile's, with extra chunks before the data)
    // and a raw one; the loudest sample of all three is a step above 1.0.
    const float over = 1.00003f;
    const std::vector<float> a = {0.5f, -over, 0.25f, 0.0f}, b = {0.9f, -0.1f, 1.0f, 0.3f};
    const fs::path wa = scratchPath("a.wav"), wb = scratchPath("b.wav"), raw = scratchPath("c.raw");
    writeFloats(wa, 1, a);
    writeFloats(wb, 1, b);
    std::FILE* f = std::fopen(raw.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), sizeof(float), b.size(), f);
    std::fclose(f);
    ASSERT_TRUE(scaleToFullScale({wa.string(), wb.string()}, kExportWavFloat));
    ASSERT_TRUE(scaleToFullScale({raw.string()}, kExportRaw)); // at most 1.0: kept
    const std::vector<float> sa = readFloats(wa), sb = readFloats(wb);
    ASSERT_EQ(sa.size(), 4u);
    EXPECT_EQ(sa[1], -1.0f);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_LE(std::fabs(sb[i]), 1.0f);
        EXPECT_NEAR(sa[i], a[i] / over, 1e-7f);
        EXPECT_NEAR(sb[i], b[i] / over, 1e-7f);
    }
    EXPECT_EQ(filePeak(raw.string(), kExportRaw), 1.0f);
    EXPECT_EQ(filePeak(wb.string(), kExportWavFloat), 1.0f / over);
    for (const fs::path& p : {wa, wb, raw})
        fs::remove(p);
}

TEST(AudioFile, NumbersThatRoundToZeroHaveNoSign)
{
    const struct {
        double value;
        int decimals;
        const char* plain;
        const char* withSign;
    } rows[] = {{-0.04, 1, "0.0", "0.0"},
                {-1e-8, 6, "0.000000", "0.000000"},
                {-0.0, 0, "0", "0"},
                {0.3, 1, "0.3", "+0.3"},
                {-3.14159, 2, "-3.14", "-3.14"},
                {0.0000004, 6, "0.000000", "0.000000"},
                {-0.0000006, 6, "-0.000001", "-0.000001"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        EXPECT_EQ(fixedText(r.value, r.decimals), r.plain);
        EXPECT_EQ(signedFixedText(r.value, r.decimals), r.withSign);
    }
    EXPECT_EQ(dbfsText(1.0f), "0.0 dBFS");
    EXPECT_EQ(dbfsText(0.0f), "-inf dBFS");
}

TEST(AudioWriter, EveryFormatReadsBackAsWrittenAndFloatWavCarriesCbSize)
{
    // A ramp through the full range; each integer format returns it to
    // within half its step, float exactly. Stereo WAV is written by the
    // tool itself, so its header is checked byte by byte.
    std::vector<float> ramp(2 * 3000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = -1.0f + 2.0f * static_cast<float>(i) / static_cast<float>(ramp.size());
    const struct {
        const char* name;
        const char* format;
        int channels;
        double step;      // one quantisation step
        uint32_t fmtSize; // 0: not checked
        std::size_t sampleBytes;
    } rows[] = {{"f.wav", "", 2, 0.0, 18, 4},
                {"i16.wav", "wav16", 2, 1.0 / 32768, 16, 2},
                {"i24.wav", "wav24", 1, 1.0 / 8388608, 16, 3},
                {"i32.wav", "wav32", 2, 1e-9, 16, 4},
                {"f.flac", "", 2, 4.0 / 8388608, 0, 0}, // libsndfile writes 2^23 - 1 as full scale
                {"q.wav", "wav32f", 4, 0.0, 0, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const fs::path p = scratchPath(r.name);
        const std::vector<float> in(ramp.begin(), ramp.begin() + 3000 / r.channels * r.channels);
        {
            AudioWriter w(p.string(), r.channels, 48000, outputFormatFor(p.string(), r.format));
            w.write(in.data(), in.size() / static_cast<std::size_t>(r.channels));
            w.commit();
        }
        const std::vector<float> out = readFloats(p);
        ASSERT_EQ(out.size(), in.size());
        for (std::size_t i = 0; i < in.size(); ++i)
            ASSERT_NEAR(out[i], in[i], r.step * 0.5 + 1e-12) << i;
        if (r.fmtSize != 0) {
            const std::string b = fileBytes(p);
            ASSERT_GT(b.size(), 46u);
            EXPECT_EQ(b.substr(12, 4), "fmt ");
            EXPECT_EQ(static_cast<uint8_t>(b[16]), r.fmtSize);
            const std::size_t data = 20 + r.fmtSize;
            if (r.fmtSize == 18) {
                EXPECT_EQ(b.substr(36, 2), std::string(2, '\0')); // cbSize
            }
            EXPECT_EQ(b.substr(data, 4), "data");
            EXPECT_EQ(b.size(), data + 8 + in.size() * r.sampleBytes);
        }
        fs::remove(p);
    }
    const struct {
        const char* path;
        const char* format;
        const char* error;
    } refusals[] = {{"x.mp3", "", "must be a .wav or .flac file"},
                    {"x.wav", "flac24", "does not match"},
                    {"x.flac", "wav9", "--format must be"}};
    for (const auto& r : refusals)
        EXPECT_THROW(outputFormatFor(r.path, r.format), ToolError) << r.path;
}

} // namespace ovinta
