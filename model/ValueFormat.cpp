// The value displays' formatting functions and their per-parameter use.

#include "model/ValueFormat.h"

#include "model/Parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace valueformat {
namespace {

// trunc toward zero, limited to the int range (NaN gives 0) so that a wild
// value from a host or a chunk still prints.
int truncated(double x)
{
    if (!(x == x))
        return 0;
    if (x >= 2147483647.0)
        return 2147483647;
    if (x <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(x);
}

// 2 * (8 + trunc(248 v)), within 16..512: the engine's ray count. Worked in
// double precision so that a wild value cannot overflow.
float raysInUse(float v)
{
    // In double, so that a wild value cannot overflow before the limits.
    const double rays = 2.0 * (8.0 + static_cast<double>(truncated(248.0 * static_cast<double>(v))));
    return static_cast<float>(rays < 16.0 ? 16.0 : (rays > 512.0 ? 512.0 : rays));
}

float headAngleDegrees(float v)
{
    double degrees = std::trunc(360.0 * static_cast<double>(v)) - 180.0;
    if (degrees < 0.0)
        degrees += 360.0;
    return static_cast<float>(degrees);
}

using Formatter = void (*)(float, char*);

constexpr float kDeriveLimit = 1.0e6f;

// The displayed engine value of parameter index for the raw value v.
bool displayedValue(int index, float raw, float& value, Formatter& format)
{
    // The engine limits wild raw values to +-1e6 before deriving; so do the
    // texts, so that they always read what the engine uses.
    const float v = raw > kDeriveLimit ? kDeriveLimit : (raw < -kDeriveLimit ? -kDeriveLimit : raw);
    const float cube = v * v * v;
    switch (index) {
    case param::kGain: value = v * v * 1.58489f; format = decibels; return true;
    case param::kDryOut: value = v * v; format = decibels; return true;
    case param::kAbsorb:
    case param::kHiCut:
        value = 1.0f - (1.0f - 0.7f * cube);
        format = percentTwoDecimals;
        return true;
    case param::kScatter: value = 0.5f * v; format = percentTwoDecimals; return true;
    case param::kHeight: value = 40.0f * v * 0.5f + 2.0f; format = metres; return true;
    case param::kAbsorbAir:
    case param::kHiCutAir:
        value = (1.0f - (1.0f - 0.005f * cube)) * 100.0f;
        format = percentTwoDecimals;
        return true;
    case param::kPreDelay: value = 1000.0f * v - 500.0f; format = milliseconds; return true;
    case param::kScale:
        value = 2.0f * v < 0.1f ? 0.1f : 2.0f * v;
        format = percentRounded;
        return true;
    case param::kHeadAngle: value = headAngleDegrees(v); format = wholeNumber; return true;
    case param::kDiffusion: value = 1.58489f * v; format = decibels; return true;
    case param::kDiffSize:
        value = v < 0.5f ? 2.0f * v : 8.0f * cube;
        format = percentTruncated;
        return true;
    case param::kDiffLoPass: value = 2.0f * v * v; format = stereoWidth; return true;
    case param::kNumRays: value = raysInUse(v); format = wholeNumber; return true;
    default: return false;
    }
}

} // namespace

void wholeNumber(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%d", truncated(static_cast<double>(x)));
}

void percentRounded(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%d%%", truncated(static_cast<double>(x) * 100.0 + 0.5));
}

void percentTruncated(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%d%%", truncated(static_cast<double>(x) * 100.0));
}

void percentTwoDecimals(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%.2f%%", static_cast<double>(x) * 100.0);
}

void decibels(float x, char* text)
{
    if (!(x > 0.0f))
        std::snprintf(text, kTextCapacity, "-inf.");
    else if (x == 1.0f)
        std::snprintf(text, kTextCapacity, "0 dB");
    else
        std::snprintf(text, kTextCapacity, "%.1fdB", 20.0 * std::log10(static_cast<double>(x)));
}

void milliseconds(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%dms", truncated(static_cast<double>(x)));
}

void metres(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%.2fm", static_cast<double>(x));
}

void stereoWidth(float x, char* text)
{
    const float w = 2.0f * x;
    if (w == 1.0f)
        std::snprintf(text, kTextCapacity, "OFF");
    else if (w <= 0.009f)
        std::snprintf(text, kTextCapacity, "MONO");
    else
        std::snprintf(text, kTextCapacity, "%2.2f", static_cast<double>(w));
}

bool parameterDisplay(int index, float raw, char* text)
{
    float value = 0.0f;
    Formatter format = nullptr;
    if (!displayedValue(index, raw, value, format)) {
        text[0] = '\0';
        return false;
    }
    format(value, text);
    return true;
}

} // namespace valueformat
