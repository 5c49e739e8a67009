// ovinta export-ir: the current program's impulse response as files.

#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/PluginSession.h"
#include "tools/ovinta/Progress.h"
#include "tools/ovinta/ToolError.h"

#include "audio/Exporter.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "ovinta export-ir --program N [--rate 44100|48000|96000] [--format wav16|wav32f|raw] "
    "[--normalise on|off] [--outputs 2|4|5] [--set PARAM=VALUE ...] PATH";

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
    void exportProgress(double fraction) override { bar.update(fraction); }
    void finish() { bar.finish(); }

private:
    Progress bar{"exporting"};
};

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
    const std::string path = args.positional(1, 1, kUsage)[0];

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

    Exporter exporter(session.engine(), session);
    ExportBar bar;
    exporter.setProgressListener(&bar);
    const ExportResult result =
        exporter.exportImpulse(format, static_cast<float>(rate), normalise == "on" ? 1 : 0, path);
    bar.finish();
    if (result.status == ExportResult::kOpenFailed)
        throw ToolError("cannot create " + result.failedFile);
    if (result.status != ExportResult::kWritten)
        throw ToolError("writing the impulse response to " + Exporter::baseName(path) +
                        "* failed");
    for (std::size_t c = 0; c < result.files.size(); ++c)
        std::printf("%s\t%lld samples\n", result.files[c].c_str(),
                    static_cast<long long>(result.dataBytes[c] / (format == kExportWav16 ? 2 : 4)));
}
