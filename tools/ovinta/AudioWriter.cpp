// SPDX-License-Identifier: GPL-3.0-or-later
// Output files of the tool: plain WAV written here, extensible WAV and FLAC
// through libsndfile, all through a temporary file or to standard output.

#include "tools/ovinta/AudioWriter.h"

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/ToolError.h"

#include "audio/WavHeader.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ovinta {

namespace {

SNDFILE* handle(void* file)
{
    return static_cast<SNDFILE*>(file);
}

std::string systemError()
{
    return errno != 0 ? std::strerror(errno) : "unknown error";
}

// A plain WAV file's sizes are 32-bit; one that does not know its length
// (written to a pipe) says so with the largest.
constexpr uint64_t kMaxWavDataBytes = 0xFFFFFFFFu - kMaxWavHeaderSize;

struct FormatName {
    const char* text;
    OutputFormat format;
};
constexpr FormatName kFormatNames[] = {
    {"wav16", {false, 16, false}}, {"wav24", {false, 24, false}}, {"wav32", {false, 32, false}},
    {"wav32f", {false, 32, true}}, {"flac16", {true, 16, false}}, {"flac24", {true, 24, false}},
};

std::string endingOf(const std::string& path)
{
    const std::string leaf = leafOf(path);
    const std::size_t dot = leaf.rfind('.');
    return dot == std::string::npos || dot == 0 ? "" : lowerCase(leaf.substr(dot));
}

int libsndfileSubtype(const OutputFormat& f)
{
    if (f.isFloat)
        return SF_FORMAT_FLOAT;
    return f.bitsPerSample == 16   ? SF_FORMAT_PCM_16
           : f.bitsPerSample == 24 ? SF_FORMAT_PCM_24
                                   : SF_FORMAT_PCM_32;
}

// A float sample as a little-endian PCM value of `bits` bits: scaled by
// 2^(bits-1), rounded and clipped to the format's range.
void putPcm(uint8_t* at, float x, int bits)
{
    const double full = std::ldexp(1.0, bits - 1);
    const double v = std::clamp(std::nearbyint(static_cast<double>(x) * full), -full, full - 1.0);
    const auto word = static_cast<uint32_t>(static_cast<int32_t>(v));
    for (int b = 0; b < bits / 8; ++b)
        at[b] = static_cast<uint8_t>(word >> (8 * b));
}

} // namespace

OutputFormat outputFormatFor(const std::string& path, const std::string& formatText)
{
    const std::string ending = endingOf(path);
    const bool toStdout = path == "-";
    if (!toStdout && ending != ".wav" && ending != ".flac")
        throw ToolError("the output " + path + " must be a .wav or .flac file");
    if (formatText.empty())
        return ending == ".flac" ? OutputFormat{true, 24, false} : OutputFormat{};
    for (const FormatName& n : kFormatNames)
        if (formatText == n.text) {
            if (!toStdout && n.format.flac != (ending == ".flac"))
                throw ToolError("--format " + formatText + " does not match the name " + path);
            return n.format;
        }
    throw ToolError("--format must be wav16, wav24, wav32, wav32f, flac16 or flac24, not \"" + formatText
                    + "\"");
}

std::string describeFormat(const OutputFormat& f)
{
    return std::to_string(f.bitsPerSample) + "-bit " + (f.isFloat ? "float " : "")
           + (f.flac ? "FLAC" : "WAV");
}

