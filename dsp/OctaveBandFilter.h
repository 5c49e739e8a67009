// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Octave-band filter for room-acoustic analysis: a 4th-order Butterworth
// band-pass (the 2nd-order Butterworth low-pass prototype moved to the band by
// the low-pass to band-pass transform), realised as two cascaded biquads and
// discretised with the bilinear transform, its band edges pre-warped. The
// edges are fc/sqrt(2) and fc*sqrt(2), where the response is -3 dB; two
// octaves away it is about -24 dB. Analysis only, not on the audio path.

#include <cstddef>
#include <vector>

namespace ovinta {

class OctaveBandFilter {
public:
    // False when the band's upper edge is too close to the Nyquist frequency
    // for the design (above 0.45 of the sample rate); the filter then passes
    // nothing and usable() reports it.
    OctaveBandFilter(double centreHz, double sampleRate);

    bool usable() const { return isUsable; }
    void reset();
    double process(double x);
    // Filters a whole response from a cleared state.
    std::vector<double> filter(const float* samples, std::size_t count);

private:
    struct Section {
        double b0, b2, a1, a2;  // b1 is 0 for a band-pass section
        double x1, x2, y1, y2;  // direct form I state
    };
    Section sections[2] = {};
    bool isUsable = false;
};

} // namespace ovinta
