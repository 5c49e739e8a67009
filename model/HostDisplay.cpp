// Host display texts: the value displays' texts where there is one, plain
// meanings elsewhere.

#include "model/HostDisplay.h"

#include "model/ValueFormat.h"
#include "model/Parameters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace valueformat {
namespace {

// Nearest whole number of scale * v as the engine rounds positions
// (trunc(x + 0.5)), limited to the int range.
int nearestWhole(float scale, float v)
{
    const double x = std::trunc(static_cast<double>(scale) * static_cast<double>(v) + 0.5);
    if (!(x == x))
        return 0;
    return static_cast<int>(std::fmax(-1.0e9, std::fmin(x, 1.0e9)));
}

int whole(float v)
{
    const double x = std::trunc(static_cast<double>(v));
    if (!(x == x))
        return 0;
    return static_cast<int>(std::fmax(-1.0e9, std::fmin(x, 1.0e9)));
}

void eqText(int index, float v, char* text, std::size_t capacity)
{
    const int band = (index - param::kEQfreq1) / 3;
    const double d = static_cast<double>(v);
    switch ((index - param::kEQfreq1) % 3) {
    case 0: {
        const double hertz = 15980.0 * d * d * d + 20.0;
        if (hertz >= 10000.0)
            std::snprintf(text, capacity, "%.1fkHz", hertz / 1000.0);
        else if (hertz >= 1000.0)
            std::snprintf(text, capacity, "%.2fkHz", hertz / 1000.0);
        else
            std::snprintf(text, capacity, "%dHz", static_cast<int>(hertz));
        return;
    }
    case 1: std::snprintf(text, capacity, "%+.1fdB", 30.0 * (d - 0.5)); return;
    default:
        // Bands 1 and 4 are shelves, 2 and 3 peaks with a width in octaves.
        if (band == 0 || band == 3)
            std::snprintf(text, capacity, "%.2f", 0.8 * (1.0 - d) + 0.2);
        else
            std::snprintf(text, capacity, "%.2foct", 3.0 * d + 0.1);
        return;
    }
}

void plainText(int index, float v, char* text, std::size_t capacity)
{
    if (index >= param::kEarsX && index <= param::kSource2Y) {
        std::snprintf(text, capacity, "%dm", nearestWhole(50.0f, v));
    } else if (index == param::kPanX || index == param::kPanY) {
        std::snprintf(text, capacity, "%d", nearestWhole(46.0f, v));
    } else if (index == param::kBend) {
        std::snprintf(text, capacity, "%.2f", static_cast<double>(v));
    } else if (index == param::kStereoOnOff || index == param::kReverseOnOff) {
        std::snprintf(text, capacity, "%s", whole(v) != 0 ? "ON" : "OFF");
    } else if (index >= param::kEQfreq1 && index <= param::kEQwide4) {
        eqText(index, v, text, capacity);
    } else if (index >= param::kSpeakerIn1 && index <= param::kSpeakerOut5) {
        // Channels count from 1 for people; negative values mean unassigned.
        if (v < 0.0f)
            std::snprintf(text, capacity, "-");
        else
            std::snprintf(text, capacity, "%d", whole(v) + 1);
    } else if (index == param::kSurround) {
        const int setting = whole(v);
        std::snprintf(text, capacity, "%d outs", setting < 1 ? 2 : setting < 2 ? 4 : 5);
    } else if (index == param::kProgramSelect) {
        std::snprintf(text, capacity, "%d", whole(v));
    } else if (capacity > 0) {
        text[0] = '\0';
    }
}

} // namespace

void hostParameterDisplay(int index, float raw, char* text, std::size_t capacity)
{
    if (text == nullptr || capacity == 0)
        return;
    char shown[kTextCapacity];
    if (parameterDisplay(index, raw, shown)) {
        std::snprintf(text, capacity, "%s", shown);
        return;
    }
    plainText(index, raw, text, capacity);
}

} // namespace valueformat
