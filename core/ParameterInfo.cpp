// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter descriptions, and the inverses of the display formulas
// (model/ParameterFormulas.h) that turn a printed value back into a raw one.

#include "core/ParameterInfo.h"

#include "model/HostDisplay.h"
#include "model/OvintaProgram.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"
#include "model/ValueFormat.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ovinta {

namespace {

using K = ParameterKind;
constexpr double kMinusInf = -HUGE_VAL;

double gainFromDb(double db) { return std::pow(10.0, db / 20.0); }
double wetFromDb(double db) { return std::sqrt(gainFromDb(db) / static_cast<double>(formula::kWetDisplayScale)); }
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
double pannerFromUnits(double u) { return u / 46.0; }              // 46 v panner units
double shelfFromQ(double q) { return (1.0 - q) / 0.8; }            // Q = 0.8 (1 - v) + 0.2
double eqFrequencyFromHz(double hz) { return std::cbrt((hz - 20.0) / 15980.0); }
double eqGainFromDb(double db) { return db / 30.0 + 0.5; }
double peakWidthFromOctaves(double o) { return (o - 0.1) / 3.0; }
// Aim at the middle of a step of 248 v, so the count survives float rounding.
double raysFromCount(double n) { return (n / 2.0 - 8.0 + 0.5) / 248.0; }
double countOfRays(double v) { return formula::rayCount(static_cast<float>(v)); }
double same(double v) { return v; }

constexpr const char* kOutputChoices[] = {"2", "4", "5"};

// Columns: id, name, unit, printed range, kind, raw lowest and highest,
// printed lowest and highest, printed -> raw, raw -> printed count, choices.
constexpr ParameterInfo kInfo[kParameterCount] = {
    {0, "Wet gain", "dB", "-inf..+4 dB", K::Continuous, 0, 1, kMinusInf, 4, wetFromDb, nullptr, nullptr, 0},
    {1, "Dry gain", "dB", "-inf..0 dB", K::Continuous, 0, 1, kMinusInf, 0, dryFromDb, nullptr, nullptr, 0},
    {2, "Wall absorb", "%", "0..70 %", K::Continuous, 0, 1, 0, 70, wallFromPercent, nullptr, nullptr, 0},
    {3, "Wall hi-cut", "%", "0..70 %", K::Continuous, 0, 1, 0, 70, wallFromPercent, nullptr, nullptr, 0},
    {4, "Wall scatter", "%", "0..50 %", K::Continuous, 0, 1, 0, 50, scatterFromPercent, nullptr, nullptr, 0},
    {5, "Wall height", "m", "2..22 m", K::Continuous, 0, 1, 2, 22, heightFromMetres, nullptr, nullptr, 0},
    {6, "Air absorb", "%", "0..50 %", K::Continuous, 0, 1, 0, 50, airFromPercent, nullptr, nullptr, 0},
    {7, "Air Hi-cut", "%", "0..50 %", K::Continuous, 0, 1, 0, 50, airFromPercent, nullptr, nullptr, 0},
    {8, "Listener X", "m", "0..50 m", K::Continuous, 0, 1, 0, 50, positionFromMetres, nullptr, nullptr, 0},
    {9, "Listener Y", "m", "0..50 m", K::Continuous, 0, 1, 0, 50, positionFromMetres, nullptr, nullptr, 0},
    {10, "Source 1 X", "m", "0..50 m", K::Continuous, 0, 1, 0, 50, positionFromMetres, nullptr, nullptr, 0},
    {11, "Source 1 Y", "m", "0..50 m", K::Continuous, 0, 1, 0, 50, positionFromMetres, nullptr, nullptr, 0},
    {12, "Source 2 X", "m", "0..50 m", K::Continuous, 0, 1, 0, 50, positionFromMetres, nullptr, nullptr, 0},
    {13, "Source 2 Y", "m", "0..50 m", K::Continuous, 0, 1, 0, 50, positionFromMetres, nullptr, nullptr, 0},
    {14, "KSV Pre-delay", "ms", "-500..+500 ms", K::Continuous, 0, 1, -500, 500, preDelayFromMs, nullptr, nullptr,
     0},
    {15, "KSV Scale", "%", "10..200 %", K::Continuous, 0, 1, 10, 200, scaleFromPercent, nullptr, nullptr, 0},
    {16, "KSV Head angle", "deg", "0..359 deg", K::Continuous, 0, 1, 0, 359, headFromDegrees, nullptr, nullptr, 0},
    {17, "Diffusion Gain", "dB", "-inf..+4 dB", K::Continuous, 0, 1, kMinusInf, 4, diffusionFromDb, nullptr,
     nullptr, 0},
    {18, "Diffusion Scale", "%", "0..800 %", K::Continuous, 0, 1, 0, 800, diffSizeFromPercent, nullptr, nullptr,
     0},
    {19, "Diffusion Low-Pass", "", "raw 0..1", K::Continuous, 0, 1, 0, 1, nullptr, nullptr, nullptr, 0},
    {20, "Diffusion Bend", "", "raw 0..1", K::Continuous, 0, 1, 0, 1, nullptr, nullptr, nullptr, 0},
    {21, "Pan L-R", "", "raw 0..1 (0..46)", K::Continuous, 0, 1, 0, 46, pannerFromUnits, nullptr, nullptr, 0},
    {22, "Pan F-B", "", "raw 0..1 (0..46)", K::Continuous, 0, 1, 0, 46, pannerFromUnits, nullptr, nullptr, 0},
    {23, "Stereo button", "", "0 off, 1 on", K::Switch, 0, 1, 0, 1, nullptr, nullptr, nullptr, 0},
    {24, "EQ 1 Freq", "Hz", "20..16000 Hz", K::Continuous, 0, 1, 20, 16000, eqFrequencyFromHz, nullptr, nullptr,
     0},
    {25, "EQ 1 Gain", "dB", "-15..+15 dB", K::Continuous, 0, 1, -15, 15, eqGainFromDb, nullptr, nullptr, 0},
    {26, "EQ 1 Width", "", "raw 0..1 (Q 1.0..0.2)", K::Continuous, 0, 1, 0.2, 1, shelfFromQ, nullptr, nullptr, 0},
    {27, "EQ 2 Freq", "Hz", "20..16000 Hz", K::Continuous, 0, 1, 20, 16000, eqFrequencyFromHz, nullptr, nullptr,
     0},
    {28, "EQ 2 Gain", "dB", "-15..+15 dB", K::Continuous, 0, 1, -15, 15, eqGainFromDb, nullptr, nullptr, 0},
    {29, "EQ 2 Width", "oct", "0.1..3.1 oct", K::Continuous, 0, 1, 0.1, 3.1, peakWidthFromOctaves, nullptr,
     nullptr, 0},
    {30, "EQ 3 Freq", "Hz", "20..16000 Hz", K::Continuous, 0, 1, 20, 16000, eqFrequencyFromHz, nullptr, nullptr,
     0},
    {31, "EQ 3 Gain", "dB", "-15..+15 dB", K::Continuous, 0, 1, -15, 15, eqGainFromDb, nullptr, nullptr, 0},
    {32, "EQ 3 Width", "oct", "0.1..3.1 oct", K::Continuous, 0, 1, 0.1, 3.1, peakWidthFromOctaves, nullptr,
     nullptr, 0},
    {33, "EQ 4 Freq", "Hz", "20..16000 Hz", K::Continuous, 0, 1, 20, 16000, eqFrequencyFromHz, nullptr, nullptr,
     0},
    {34, "EQ 4 Gain", "dB", "-15..+15 dB", K::Continuous, 0, 1, -15, 15, eqGainFromDb, nullptr, nullptr, 0},
    {35, "EQ 4 Width", "", "raw 0..1 (Q 1.0..0.2)", K::Continuous, 0, 1, 0.2, 1, shelfFromQ, nullptr, nullptr, 0},
    {36, "Reverse button", "", "0 off, 1 on", K::Switch, 0, 1, 0, 1, nullptr, nullptr, nullptr, 0},
    {37, "Input 1 pin", "", "-1 none, 0..1 channel", K::Integer, -1, 1, -1, 1, nullptr, same, nullptr, 0},
    {38, "Input 2 pin", "", "-1 none, 0..1 channel", K::Integer, -1, 1, -1, 1, nullptr, same, nullptr, 0},
    {39, "Output 1 pin", "", "-1 none, 0..5 channel", K::Integer, -1, 5, -1, 5, nullptr, same, nullptr, 0},
    {40, "Output 2 pin", "", "-1 none, 0..5 channel", K::Integer, -1, 5, -1, 5, nullptr, same, nullptr, 0},
    {41, "Output 3 pin", "", "-1 none, 0..5 channel", K::Integer, -1, 5, -1, 5, nullptr, same, nullptr, 0},
    {42, "Output 4 pin", "", "-1 none, 0..5 channel", K::Integer, -1, 5, -1, 5, nullptr, same, nullptr, 0},
    {43, "Output 5 pin", "", "-1 none, 0..5 channel", K::Integer, -1, 5, -1, 5, nullptr, same, nullptr, 0},
    {44, "Ray count", "rays", "16..512 rays", K::Integer, 0, 1, 16, 512, raysFromCount, countOfRays, nullptr, 0},
    {45, "Outputs", "", "0: 2, 1: 4, 2: 5 outputs", K::Choice, 0, 2, 0, 2, nullptr, nullptr, kOutputChoices, 3},
    {46, "Program", "", "0..44", K::Integer, 0, kProgramCount - 1, 0, kProgramCount - 1, nullptr, same, nullptr, 0},
};

constexpr bool idsAreIndexes()
{
    for (int i = 0; i < kParameterCount; ++i)
        if (kInfo[i].id != i)
            return false;
    return kParameterCount == kHostParameterCount;
}
static_assert(idsAreIndexes());

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string shortNumber(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// A number at the start of `text` ("-inf" included): the number, and the
// rest in `rest`; false when the text does not start with one.
bool leadingNumber(const std::string& text, double& number, std::string& rest)
{
    const std::string low = lower(text);
    if (low.rfind("-inf", 0) == 0) {
        number = kMinusInf;
        std::size_t used = 4;
        if (low.size() > used && low[used] == '.') // as the level displays print it
            ++used;
        rest = std::string(trimmed(std::string_view(text).substr(used)));
        return true;
    }
    errno = 0;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno != 0 || !std::isfinite(number))
        return false;
    rest = std::string(trimmed(end));
    return true;
}

ParsedParameter refused(std::string message)
{
    ParsedParameter result;
    result.error = std::move(message);
    return result;
}

ParsedParameter accepted(const ParameterInfo& p, double raw)
{
    ParsedParameter result;
    result.ok = true;
    result.raw = static_cast<float>(std::clamp(raw, static_cast<double>(p.lowest), static_cast<double>(p.highest)));
    return result;
}

ParsedParameter rawValue(const ParameterInfo& p, std::string_view number, const std::string& what,
                         const std::string& text)
{
    const std::string digits(trimmed(number));
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(digits.c_str(), &end);
    if (digits.empty() || *end != '\0' || errno != 0 || !std::isfinite(v))
        return refused(what + " must be a number after raw:, not \"" + text + "\"");
    if (v < static_cast<double>(p.lowest) || v > static_cast<double>(p.highest))
        return refused(what + " takes raw values " + shortNumber(static_cast<double>(p.lowest)) + ".." +
                       shortNumber(static_cast<double>(p.highest)) +
                       "; \"" + text + "\" is outside");
    return accepted(p, v);
}

ParsedParameter switchValue(const ParameterInfo& p, const std::string& low, const std::string& what,
                            const std::string& text)
{
    if (low == "on" || low == "1")
        return accepted(p, 1.0);
    if (low == "off" || low == "0")
        return accepted(p, 0.0);
    return refused(what + " is on or off (" + p.range + "), not \"" + text + "\"");
}

ParsedParameter choiceValue(const ParameterInfo& p, const std::string& low, const std::string& what,
                            const std::string& text)
{
    std::string word = low;
    for (const char* unit : {"outputs", "outs"})
        if (word.size() > std::string(unit).size() && word.ends_with(unit))
            word = std::string(trimmed(word.substr(0, word.size() - std::string(unit).size())));
    for (int c = 0; c < p.choiceCount; ++c)
        if (word == p.choices[c])
            return accepted(p, c);
    std::string list;
    for (int c = 0; c < p.choiceCount; ++c)
        list += std::string(c == 0 ? "" : c + 1 == p.choiceCount ? " or " : ", ") + p.choices[c];
    return refused(what + " is " + list + ", not \"" + text + "\"");
}

// The number in the printed unit, or an error when the given unit is not it.
bool inPrintedUnit(const ParameterInfo& p, std::string unit, double& number, std::string& error,
                   const std::string& what, const std::string& text)
{
    if (unit.empty())
        return true;
    if (p.unit[0] == 0) {
        error = what + " has no unit; give it as `ovinta info` prints it, not \"" + text + "\"";
        return false;
    }
    const std::string want = lower(p.unit);
    const std::string given = lower(unit);
    if (given == "khz" && want == "hz")
        number *= 1000.0;
    else if (given != want && !(want == "deg" && unit == "\xc2\xb0"))
        return error = what + " is in " + p.unit + ", not \"" + unit + "\"", false;
    return true;
}

} // namespace

