// SPDX-License-Identifier: GPL-3.0-or-later
// The export's measuring rule, block writer and WAV header, checked on
// hand-made blocks and by parsing the bytes written.

#include "audio/ExportChannel.h"
#include "audio/WavHeader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ovinta {

namespace {

using Block = std::vector<float>;

Block quiet() { return Block(kExportBlock, 1e-6f); }

Block withSample(int at, float v)
{
    Block b = quiet();
    b[at] = v;
    return b;
}

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Bytes a block leaves in a temporary file.
std::vector<uint8_t> writtenBytes(ExportChannel& channel, const Block& block, int format)
{
    std::FILE* f = std::tmpfile();
    EXPECT_NE(f, nullptr);
    EXPECT_TRUE(channel.write(block.data(), format, f));
    std::vector<uint8_t> bytes(static_cast<std::size_t>(std::ftell(f)));
    std::rewind(f);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    return bytes;
}

} // namespace

TEST(ExportChannel, ResponseStartingInBlockTwoKeepsBlocksZeroToTen)
{
    // First loud sample at 3,000 (block 2), blocks 2..10 loud, 11..13 quiet.
    ExportChannel c;
    c.beginMeasuring();
    float peak = 0.0f;
    for (int block = 0; block < 14; ++block) {
        const bool loud = block >= 2 && block <= 10;
        c.measure((loud ? withSample(block == 2 ? 3000 - 2048 : 5, 0.01f) : quiet()).data(), false,
                  peak);
    }
    c.stopMeasuring();
    EXPECT_TRUE(c.finished);
    EXPECT_EQ(c.lengthBytes, 11264 * 4);
    EXPECT_EQ(peak, 0.0f); // not normalising: the peak is left alone
}

TEST(ExportChannel, LaterArrivalsAfterQuietBlocksExtendTheChannel)
{
    // Sparse taps: loud, loud, two quiet gaps, a lone arrival, quiet.
    ExportChannel c;
    c.beginMeasuring();
    float peak = 0.0f;
    const Block sequence[] = {withSample(0, 0.5f), withSample(1023, -0.25f), quiet(), quiet(),
                              withSample(10, 0.9f), quiet()};
    for (const Block& b : sequence)
        c.measure(b.data(), true, peak);
    EXPECT_FALSE(c.finished); // no end is known before the render's last block
    c.stopMeasuring();
    EXPECT_EQ(c.lengthBytes, 5 * kExportBlockBytes);
    EXPECT_EQ(peak, 0.9f);
}

TEST(ExportChannel, ThresholdIsStrictlyAboveTwoPointFiveTimesTenToTheMinusFive)
{
    ExportChannel c;
    c.beginMeasuring();
    float peak = 0.0f;
    c.measure(withSample(7, 2.6e-5f).data(), false, peak);
    EXPECT_TRUE(c.started);
    c.measure(withSample(7, -2.5e-5f).data(), false, peak); // exactly at the threshold: quiet
    c.stopMeasuring();
    EXPECT_EQ(c.lengthBytes, kExportBlockBytes);
}

TEST(ExportChannel, StoppingAtTheBound)
{
    ExportChannel never, ringing;
    never.beginMeasuring();
    ringing.beginMeasuring();
    float peak = 0.0f;
    for (int block = 0; block < 5; ++block) {
        never.measure(quiet().data(), true, peak);
        ringing.measure(withSample(block, 0.1f).data(), true, peak);
    }
    never.stopMeasuring();
    ringing.stopMeasuring();
    EXPECT_TRUE(never.finished && ringing.finished);
    EXPECT_EQ(never.lengthBytes, kExportBlockBytes); // one silent block, not five
    EXPECT_EQ(ringing.lengthBytes, 5 * kExportBlockBytes);
    EXPECT_FLOAT_EQ(peak, 0.1f);
}

TEST(ExportChannel, SixteenBitSamplesTruncateAndSaturate)
{
    EXPECT_EQ(toPcm16(1.0f), 32767);
    EXPECT_EQ(toPcm16(-1.0f), -32767);
    EXPECT_EQ(toPcm16(0.5f), 16383);   // 16383.95 truncated
    EXPECT_EQ(toPcm16(-0.5f), -16383);
    EXPECT_EQ(toPcm16(1.5f), 32767);   // beyond full scale: held at the extreme
    EXPECT_EQ(toPcm16(-3.0f), -32768);
    EXPECT_EQ(toPcm16(std::nanf("")), 0);
    EXPECT_EQ(toPcm16(1e-6f), 0);
}

