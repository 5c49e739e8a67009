// SPDX-License-Identifier: GPL-3.0-or-later
// Host display texts: the value displays' texts where there is one, plain
// meanings elsewhere, each from the parameter table's formulas.

#include "model/HostDisplay.h"

#include "model/ParameterFormulas.h"
#include "model/ParameterTable.h"
#include "model/ValueFormat.h"

#include <cstdio>

namespace ovinta {

namespace valueformat {
namespace {

int whole(float v)
{
    return truncToInt(static_cast<double>(v));
}

} // namespace

void positionText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%dm", whole(formula::positionMetres(v)));
}

void pannerText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%d", whole(formula::pannerUnits(v)));
}

void fractionText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%.2f", static_cast<double>(v));
}

void switchText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%s", whole(v) != 0 ? "ON" : "OFF");
}

void eqFrequencyText(float v, char* text, std::size_t capacity)
{
    const double hertz = static_cast<double>(formula::eqFrequencyHz(v));
    if (hertz >= 10000.0)
        std::snprintf(text, capacity, "%.1fkHz", hertz / 1000.0);
    else if (hertz >= 1000.0)
        std::snprintf(text, capacity, "%.2fkHz", hertz / 1000.0);
    else
        std::snprintf(text, capacity, "%dHz", truncToInt(hertz));
}

void eqGainText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%+.1fdB", static_cast<double>(formula::eqGainDb(v)));
}

void shelfWidthText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%.2f", static_cast<double>(formula::shelfWidth(v)));
}

void peakWidthText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%.2foct", static_cast<double>(formula::peakOctaves(v)));
}

void channelText(float v, char* text, std::size_t capacity)
{
    // Channels count from 1 for people; negative values mean unassigned.
    if (v < 0.0f)
        std::snprintf(text, capacity, "-");
    else
        std::snprintf(text, capacity, "%lld", static_cast<long long>(whole(v)) + 1);
}

void outputsText(float v, char* text, std::size_t capacity)
{
    const int setting = whole(v);
    std::snprintf(text, capacity, "%d outs", setting < 1 ? 2 : setting < 2 ? 4 : 5);
}

void wholeText(float v, char* text, std::size_t capacity)
{
    std::snprintf(text, capacity, "%d", whole(v));
}

void hostParameterDisplay(int index, float raw, char* text, std::size_t capacity)
{
    if (text == nullptr || capacity == 0)
        return;
    char shown[kTextCapacity];
    if (parameterDisplay(index, raw, shown)) {
        std::snprintf(text, capacity, "%s", shown);
        return;
    }
    const param::Row* r = param::row(index);
    if (r != nullptr && r->describe != nullptr && index < kHostParameterCount)
        r->describe(raw, text, capacity);
    else
        text[0] = '\0';
}

} // namespace valueformat

} // namespace ovinta
