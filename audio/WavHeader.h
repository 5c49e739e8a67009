// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The header of a plain (not extensible) WAV file: 8- to 32-bit PCM or
// 32-bit IEEE float, any channel count, written byte by byte in
// little-endian order whatever the machine's order. A PCM file has the
// 16-byte "fmt " chunk (44-byte header); a float file, being non-PCM, has
// the 18-byte one that ends in cbSize = 0 (46-byte header), as readers
// expect of every format that is not PCM.

#include <array>
#include <cstddef>
#include <cstdint>

namespace ovinta {

enum ExportFormat : int {
    kExportWav16 = 0,    // 16-bit PCM WAV
    kExportWavFloat = 1, // 32-bit IEEE float WAV
    kExportRaw = 2,      // headerless 32-bit float
};
constexpr int kExportFormatCount = 3;
constexpr std::size_t kMaxWavHeaderSize = 46;

struct WavLayout {
    uint16_t channels = 1;
    uint16_t bitsPerSample = 32; // 8, 16, 24, 32
    bool isFloat = true;         // IEEE float (32 bits) or PCM
    uint32_t sampleRate = 44100;
};

// A header's bytes; size() is 44 or 46.
class WavHeader {
public:
    const uint8_t* data() const { return bytes.data(); }
    std::size_t size() const { return length; }
    uint8_t operator[](std::size_t at) const { return bytes[at]; }

private:
    friend WavHeader makeWavHeader(const WavLayout& layout, uint32_t dataBytes);
    std::array<uint8_t, kMaxWavHeaderSize> bytes{};
    std::size_t length = 0;
};

// Header of a file of `layout` whose sample data is dataBytes long.
WavHeader makeWavHeader(const WavLayout& layout, uint32_t dataBytes);

// Header of a mono export file of `format` (kExportWav16 or kExportWavFloat).
WavHeader makeWavHeader(int format, uint32_t sampleRate, uint32_t dataBytes);

} // namespace ovinta
