#pragma once
// Impulse-response measurement of one program: the wet response to a unit
// impulse on both inputs, rendered through the engine at a given rate, and
// its reverberation time and initial delay from the backward-integrated
// energy decay of L and R together.

#include "tools/measure-rooms/RoomPlayer.h"

struct RoomMeasurement {
    int program = 0;
    double reverbSeconds = -1.0;  // T30, else T20, else EDT; -1 when none could be measured
    const char* reverbKind = "n/a"; // which of them reverbSeconds is
    double edtSeconds = -1.0;     // -1 when not measurable
    double initialDelayMs = -1.0; // first arrival of the wet response; -1 when silent
    double peakDb = -400.0;       // loudest wet sample, dB full scale
    double renderedSeconds = 0.0;
};

// Selects `program`, silences the dry path, clears the audio state and
// renders until the response has died away (80 dB below its peak) or
// maxSeconds have passed.
RoomMeasurement measureProgram(RoomPlayer& player, int program, float sampleRate, double maxSeconds);
