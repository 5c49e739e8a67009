// SPDX-License-Identifier: GPL-3.0-or-later
// ovinta render: an audio file through the reverb, tail included.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/AudioWriter.h"
#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/PluginSession.h"
#include "tools/ovinta/Progress.h"
#include "tools/ovinta/ToolError.h"

#include "model/OvintaProgram.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace ovinta {

namespace {

constexpr const char* kUsage =
    "ovinta render IN OUT.wav|OUT.flac [--program N|NAME] [--set PARAM=VALUE ...] "
    "[--outputs 2|4|5] [--format wav16|wav24|wav32|wav32f|flac16|flac24] "
    "[--rate HZ] [--block N] [--channels A[,B]] [--max-tail SECONDS] [--quiet]";
constexpr float kTailSilence = 3.1623e-5f;  // -90 dBFS
constexpr double kTailQuietSeconds = 1.0;   // the tail ends after this long below it
constexpr double kTailLimitSeconds = 30.0;  // and is never longer than this (--max-tail)
constexpr double kMaxTailLimitSeconds = 3600.0;
constexpr int kMaxBlock = 8192;

struct RenderSettings {
    std::string input, output;
    std::string program = "0";
    std::string format;          // --format; empty: from the output's ending
    std::vector<ParameterSetting> settings;
    int outputs = 0; // 0: as the program says
    int rate = 0;    // 0: the input's rate
    int block = 512;
    std::vector<int> channels; // input channels (from 1) for inputs 1 and 2; empty: automatic
    double maxTailSeconds = kTailLimitSeconds;
    bool quiet = false;
};

struct RenderTotals {
    std::size_t inputFrames = 0, frames = 0;
    bool tailCut = false; // the tail reached maxTailSeconds still sounding
};

RenderSettings parseRender(const std::vector<std::string>& words)
{
    Arguments args(words);
    RenderSettings s;
    s.program = args.take("--program", "0");
    for (const std::string& text : args.takeAll("--set"))
        s.settings.push_back(parseSetting(text));
    const std::string outputs = args.take("--outputs", "");
    if (!outputs.empty()) {
        s.outputs = parseInteger(outputs, "--outputs");
        if (s.outputs != 2 && s.outputs != 4 && s.outputs != 5)
            throw ToolError("--outputs must be 2, 4 or 5");
    }
    s.format = args.take("--format", "");
    const std::string rate = args.take("--rate", "");
    if (!rate.empty())
        s.rate = parseInteger(rate, "--rate");
    s.block = parseInteger(args.take("--block", "512"), "--block");
    if (s.block < 1 || s.block > kMaxBlock)
        throw ToolError("--block must be 1.." + std::to_string(kMaxBlock));
    const std::string channels = args.take("--channels", "");
    if (!channels.empty())
        s.channels = parseChannelPick(channels);
    s.maxTailSeconds = parseValue(args.take("--max-tail", "30"), "--max-tail");
    if (!(s.maxTailSeconds >= 0.0 && s.maxTailSeconds <= kMaxTailLimitSeconds))
        throw ToolError("--max-tail must be 0.." + std::to_string(int(kMaxTailLimitSeconds)) +
                        " seconds");
    s.quiet = args.takeFlag("--quiet");
    const auto files = args.positional(2, 2, kUsage);
    s.input = files[0];
    s.output = files[1];
    return s;
}

// The host's buffers for one block: two inputs, six outputs.
struct HostBuffers {
    explicit HostBuffers(int block)
    {
        for (int c = 0; c < kInputChannelCapacity; ++c) {
            in[c].assign(block, 0.0f);
            inPtr[c] = in[c].data();
        }
        for (int c = 0; c < kOutputChannelCapacity; ++c) {
            out[c].assign(block, 0.0f);
            outPtr[c] = out[c].data();
        }
    }
    std::vector<float> in[kInputChannelCapacity], out[kOutputChannelCapacity];
    float* inPtr[kInputChannelCapacity];
    float* outPtr[kOutputChannelCapacity];
};

// Reads the next block of the input into the two host inputs from the
// input channels `pick` (from 0); zeros from the input's end on. Returns the
// frames read.
std::size_t readBlock(AudioReader& reader, std::vector<float>& scratch, HostBuffers& host,
                      int block, const int pick[2])
{
    const int channels = reader.channels();
    const std::size_t got = reader.read(scratch.data(), static_cast<std::size_t>(block));
    for (int i = 0; i < block; ++i) {
        const bool inside = static_cast<std::size_t>(i) < got;
        const float* frame = &scratch[static_cast<std::size_t>(i) * channels];
        host.in[0][i] = inside ? frame[pick[0]] : 0.0f;
        host.in[1][i] = inside ? frame[pick[1]] : 0.0f;
    }
    return got;
}

// Runs the input and then silence through the session until the output has
// stayed quiet for kTailQuietSeconds (or the tail reached its limit),
// writing each block's outputs interleaved.
RenderTotals renderBlocks(PluginSession& session, AudioReader& reader, const RenderSettings& s,
                          const int pick[2], int outputs, AudioWriter& writer)
{
    const int block = s.block;
    HostBuffers host(block);
    std::vector<float> scratch(static_cast<std::size_t>(block) * reader.channels());
    std::vector<float> interleaved(static_cast<std::size_t>(block) * outputs);
    const auto quietLimit = static_cast<std::size_t>(kTailQuietSeconds * reader.sampleRate());
    const auto tailLimit = static_cast<std::size_t>(s.maxTailSeconds * reader.sampleRate());
    const double expected = static_cast<double>(std::max<int64_t>(reader.frames(), 1));
    std::size_t inputFrames = 0, done = 0, quietFrames = 0;
    bool inputEnded = false;
    Progress progress("rendering", !s.quiet);
    while (!inputEnded || (quietFrames < quietLimit && done - inputFrames < tailLimit)) {
        std::size_t count = static_cast<std::size_t>(block);
        if (!inputEnded) {
            const std::size_t got = readBlock(reader, scratch, host, block, pick);
            inputFrames += got;
            inputEnded = got < count;
            if (got == 0)
                continue; // the input ended on a block boundary: go on with the tail
            count = got;
        } else {
            // The tail is the room's answer to silence.
            for (auto& channel : host.in)
                std::fill(channel.begin(), channel.end(), 0.0f);
        }
        for (auto& channel : host.out)
            std::fill(channel.begin(), channel.end(), 0.0f);
        session.process(host.inPtr, host.outPtr, static_cast<int>(count));
        for (std::size_t i = 0; i < count; ++i) {
            bool loud = false;
            for (int c = 0; c < outputs; ++c) {
                const float v = host.out[outputForFileChannel(outputs, c)][i];
                interleaved[i * outputs + c] = v;
                loud |= std::fabs(v) >= kTailSilence;
            }
            quietFrames = loud ? 0 : quietFrames + 1;
        }
        writer.write(interleaved.data(), count);
        done += count;
        progress.update(static_cast<double>(done) / expected,
                        static_cast<double>(done) / reader.sampleRate());
    }
    progress.finish();
    return {inputFrames, done, quietFrames < quietLimit};
}

} // namespace

