// SPDX-License-Identifier: GPL-3.0-or-later
// Diffusion comb: trigger, update and clear.

#include "dsp/CombFilter.h"

#include "base/Convert.h"
#include "base/EngineRandom.h"

#include <algorithm>
#include <cstring>

namespace ovinta {

namespace {

// Truncation toward zero of a value limited to [low, high] first; NaN gives 0.
int32_t truncateWithin(float value, float low, float high)
{
    return truncToInt(static_cast<double>(std::clamp(value, low, high)));
}

} // namespace

CombFilter::CombFilter()
    : writeIndex(0), readIndex(0), outGain(0.125f), feedback(0.0f), bendStep(0), bendPhase(0),
      lastOut(0.0f), baseGain(0.0f)
{
    // The delay line is cleared by the engine's reset before audio runs;
    // zero it here too so that nothing ever reads indeterminate memory.
    clear();
}

void CombFilter::clear()
{
    std::memset(delayLine, 0, sizeof(delayLine));
}

void CombFilter::trigger(int lengthMs, float baseGainIn, float sampleRate, EngineRandom& random)
{
    readIndex = static_cast<uint32_t>(random.next() & 0x1FF);
    writeIndex = static_cast<uint32_t>(
        truncateWithin(static_cast<float>(lengthMs) * sampleRate * 0.001f, -2.0e9f, 2.0e9f));
    bendPhase = random.next() & 0x1FF;
    baseGain = baseGainIn;
}

void CombFilter::update(float feedbackIn, float diffusionGain, float bendValue)
{
    feedback = feedbackIn;
    outGain = baseGain * 0.2857143f * diffusionGain;
    // A bend value outside 0..1 is held to the full range of -64..64.
    bendStep = truncateWithin((bendValue - 0.5f) * 128.0f, -64.0f, 64.0f);
    if (bendStep == 0)
        bendPhase = 0;
}

} // namespace ovinta
