// Host names of the parameters and which editor changes are automation.

#include "model/Parameters.h"

namespace {
// Host names of parameters 0..36; every later index is a single space.
const char* const kNames[] = {
    "Wet gain", "Dry gain", "Wall absorb", "Wall hi-cut", "Wall scatter", "Wall height",
    "Air absorb", "Air Hi-cut", "Listener X", "Listener Y", "Source 1 X", "Source 1 Y",
    "Source 2 X", "Source 2 Y", "KSV Pre-delay", "KSV Scale", "KSV Head angle",
    "Diffusion Gain", "Diffusion Scale", "Diffusion Low-Pass", "Diffusion Bend", "Pan L-R",
    "Pan F-B", "Stereo button", "EQ 1 Freq", "EQ 1 Gain", "EQ 1 Width", "EQ 2 Freq",
    "EQ 2 Gain", "EQ 2 Width", "EQ 3 Freq", "EQ 3 Gain", "EQ 3 Width", "EQ 4 Freq",
    "EQ 4 Gain", "EQ 4 Width", "Reverse button",
};
constexpr int kNamedCount = static_cast<int>(sizeof(kNames) / sizeof(kNames[0]));
static_assert(kNamedCount == 37);
} // namespace

const char* parameterName(int index)
{
    if (index >= 0 && index < kNamedCount)
        return kNames[index];
    return " ";
}

bool parameterIsReported(int index)
{
    return (index >= 0 && index <= 22) || (index >= 24 && index <= 35) ||
           index == param::kProgramSelect;
}
