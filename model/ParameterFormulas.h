// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a raw parameter value (normally 0..1) means, each formula written
// once, in the engine's float arithmetic: the engine derives its values with
// them, and the value displays and host texts show their results. Callers
// limit wild raw values first where they need finite results (see
// kDeriveLimit).

#include "base/Convert.h"
#include "base/Limits.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

namespace formula {

// Raw values beyond this are limited to it before deriving, so that every
// derived value stays finite and every whole number fits an int.
constexpr float kDeriveLimit = 1.0e6f;
inline float limited(float v) { return std::clamp(v, -kDeriveLimit, kDeriveLimit); }

inline float cube(float v) { return v * v * v; }
// Nearest whole number as trunc(x + 0.5), kept as a float.
inline float nearestWhole(float x) { return std::trunc(x + 0.5f); }

inline float squareGain(float v) { return v * v; }                 // wet and dry gains
constexpr float kWetDisplayScale = 1.58489f;                       // 10^(4/20): full wet reads +4 dB
inline float wallFactor(float v) { return 1.0f - 0.7f * cube(v); } // wall absorb and hi-cut
inline float airFactor(float v) { return 1.0f - 0.005f * cube(v); } // per metre of air
inline float scatterAmount(float v) { return 0.5f * v; }
inline float heightSpread(float v) { return 40.0f * v; }
inline float positionMetres(float v) { return nearestWhole(50.0f * v); } // on the 50 m plan
// The raw value of a position parameter for whole metres m (m / 50).
inline float positionValue(float metres) { return metres * 0.02f; }
inline float pannerUnits(float v) { return nearestWhole(46.0f * v); }
inline float preDelayMs(float v) { return 1000.0f * v - 500.0f; }
inline float roomScale(float v) { return std::max(2.0f * v, 0.1f); }
inline float diffusionGain(float v) { return 1.58489f * v; }
inline float diffusionSize(float v) { return v >= 0.5f ? 8.0f * cube(v) : 2.0f * v; }
inline float stereoWidthFactor(float v) { return 2.0f * v * v; }

// Degrees 0..359 the listener faces: trunc(360 v) - 180, wrapped once.
inline int headAngleDegrees(float v)
{
    int degrees = truncToInt(static_cast<double>(360.0f * v)) - 180;
    if (degrees < 0)
        degrees += 360;
    return degrees;
}
// The head's turn in radians, (v + 1/2) of a full turn, in double.
inline double headTurn(float v) { return (static_cast<double>(v) + 0.5) * 6.283185307179586; }

// 2 * (8 + trunc(248 v)) rays, kept within 16..512 (the slot array).
// Worked in double so that a wild value cannot overflow before the limits.
inline int rayCount(float v)
{
    const double count = 2.0 * (8.0 + std::trunc(248.0 * static_cast<double>(v)));
    return static_cast<int>(std::clamp(count, 16.0, static_cast<double>(kMaxRays)));
}
inline int outputsSetting(float v) { return std::clamp(truncToInt(static_cast<double>(v)), 0, 2); } // 0 two, 1 four, 2 five

inline float eqFrequencyHz(float v) { return 15980.0f * cube(v) + 20.0f; }
// The inverse: the raw value whose band frequency is `hz` (20..16,000 Hz).
inline float eqFrequencyValue(float hz) { return std::cbrt((hz - 20.0f) * 6.257822e-5f); }
inline float eqGainDb(float v) { return 30.0f * (v - 0.5f); }
inline float shelfWidth(float v) { return 0.8f * (1.0f - v) + 0.2f; }  // bands 1 and 4: a Q
inline float peakOctaves(float v) { return 3.0f * v + 0.1f; }         // bands 2 and 3: octaves

} // namespace formula

} // namespace ovinta
