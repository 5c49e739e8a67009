// SPDX-License-Identifier: GPL-3.0-or-later
// libsndfile reading and float WAV writing for the tool.

#include "tools/ovinta/AudioFile.h"

#include "tools/ovinta/ToolError.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ovinta {

namespace {

SNDFILE* handle(void* file) { return static_cast<SNDFILE*>(file); }

std::string systemError() { return errno != 0 ? std::strerror(errno) : "unknown error"; }

// Headerless samples say nothing of their rate, channels or encoding.
std::string rawHint(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    std::string ending = dot == std::string::npos ? "" : path.substr(dot);
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == ".raw" ? "; a headerless .raw file needs a header first, e.g. "
                              "sox -t f32 -r 48000 -c 1 FILE.raw FILE.wav"
                            : "";
}

} // namespace

AudioReader::AudioReader(const std::string& pathIn) : path(pathIn)
{
    // The file itself first: libsndfile's own message for a missing or
    // unreadable file is vague, and errno after a failed sf_open may come
    // from any of its probes.
    SF_INFO info{};
    if (path == "-") {
        file = sf_open_fd(STDIN_FILENO, SFM_READ, &info, SF_FALSE);
        if (file == nullptr)
            throw ToolError(std::string("cannot read standard input: not a sound file libsndfile "
                                        "reads from a pipe (") + sf_strerror(nullptr) + ")");
    } else {
        struct stat status {};
        errno = 0;
        if (::stat(path.c_str(), &status) != 0 || ::access(path.c_str(), R_OK) != 0)
            throw ToolError("cannot read " + path + ": " + systemError());
        if (S_ISDIR(status.st_mode))
            throw ToolError("cannot read " + path + ": it is a directory");
        file = sf_open(path.c_str(), SFM_READ, &info);
    }
    if (file == nullptr)
        throw ToolError("cannot read " + path + ": not a sound file libsndfile reads (" +
                        sf_strerror(nullptr) + ")" + rawHint(path));
    if (info.channels <= 0 || info.samplerate <= 0) {
        sf_close(handle(file));
        file = nullptr;
        throw ToolError(path + " has no usable audio (channels or rate)");
    }
    channelCount = info.channels;
    rate = info.samplerate;
    frameCount = info.frames > 0 ? info.frames : 0;
    // libsndfile reads a cut file up to its real end and notes in its log
    // the data length the header claimed: "data : 176600 (should be 172600)".
    char log[4096] = {};
    sf_command(handle(file), SFC_GET_LOG_INFO, log, sizeof log);
    const char* data = std::strstr(log, "data : ");
    long long claimed = 0, present = 0;
    if (data != nullptr &&
        std::sscanf(data, "data : %lld (should be %lld)", &claimed, &present) == 2 &&
        present < claimed)
        truncation = "warning: " + path + " is shorter than its header claims (" +
                     std::to_string(claimed) + " bytes of audio claimed, " +
                     std::to_string(present) + " present); reading what is there";
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
    if (got <= 0)
        return 0;
    const auto channels = static_cast<std::size_t>(channelCount);
    for (std::size_t i = 0; i < static_cast<std::size_t>(got) * channels; ++i)
        if (!std::isfinite(interleaved[i])) {
            interleaved[i] = 0.0f;
            if (readSoFar + static_cast<int64_t>(i / channels) >= countedUpTo)
                ++nonFinite;
        }
    readSoFar += got;
    countedUpTo = std::max(countedUpTo, readSoFar);
    return static_cast<std::size_t>(got);
}

void AudioReader::rewind()
{
    if (path == "-")
        throw ToolError("standard input can be read only once; give a file name instead");
    if (sf_seek(handle(file), 0, SEEK_SET) != 0)
        throw ToolError("cannot go back to the start of " + path + ": " +
                        sf_strerror(handle(file)));
    readSoFar = 0;
}

std::string shortFileWarning(const std::string& path, const AudioReader& reader)
{
    if (!reader.truncationNote().empty())
        return reader.truncationNote();
    if (reader.framesRead() >= reader.frames())
        return {};
    return "warning: " + path + " ends after " + std::to_string(reader.framesRead()) +
           " frames; its header claims " + std::to_string(reader.frames());
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string leafOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string nonFiniteWarning(const std::string& path, const AudioReader& reader)
{
    if (reader.nonFiniteSamples() == 0)
        return {};
    return "warning: " + path + " holds " + std::to_string(reader.nonFiniteSamples()) +
           " NaN or infinite samples; they were read as 0";
}

int outputForFileChannel(int channels, int fileChannel)
{
    // File order L, R, C, Ls, Rs from the outputs L, R, Ls, Rs, C.
    static constexpr int kFiveChannels[5] = {0, 1, 4, 2, 3};
    return channels == 5 ? kFiveChannels[fileChannel] : fileChannel;
}

void requireExtension(const std::string& path, const std::string& extension)
{
    const std::string leaf = leafOf(path);
    const std::size_t dot = leaf.rfind('.');
    std::string given = dot == std::string::npos || dot == 0 ? "" : leaf.substr(dot);
    for (char& c : given)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (given != extension)
        throw ToolError("the output " + path + " must be a " + extension + " file");
}

void refuseDirectory(const std::string& path)
{
    struct stat s {};
    if (::stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode))
        throw ToolError("the output " + path + " is a directory; give a file name");
}

void requireWavName(const std::string& path) { requireExtension(path, ".wav"); }

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

std::string fixedText(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    // A value that rounds to zero is zero, whatever its sign was.
    if (text[0] == '-' && std::strspn(text + 1, "0.") == std::strlen(text + 1))
        return text + 1;
    return text;
}

std::string signedFixedText(double value, int decimals)
{
    const std::string text = fixedText(value, decimals);
    return text[0] == '-' || text.find_first_not_of("0.") == std::string::npos ? text
                                                                              : "+" + text;
}

std::string dbfsText(float peak)
{
    if (!(peak > 0.0f))
        return "-inf dBFS";
    return signedFixedText(20.0 * std::log10(static_cast<double>(peak)), 1) + " dBFS";
}

} // namespace ovinta
