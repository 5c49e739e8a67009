// SPDX-License-Identifier: GPL-3.0-or-later
// The export's per-channel measuring rule and block writer.

#include "audio/ExportChannel.h"

#include "audio/WavHeader.h"

#include <cmath>
#include <cstring>

namespace ovinta {

int16_t toPcm16(float x)
{
    const double scaled = std::trunc(static_cast<double>(x) * 32767.9);
    if (!(scaled == scaled))
        return 0;
    // Saturate instead of wrapping: a sample beyond full scale (possible
    // without normalising) stays at the nearest extreme.
    if (scaled > 32767.0)
        return 32767;
    if (scaled < -32768.0)
        return -32768;
    return static_cast<int16_t>(scaled);
}

void ExportChannel::beginMeasuring()
{
    finished = false;
    started = false;
    measuredBytes = 0;
    lengthBytes = 0;
}

void ExportChannel::measure(const float* block, bool normalise, float& peak)
{
    if (finished)
        return;
    measuredBytes += kExportBlockBytes;
    bool loud = false;
    for (int i = 0; i < kExportBlock && !loud; ++i)
        loud = std::fabs(block[i]) > kExportSilence;
    if (loud) {
        started = true;
        lengthBytes = measuredBytes;
    }
    if (normalise) {
        for (int i = 0; i < kExportBlock; ++i) {
            const float m = std::fabs(block[i]);
            if (m > peak) // NaN never raises the peak
                peak = m;
        }
    }
}

void ExportChannel::stopMeasuring()
{
    if (finished)
        return;
    if (!started)
        lengthBytes = kExportBlockBytes;
    finished = true;
}

void ExportChannel::beginWriting()
{
    remainingBytes = lengthBytes;
    finished = remainingBytes <= 0;
}

bool ExportChannel::write(const float* block, int format, std::FILE* file)
{
    if (finished)
        return true;
    uint8_t bytes[kExportBlockBytes];
    std::size_t size = 0;
    if (format == kExportWav16) {
        for (int i = 0; i < kExportBlock; ++i) {
            const auto v = static_cast<uint16_t>(toPcm16(block[i]));
            bytes[size++] = static_cast<uint8_t>(v);
            bytes[size++] = static_cast<uint8_t>(v >> 8);
        }
    } else {
        for (int i = 0; i < kExportBlock; ++i) {
            uint32_t v = 0;
            std::memcpy(&v, &block[i], 4);
            for (int b = 0; b < 4; ++b)
                bytes[size++] = static_cast<uint8_t>(v >> (8 * b));
        }
    }
    const bool complete = std::fwrite(bytes, 1, size, file) == size;
    remainingBytes -= kExportBlockBytes;
    finished = remainingBytes <= 0;
    return complete;
}

} // namespace ovinta
