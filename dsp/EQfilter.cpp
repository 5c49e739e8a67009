// Equaliser band design (second-order sections from the usual cookbook
// formulas, with a boost of twice the gain setting in dB).

#include "dsp/EQfilter.h"

#include <cmath>

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
    b0 = nb0 * inv;
    b1 = nb1 * inv;
    b2 = nb2 * inv;
    a1 = na1 * inv;
    a2 = na2 * inv;
}

void EQfilter::resetState()
{
    x1 = x2 = y1 = y2 = 0.0f;
}
