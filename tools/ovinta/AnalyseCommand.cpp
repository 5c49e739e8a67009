// ovinta analyse: room-acoustic figures of impulse responses, per channel,
// in full band and octave bands.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/ToolError.h"

#include "dsp/RoomAcoustics.h"

#include <cstdio>
#include <optional>

namespace {

constexpr const char* kUsage = "ovinta analyse FILE...";

// A figure scaled and shown with `decimals` digits after the point, or "n/a".
void cell(const std::optional<double>& value, double scale, int decimals)
{
    if (value)
        std::printf(" %8.*f", decimals, *value * scale);
    else
        std::printf(" %8s", "n/a");
}

void printRow(const char* band, const AcousticFigures& f)
{
    std::printf("  %-8s", band);
    if (!f.measured) {
        std::printf(" %8s\n", "silent");
        return;
    }
    cell(f.edtSeconds, 1.0, 2);
    cell(f.t20Seconds, 1.0, 2);
    cell(f.t30Seconds, 1.0, 2);
    cell(f.c50Db, 1.0, 1);
    cell(f.c80Db, 1.0, 1);
    cell(f.d50, 1.0, 2);
    cell(f.centreTimeSeconds, 1000.0, 0);
    cell(f.initialDelaySeconds, 1000.0, 1);
    std::printf(" %8.0f\n", f.decayRangeDb);
}

void printChannel(const ChannelFigures& figures)
{
    std::printf("  %-8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n", "band", "EDT s", "T20 s",
                "T30 s", "C50 dB", "C80 dB", "D50", "Ts ms", "delay ms", "range dB");
    printRow("full", figures.fullBand);
    for (int b = 0; b < kOctaveBandCount; ++b) {
        char band[16];
        const double hz = kOctaveCentresHz[b];
        if (hz >= 1000.0)
            std::snprintf(band, sizeof band, "%gk", hz / 1000.0);
        else
            std::snprintf(band, sizeof band, "%g", hz);
        printRow(band, figures.octave[b]);
    }
}

} // namespace

void analyseCommand(const std::vector<std::string>& words)
{
    Arguments args(words);
    const auto files = args.positional(1, 10000, kUsage);
    for (const std::string& path : files) {
        const AudioData audio = readAudioFile(path);
        const std::size_t frames = audio.frames();
        for (int c = 0; c < audio.channels; ++c) {
            std::vector<float> channel(frames);
            for (std::size_t i = 0; i < frames; ++i)
                channel[i] = audio.samples[i * audio.channels + c];
            std::printf("%s, channel %d of %d: %d Hz, %.3f s\n", path.c_str(), c + 1,
                        audio.channels, audio.sampleRate,
                        static_cast<double>(frames) / audio.sampleRate);
            printChannel(analyseChannel(channel.data(), frames, audio.sampleRate));
            std::printf("\n");
        }
    }
}
