// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's help: one text per command, and the general help made of all
// of them, so that the general help lists every option of every command.
// The manual page (ovinta.1, made at build time by the hidden --help-man) is
// written from the same texts, so the two cannot drift apart.

#include "tools/ovinta/Commands.h"

#include "base/Version.h"
#include "tools/ovinta/ToolError.h"

#include <cstdio>
#include <string_view>

namespace ovinta {

namespace {

constexpr const char* kGeneralHelp =
    "usage: ovinta COMMAND ...   commands: render, export-ir, info, analyse, help\n"
    "Parameters are named by number or name, programs by number or name (a\n"
    "unique beginning or part is enough). -q, -p, -s stand for --quiet,\n"
    "--program, --set. Errors are one line, \"ovinta: ...\", and exit 1.\n";

struct CommandHelp {
    const char* name;
    const char* text;
};

constexpr CommandHelp kHelp[] = {
    {"render",
     "usage: ovinta render IN|- OUT.wav|OUT.flac|- [options]\n"
     "  Processes an audio file through the reverb, the tail included, into a\n"
     "  WAV or FLAC file with one channel per output (L, R; L, R, Ls, Rs; or\n"
     "  L, R, C, Ls, Rs, with a WAVE channel mask for 4 and 5 channels).\n"
     "  \"-\" reads standard input or writes standard output.\n"
     "  --format F           wav16, wav24, wav32, wav32f (default for .wav),\n"
     "                       flac16, flac24 (default for .flac)\n"
     "  --program N|NAME     (-p) factory program (default 0); a name or part of one\n"
     "  --set PARAM=VALUE    (-s) set a parameter as info prints it (-6dB, -6, on, 4)\n"
     "                       or raw (raw:0.5); repeatable\n"
     "  --outputs 2|4|5      output channels (default: the program's setting)\n"
     "  --rate HZ            refuse an input that is not at this rate\n"
     "  --block N            frames per process call, 1..8192 (default 512)\n"
     "  --channels A[,B]     input channels (from 1) for inputs 1 and 2; needed\n"
     "                       for inputs with more than two channels\n"
     "  --max-tail SECONDS   longest tail after the input (default 30)\n"
     "  --quiet              (-q) no report and no progress line\n"},
    {"export-ir",
     "usage: ovinta export-ir --program N|NAME [options] PATH\n"
     "  Writes the program's impulse response, one mono file per output\n"
     "  (PATH1.wav, PATH2.wav, ... or .raw; a .wav or .raw ending of PATH is\n"
     "  dropped first), and lists them with their speakers and peaks.\n"
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
     "  125 Hz-8 kHz; noise floor by Lundeby's method, \"n/a\" with the reason.\n"
     "  Each channel's DC offset is removed first.\n"
     "  --json               the figures as JSON\n"
     "  --plot DECAY.png     draw channel 1's decay curves and T20/T30 fits (one FILE)\n"
     "  --quiet              no progress bar\n"},
    {"help",
     "usage: ovinta help [COMMAND]   (or ovinta COMMAND --help)\n"
     "  Shows this help, or one command's.\n"
     "  --version            (as ovinta --version) the tool's version\n"},
};

// Text of the manual page that the help does not carry, as roff.
constexpr const char* kManDescription =
    "ovinta runs the Ovinta room-simulating reverb outside a plug-in host, with\n"
    "the same effect object and factory programs as the VST 2.4 plug-in\n"
    "ovinta.so: it renders audio files through a room, writes a program's impulse\n"
    "response, lists the programs and their parameters, and measures the\n"
    "reverberation of impulse responses.\n";
constexpr const char* kManTail = ".SH EXIT STATUS\n"
                                 "0 on success, 1 after an error (one line on standard error), 2 when no\n"
                                 "command is given.\n"
                                 ".SH FILES\n"
                                 ".TP\n"
                                 ".I lib/lxvst/ovinta.so\n"
                                 "The VST 2.4 plug-in, under the same installation prefix as the tool\n"
                                 "(/usr/lib/lxvst for the Debian package,\n"
                                 ".I ~/.vst\n"
                                 "for a per-user installation). Hosts find it there or through\n"
                                 ".B VST_PATH\n"
                                 "or\n"
                                 ".BR LXVST_PATH .\n";

// Writes `text` as roff body text: backslashes and dashes escaped, and a dot
// or quote that starts a line kept from being read as a request.
void putRoff(std::string_view text, std::FILE* to)
{
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\''))
            std::fputs("\\&", to);
        if (c == '\\')
            std::fputs("\\e", to);
        else if (c == '-')
            std::fputs("\\-", to);
        else
            std::fputc(c, to);
        lineStart = c == '\n';
    }
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// One command's help as a manual section: the usage line in bold, the
// description as a paragraph, each option as a tagged paragraph (flag in
// bold, its argument in italics). Option lines start with two spaces and a
// dash; deeper indented lines continue the option above.
void putManCommand(const CommandHelp& help, std::FILE* to)
{
    std::fputs(".SS ", to);
    std::fputs(help.name, to);
    std::fputs("\n", to);
    std::string_view rest = help.text;
    bool firstLine = true;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (firstLine) {
            constexpr std::string_view kUsage = "usage: ";
            std::fputs("\\fB", to);
            putRoff(line.substr(line.rfind(kUsage, 0) == 0 ? kUsage.size() : 0), to);
            std::fputs("\\fR\n.PP\n", to);
            firstLine = false;
        } else if (line.rfind("  -", 0) == 0) {
            const std::string_view option = trimmed(line);
            const auto gap = option.find("  ");
            const std::string_view words = option.substr(0, gap);
            const auto space = words.find(' ');
            std::fputs(".TP\n\\fB", to);
            putRoff(words.substr(0, space), to);
            std::fputs("\\fR", to);
            if (space != std::string_view::npos) {
                std::fputs(" \\fI", to);
                putRoff(words.substr(space + 1), to);
                std::fputs("\\fR", to);
            }
            std::fputs("\n", to);
            if (gap != std::string_view::npos) {
                putRoff(trimmed(option.substr(gap)), to);
                std::fputs("\n", to);
            }
        } else if (!trimmed(line).empty()) {
            putRoff(trimmed(line), to);
            std::fputs("\n", to);
        }
    }
}

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
    std::fputs(kGeneralHelp, to);
    for (const CommandHelp& h : kHelp) {
        std::fputs("\n", to);
        std::fputs(h.text, to);
    }
}

void printManPage(std::FILE* to)
{
    std::fprintf(to, ".TH OVINTA 1 \"\" \"Ovinta %s\" \"User Commands\"\n", ovinta::kVersionText);
    std::fputs(".SH NAME\novinta \\- the Ovinta reverb on the command line\n.SH SYNOPSIS\n.nf\n", to);
    for (const CommandHelp& h : kHelp) {
        const std::string_view text = h.text;
        const std::string_view usage = text.substr(0, text.find('\n'));
        putRoff(usage.substr(usage.find("ovinta")), to);
        std::fputs("\n", to);
    }
    std::fputs(".fi\n.SH DESCRIPTION\n", to);
    std::fputs(kManDescription, to);
    std::fputs(".PP\n", to);
    // The general help without its usage line.
    const std::string_view general = kGeneralHelp;
    putRoff(general.substr(general.find('\n') + 1), to);
    std::fputs(".SH COMMANDS\n", to);
    for (const CommandHelp& h : kHelp)
        putManCommand(h, to);
    std::fputs(kManTail, to);
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
