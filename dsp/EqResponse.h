// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EqResponse: the measured magnitude response of a four-band equaliser
// chain, for the editor's EQ view. It runs a unit impulse of kLength samples
// through the four bands with their per-sample step (state reset first) and
// transforms the result; curve()[k] is then 1.5 log10 of the magnitude of
// bin k, k = 0 .. kLength / 2 (bin k is k sampleRate / kLength Hz), so a
// flat band set gives 0 and each unit is 13.33 dB.
//
// Everything is allocated by the constructor; analyse() allocates nothing.
// One object per user thread (the editor's GUI thread).

#include "dsp/EQfilter.h"
#include "dsp/RealFft.h"

#include <memory>
#include <span>

namespace ovinta {

class EqResponse {
public:
    static constexpr int kLength = 8192;          // impulse and transform length
    static constexpr int kBins = kLength / 2 + 1; // curve entries 0 .. 4096
    // Magnitudes below this count as this: an exact zero would give -inf.
    static constexpr float kFloorMagnitude = 1e-30f;

    EqResponse();
    ~EqResponse();
    EqResponse(const EqResponse&) = delete;
    EqResponse& operator=(const EqResponse&) = delete;

    // Resets the four bands' state, runs the impulse through band 1 -> 2 ->
    // 3 -> 4 and leaves the response in curve()[0 .. kBins).
    void analyse(EQfilter& band1, EQfilter& band2, EQfilter& band3, EQfilter& band4);

    // The transform's output; after an analysis entries 0 .. kBins - 1 hold
    // the response curve.
    std::span<const float> curve() const { return {curveData.get(), static_cast<size_t>(kLength)}; }

private:
    std::unique_ptr<float[]> curveData; // kLength floats
    std::unique_ptr<RealFft> fft;       // kLength points
    std::unique_ptr<float[]> work;      // kLength floats: the filtered impulse
};

} // namespace ovinta
