// libsndfile reading and float WAV writing for the tool.

#include "tools/ovinta/AudioFile.h"

#include "tools/ovinta/ToolError.h"

#include <sndfile.h>
#include <sys/stat.h>

namespace {

constexpr sf_count_t kMaxFrames = sf_count_t{1} << 31; // about 12 hours at 48 kHz

SNDFILE* handle(void* file) { return static_cast<SNDFILE*>(file); }

} // namespace

AudioData readAudioFile(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        throw ToolError("cannot read " + path + ": " + sf_strerror(nullptr));
    AudioData data;
    if (info.channels <= 0 || info.samplerate <= 0 || info.frames < 0 || info.frames > kMaxFrames) {
        sf_close(file);
        throw ToolError(path + " has no usable audio (channels, rate or length)");
    }
    data.channels = info.channels;
    data.sampleRate = info.samplerate;
    data.samples.resize(static_cast<std::size_t>(info.frames) * info.channels);
    const sf_count_t got = sf_readf_float(file, data.samples.data(), info.frames);
    sf_close(file);
    data.samples.resize(static_cast<std::size_t>(got < 0 ? 0 : got) * info.channels);
    return data;
}

AudioReader::AudioReader(const std::string& pathIn) : path(pathIn)
{
    SF_INFO info{};
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        throw ToolError("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels <= 0 || info.samplerate <= 0) {
        sf_close(handle(file));
        file = nullptr;
        throw ToolError(path + " has no usable audio (channels or rate)");
    }
    channelCount = info.channels;
    rate = info.samplerate;
    frameCount = info.frames > 0 ? info.frames : 0;
}

AudioReader::~AudioReader()
{
    if (file != nullptr)
        sf_close(handle(file));
}

std::size_t AudioReader::read(float* interleaved, std::size_t count)
{
    const auto wanted = static_cast<sf_count_t>(count);
    const sf_count_t got = sf_readf_float(handle(file), interleaved, wanted);
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

AudioWriter::AudioWriter(const std::string& pathIn, int channels, int sampleRate) : path(pathIn)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        throw ToolError("cannot write " + path + ": " + sf_strerror(nullptr));
}

AudioWriter::~AudioWriter()
{
    if (file != nullptr)
        sf_close(handle(file));
}

void AudioWriter::write(const float* interleaved, std::size_t frames)
{
    const auto count = static_cast<sf_count_t>(frames);
    if (sf_writef_float(handle(file), interleaved, count) != count)
        throw ToolError("writing " + path + " failed: " + sf_strerror(handle(file)));
}

void AudioWriter::close()
{
    if (file != nullptr && sf_close(handle(file)) != 0) {
        file = nullptr;
        throw ToolError("closing " + path + " failed");
    }
    file = nullptr;
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa {};
    struct stat sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void refuseOverwrite(const std::string& output, const std::vector<std::string>& inputs)
{
    for (const std::string& input : inputs)
        if (sameFile(output, input))
            throw ToolError("refusing to overwrite the input " + input + " with the output");
}
