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

std::array<uint8_t, kWavHeaderSize> makeWavHeader(int format, uint32_t sampleRate,
                                                  uint32_t dataBytes)
{
    const bool pcm16 = format == kExportWav16;
    const uint16_t bytesPerSample = pcm16 ? 2 : 4;
    std::array<uint8_t, kWavHeaderSize> h{};
    putText(&h[0], "RIFF");
    put32(&h[4], 36u + dataBytes);
    putText(&h[8], "WAVE");
    putText(&h[12], "fmt ");
    put32(&h[16], 16);
    put16(&h[20], pcm16 ? 1 : 3); // PCM or IEEE float
    put16(&h[22], 1);             // one channel
    put32(&h[24], sampleRate);
    put32(&h[28], sampleRate * bytesPerSample);
    put16(&h[32], bytesPerSample);
    put16(&h[34], static_cast<uint16_t>(bytesPerSample * 8));
    putText(&h[36], "data");
    put32(&h[40], dataBytes);
    return h;
}

} // namespace ovinta
