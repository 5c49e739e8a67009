// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Impulse-response measurement of one program: the wet response to a unit
// impulse on both inputs, rendered through the plug-in core at a given
// rate, and its reverberation time and initial delay from the backward-
// integrated energy decay of L and R together.

#include "core/PluginCore.h"

namespace ovinta {

struct RoomMeasurement {
    static constexpr double kChannels = 2.0; // L and R are measured
    int program = 0;
    double reverbSeconds = -1.0;    // T30, else T20, else EDT; -1 when none could be measured
    const char* reverbKind = "n/a"; // which of them reverbSeconds is
    double edtSeconds = -1.0;       // -1 when not measurable
    double initialDelayMs = -1.0;   // first arrival of the wet response; -1 when silent
    double peakDb = -400.0;         // loudest wet sample, dB full scale
    double levelDb = -400.0;        // wet energy per channel, dB: the wet gain for white noise
    double renderedSeconds = 0.0;
};

// Sets the rate, selects `program`, silences the dry path, resets the audio
// state (as a resume does) and renders until the response has died away
// (80 dB below its peak) or maxSeconds have passed.
RoomMeasurement measureProgram(PluginCore& core, int program, float sampleRate, double maxSeconds);

} // namespace ovinta
