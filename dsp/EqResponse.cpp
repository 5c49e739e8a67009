// SPDX-License-Identifier: GPL-3.0-or-later
// EqResponse: impulse through the band chain, FFT, 1.5 log10 of each bin's
// magnitude.

#include "dsp/EqResponse.h"

#include <cmath>

namespace ovinta {

EqResponse::EqResponse()
    : curveData(std::make_unique<float[]>(kLength)), fft(std::make_unique<RealFft>(kLength)),
      work(std::make_unique<float[]>(kLength))
{
}

EqResponse::~EqResponse() = default;

void EqResponse::analyse(EQfilter& band1, EQfilter& band2, EQfilter& band3, EQfilter& band4)
{
    band1.resetState();
    band2.resetState();
    band3.resetState();
    band4.resetState();
    float* w = work.get();
    w[0] = 1.0f;
    for (int i = 1; i < kLength; ++i)
        w[i] = 0.0f;
    // The same step as the audio path, 1e-20 state offset included.
    for (int i = 0; i < kLength; ++i)
        w[i] = band4.step(band3.step(band2.step(band1.step(w[i]))));

    float* c = curveData.get();
    fft->forward(c, w);
    // Bin k's imaginary part sits at kLength/2 + k (k = 1 .. kLength/2 - 1),
    // above every entry this loop overwrites.
    constexpr int half = kLength / 2;
    for (int k = 0; k <= half; ++k) {
        const float re = c[k];
        const float im = (k == 0 || k == half) ? 0.0f : c[half + k];
        float magnitude = std::sqrt(re * re + im * im);
        if (!(magnitude > kFloorMagnitude))
            magnitude = kFloorMagnitude;
        c[k] = 1.5f * static_cast<float>(std::log10(static_cast<double>(magnitude)));
    }
}

} // namespace ovinta
