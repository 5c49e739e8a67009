// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DecayAnalysis: the room-acoustic figures of one band of one impulse
// response (RoomAcoustics.h), accumulated over several passes in which the
// response is fed block by block from its first sample. Only a 10 ms-window
// summary of the response is kept between passes, so a long response costs
// time, not memory: a file can be read again for each pass, an array in
// memory fed again. The passes find the peak, the first arrival, the noise
// floor and the point where the decay meets it (NoiseFloor.h), the energy
// figures, and last the Schroeder decay with its line fits. The decay is integrated forward (total minus
// what has gone), which equals the backward integral up to rounding.
//
// Used by analyseResponse/analyseChannel, the factory-room measurements and
// `ovinta analyse`; never on the audio path.

#include "dsp/RoomAcoustics.h"

#include <cstddef>
#include <vector>

namespace ovinta {

// A fitted reverberation line, for plotting: level at `fromSeconds` and
// slope, valid up to `toSeconds` (times from the start of the response).
struct DecayFit {
    bool valid = false;
    double fromSeconds = 0.0, toSeconds = 0.0, fromDb = 0.0, slopeDbPerSecond = 0.0;
};

struct BandAnalysis {
    AcousticFigures figures;
    // The Schroeder decay at up to about 2000 points, times from the start
    // of the response; empty when the band was not measured.
    std::vector<double> curveSeconds, curveDb;
    DecayFit t20, t30;
    // How long after the first arrival the level last stood within 10 dB of
    // its loudest 10 ms: well under 2 s for any room's impulse response,
    // the length of the piece for music or steady noise.
    double loudSpanSeconds = 0.0;
};

class DecayAnalysis {
public:
    static constexpr int kPassCount = 5;

    explicit DecayAnalysis(double sampleRate);

    // Pass p (0 .. kPassCount-1): beginPass, the whole response in order in
    // any number of feed calls, endPass. A response found silent in pass 0
    // needs no further passes (active() false); its figures say so.
    void beginPass(int pass);
    void feed(const double* samples, std::size_t count);
    void endPass();
    bool active() const { return alive; }

    const BandAnalysis& result() const { return band; }

private:
    void feedOne(double e);
    void settleFloor();
    void energyPoint(std::size_t i, double e);
    void finishEnergy();
    double tailBefore(double limitSeconds) const;
    void decayPoint(std::size_t i, double e);
    void finishDecay();

    // Least-squares line through the decay between two levels, fed one
    // level per sample in time order.
    struct LineFit {
        double upperDb, lowerDb;
        bool gatedByLinearity; // T20, T30: withheld when far from a straight line
        bool started = false, done = false;
        std::size_t from = 0, to = 0;
        double count = 0.0, sumT = 0.0, sumL = 0.0, sumTT = 0.0, sumTL = 0.0, sumLL = 0.0;
        void add(std::size_t i, double levelDb, double rate);
        // 1000 (1 - r^2) of the points: 0 for a straight decay.
        double nonLinearityPerMille() const;
        std::optional<double> seconds(double rangeDb, double rate, DecayFit& line) const;
    };

    double rate;
    std::size_t window; // samples per 10 ms window
    int pass = -1;
    std::size_t index = 0; // next sample of the current pass
    BandAnalysis band;
    bool alive = true, found = false;
    std::size_t n = 0, first = 0, end = 0, n50 = 0, n80 = 0, step = 1;
    double peak = 0.0, onset = 0.0, floorEnergy = 0.0, rangeDb = 0.0;
    double tailEnergy = 0.0, tailTau = 0.0; // the decay's energy beyond `end`, its time constant (s)
    std::vector<double> windowSums;         // energy per window from the first arrival
    double total = 0.0, early50 = 0.0, early80 = 0.0, moment = 0.0, gone = 0.0;
    LineFit edt{0.0, -10.0, false}, t20{-5.0, -25.0, true}, t30{-5.0, -35.0, true};
};

} // namespace ovinta
