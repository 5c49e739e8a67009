// ovinta: the reverb on the command line. Renders audio files through it,
// exports impulse responses, shows programs and parameters, and analyses
// impulse responses.

#include "tools/ovinta/Commands.h"
#include "tools/ovinta/ToolError.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr const char* kHelp =
    "usage: ovinta COMMAND ...\n"
    "  render IN OUT [--program N|NAME] [--set PARAM=VALUE ...] [--outputs 2|4|5]\n"
    "                [--rate HZ] [--block N]\n"
    "      process an audio file through the reverb, tail included (32-bit float WAV)\n"
    "  export-ir --program N [--rate 44100|48000|96000] [--format wav16|wav32f|raw]\n"
    "                [--normalise on|off] [--outputs 2|4|5] PATH\n"
    "      write the impulse response, one mono file per output (PATH1.wav, PATH2.wav, ...)\n"
    "  info [--program N|NAME]\n"
    "      list the programs, or one program's parameters, display texts and walls\n"
    "  analyse FILE...\n"
    "      reverberation times, clarity, definition and centre time per channel and octave\n"
    "Parameters are named by number or host name, programs by number or name.\n";

int run(const std::string& command, const std::vector<std::string>& words)
{
    if (command == "render")
        renderCommand(words);
    else if (command == "export-ir")
        exportCommand(words);
    else if (command == "info")
        infoCommand(words);
    else if (command == "analyse" || command == "analyze")
        analyseCommand(words);
    else if (command == "make-demo-signal")
        demoSignalCommand(words);
    else if (command == "help" || command == "--help" || command == "-h")
        std::fputs(kHelp, stdout);
    else
        throw ToolError("unknown command \"" + command + "\" (try ovinta help)");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    try {
        return run(argv[1], std::vector<std::string>(argv + 2, argv + argc));
    } catch (const ToolError& e) {
        std::fprintf(stderr, "ovinta: %s\n", e.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "ovinta: out of memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ovinta: %s\n", e.what());
    }
    return 1;
}
