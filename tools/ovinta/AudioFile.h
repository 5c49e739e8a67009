#pragma once
// Audio files for the command-line tool, through libsndfile: reading any
// format it knows into floats, and writing 32-bit float WAV files.

#include <cstddef>
#include <string>
#include <vector>

struct AudioData {
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples; // interleaved, frames() * channels
    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

AudioData readAudioFile(const std::string& path);

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
