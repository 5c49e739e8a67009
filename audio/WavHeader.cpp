// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian WAV header fields, one byte at a time.

#include "audio/WavHeader.h"

namespace ovinta {

namespace {

void putText(uint8_t* at, const char (&text)[5])
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(text[i]);
}

void put32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
}

void put16(uint8_t* at, uint16_t v)
{
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}

} // namespace

WavHeader makeWavHeader(const WavLayout& layout, uint32_t dataBytes)
{
    const uint32_t fmtBytes = layout.isFloat ? 18 : 16;
    const auto frameBytes = static_cast<uint16_t>(layout.channels * (layout.bitsPerSample / 8));
    WavHeader header;
    uint8_t* h = header.bytes.data();
    putText(&h[0], "RIFF");
    put32(&h[4], 4 + (8 + fmtBytes) + 8 + dataBytes);
    putText(&h[8], "WAVE");
    putText(&h[12], "fmt ");
    put32(&h[16], fmtBytes);
    put16(&h[20], layout.isFloat ? 3 : 1); // IEEE float or PCM
    put16(&h[22], layout.channels);
    put32(&h[24], layout.sampleRate);
    put32(&h[28], layout.sampleRate * frameBytes);
    put16(&h[32], frameBytes);
    put16(&h[34], layout.bitsPerSample);
    uint8_t* data = &h[36];
    if (layout.isFloat) {
        put16(&h[36], 0); // cbSize: no extension follows
        data = &h[38];
    }
    putText(data, "data");
    put32(data + 4, dataBytes);
    header.length = static_cast<std::size_t>(data + 8 - h);
    return header;
}

WavHeader makeWavHeader(int format, uint32_t sampleRate, uint32_t dataBytes)
{
    WavLayout layout;
    layout.isFloat = format != kExportWav16;
    layout.bitsPerSample = layout.isFloat ? 32 : 16;
    layout.sampleRate = sampleRate;
    return makeWavHeader(layout, dataBytes);
}

} // namespace ovinta
