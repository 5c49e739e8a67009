// SPDX-License-Identifier: GPL-3.0-or-later
// ovinta export-ir: the current program's impulse response as files.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/ExportFiles.h"
#include "tools/ovinta/InterruptCleanup.h"
#include "tools/ovinta/PluginSession.h"
#include "tools/ovinta/Progress.h"
#include "tools/ovinta/ToolError.h"

#include "audio/Exporter.h"

#include <sndfile.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace ovinta {

namespace {

constexpr const char* kUsage =
    "ovinta export-ir --program N [--rate 44100|48000|96000] [--format wav16|wav32f|raw] "
    "[--normalise on|off] [--outputs 2|4|5] [--set PARAM=VALUE ...] [--quiet] PATH";
constexpr float kWav16FullScale = 32767.0f / 32768.0f;
// The speaker of each numbered file: the exporter writes the output roles in
// the engine's order.
constexpr const char* kSpeakers[] = {"L", "R", "Ls", "Rs", "C"};

int formatNumber(const std::string& text)
{
    if (text == "wav16")
        return kExportWav16;
    if (text == "wav32f")
        return kExportWavFloat;
    if (text == "raw")
        return kExportRaw;
    throw ToolError("--format must be wav16, wav32f or raw, not \"" + text + "\"");
}

// The exporter's progress on the terminal's progress bar.
class ExportBar : public ExportProgress {
public:
    explicit ExportBar(bool wanted) : bar("exporting", wanted) {}
    void exportProgress(double fraction) override { bar.update(fraction); }
    void finish() { bar.finish(); }

private:
    Progress bar;
};

void removeAll(const std::vector<std::string>& files)
{
    for (const std::string& file : files)
        ::unlink(file.c_str());
}

} // namespace

void exportCommand(const std::vector<std::string>& words)
{
    Arguments args(words);
    if (!args.has("--program"))
        throw ToolError("usage: " + std::string(kUsage));
    const std::string program = args.take("--program", "0");
    const int rate = parseInteger(args.take("--rate", "44100"), "--rate");
    if (rate != 44100 && rate != 48000 && rate != 96000)
        throw ToolError("--rate must be 44100, 48000 or 96000");
    const int format = formatNumber(args.take("--format", "wav32f"));
    const std::string normalise = args.take("--normalise", "on");
    if (normalise != "on" && normalise != "off")
        throw ToolError("--normalise must be on or off");
    const std::string outputs = args.take("--outputs", "");
    std::vector<ParameterSetting> settings;
    for (const std::string& text : args.takeAll("--set"))
        settings.push_back(parseSetting(text));
    const bool quiet = args.takeFlag("--quiet");
    const std::string path = args.positional(1, 1, kUsage)[0];
    const std::string base = exportBase(path);

    // The instance runs at a host rate of 44.1 kHz; the exporter re-traces
    // at the export rate and restores this afterwards, as in a host.
    PluginSession session(44100.0f, kExportBlock);
    session.selectProgram(programIndex(program, session.engine().programBank().programs));
    for (const ParameterSetting& p : settings)
        session.setParameter(p.index, p.value);
    int count = session.programOutputs();
    if (!outputs.empty()) {
        count = parseInteger(outputs, "--outputs");
        if (count != 2 && count != 4 && count != 5)
            throw ToolError("--outputs must be 2, 4 or 5");
    }
    session.setOutputs(count);
    session.start();

    // The files are written under hidden names next to the targets and
    // renamed once all are complete, so a failure leaves none behind. The
    // exporter cuts the ".wav" added here and numbers the rest.
    const std::size_t slash = base.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : base.substr(0, slash + 1);
    const std::string leaf = slash == std::string::npos ? base : base.substr(slash + 1);
    const std::string hidden = folder + ".ovinta-" + std::to_string(::getpid()) + "-" + leaf;
    const char* extension = format == kExportRaw ? ".raw" : ".wav";
    for (int c = 1; c <= count; ++c)
        refuseDirectory(base + std::to_string(c) + extension);
    // Every name the exporter may create is registered before it writes.
    std::vector<std::unique_ptr<PendingFile>> pending;
    for (int c = 1; c <= Exporter::channelsFor(kOutputRoles); ++c)
        pending.push_back(std::make_unique<PendingFile>(hidden + std::to_string(c) + extension));
    Exporter exporter(session.engine(), session);
    ExportBar bar(!quiet);
    exporter.setProgressListener(&bar);
    errno = 0;
    const ExportResult result = exporter.exportImpulse(format, static_cast<float>(rate),
                                                       normalise == "on" ? 1 : 0, hidden + ".wav");
    const std::string reason = errno != 0 ? std::strerror(errno) : "unknown error";
    bar.finish();
    if (result.status == ExportResult::kOpenFailed) {
        removeAll(result.files);
        const std::string& failed = result.failedFile;
        const std::string named =
            failed.rfind(hidden, 0) == 0 ? base + failed.substr(hidden.size()) : failed;
        throw ToolError("cannot create " + named + ": " + reason);
    }
    if (result.status != ExportResult::kWritten) {
        removeAll(result.files);
        throw ToolError("writing the impulse response to " + base + "* failed: " + reason);
    }
    if (normalise == "on" && format != kExportWav16) {
        errno = 0;
        if (!scaleToFullScale(result.files, format)) {
            const std::string why = errno != 0 ? std::strerror(errno) : "unknown error";
            removeAll(result.files);
            throw ToolError("writing the impulse response to " + base + "* failed: " + why);
        }
    }
    std::vector<std::string> finals;
    for (const std::string& written : result.files)
        finals.push_back(base + written.substr(hidden.size()));
    for (std::size_t c = 0; c < result.files.size(); ++c)
        if (std::rename(result.files[c].c_str(), finals[c].c_str()) != 0) {
            const std::string why = std::strerror(errno);
            removeAll(result.files);
            throw ToolError("cannot write " + finals[c] + ": " + why);
        }

    const bool sixteen = format == kExportWav16;
    const float fullScale = 1.0f;
    for (std::size_t c = 0; c < finals.size(); ++c) {
        const float peak = filePeak(finals[c], format);
        if (sixteen && normalise == "off" && peak >= kWav16FullScale)
            std::fprintf(stderr, "ovinta: warning: %s reaches full scale; the 16-bit file clips "
                                 "(use --normalise on or wav32f)\n", finals[c].c_str());
        else if (peak > fullScale)
            std::fprintf(stderr, "ovinta: warning: %s peaks at %s, above full scale\n",
                         finals[c].c_str(), dbfsText(peak).c_str());
        const int64_t samples = result.dataBytes[c] / (sixteen ? 2 : 4);
        if (samples >= int64_t{kExportMaxBlocks} * kExportBlock)
            std::fprintf(stderr, "ovinta: warning: %s reaches the render bound of %lld samples "
                                 "(%.1f s at %d Hz) still sounding; the response goes on beyond "
                                 "it\n", finals[c].c_str(), static_cast<long long>(samples),
                         static_cast<double>(samples) / rate, rate);
        if (!quiet)
            std::printf("%s\t%s\t%lld samples\tpeak %s\n", finals[c].c_str(),
                        c < std::size(kSpeakers) ? kSpeakers[c] : "?",
                        static_cast<long long>(samples), dbfsText(peak).c_str());
    }
}

} // namespace ovinta
