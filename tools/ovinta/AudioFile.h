#pragma once
// Audio files for the command-line tool, through libsndfile: reading any
// format it knows into floats, and writing 32-bit float WAV files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct AudioData {
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples; // interleaved, frames() * channels
    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

AudioData readAudioFile(const std::string& path);

// Any file libsndfile reads, read block by block as floats.
class AudioReader {
public:
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int channels() const { return channelCount; }
    int sampleRate() const { return rate; }
    int64_t frames() const { return frameCount; } // as the header says; may be 0 when unknown
    // Reads up to `count` interleaved frames; returns how many, 0 at the end.
    std::size_t read(float* interleaved, std::size_t count);

private:
    std::string path;
    void* file = nullptr; // SNDFILE*
    int channelCount = 0;
    int rate = 0;
    int64_t frameCount = 0;
};

// A float WAV written block by block; the file is complete after close().
class AudioWriter {
public:
    AudioWriter(const std::string& path, int channels, int sampleRate);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* interleaved, std::size_t frames);
    void close();

private:
    std::string path;
    void* file = nullptr; // SNDFILE*
};

// True when both paths name one existing file (same device and inode).
bool sameFile(const std::string& a, const std::string& b);
// Refuses (ToolError) an output path that names one of the inputs.
void refuseOverwrite(const std::string& output, const std::vector<std::string>& inputs);
