// Tool-side names, units and ranges of the host parameters, and the inverse
// of each display formula (model/ParameterFormulas.h) for values in units.

#include "tools/ovinta/ParameterUnits.h"

#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/ToolError.h"

#include "model/OvintaProgram.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace ovinta {

namespace {

using namespace formula;

double gainFromDb(double db) { return std::pow(10.0, db / 20.0); }
double wetFromDb(double db) { return std::sqrt(gainFromDb(db) / static_cast<double>(kWetDisplayScale)); }
double dryFromDb(double db) { return std::sqrt(gainFromDb(db)); }
double wallFromPercent(double p) { return std::cbrt(p / 70.0); }   // 70 v^3 %
double scatterFromPercent(double p) { return p / 50.0; }           // 50 v %
double heightFromMetres(double m) { return (m - 2.0) / 20.0; }     // 20 v + 2 m
double airFromPercent(double p) { return std::cbrt(p / 50.0); }    // 50 v^3 %
double positionFromMetres(double m) { return m / 50.0; }           // 50 v m
double preDelayFromMs(double ms) { return (ms + 500.0) / 1000.0; } // 1000 v - 500 ms
double scaleFromPercent(double p) { return p / 200.0; }            // 200 v %
double headFromDegrees(double d)
{
    // degrees = trunc(360 v) - 180, wrapped; aim at the middle of a degree.
    const double v = (d + 180.5) / 360.0;
    return v - std::floor(v);
}
double diffusionFromDb(double db) { return gainFromDb(db) / 1.58489; }
double diffSizeFromPercent(double p)
{
    const double x = p / 100.0; // 2 v below 1, 8 v^3 from 1
    return x < 1.0 ? x / 2.0 : std::cbrt(x / 8.0);
}
double eqFrequencyFromHz(double hz) { return std::cbrt((hz - 20.0) / 15980.0); }
double eqGainFromDb(double db) { return db / 30.0 + 0.5; }
double peakWidthFromOctaves(double o) { return (o - 0.1) / 3.0; }
double raysFromCount(double n) { return (n / 2.0 - 8.0 + 0.5) / 248.0; }

constexpr ToolParameter kParameters[kStoredParameterCount] = {
    {"Wet gain", "dB", "-inf..+4 dB", wetFromDb},
    {"Dry gain", "dB", "-inf..0 dB", dryFromDb},
    {"Wall absorb", "%", "0..70 %", wallFromPercent},
    {"Wall hi-cut", "%", "0..70 %", wallFromPercent},
    {"Wall scatter", "%", "0..50 %", scatterFromPercent},
    {"Wall height", "m", "2..22 m", heightFromMetres},
    {"Air absorb", "%", "0..50 %", airFromPercent},
    {"Air Hi-cut", "%", "0..50 %", airFromPercent},
    {"Listener X", "m", "0..50 m", positionFromMetres},
    {"Listener Y", "m", "0..50 m", positionFromMetres},
    {"Source 1 X", "m", "0..50 m", positionFromMetres},
    {"Source 1 Y", "m", "0..50 m", positionFromMetres},
    {"Source 2 X", "m", "0..50 m", positionFromMetres},
    {"Source 2 Y", "m", "0..50 m", positionFromMetres},
    {"KSV Pre-delay", "ms", "-500..+500 ms", preDelayFromMs},
    {"KSV Scale", "%", "10..200 %", scaleFromPercent},
    {"KSV Head angle", "deg", "0..359 deg", headFromDegrees},
    {"Diffusion Gain", "dB", "-inf..+4 dB", diffusionFromDb},
    {"Diffusion Scale", "%", "0..800 %", diffSizeFromPercent},
    {"Diffusion Low-Pass", "", "raw 0..1", nullptr},
    {"Diffusion Bend", "", "raw 0..1", nullptr},
    {"Pan L-R", "", "raw 0..1 (0..46)", nullptr},
    {"Pan F-B", "", "raw 0..1 (0..46)", nullptr},
    {"Stereo button", "", "0 off, 1 on", nullptr},
    {"EQ 1 Freq", "Hz", "20..16000 Hz", eqFrequencyFromHz},
    {"EQ 1 Gain", "dB", "-15..+15 dB", eqGainFromDb},
    {"EQ 1 Width", "", "raw 0..1 (Q 1.0..0.2)", nullptr},
    {"EQ 2 Freq", "Hz", "20..16000 Hz", eqFrequencyFromHz},
    {"EQ 2 Gain", "dB", "-15..+15 dB", eqGainFromDb},
    {"EQ 2 Width", "oct", "0.1..3.1 oct", peakWidthFromOctaves},
    {"EQ 3 Freq", "Hz", "20..16000 Hz", eqFrequencyFromHz},
    {"EQ 3 Gain", "dB", "-15..+15 dB", eqGainFromDb},
    {"EQ 3 Width", "oct", "0.1..3.1 oct", peakWidthFromOctaves},
    {"EQ 4 Freq", "Hz", "20..16000 Hz", eqFrequencyFromHz},
    {"EQ 4 Gain", "dB", "-15..+15 dB", eqGainFromDb},
    {"EQ 4 Width", "", "raw 0..1 (Q 1.0..0.2)", nullptr},
    {"Reverse button", "", "0 off, 1 on", nullptr},
    {"Input 1 pin", "", "-1 none, 0..1 channel", nullptr},
    {"Input 2 pin", "", "-1 none, 0..1 channel", nullptr},
    {"Output 1 pin", "", "-1 none, 0..5 channel", nullptr},
    {"Output 2 pin", "", "-1 none, 0..5 channel", nullptr},
    {"Output 3 pin", "", "-1 none, 0..5 channel", nullptr},
    {"Output 4 pin", "", "-1 none, 0..5 channel", nullptr},
    {"Output 5 pin", "", "-1 none, 0..5 channel", nullptr},
    {"Ray count", "rays", "16..512 rays", raysFromCount},
    {"Outputs", "", "0: 2, 1: 4, 2: 5 outputs", nullptr},
};

bool sameUnit(const std::string& given, const std::string& unit)
{
    return lowerCase(given) == lowerCase(unit);
}

} // namespace

const ToolParameter* toolParameter(int index)
{
    if (index < 0 || index >= kStoredParameterCount)
        return nullptr;
    return &kParameters[index];
}

float rawValueFromText(int index, const std::string& text)
{
    const ToolParameter* p = toolParameter(index);
    const std::string what = "the value of " + std::string(p != nullptr ? p->name : "it");
    // A number, then optionally a unit.
    const char* start = text.c_str();
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    if (end == start)
        throw ToolError(what + " must be a number, not \"" + text + "\"");
    std::string unit(end);
    while (!unit.empty() && unit.front() == ' ')
        unit.erase(unit.begin());
    if (unit.empty())
        return parseValue(text, what);
    if (p == nullptr || p->fromUnit == nullptr)
        throw ToolError(what + " has no unit; give the raw value, not \"" + text + "\"");
    double inUnit = number;
    if (sameUnit(unit, "khz") && sameUnit(p->unit, "hz"))
        inUnit *= 1000.0;
    else if (!sameUnit(unit, p->unit) && !(sameUnit(p->unit, "deg") && unit == "\xc2\xb0"))
        throw ToolError(what + " is in " + p->unit + ", not \"" + unit + "\"");
    const double raw = p->fromUnit(inUnit);
    if (!std::isfinite(raw) || raw < -1e-4 || raw > 1.0 + 1e-4)
        throw ToolError(what + " reaches " + p->range + "; \"" + text + "\" is outside");
    return static_cast<float>(std::clamp(raw, 0.0, 1.0));
}

} // namespace ovinta