AudioWriter::AudioWriter(const std::string& pathIn, int channels, int sampleRate,
                         const OutputFormat& formatIn)
    : path(pathIn), format(formatIn), channelCount(channels), rate(sampleRate)
{
    int fd = STDOUT_FILENO;
    if (path != "-") {
        refuseDirectory(path);
        temporary = folderOf(path) + "/." + leafOf(path) + ".XXXXXX";
        {
            const SignalsHeld held;
            fd = ::mkstemp(temporary.data());
            if (fd >= 0)
                pending.emplace(temporary);
        }
        if (fd < 0)
            throw ToolError("cannot write " + path + ": " + systemError());
        // mkstemp makes the file private; give it the permissions a new file gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (!format.flac && channels <= 2)
        openPlainWav(fd);
    else
        openWithLibsndfile(fd);
}

void AudioWriter::openPlainWav(int fd)
{
    plain = path == "-" ? stdout : ::fdopen(fd, "wb");
    if (plain == nullptr) {
        const std::string reason = systemError();
        ::close(fd);
        fail(reason);
    }
    // Sizes unknown until commit; a pipe keeps the "unknown" ones.
    const WavLayout layout{static_cast<uint16_t>(channelCount), static_cast<uint16_t>(format.bitsPerSample),
                           format.isFloat, static_cast<uint32_t>(rate)};
    const WavHeader header = makeWavHeader(layout, static_cast<uint32_t>(kMaxWavDataBytes));
    errno = 0;
    if (std::fwrite(header.data(), 1, header.size(), plain) != header.size())
        fail(systemError());
}

void AudioWriter::openWithLibsndfile(int fd)
{
    SF_INFO info{};
    info.channels = channelCount;
    info.samplerate = rate;
    const bool masked = channelCount == 4 || channelCount == 5;
    info.format = (format.flac ? SF_FORMAT_FLAC
                   : masked    ? SF_FORMAT_WAVEX
                               : SF_FORMAT_WAV)
                  | libsndfileSubtype(format);
    file = sf_open_fd(fd, SFM_WRITE, &info, path == "-" ? SF_FALSE : SF_TRUE);
    if (file == nullptr) {
        const std::string reason = sf_strerror(nullptr);
        if (path != "-")
            ::close(fd);
        fail(reason);
    }
    if (!masked)
        return;
    int map[5] = {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_REAR_LEFT,
                  SF_CHANNEL_MAP_REAR_RIGHT, 0};
    if (channelCount == 5) {
        const int five[5] = {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER,
                             SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT};
        std::memcpy(map, five, sizeof map);
    }
    if (sf_command(handle(file), SFC_SET_CHANNEL_MAP_INFO, map, static_cast<int>(sizeof(int)) * channelCount)
        != SF_TRUE)
        fail("the channel layout was refused");
}

AudioWriter::~AudioWriter()
{
    discard();
}

void AudioWriter::discard()
{
    if (file != nullptr)
        sf_close(handle(file));
    if (plain != nullptr && plain != stdout)
        std::fclose(plain);
    file = nullptr;
    plain = nullptr;
    if (!temporary.empty() && pending) {
        ::unlink(temporary.c_str());
        pending.reset();
    }
}

void AudioWriter::fail(const std::string& reason)
{
    discard();
    throw ToolError("writing " + path + " failed: " + reason);
}

void AudioWriter::write(const float* interleaved, std::size_t frames)
{
    const std::size_t count = frames * static_cast<std::size_t>(channelCount);
    for (std::size_t i = 0; i < count; ++i)
        loudest = std::max(loudest, std::fabs(interleaved[i]));
    errno = 0;
    if (plain != nullptr) {
        writePlain(interleaved, count);
        return;
    }
    const auto wanted = static_cast<sf_count_t>(frames);
    if (sf_writef_float(handle(file), interleaved, wanted) != wanted)
        fail(errno != 0 ? systemError() : sf_strerror(handle(file)));
}

void AudioWriter::writePlain(const float* interleaved, std::size_t count)
{
    const int bytes = format.bitsPerSample / 8;
    if (dataBytes + count * static_cast<uint64_t>(bytes) > kMaxWavDataBytes)
        fail("a WAV file holds at most 4 GiB of samples (write FLAC instead)");
    uint8_t buffer[4096];
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(count - done, sizeof buffer / static_cast<std::size_t>(bytes));
        for (std::size_t i = 0; i < n; ++i) {
            uint8_t* at = buffer + i * static_cast<std::size_t>(bytes);
            if (format.isFloat) {
                uint32_t word = 0;
                std::memcpy(&word, &interleaved[done + i], 4);
                for (int k = 0; k < 4; ++k)
                    at[k] = static_cast<uint8_t>(word >> (8 * k));
            } else {
                putPcm(at, interleaved[done + i], format.bitsPerSample);
            }
        }
        const std::size_t length = n * static_cast<std::size_t>(bytes);
        if (std::fwrite(buffer, 1, length, plain) != length)
            fail(systemError());
        done += n;
    }
    dataBytes += count * static_cast<uint64_t>(bytes);
}

void AudioWriter::finishPlain()
{
    // A file gets its real sizes; a pipe cannot go back and keeps the header.
    errno = 0;
    if (std::fflush(plain) != 0)
        fail(systemError());
    if (std::fseek(plain, 0, SEEK_SET) == 0) {
        const WavLayout layout{static_cast<uint16_t>(channelCount),
                               static_cast<uint16_t>(format.bitsPerSample), format.isFloat,
                               static_cast<uint32_t>(rate)};
        const WavHeader header = makeWavHeader(layout, static_cast<uint32_t>(dataBytes));
        if (std::fwrite(header.data(), 1, header.size(), plain) != header.size() || std::fflush(plain) != 0)
            fail(systemError());
    }
    if (plain != stdout) {
        std::FILE* f = plain;
        plain = nullptr;
        if (std::fclose(f) != 0)
            fail(systemError());
    }
    plain = nullptr;
}

void AudioWriter::commit()
{
    errno = 0;
    if (plain != nullptr) {
        finishPlain();
    } else if (file != nullptr) {
        sf_write_sync(handle(file));
        const int closed = sf_close(handle(file));
        file = nullptr;
        if (closed != 0)
            fail(errno != 0 ? systemError() : sf_error_number(closed));
    }
    if (temporary.empty())
        return;
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        fail(systemError());
    pending.reset();
}

} // namespace ovinta
