// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The room-acoustic figures of a whole file, every channel in full band and
// octave bands, through dsp/DecayAnalysis: the file is read once for each
// channel's DC offset and then once for each of the analysis's passes, a
// block at a time, so a long file costs time, not memory.

#include "dsp/DecayAnalysis.h"
#include "dsp/RoomAcoustics.h"

#include <string>
#include <vector>

namespace ovinta {

class AudioReader;
class Progress;

struct ChannelAnalysis {
    double dcOffset = 0.0; // removed before every figure
    BandAnalysis full;
    BandAnalysis octave[kOctaveBandCount];
};

// Analyses every channel of the reader's file from its start.
std::vector<ChannelAnalysis> analyseFile(AudioReader& reader, Progress& progress);

} // namespace ovinta
