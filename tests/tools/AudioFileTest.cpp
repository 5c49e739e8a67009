// The tool's audio files in-process: what a reader makes of bad samples and
// what a writer puts on disk.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/ToolError.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
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

} // namespace ovinta
