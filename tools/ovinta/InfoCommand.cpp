// SPDX-License-Identifier: GPL-3.0-or-later
// ovinta info: the factory programs with their outputs and measured T30, or
// one program's parameters (name, unit, range, raw value, display text)
// and its walls; as a table or as JSON.

#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/Json.h"
#include "tools/ovinta/Progress.h"

#include "tools/measure-rooms/RoomMeasure.h"

#include "core/ParameterInfo.h"
#include "model/FactoryPrograms.h"
#include "model/HostDisplay.h"
#include "model/OvintaProgram.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"
#include "model/ValueFormat.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace ovinta {

namespace {

constexpr const char* kUsage = "ovinta info [--program N|NAME] [--json]";
constexpr float kMeasureRate = 48000.0f;
constexpr double kMeasureSeconds = 30.0;

std::string nameOf(const OvintaProgram& p)
{
    return std::string(p.name, strnlen(p.name, kProgramNameSize));
}

int outputsOf(const OvintaProgram& p)
{
    const int setting = formula::outputsSetting(p.parSurround);
    return setting == 2 ? 5 : setting == 1 ? 4 : 2;
}

// Each program's T30 from its impulse response rendered through the plug-in
// core (L and R together), as the factory-room measurement does it.
std::vector<std::optional<double>> measureT30(bool showProgress)
{
    auto core = std::make_unique<PluginCore>();
    std::vector<std::optional<double>> t30(kProgramCount);
    Progress progress("measuring", showProgress);
    for (int p = 0; p < kProgramCount; ++p) {
        const RoomMeasurement m = measureProgram(*core, p, kMeasureRate, kMeasureSeconds);
        if (std::strcmp(m.reverbKind, "T30") == 0)
            t30[static_cast<std::size_t>(p)] = m.reverbSeconds;
        progress.update(static_cast<double>(p + 1) / kProgramCount);
    }
    progress.finish();
    return t30;
}

void listPrograms(const OvintaProgram* programs, bool asJson)
{
    const auto t30 = measureT30(!asJson);
    if (asJson) {
        std::string out = "[";
        for (int p = 0; p < kProgramCount; ++p) {
            bool first = true;
            out += p == 0 ? "{" : ",{";
            out += json::key("number", first) + std::to_string(p);
            out += json::key("name", first) + json::quote(nameOf(programs[p]));
            out += json::key("walls", first) + std::to_string(programs[p].wallCount);
            out += json::key("outputs", first) + std::to_string(outputsOf(programs[p]));
            out += json::key("t30_s", first) + json::number(t30[static_cast<std::size_t>(p)]);
            out += "}";
        }
        std::printf("%s]\n", out.c_str());
        return;
    }
    std::printf("%3s  %-28s %5s %7s %6s\n", "#", "name", "walls", "outputs", "T30 s");
    for (int p = 0; p < kProgramCount; ++p) {
        const auto& t = t30[static_cast<std::size_t>(p)];
        char seconds[16] = "n/a";
        if (t)
            std::snprintf(seconds, sizeof seconds, "%.2f", *t);
        std::printf("%3d  %-28s %5d %7d %6s\n", p, nameOf(programs[p]).c_str(),
                    programs[p].wallCount, outputsOf(programs[p]), seconds);
    }
    std::printf("T30: the impulse response of L and R together at %.0f kHz, -5 to -35 dB\n",
                static_cast<double>(kMeasureRate) / 1000.0);
}

int wallsOf(const OvintaProgram& program)
{
    return program.wallCount < 0 ? 0 : program.wallCount > kMaxWalls ? kMaxWalls : program.wallCount;
}

void showProgram(const OvintaProgram& program, int number, bool asJson)
{
    std::string out;
    if (asJson) {
        bool first = true;
        out = "{" + json::key("number", first) + std::to_string(number);
        out += json::key("name", first) + json::quote(nameOf(program));
        out += json::key("outputs", first) + std::to_string(outputsOf(program));
        out += json::key("parameters", first) + "[";
    } else {
        std::printf("program %d: %s, %d outputs\n\n", number, nameOf(program).c_str(),
                    outputsOf(program));
        std::printf("%3s  %-20s %-5s %-24s %12s  %s\n", "#", "parameter", "unit", "range",
                    "raw value", "display");
    }
    for (int index = 0; index < kStoredParameterCount; ++index) {
        // The value display's text where the editor has one, else what the
        // value means (metres, hertz, channel numbers).
        const float raw = *programField(program, index);
        char text[valueformat::kTextCapacity];
        valueformat::hostParameterDisplay(index, raw, text, sizeof text);
        const ParameterInfo& p = *parameterInfo(index);
        if (asJson) {
            bool first = true;
            out += index == 0 ? "{" : ",{";
            out += json::key("index", first) + std::to_string(index);
            out += json::key("name", first) + json::quote(p.name);
            out += json::key("host_name", first) + json::quote(parameterName(index));
            out += json::key("unit", first) + json::quote(p.unit);
            out += json::key("range", first) + json::quote(p.range);
            out += json::key("raw", first) + json::number(static_cast<double>(raw));
            out += json::key("display", first) + json::quote(text) + "}";
        } else {
            std::printf("%3d  %-20s %-5s %-24s %12.6f  %s\n", index, p.name, p.unit, p.range,
                        static_cast<double>(raw), text);
        }
    }
    const int walls = wallsOf(program);
    if (asJson) {
        out += "]";
        bool first = false;
        out += json::key("walls", first) + "[";
        for (int w = 0; w < walls; ++w) {
            const Wall& wall = program.walls[w];
            out += (w == 0 ? "[" : ",[") + json::number(static_cast<double>(wall.x1)) + "," +
                   json::number(static_cast<double>(wall.y1)) + "," +
                   json::number(static_cast<double>(wall.x2)) + "," +
                   json::number(static_cast<double>(wall.y2)) + "]";
        }
        std::printf("%s]}\n", out.c_str());
        return;
    }
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
    const bool asJson = args.takeFlag("--json");
    args.positional(0, 0, kUsage);
    auto bank = std::make_unique<ProgramBank>();
    loadFactoryPrograms(bank->programs);
    if (!one) {
        listPrograms(bank->programs, asJson);
        return;
    }
    const int p = programIndex(program, bank->programs);
    showProgram(bank->programs[p], p, asJson);
}

} // namespace ovinta
