// The tool's help: one text per command, and the general help made of all
// of them, so that the general help lists every option of every command.

#include "tools/ovinta/Commands.h"

#include "tools/ovinta/ToolError.h"

#include <cstdio>

namespace ovinta {

namespace {

struct CommandHelp {
    const char* name;
    const char* text;
};

constexpr CommandHelp kHelp[] = {
    {"render",
     "usage: ovinta render IN OUT.wav [options]\n"
     "  Processes an audio file through the reverb, the tail included, into a\n"
     "  32-bit float WAV with one channel per output (L, R; L, R, Ls, Rs; or\n"
     "  L, R, C, Ls, Rs, with a WAVE channel mask for 4 and 5 channels).\n"
     "  --program N|NAME     factory program (default 0)\n"
     "  --set PARAM=VALUE    set a parameter as info prints it (-6dB, -6, on, 4) or raw\n"
     "                       (raw:0.5); repeatable\n"
     "  --outputs 2|4|5      output channels (default: the program's setting)\n"
     "  --rate HZ            refuse an input that is not at this rate\n"
     "  --block N            frames per process call, 1..8192 (default 512)\n"
     "  --channels A[,B]     input channels (from 1) for inputs 1 and 2; needed\n"
     "                       for inputs with more than two channels\n"
     "  --quiet              no report and no progress bar\n"},
    {"export-ir",
     "usage: ovinta export-ir --program N|NAME [options] PATH\n"
     "  Writes the program's impulse response, one mono file per output\n"
     "  (PATH1.wav, PATH2.wav, ... or .raw; a .wav or .raw ending of PATH is\n"
     "  dropped first), and lists them with their peaks.\n"
     "  --program N|NAME     factory program (required)\n"
     "  --rate 44100|48000|96000   export rate (default 44100)\n"
     "  --format wav16|wav32f|raw  file format (default wav32f)\n"
     "  --normalise on|off   scale the loudest sample to full scale (default on)\n"
     "  --outputs 2|4|5      output files (default: the program's setting)\n"
     "  --set PARAM=VALUE    set a parameter as info prints it, or raw:VALUE; repeatable\n"
     "  --quiet              no report and no progress bar\n"},
    {"info",
     "usage: ovinta info [options]\n"
     "  Lists the programs with their outputs and measured T30, or one\n"
     "  program's parameters (number, name, unit, range, raw value, display)\n"
     "  and walls.\n"
     "  --program N|NAME     show this program\n"
     "  --json               the same as JSON\n"},
    {"analyse",
     "usage: ovinta analyse FILE... [options]\n"
     "  Reverberation times (EDT, T20, T30), C50, C80, D50, centre time, first\n"
     "  arrival and decay range per channel, full band and octave bands\n"
     "  125 Hz-8 kHz. Each channel's DC offset is removed first.\n"
     "  --json               the figures as JSON\n"
     "  --plot DECAY.png     draw channel 1's decay curves and T20/T30 fits (one FILE)\n"
     "  --quiet              no progress bar\n"},
    {"help",
     "usage: ovinta help [COMMAND]   (or ovinta COMMAND --help)\n"
     "  Shows this help, or one command's.\n"
     "  --version            (as ovinta --version) the tool's version\n"},
};

} // namespace

bool printCommandHelp(const std::string& command)
{
    for (const CommandHelp& h : kHelp)
        if (command == h.name || (command == "analyze" && std::string(h.name) == "analyse")) {
            std::fputs(h.text, stdout);
            return true;
        }
    return false;
}

void printGeneralHelp(std::FILE* to)
{
    std::fputs("usage: ovinta COMMAND ...   commands: render, export-ir, info, analyse, help\n"
               "Parameters are named by number or name, programs by number or name (a\n"
               "unique beginning is enough). Errors are one line, \"ovinta: ...\".\n",
               to);
    for (const CommandHelp& h : kHelp) {
        std::fputs("\n", to);
        std::fputs(h.text, to);
    }
}

void helpCommand(const std::vector<std::string>& words)
{
    if (words.empty()) {
        printGeneralHelp(stdout);
        return;
    }
    if (words.size() > 1 || !printCommandHelp(words[0]))
        throw ToolError("no help for \"" + words[0] + "\"; the commands are render, export-ir, "
                        "info, analyse and help");
}

} // namespace ovinta
