// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Room-acoustic figures of an impulse response, computed from its
// backward-integrated (Schroeder) energy decay in the usual way of room
// acoustics measurement: reverberation times EDT (0 to -10 dB), T20 (-5 to
// -25 dB) and T30 (-5 to -35 dB) from a least-squares line through the decay,
// each extrapolated to 60 dB; clarity C50 and C80, definition D50, centre
// time, and the initial delay of the first arrival. Full band and octave
// bands 125 Hz - 8 kHz (OctaveBandFilter). The figures are accumulated by
// DecayAnalysis, fed block by block over several passes; the functions here
// run it over a response held in memory (factory-room measurements), and
// `ovinta analyse` runs it over a file. Never used on the audio path.
//
// Noise and short responses: the background noise and the point where the
// decay meets it come from Lundeby's iterative method (NoiseFloor.h). The
// noise is subtracted, the decay integrated up to that point, and the
// energy the decay line carries beyond it added. A response that has not
// reached a noise floor within its length (cut while it still falls, or
// ending in silence) is integrated to its end with nothing removed. A
// reverberation time is reported only when the loudest 10 ms window lies
// far enough above the floor (the noise, else the level of the response's
// last tenth): EDT 20 dB, T20 35 dB, T30 45 dB. C50 and C80 need energy
// after 50 and 80 ms. A figure that cannot be measured is absent ("n/a"),
// and `note` says why.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ovinta {

constexpr int kOctaveBandCount = 7;
extern const double kOctaveCentresHz[kOctaveBandCount]; // 125 .. 8000 Hz
constexpr double kOnsetThresholdDb = -20.0; // first arrival: this far below the peak energy

struct AcousticFigures {
    bool measured = false;                   // false: empty or silent response, or band unusable
    double decayRangeDb = 0.0;               // loudest 10 ms above the floor, at most 200 dB
    std::optional<double> initialDelaySeconds; // first sample within kOnsetThresholdDb of the peak
    std::optional<double> edtSeconds, t20Seconds, t30Seconds;
    std::optional<double> c50Db, c80Db;      // n/a when nothing arrives after 50 / 80 ms
    std::optional<double> d50;               // 0..1
    std::optional<double> centreTimeSeconds; // from the first arrival
    bool noiseFloorFound = false;            // false: integrated to the end, nothing removed
    std::string note;                        // why figures are n/a, one line; empty if none is
};

struct ChannelFigures {
    AcousticFigures fullBand;
    AcousticFigures octave[kOctaveBandCount];
};

// Figures of one response (any band), samples at sampleRate.
AcousticFigures analyseResponse(const std::vector<double>& samples, double sampleRate);

// Full band and the seven octave bands of one channel.
ChannelFigures analyseChannel(const float* samples, std::size_t count, double sampleRate);

// Schroeder decay in dB (0 at the first arrival) from `first` up to `end`
// (exclusive), of the energies given; entries before `first` are unused.
// The least-squares line through decay points (t seconds, L dB) from their
// sums: level = interceptDb + slopeDbPerSecond * t. None unless the points
// span time and fall.
struct DecayLine {
    double slopeDbPerSecond;
    double interceptDb;
};
std::optional<DecayLine> fitDecayLine(double count, double sumT, double sumL, double sumTT, double sumTL);

std::vector<double> schroederDecayDb(const std::vector<double>& energy, std::size_t first,
                                     std::size_t end);

} // namespace ovinta
