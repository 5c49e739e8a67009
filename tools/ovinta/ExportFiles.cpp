// SPDX-License-Identifier: GPL-3.0-or-later
// Export files: names, peaks and the last scaling step.

#include "tools/ovinta/ExportFiles.h"

#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/ToolError.h"

#include "audio/WavHeader.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace ovinta {

namespace {

// Offset of the first sample of a WAV file's "data" chunk, -1 if none.
long dataOffset(std::FILE* f)
{
    unsigned char head[12];
    if (std::fread(head, 1, 12, f) != 12 || std::memcmp(head, "RIFF", 4) != 0
        || std::memcmp(head + 8, "WAVE", 4) != 0)
        return -1;
    for (unsigned char chunk[8]; std::fread(chunk, 1, 8, f) == 8;) {
        const uint32_t size = uint32_t(chunk[4]) | uint32_t(chunk[5]) << 8 | uint32_t(chunk[6]) << 16
                              | uint32_t(chunk[7]) << 24;
        if (std::memcmp(chunk, "data", 4) == 0)
            return std::ftell(f);
        if (std::fseek(f, static_cast<long>(size + (size & 1u)), SEEK_CUR) != 0)
            return -1;
    }
    return -1;
}

// Divides the floats of one file from `offset` to its end by `peak`.
bool divideSamples(std::FILE* f, long offset, float peak)
{
    std::vector<float> block(4096);
    for (long at = offset;; at += static_cast<long>(block.size() * sizeof(float))) {
        if (std::fseek(f, at, SEEK_SET) != 0)
            return false;
        const std::size_t got = std::fread(block.data(), sizeof(float), block.size(), f);
        if (got == 0)
            return std::ferror(f) == 0;
        // A correctly rounded x / peak is at most 1.0 for |x| <= peak, and
        // exactly 1.0 for the peak itself.
        for (std::size_t i = 0; i < got; ++i)
            block[i] /= peak;
        if (std::fseek(f, at, SEEK_SET) != 0 || std::fwrite(block.data(), sizeof(float), got, f) != got)
            return false;
    }
}

} // namespace

std::string exportBase(const std::string& path)
{
    std::string base = path;
    const std::string ending = base.size() >= 4 ? lowerCase(base.substr(base.size() - 4)) : "";
    if (ending == ".wav" || ending == ".raw")
        base.resize(base.size() - 4);
    const std::size_t slash = base.rfind('/');
    const std::string leaf = slash == std::string::npos ? base : base.substr(slash + 1);
    if (leaf.find_first_not_of('.') == std::string::npos)
        throw ToolError("\"" + path + "\" gives no file name to number (try room.wav)");
    return base;
}

float filePeak(const std::string& path, int format)
{
    float peak = 0.0f;
    std::vector<float> block(4096);
    if (format == kExportRaw) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr)
            return peak;
        for (std::size_t got; (got = std::fread(block.data(), sizeof(float), block.size(), f)) > 0;)
            for (std::size_t i = 0; i < got; ++i)
                peak = std::max(peak, std::fabs(block[i]));
        std::fclose(f);
        return peak;
    }
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (f == nullptr)
        return peak;
    sf_command(f, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    for (sf_count_t got; (got = sf_read_float(f, block.data(), static_cast<sf_count_t>(block.size()))) > 0;)
        for (sf_count_t i = 0; i < got; ++i)
            peak = std::max(peak, std::fabs(block[static_cast<std::size_t>(i)]));
    sf_close(f);
    return peak;
}

bool scaleToFullScale(const std::vector<std::string>& files, int format)
{
    float peak = 0.0f;
    for (const std::string& file : files)
        peak = std::max(peak, filePeak(file, format));
    if (!(peak > 1.0f))
        return true;
    for (const std::string& file : files) {
        std::FILE* f = std::fopen(file.c_str(), "r+b");
        if (f == nullptr)
            return false;
        const long offset = format == kExportRaw ? 0 : dataOffset(f);
        const bool done = offset >= 0 && divideSamples(f, offset, peak);
        if (std::fclose(f) != 0 || !done)
            return false;
    }
    return true;
}

} // namespace ovinta
