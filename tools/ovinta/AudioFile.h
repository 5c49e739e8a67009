// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Audio files for the command-line tool, through libsndfile: reading any
// format it knows as floats, block by block, and the checks and texts
// around the files the tool writes (AudioWriter.h writes them).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ovinta {

// Any file libsndfile reads, read block by block as floats.
class AudioReader {
public:
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int channels() const { return channelCount; }
    int sampleRate() const { return rate; }
    int64_t frames() const { return frameCount; } // as the header says; 0 when unknown
    // Reads up to `count` interleaved frames; returns how many, 0 at the end.
    std::size_t read(float* interleaved, std::size_t count);
    // Back to the first frame (for a further pass over the file).
    void rewind();
    // Frames read since the last rewind.
    int64_t framesRead() const { return readSoFar; }
    // The warning for a file cut short of its header's length; empty if whole.
    const std::string& truncationNote() const { return truncation; }
    // Samples that were NaN or infinite, read as 0; each counted once however
    // often the file is read again.
    int64_t nonFiniteSamples() const { return nonFinite; }

private:
    std::string path;
    void* file = nullptr; // SNDFILE*
    int channelCount = 0;
    int rate = 0;
    int64_t frameCount = 0;
    int64_t readSoFar = 0;
    int64_t countedUpTo = 0; // frames already checked for NaN and infinity
    int64_t nonFinite = 0;
    std::string truncation;
};

// The warning line for a file that is shorter than its header claims, or
// that ended before the frames reported; an empty text when neither.
std::string shortFileWarning(const std::string& path, const AudioReader& reader);
// The warning for NaN or infinite samples read as 0; empty when none.
std::string nonFiniteWarning(const std::string& path, const AudioReader& reader);

// The WAVE order of the tool's outputs. The engine's outputs are L, R, Ls,
// Rs, C; a WAVE file with a channel mask stores its channels in the order of
// the mask's bits: front left, front right, front centre, back left, back
// right. So a five-channel file holds L, R, C, Ls, Rs, and a four-channel
// one L, R, Ls, Rs (front and back pairs). Returns the output index for
// file channel `fileChannel`.
int outputForFileChannel(int channels, int fileChannel);

// The folder of a path ("." for a bare name) and its last component.
std::string folderOf(const std::string& path);
std::string leafOf(const std::string& path);

// Refuses (ToolError) an output name that does not end in `extension`
// (".wav", ".png"; any case) after a non-empty name.
void requireExtension(const std::string& path, const std::string& extension);
void requireWavName(const std::string& path);
// Refuses (ToolError) an output path that names an existing directory.
void refuseDirectory(const std::string& path);
// True when both paths name one existing file (same device and inode).
bool sameFile(const std::string& a, const std::string& b);
// Refuses (ToolError) an output path that names one of the inputs.
void refuseOverwrite(const std::string& output, const std::vector<std::string>& inputs);
// `value` with `decimals` digits after the point, never "-0.0": a value
// that rounds to zero shows as zero. The signed form adds "+" to positive
// values ("+1.5", "0.0", "-1.5").
std::string fixedText(double value, int decimals);
std::string signedFixedText(double value, int decimals);
// The peak as dBFS text ("-3.2 dBFS", "0.0 dBFS", "+0.4 dBFS", "-inf dBFS").
std::string dbfsText(float peak);

} // namespace ovinta
