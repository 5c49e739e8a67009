// ovinta render: an audio file through the reverb, tail included.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/EngineSession.h"
#include "tools/ovinta/Progress.h"
#include "tools/ovinta/ToolError.h"

#include "plugin/Parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* kUsage =
    "ovinta render IN OUT [--program N|NAME] [--set PARAM=VALUE ...] [--outputs 2|4|5] "
    "[--rate HZ] [--block N]";
constexpr float kTailSilence = 3.1623e-5f;  // -90 dBFS
constexpr double kTailQuietSeconds = 1.0;   // the tail ends after this long below it
constexpr double kTailLimitSeconds = 30.0;  // and is never longer than this
constexpr int kMaxBlock = 8192;

struct RenderSettings {
    std::string input, output;
    std::string program = "0";
    std::vector<ParameterSetting> settings;
    int outputs = 0; // 0: as the program says
    int rate = 0;    // 0: the input's rate
    int block = 512;
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
    const std::string rate = args.take("--rate", "");
    if (!rate.empty())
        s.rate = parseInteger(rate, "--rate");
    s.block = parseInteger(args.take("--block", "512"), "--block");
    if (s.block < 1 || s.block > kMaxBlock)
        throw ToolError("--block must be 1.." + std::to_string(kMaxBlock));
    const auto files = args.positional(2, 2, kUsage);
    s.input = files[0];
    s.output = files[1];
    return s;
}

// Runs the input and then silence through the session until the tail has
// decayed, handing each block's interleaved outputs to the writer.
std::size_t renderBlocks(EngineSession& session, const AudioData& in, int outputs, int block,
                         AudioWriter& writer)
{
    std::vector<float> inputs[2] = {std::vector<float>(block), std::vector<float>(block)};
    std::vector<float> hostOut[kOutputChannelCapacity];
    float* inPtr[2] = {inputs[0].data(), inputs[1].data()};
    float* outPtr[kOutputChannelCapacity];
    for (int c = 0; c < kOutputChannelCapacity; ++c) {
        hostOut[c].assign(block, 0.0f);
        outPtr[c] = hostOut[c].data();
    }
    std::vector<float> interleaved(static_cast<std::size_t>(block) * outputs);
    const std::size_t frames = in.frames();
    const auto quietLimit = static_cast<std::size_t>(kTailQuietSeconds * in.sampleRate);
    const auto tailLimit = static_cast<std::size_t>(kTailLimitSeconds * in.sampleRate);
    std::size_t done = 0, quiet = 0;
    Progress progress("rendering");
    while (done < frames || (quiet < quietLimit && done - frames < tailLimit)) {
        const int count = static_cast<int>(
            done < frames ? std::min<std::size_t>(block, frames - done) : block);
        for (int i = 0; i < count; ++i) {
            const std::size_t frame = done + i;
            const bool inside = frame < frames;
            const float* at = inside ? &in.samples[frame * in.channels] : nullptr;
            inputs[0][i] = inside ? at[0] : 0.0f;
            inputs[1][i] = inside ? at[in.channels > 1 ? 1 : 0] : 0.0f; // mono feeds both
        }
        for (auto& channel : hostOut)
            std::fill(channel.begin(), channel.end(), 0.0f);
        session.process(inPtr, outPtr, count);
        for (int i = 0; i < count; ++i) {
            bool loud = false;
            for (int c = 0; c < outputs; ++c) {
                const float v = hostOut[c][i];
                interleaved[static_cast<std::size_t>(i) * outputs + c] = v;
                loud |= std::fabs(v) >= kTailSilence;
            }
            quiet = loud ? 0 : quiet + 1;
        }
        writer.write(interleaved.data(), static_cast<std::size_t>(count));
        done += static_cast<std::size_t>(count);
        progress.update(frames > 0 ? static_cast<double>(done) / static_cast<double>(frames) : 1.0);
    }
    progress.finish();
    return done;
}

} // namespace

void renderCommand(const std::vector<std::string>& words)
{
    const RenderSettings s = parseRender(words);
    refuseOverwrite(s.output, {s.input});
    const AudioData in = readAudioFile(s.input);
    if (s.rate != 0 && s.rate != in.sampleRate)
        throw ToolError(s.input + " is at " + std::to_string(in.sampleRate) + " Hz, not " +
                        std::to_string(s.rate) + " Hz; convert it first (render never resamples)");
    EngineSession session(static_cast<float>(in.sampleRate));
    session.selectProgram(programIndex(s.program, session.engine().bank.programs));
    for (const ParameterSetting& p : s.settings)
        session.setParameter(p.index, p.value);
    const int outputs = s.outputs != 0 ? s.outputs : session.programOutputs();
    session.setOutputs(outputs);
    session.start();

    AudioWriter writer(s.output, outputs, in.sampleRate);
    const std::size_t frames = renderBlocks(session, in, outputs, s.block, writer);
    writer.close();
    std::printf("%s: %d channels, %d Hz, %.2f s (input %.2f s)\n", s.output.c_str(), outputs,
                in.sampleRate, static_cast<double>(frames) / in.sampleRate,
                static_cast<double>(in.frames()) / in.sampleRate);
}
