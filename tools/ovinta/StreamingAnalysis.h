#pragma once
// The room-acoustic figures of dsp/RoomAcoustics, computed over a file in
// several passes instead of from whole arrays held in memory: a pass for
// each channel's DC offset (the mean of the last tenth of the file, where a
// response has died away), then four passes that find each band's peak,
// its first arrival, its floor and integration limit, its energy figures,
// and last its Schroeder decay with the line fits. Only one block of the
// file and a 10 ms-window summary per band are kept, so a long file costs
// time, not memory. The decay is integrated forward (total minus what has
// gone), which equals the backward integral up to rounding.

#include "dsp/RoomAcoustics.h"

#include <string>
#include <vector>

namespace ovinta {

class AudioReader;
class Progress;

// A fitted reverberation line, for plotting: level at `fromSeconds` and
// slope, valid up to `toSeconds` (times from the start of the file).
struct DecayFit {
    bool valid = false;
    double fromSeconds = 0.0, toSeconds = 0.0, fromDb = 0.0, slopeDbPerSecond = 0.0;
};

struct BandAnalysis {
    AcousticFigures figures;
    // The Schroeder decay at up to about 2000 points, times from the start
    // of the file; empty when the band was not measured.
    std::vector<double> curveSeconds, curveDb;
    DecayFit t20, t30;
};

struct ChannelAnalysis {
    double dcOffset = 0.0; // mean of the file's last tenth, removed before every figure
    BandAnalysis full;
    BandAnalysis octave[kOctaveBandCount];
};

// Analyses every channel of the reader's file from its start.
std::vector<ChannelAnalysis> analyseFile(AudioReader& reader, Progress& progress);

} // namespace ovinta
