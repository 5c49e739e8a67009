// SPDX-License-Identifier: GPL-3.0-or-later
// Design and running of the octave-band analysis filter.

#include "dsp/OctaveBandFilter.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace ovinta {

OctaveBandFilter::OctaveBandFilter(double centreHz, double sampleRate)
{
    const double upperHz = centreHz * std::numbers::sqrt2;
    const double lowerHz = centreHz / std::numbers::sqrt2;
    if (!(sampleRate > 0.0) || !(centreHz > 0.0) || upperHz >= 0.45 * sampleRate)
        return;
    // Pre-warped analog edges, so that the digital filter's edges land exactly.
    const double c = 2.0 * sampleRate;
    const double w1 = c * std::tan(std::numbers::pi * lowerHz / sampleRate);
    const double w2 = c * std::tan(std::numbers::pi * upperHz / sampleRate);
    const double w0squared = w1 * w2;
    const double bandwidth = w2 - w1;

    // One prototype pole p = exp(j*3pi/4) maps to the two roots of
    // s^2 - p*B*s + w0^2 = 0; each root and its conjugate (from the
    // conjugate prototype pole) make one section B*s / (s^2 + a1*s + a0).
    const std::complex<double> p = std::polar(1.0, 0.75 * std::numbers::pi);
    const std::complex<double> pb = p * bandwidth;
    const std::complex<double> root = std::sqrt(pb * pb - 4.0 * w0squared);
    const std::complex<double> poles[2] = {(pb + root) * 0.5, (pb - root) * 0.5};
    for (int k = 0; k < 2; ++k) {
        const double a1 = -2.0 * poles[k].real();
        const double a0 = std::norm(poles[k]);
        // Bilinear transform s = c (1 - z^-1) / (1 + z^-1).
        const double d0 = c * c + a1 * c + a0;
        Section& s = sections[k];
        s.b0 = bandwidth * c / d0;
        s.b2 = -s.b0;
        s.a1 = (2.0 * a0 - 2.0 * c * c) / d0;
        s.a2 = (c * c - a1 * c + a0) / d0;
    }
    isUsable = true;
}

void OctaveBandFilter::reset()
{
    for (Section& s : sections)
        s.x1 = s.x2 = s.y1 = s.y2 = 0.0;
}

double OctaveBandFilter::process(double x)
{
    if (!isUsable)
        return 0.0;
    for (Section& s : sections) {
        const double y = s.b0 * x + s.b2 * s.x2 - s.a1 * s.y1 - s.a2 * s.y2;
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
        x = y;
    }
    return x;
}

std::vector<double> OctaveBandFilter::filter(const float* samples, std::size_t count)
{
    reset();
    std::vector<double> out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = process(static_cast<double>(samples[i]));
    return out;
}

} // namespace ovinta
