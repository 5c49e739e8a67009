#pragma once
// The 44-byte header of a one-channel WAV file (16-bit PCM or 32-bit float),
// written byte by byte in little-endian order whatever the machine's order.

#include <array>
#include <cstdint>

namespace ovinta {

enum ExportFormat : int {
    kExportWav16 = 0,    // 16-bit PCM WAV
    kExportWavFloat = 1, // 32-bit IEEE float WAV
    kExportRaw = 2,      // headerless 32-bit float
};
constexpr int kExportFormatCount = 3;
constexpr std::size_t kWavHeaderSize = 44;

// Header of a mono file of `format` (kExportWav16 or kExportWavFloat) whose
// sample data is dataBytes long.
std::array<uint8_t, kWavHeaderSize> makeWavHeader(int format, uint32_t sampleRate,
                                                  uint32_t dataBytes);

} // namespace ovinta
