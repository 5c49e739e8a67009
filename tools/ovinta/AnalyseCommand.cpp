// SPDX-License-Identifier: GPL-3.0-or-later
// ovinta analyse: room-acoustic figures of impulse responses, per channel,
// in full band and octave bands, as a table or as JSON, and the decay plot.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/DecayPlot.h"
#include "tools/ovinta/Json.h"
#include "tools/ovinta/Progress.h"
#include "tools/ovinta/StreamingAnalysis.h"
#include "tools/ovinta/ToolError.h"

#include <cstdio>
#include <optional>

namespace ovinta {

namespace {

constexpr double kLongestLoudSpanSeconds = 2.0;

// A figure scaled and shown with `decimals` digits after the point, or "n/a".
void cell(const std::optional<double>& value, double scale, int decimals)
{
    if (value)
        std::printf(" %8s", fixedText(*value * scale, decimals).c_str());
    else
        std::printf(" %8s", "n/a");
}

void printRow(const std::string& band, const AcousticFigures& f)
{
    std::printf("  %-8s", band.c_str());
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

void printChannel(const ChannelAnalysis& channel)
{
    std::printf("  %-8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n", "band", "EDT s", "T20 s",
                "T30 s", "C50 dB", "C80 dB", "D50", "Ts ms", "delay ms", "range dB");
    printRow("full", channel.full.figures);
    for (int b = 0; b < kOctaveBandCount; ++b)
        printRow(octaveBandName(b, false), channel.octave[b].figures);
    if (!channel.full.figures.note.empty())
        std::printf("  n/a in full band: %s\n", channel.full.figures.note.c_str());
}

// An impulse response starts loud and falls: music, speech or steady noise
// stay near their loudest for seconds.
bool looksLikeImpulseResponse(const ChannelAnalysis& channel, double fileSeconds)
{
    const BandAnalysis& full = channel.full;
    if (!full.figures.measured)
        return true; // silent: said so in the table
    const double onset = full.figures.initialDelaySeconds.value_or(0.0);
    return full.loudSpanSeconds <= kLongestLoudSpanSeconds && onset <= 0.5 * fileSeconds;
}

std::string jsonFigures(const std::string& band, const AcousticFigures& f)
{
    bool first = true;
    std::string out = "{" + json::key("band", first) + json::quote(band);
    out += json::key("measured", first) + (f.measured ? "true" : "false");
    out += json::key("edt_s", first) + json::number(f.edtSeconds);
    out += json::key("t20_s", first) + json::number(f.t20Seconds);
    out += json::key("t30_s", first) + json::number(f.t30Seconds);
    out += json::key("c50_db", first) + json::number(f.c50Db);
    out += json::key("c80_db", first) + json::number(f.c80Db);
    out += json::key("d50", first) + json::number(f.d50);
    out += json::key("centre_time_s", first) + json::number(f.centreTimeSeconds);
    out += json::key("initial_delay_s", first) + json::number(f.initialDelaySeconds);
    out += json::key("range_db", first) +
           (f.measured ? json::number(f.decayRangeDb) : std::string("null"));
    out += json::key("noise_floor_found", first) + (f.noiseFloorFound ? "true" : "false");
    out += json::key("note", first) + (f.note.empty() ? std::string("null") : json::quote(f.note));
    return out + "}";
}

std::string jsonFile(const std::string& path, const AudioReader& reader,
                     const std::vector<ChannelAnalysis>& channels)
{
    bool first = true;
    std::string out = "{" + json::key("file", first) + json::quote(path);
    out += json::key("sample_rate", first) + std::to_string(reader.sampleRate());
    out += json::key("seconds", first) +
           json::number(static_cast<double>(reader.framesRead()) / reader.sampleRate());
    out += json::key("channels", first) + "[";
    for (std::size_t c = 0; c < channels.size(); ++c) {
        bool member = true;
        out += c == 0 ? "{" : ",{";
        out += json::key("channel", member) + std::to_string(c + 1);
        out += json::key("dc_offset_removed", member) + json::number(channels[c].dcOffset);
        out += json::key("bands", member) + "[" + jsonFigures("full", channels[c].full.figures);
        for (int b = 0; b < kOctaveBandCount; ++b)
            out += "," + jsonFigures(octaveBandName(b, false), channels[c].octave[b].figures);
        out += "]}";
    }
    return out + "]}";
}

constexpr const char* kAnalyseUsage = "ovinta analyse FILE... [--json] [--plot DECAY.png] [--quiet]";

} // namespace

void analyseCommand(const std::vector<std::string>& words)
{
    Arguments args(words);
    const bool asJson = args.takeFlag("--json");
    const bool quiet = args.takeFlag("--quiet");
    const std::string plot = args.take("--plot", "");
    const auto files = args.positional(1, 10000, kAnalyseUsage);
    if (!plot.empty()) {
        requireExtension(plot, ".png");
        if (files.size() != 1)
            throw ToolError("--plot draws one file; give exactly one FILE");
    }
    std::string jsonOut = "[";
    for (std::size_t k = 0; k < files.size(); ++k) {
        const std::string& path = files[k];
        if (path == "-")
            throw ToolError("analyse reads a file several times, so not standard input; "
                            "save it to a file first");
        AudioReader reader(path);
        Progress progress("analysing", !quiet);
        const std::vector<ChannelAnalysis> channels = analyseFile(reader, progress);
        const std::string shortInput = shortFileWarning(path, reader);
        if (!shortInput.empty())
            std::fprintf(stderr, "ovinta: %s\n", shortInput.c_str());
        const double fileSeconds = static_cast<double>(reader.framesRead()) / reader.sampleRate();
        for (std::size_t c = 0; c < channels.size(); ++c)
            if (!looksLikeImpulseResponse(channels[c], fileSeconds)) {
                std::fprintf(stderr, "ovinta: warning: %s, channel %zu does not look like an "
                                     "impulse response (it stays near its loudest for seconds, "
                                     "or starts late); its figures mean little\n",
                             path.c_str(), c + 1);
                break;
            }
        const std::string cleaned = nonFiniteWarning(path, reader);
        if (!cleaned.empty())
            std::fprintf(stderr, "ovinta: %s\n", cleaned.c_str());
        if (asJson) {
            jsonOut += (k == 0 ? "" : ",") + jsonFile(path, reader, channels);
        } else {
            const double seconds = static_cast<double>(reader.framesRead()) / reader.sampleRate();
            for (std::size_t c = 0; c < channels.size(); ++c) {
                std::printf("%s, channel %zu of %zu: %d Hz, %.3f s, DC offset %s removed\n",
                            path.c_str(), c + 1, channels.size(), reader.sampleRate(), seconds,
                            fixedText(channels[c].dcOffset, 6).c_str());
                printChannel(channels[c]);
                std::printf("\n");
            }
        }
        if (!plot.empty() && !channels.empty())
            writeDecayPlot(channels[0], path.substr(path.rfind('/') + 1) + ", channel 1: energy decay", plot);
    }
    if (asJson)
        std::printf("%s]\n", jsonOut.c_str());
}

} // namespace ovinta
