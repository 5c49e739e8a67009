// SPDX-License-Identifier: GPL-3.0-or-later
// Equaliser band design: the standard bilinear second-order sections,
// with a boost of twice the gain setting in dB.

#include "dsp/EQfilter.h"

#include <cmath>

namespace ovinta {

EQfilter::EQfilter(int type, float gainDb, float frequencyHz, float sampleRate, float width)
{
    computeCoefficients(type, gainDb, frequencyHz, sampleRate, width);
    resetState();
}

void EQfilter::computeCoefficients(int type, float gainDb, float frequencyHz, float sampleRate, float width)
{
    // A is 10^(gain/20), not 10^(gain/40): the peak or plateau moves by A^2.
    const float A = static_cast<float>(std::pow(10.0, 0.05 * static_cast<double>(gainDb)));
    const float w0 = (frequencyHz / sampleRate) * 6.2831855f;
    const float sn = static_cast<float>(std::sin(static_cast<double>(w0)));
    const float cs = static_cast<float>(std::cos(static_cast<double>(w0)));
    float nb0 = 1.0f, nb1 = 0.0f, nb2 = 0.0f, na0 = 1.0f, na1 = 0.0f, na2 = 0.0f;
    if (type == kEqLowShelf || type == kEqHighShelf) {
        const float P = sn * std::sqrt(A) / (width + 1e-9f); // width acts as the shelf's Q
        const float ap = A + 1.0f, am = A - 1.0f;
        if (type == kEqLowShelf) {
            nb0 = A * (ap - am * cs + P);
            nb1 = 2.0f * A * (am - ap * cs);
            nb2 = A * (ap - am * cs - P);
            na0 = ap + am * cs + P;
            na1 = -2.0f * (am + ap * cs);
            na2 = ap + am * cs - P;
        } else {
            nb0 = A * (ap + am * cs + P);
            nb1 = -2.0f * A * (am + ap * cs);
            nb2 = A * (ap + am * cs - P);
            na0 = ap - am * cs + P;
            na1 = 2.0f * (am - ap * cs);
            na2 = ap - am * cs - P;
        }
    } else {
        // width is a bandwidth in octaves; 0.3465736 = ln 2 / 2
        const float alpha = sn * static_cast<float>(std::sinh(
                                     static_cast<double>(0.3465736f * width * w0 / sn)));
        if (type == kEqPeaking) {
            nb0 = 1.0f + alpha * A;
            nb1 = -2.0f * cs;
            nb2 = 1.0f - alpha * A;
            na0 = 1.0f + alpha / A;
            na1 = -2.0f * cs;
            na2 = 1.0f - alpha / A;
        } else { // low-pass
            nb0 = (1.0f - cs) / 2.0f;
            nb1 = 1.0f - cs;
            nb2 = (1.0f - cs) / 2.0f;
            na0 = 1.0f + alpha;
            na1 = -2.0f * cs;
            na2 = 1.0f - alpha;
        }
    }
    const float inv = 1.0f / na0;
    const float c[5] = {nb0 * inv, nb1 * inv, nb2 * inv, na1 * inv, na2 * inv};
    // Settings outside the design's range (a frequency of 0 or at Nyquist, a
    // zero sample rate, a negative width) can give infinite or unstable
    // coefficients; such a band passes its input unchanged instead of
    // filling the audio path with NaN.
    bool usable = std::fabs(c[4]) < 1.0f && std::fabs(c[3]) <= 1.0f + c[4];
    for (float v : c)
        usable = usable && std::isfinite(v);
    if (!usable) {
        b0 = 1.0f;
        b1 = b2 = a1 = a2 = 0.0f;
        return;
    }
    b0 = c[0];
    b1 = c[1];
    b2 = c[2];
    a1 = c[3];
    a2 = c[4];
}

void EQfilter::resetState()
{
    x1 = x2 = y1 = y2 = 0.0f;
}

} // namespace ovinta