const ParameterInfo* parameterInfo(int id)
{
    return id >= 0 && id < kParameterCount ? &kInfo[id] : nullptr;
}

float parameterDefault(int id)
{
    static const OvintaProgram fresh;
    const float* field = programField(fresh, id);
    return field != nullptr ? *field : 0.0f;
}

std::string parameterText(int id, float raw)
{
    char text[valueformat::kTextCapacity] = {};
    valueformat::hostParameterDisplay(id, raw, text, sizeof text);
    return text;
}

ParsedParameter parameterFromText(int id, std::string_view given)
{
    const ParameterInfo* p = parameterInfo(id);
    if (p == nullptr)
        return refused("there is no parameter " + std::to_string(id));
    const std::string what = std::string("the value of ") + p->name;
    const std::string text(trimmed(given));
    const std::string low = lower(text);
    if (low.rfind("raw:", 0) == 0)
        return rawValue(*p, std::string_view(text).substr(4), what, text);
    if (p->kind == K::Switch && (low == "on" || low == "off"))
        return switchValue(*p, low, what, text);
    if (p->kind == K::Choice)
        return choiceValue(*p, low, what, text);

    double number = 0.0;
    std::string unit;
    if (!leadingNumber(text, number, unit))
        return refused(what + " must be a number, not \"" + text + "\"");
    std::string error;
    if (!inPrintedUnit(*p, unit, number, error, what, text))
        return refused(error);
    if (p->kind == K::Switch)
        return switchValue(*p, number == 1.0 ? "1" : number == 0.0 ? "0" : low, what, text);

    // Within the printed range, allowing for the rounding of a value typed
    // from a printed one.
    const double slack = 1e-6 * std::max(1.0, std::fabs(p->printedHighest));
    const bool belowRange = number == kMinusInf ? p->printedLowest != kMinusInf : number < p->printedLowest - slack;
    if (belowRange || number > p->printedHighest + slack)
        return refused(what + " reaches " + p->range + "; \"" + text + "\" is outside");
    if (number == kMinusInf)
        return accepted(*p, static_cast<double>(p->lowest));
    const double raw = p->fromPrinted != nullptr ? p->fromPrinted(number) : number;
    if (!std::isfinite(raw))
        return refused(what + " reaches " + p->range + "; \"" + text + "\" is outside");
    if (p->kind == K::Integer) {
        // The count the raw value gives back must be the one asked for:
        // this refuses fractions and counts the parameter cannot make.
        const ParsedParameter result = accepted(*p, raw);
        if (number != std::trunc(number))
            return refused(what + " takes whole values " + p->range + "; \"" + text + "\" is not one");
        auto makes = [p](double n) {
            return p->toPrinted(static_cast<double>(accepted(*p, p->fromPrinted != nullptr ? p->fromPrinted(n) : n).raw));
        };
        if (p->toPrinted(static_cast<double>(result.raw)) != number)
            return refused(what + " cannot be " + shortNumber(number) + "; the nearest it makes are " +
                           shortNumber(makes(number - 1.0)) + " and " + shortNumber(makes(number + 1.0)) +
                           " (" + p->range + ")");
        return result;
    }
    return accepted(*p, raw);
}

} // namespace ovinta