TEST(ExportChannel, WritesExactlyTheMeasuredBlocksInEachFormat)
{
    ExportChannel c;
    c.lengthBytes = 2 * kExportBlockBytes;
    Block b = quiet();
    b[0] = 0.5f;
    b[1] = -1.25f;

    c.beginWriting();
    const std::vector<uint8_t> pcm = writtenBytes(c, b, kExportWav16);
    ASSERT_EQ(pcm.size(), 2u * kExportBlock);
    EXPECT_EQ(static_cast<int16_t>(le16(&pcm[0])), 16383);
    EXPECT_EQ(static_cast<int16_t>(le16(&pcm[2])), -32768);
    EXPECT_FALSE(c.finished);
    const std::vector<uint8_t> floats = writtenBytes(c, b, kExportWavFloat);
    ASSERT_EQ(floats.size(), 4u * kExportBlock);
    const uint32_t bits = le32(&floats[4]);
    float second = 0.0f;
    std::memcpy(&second, &bits, 4);
    EXPECT_EQ(second, -1.25f);
    EXPECT_TRUE(c.finished);
    EXPECT_TRUE(writtenBytes(c, b, kExportRaw).empty()); // nothing after the measured length
}

TEST(ExportChannel, ChannelMeasuredEmptyWritesNothing)
{
    ExportChannel c;
    c.lengthBytes = 0;
    c.beginWriting();
    EXPECT_TRUE(c.finished);
}

TEST(WavHeader, FieldsOfPcmAndFloatFiles)
{
    // A PCM file has the 16-byte fmt chunk; a float one is not PCM, so its
    // fmt chunk is 18 bytes, the last two (cbSize) zero, and data follows
    // two bytes later.
    struct Row {
        WavLayout layout;
        uint32_t data;
        uint16_t tag, align;
        std::size_t fmtBytes;
    };
    const Row rows[] = {{{1, 16, false, 44100}, 22528, 1, 2, 16},
                        {{2, 24, false, 48000}, 6000, 1, 6, 16},
                        {{1, 32, true, 96000}, 45056, 3, 4, 18},
                        {{2, 32, true, 48000}, 0, 3, 8, 18}};
    for (const Row& r : rows) {
        const WavHeader h = makeWavHeader(r.layout, r.data);
        const std::size_t data = 20 + r.fmtBytes;
        ASSERT_EQ(h.size(), data + 8);
        EXPECT_EQ(std::memcmp(&h.data()[0], "RIFF", 4), 0);
        EXPECT_EQ(le32(&h.data()[4]), h.size() - 8 + r.data);
        EXPECT_EQ(std::memcmp(&h.data()[8], "WAVEfmt ", 8), 0);
        EXPECT_EQ(le32(&h.data()[16]), r.fmtBytes);
        EXPECT_EQ(le16(&h.data()[20]), r.tag);
        EXPECT_EQ(le16(&h.data()[22]), r.layout.channels);
        EXPECT_EQ(le32(&h.data()[24]), r.layout.sampleRate);
        EXPECT_EQ(le32(&h.data()[28]), r.layout.sampleRate * r.align);
        EXPECT_EQ(le16(&h.data()[32]), r.align);
        EXPECT_EQ(le16(&h.data()[34]), r.layout.bitsPerSample);
        if (r.fmtBytes == 18) {
            EXPECT_EQ(le16(&h.data()[36]), 0);
        }
        EXPECT_EQ(std::memcmp(&h.data()[data], "data", 4), 0);
        EXPECT_EQ(le32(&h.data()[data + 4]), r.data);
    }
    // The export's mono headers are the same: 44 bytes for 16-bit, 46 for float.
    EXPECT_EQ(makeWavHeader(kExportWav16, 44100, 8).size(), 44u);
    EXPECT_EQ(makeWavHeader(kExportWavFloat, 44100, 8).size(), 46u);
    // Little-endian whatever the value: 44100 = 0x0000AC44.
    const WavHeader h = makeWavHeader(kExportWav16, 44100, 0x01020304);
    EXPECT_EQ(h[24], 0x44);
    EXPECT_EQ(h[25], 0xAC);
    EXPECT_EQ(h[40], 0x04);
    EXPECT_EQ(h[43], 0x01);
}

} // namespace ovinta
