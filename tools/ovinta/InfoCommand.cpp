// ovinta info: the factory programs, one program's parameters with their
// raw values and display texts, and its walls.

#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"

#include "model/HostDisplay.h"
#include "model/ValueFormat.h"
#include "model/FactoryPrograms.h"
#include "model/OvintaProgram.h"
#include "model/Parameters.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kUsage = "ovinta info [--program N|NAME]";

std::string nameOf(const OvintaProgram& p)
{
    return std::string(p.name, strnlen(p.name, kProgramNameSize));
}

void listPrograms(const OvintaProgram* programs)
{
    std::printf("%3s  %-28s %5s\n", "#", "name", "walls");
    for (int p = 0; p < kProgramCount; ++p)
        std::printf("%3d  %-28s %5d\n", p, nameOf(programs[p]).c_str(), programs[p].wallCount);
}

void showProgram(const OvintaProgram& program, int number)
{
    std::printf("program %d: %s\n\n", number, nameOf(program).c_str());
    std::printf("%3s  %-20s %12s  %s\n", "#", "parameter", "raw value", "display");
    for (int index = 0; index < kStoredParameterCount; ++index) {
        // The value display's text where the editor has one, else what the
        // value means (metres, hertz, channel numbers).
        char text[valueformat::kTextCapacity];
        valueformat::hostParameterDisplay(index, *programField(program, index), text, sizeof text);
        const char* name = parameterName(index);
        std::printf("%3d  %-20s %12.6f  %s\n", index, name[0] == ' ' ? "(pin/setting)" : name,
                    static_cast<double>(*programField(program, index)), text);
    }
    const int walls = program.wallCount < 0 ? 0
                      : program.wallCount > kMaxWalls ? kMaxWalls : program.wallCount;
    std::printf("\n%d walls (x1, y1) - (x2, y2), metres:\n", walls);
    for (int w = 0; w < walls; ++w) {
        const Wall& wall = program.walls[w];
        std::printf("%3d  (%g, %g) - (%g, %g)\n", w, static_cast<double>(wall.x1),
                    static_cast<double>(wall.y1), static_cast<double>(wall.x2),
                    static_cast<double>(wall.y2));
    }
}

} // namespace

void infoCommand(const std::vector<std::string>& words)
{
    Arguments args(words);
    const bool one = args.has("--program");
    const std::string program = args.take("--program", "");
    args.positional(0, 0, kUsage);
    auto bank = std::make_unique<ProgramBank>();
    loadFactoryPrograms(bank->programs);
    if (!one) {
        listPrograms(bank->programs);
        return;
    }
    const int p = programIndex(program, bank->programs);
    showProgram(bank->programs[p], p);
}
