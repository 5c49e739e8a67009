// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One recirculating delay line of the diffusion tail. The engine holds two
// banks of ten by value; the tracer's thread triggers and updates them, the
// kernels step them on the audio thread.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ovinta {

constexpr int kCombLength = 16384;     // samples in the delay line
constexpr uint32_t kCombMask = 0x3FFF; // every position is masked, never tested
// The feedback never reaches 1, where a comb would grow without end: the
// curve below passes 1 for the longest rooms at rates under about 16 kHz.
constexpr float kMaxCombFeedback = 0.9999f;

// Feedback of every comb: grows with the diffusion size and the room's
// longest tap (in samples at `sampleRate`), towards ±1; 0 when undefined.
inline float combFeedback(float diffusionSize, int longestTap, float sampleRate)
{
    const float f = 0.6370253f * std::atan(2.0f * diffusionSize * static_cast<float>(longestTap) / sampleRate);
    return std::isfinite(f) ? std::clamp(f, -kMaxCombFeedback, kMaxCombFeedback) : 0.0f;
}

class EngineRandom;

class CombFilter {
public:
    CombFilter();
    virtual ~CombFilter() = default;

    void clear(); // zero the delay line, positions stay
    // New length and base gain; draws two numbers from `random`.
    void trigger(int lengthMs, float baseGain, float sampleRate, EngineRandom& random);
    // New feedback, output weight and pitch-bend step.
    void update(float feedback, float diffusionGain, float bendValue);

    // One sample: returns the delayed value and writes feedback * y + x.
    float step(float x)
    {
        const float y = delayLine[(readIndex + static_cast<uint32_t>(bendPhase >> 9)) & kCombMask];
        readIndex += 1;
        lastOut = y;
        bendPhase = static_cast<int32_t>(static_cast<uint32_t>(bendPhase) + static_cast<uint32_t>(bendStep));
        delayLine[writeIndex & kCombMask] = feedback * y + x;
        writeIndex += 1;
        return y;
    }

    float delayLine[kCombLength];
    uint32_t writeIndex; // grows by 1 per sample, wraps freely
    uint32_t readIndex;  // grows by 1 per sample, wraps freely
    float outGain;       // weight in the diffusion sum, 0.125 after construction
    float feedback;      // <= 0 in use
    int32_t bendStep;    // -64..64, added to bendPhase per sample
    int32_t bendPhase;   // read position is displaced by bendPhase >> 9
    float lastOut;       // value read by the latest step
    float baseGain;      // gain given at trigger time
};

} // namespace ovinta
