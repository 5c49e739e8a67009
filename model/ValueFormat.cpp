// SPDX-License-Identifier: GPL-3.0-or-later
// The value displays' formatting functions and their per-parameter use
// through the parameter table.

#include "model/ValueFormat.h"

#include "base/Convert.h"
#include "model/ParameterFormulas.h"
#include "model/ParameterTable.h"

#include <cmath>
#include <cstdio>

namespace ovinta {

namespace valueformat {

void wholeNumber(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%d", truncToInt(static_cast<double>(x)));
}

void percentRounded(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%d%%", truncToInt(static_cast<double>(x) * 100.0 + 0.5));
}

void percentTruncated(float x, char* text)
{
    std::snprintf(text, kTextCapacity, "%d%%", truncToInt(static_cast<double>(x) * 100.0));
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
    std::snprintf(text, kTextCapacity, "%dms", truncToInt(static_cast<double>(x)));
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
    const param::Row* r = param::row(index);
    if (r == nullptr || r->shown == nullptr || r->format == nullptr) {
        text[0] = '\0';
        return false;
    }
    // The engine limits wild raw values before deriving; so do the texts,
    // so that they always read what the engine uses.
    r->format(r->shown(formula::limited(raw)), text);
    return true;
}

} // namespace valueformat

} // namespace ovinta
