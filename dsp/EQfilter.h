// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// One second-order section of the four-band equaliser (low-pass, peaking,
// low shelf or high shelf). The design runs on whatever thread changes a
// band; the step runs on the thread that owns the filter's state.

// The band's difference equation, written once for any type with + - *: a
// float for one band, or a SIMD vector holding several bands side by side
// (the kernels' equaliser), so that every form rounds alike.
template <typename T>
inline T eqDifference(T b0, T b1, T b2, T a1, T a2, T x, T x1, T x2, T y1, T y2)
{
    return b0 * x + b2 * x2 + b1 * x1 - a1 * y1 - a2 * y2;
}

enum EqType : int { kEqLowPass = 0, kEqPeaking = 4, kEqLowShelf = 5, kEqHighShelf = 6 };

class EQfilter {
public:
    EQfilter(int type, float gainDb, float frequencyHz, float sampleRate, float width);
    virtual ~EQfilter() = default;

    // Redesigns the filter; the state is kept, so a running band changes smoothly.
    void computeCoefficients(int type, float gainDb, float frequencyHz, float sampleRate, float width);
    void resetState(); // x1 = x2 = y1 = y2 = 0

    float step(float x)
    {
        const float y = eqDifference(b0, b1, b2, a1, a2, x, x1, x2, y1, y2);
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y + 1e-20f; // keeps the recursion out of the denormal range in silence
        out = y;
        return y;
    }

    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f; // feed-forward, divided by a0
    float a1 = 0.0f, a2 = 0.0f;            // feedback, divided by a0
    float x1 = 0.0f, x2 = 0.0f;            // previous inputs
    float y1 = 0.0f, y2 = 0.0f;            // previous outputs (y1 carries +1e-20)
    float out = 0.0f;                      // latest output
};

} // namespace ovinta
