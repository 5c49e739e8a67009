// SPDX-License-Identifier: GPL-3.0-or-later
// ovinta-measure-rooms: renders every factory program's impulse response and
// prints its reverberation time and initial delay as a Markdown table.
//   ovinta-measure-rooms [--rate HZ] [--seconds MAX] [--program N]
// (defaults: 48000 Hz, at most 30 s of response per program, every program)

#include "tools/measure-rooms/RoomMeasure.h"

#include "engine/RoomEngine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace ovinta {

namespace {

int usage(const char* self)
{
    std::fprintf(stderr, "usage: %s [--rate HZ] [--seconds MAX] [--program N]\n", self);
    return 2;
}

// One table cell with `decimals` places, or "n/a" for a value not measured (< 0).
void printValue(double v, int decimals)
{
    if (v < 0.0)
        std::printf(" n/a |");
    else
        std::printf(" %.*f |", decimals, v);
}

} // namespace

} // namespace ovinta

using namespace ovinta;

int main(int argc, char** argv)
{
    float rate = 48000.0f;
    double seconds = 30.0;
    int only = -1;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 >= argc)
            return usage(argv[0]);
        if (std::strcmp(argv[i], "--rate") == 0)
            rate = std::strtof(argv[++i], nullptr);
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::strtod(argv[++i], nullptr);
        else if (std::strcmp(argv[i], "--program") == 0)
            only = std::atoi(argv[++i]);
        else
            return usage(argv[0]);
    }
    if (!(rate >= 8000.0f && rate <= 192000.0f) || !(seconds > 0.0 && seconds <= 60.0) ||
        only >= kProgramCount)
        return usage(argv[0]);

    auto core = std::make_unique<PluginCore>();
    const ProgramBank& bank = core->engine().programBank();
    std::printf("| # | program | walls | reverb (s) | from | EDT (s) | initial delay (ms) | peak (dBFS) "
                "| wet level (dB) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (int k = 0; k < kProgramCount; ++k) {
        if (only >= 0 && k != only)
            continue;
        // Measured before the run: the measurement itself silences the dry path.
        const int walls = bank.programs[k].wallCount;
        const RoomMeasurement m = measureProgram(*core, k, rate, seconds);
        std::printf("| %d | %s | %d |", k, bank.programs[k].name, walls);
        printValue(m.reverbSeconds, 2);
        std::printf(" %s |", m.reverbKind);
        printValue(m.edtSeconds, 2);
        printValue(m.initialDelayMs, 1);
        std::printf(" %.1f | %.1f |\n", m.peakDb, m.levelDb);
        std::fflush(stdout);
    }
    return 0;
}