void renderCommand(const std::vector<std::string>& words)
{
    const RenderSettings s = parseRender(words);
    refuseOverwrite(s.output, {s.input});
    const OutputFormat format = outputFormatFor(s.output, s.format);
    AudioReader reader(s.input);
    if (s.rate != 0 && s.rate != reader.sampleRate())
        throw ToolError(s.input + " is at " + std::to_string(reader.sampleRate()) + " Hz, not " +
                        std::to_string(s.rate) + " Hz; convert it first (render never resamples)");
    int pick[2] = {0, reader.channels() > 1 ? 1 : 0};
    if (!s.channels.empty()) {
        for (int k = 0; k < 2; ++k) {
            if (s.channels[k] > reader.channels())
                throw ToolError("--channels " + std::to_string(s.channels[k]) + ": " + s.input +
                                " has " + std::to_string(reader.channels()) + " channels");
            pick[k] = s.channels[k] - 1;
        }
    } else if (reader.channels() > 2) {
        throw ToolError(s.input + " has " + std::to_string(reader.channels()) +
                        " channels; the reverb takes one or two: choose them with --channels A,B");
    }
    PluginSession session(static_cast<float>(reader.sampleRate()), s.block);
    const OvintaProgram* programs = session.engine().programBank().programs;
    const int program = programIndex(s.program, programs);
    session.selectProgram(program);
    for (const ParameterSetting& p : s.settings)
        session.setParameter(p.index, p.value);
    const int outputs = s.outputs != 0 ? s.outputs : session.programOutputs();
    session.setOutputs(outputs);
    session.start();

    AudioWriter writer(s.output, outputs, reader.sampleRate(), format);
    const RenderTotals totals = renderBlocks(session, reader, s, pick, outputs, writer);
    writer.commit();
    const std::string shortInput = shortFileWarning(s.input, reader);
    if (!shortInput.empty())
        std::fprintf(stderr, "ovinta: %s\n", shortInput.c_str());
    const std::string cleaned = nonFiniteWarning(s.input, reader);
    if (!cleaned.empty())
        std::fprintf(stderr, "ovinta: %s\n", cleaned.c_str());
    if (totals.tailCut)
        std::fprintf(stderr, "ovinta: warning: the tail was cut at the %g s limit while still "
                             "above -90 dBFS (see --max-tail)\n", s.maxTailSeconds);
    const std::size_t inputFrames = totals.inputFrames, frames = totals.frames;
    if (writer.peak() > 1.0f)
        std::fprintf(stderr, "ovinta: warning: %s peaks at %s, above full scale\n",
                     s.output.c_str(), dbfsText(writer.peak()).c_str());
    if (s.quiet)
        return;
    const double rate = reader.sampleRate();
    // With the audio on standard output, the report goes to standard error.
    std::fprintf(s.output == "-" ? stderr : stdout,
                 "%s: program %d (%s), %d channels%s, %s, %d Hz, %.2f s (input %.2f s), peak %s\n",
                 s.output == "-" ? "standard output" : s.output.c_str(), program,
                 std::string(programs[program].name,
                             strnlen(programs[program].name, kProgramNameSize)).c_str(),
                 outputs, outputs == 5 ? " (L, R, C, Ls, Rs)" : "", describeFormat(format).c_str(),
                 reader.sampleRate(), static_cast<double>(frames) / rate,
                 static_cast<double>(inputFrames) / rate, dbfsText(writer.peak()).c_str());
}

} // namespace ovinta
