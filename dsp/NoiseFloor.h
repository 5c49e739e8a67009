// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where an impulse response meets its background noise, by Lundeby's
// iterative method (the one ISO 3382-1 recommends): from the response's
// energy envelope in short windows, a first noise estimate from its last
// tenth and a first decay line from the loudest window down to 10 dB above
// that noise give a first crossing point. Then, in windows of about five
// per 10 dB of decay, the noise is measured again from 10 dB of decay past
// the crossing point (at least the last tenth), a line is fitted to the
// decay from 25 dB to 5 dB above the noise, and the crossing point moves
// to where that line meets the noise; until it settles (five rounds at
// most). The decay is integrated up to the crossing point, and the energy
// the line would carry beyond it is added (Lundeby's compensation).
//
// A response whose last tenth is still falling has not reached a noise
// floor (a response cut where it fell below a threshold, or one that ends
// in digital silence): it is integrated to its end with nothing removed.

#include <cstddef>
#include <vector>

namespace ovinta {

struct NoiseFloor {
    bool found = false;            // false: no floor; integrate to the end, remove nothing
    double energy = 0.0;           // mean energy per sample of the noise
    double crossSeconds = 0.0;     // from the envelope's start; its length when not found
    double noiseFromSeconds = 0.0; // the noise was measured from here to the end
    double slopeDbPerSecond = 0.0; // the decay line at the crossing point (negative)
    double crossLevelEnergy = 0.0; // the line's mean energy per sample there
    // Energy of the line's tail after the crossing point, per sample of
    // mean energy at it: seconds of "tau" = 10 / (-slope ln 10).
    double tailSeconds() const;
};

// meanEnergy: mean squared sample of consecutive windows of windowSeconds
// each, from the response's first arrival; the last may be shorter.
NoiseFloor findNoiseFloor(const std::vector<double>& meanEnergy, double windowSeconds);

} // namespace ovinta
