// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The audio files `render` writes: WAV (16-, 24-, 32-bit integer or 32-bit
// float, the default) or FLAC (16 or 24 bits), block by block, into a
// temporary file next to the target that commit() renames to the target.
// Destroyed uncommitted, or interrupted by a signal, the temporary file is
// removed, so a failed write leaves no file behind. "-" writes to standard
// output instead, as it goes.
//
// Mono and stereo WAV files are plain WAV written here: a float file's fmt
// chunk carries cbSize, as a non-PCM format's must. Four- and five-channel
// WAV files are WAVE_FORMAT_EXTENSIBLE with the channel mask of
// outputForFileChannel's order (through libsndfile), and so is FLAC.

#include "tools/ovinta/InterruptCleanup.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace ovinta {

struct OutputFormat {
    bool flac = false;      // FLAC, else WAV
    int bitsPerSample = 32; // 16, 24, 32
    bool isFloat = true;    // 32-bit float (WAV only)
};

// The format for `path` and the --format text (empty: from the ending,
// .wav 32-bit float, .flac 24-bit). Texts: wav16, wav24, wav32, wav32f,
// flac16, flac24; "-" (standard output) takes any, WAV by default. A
// --format that contradicts the ending, or an unknown ending, is refused.
OutputFormat outputFormatFor(const std::string& path, const std::string& formatText);
// "32-bit float WAV", "24-bit FLAC", ...
std::string describeFormat(const OutputFormat& format);

class AudioWriter {
public:
    AudioWriter(const std::string& path, int channels, int sampleRate, const OutputFormat& format = {});
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* interleaved, std::size_t frames);
    void commit();
    float peak() const { return loudest; } // of the samples given, before any clipping

private:
    void openPlainWav(int fd);
    void openWithLibsndfile(int fd);
    void writePlain(const float* interleaved, std::size_t count);
    void finishPlain();
    void discard();
    [[noreturn]] void fail(const std::string& reason);

    std::string path, temporary;        // temporary empty for standard output
    std::optional<PendingFile> pending; // the temporary, removed if the tool is interrupted
    OutputFormat format;
    int channelCount = 0, rate = 0;
    void* file = nullptr;       // SNDFILE*, or null for plain WAV
    std::FILE* plain = nullptr; // plain WAV
    uint64_t dataBytes = 0;     // plain WAV: sample bytes written
    float loudest = 0.0f;
};

} // namespace ovinta
