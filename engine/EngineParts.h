// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's state in groups, one record per owner, so that who may touch
// what shows in the types:
// - EngineValues: values derived from the parameters (and a few the tracer
//   and the host publish), relaxed shared scalars that any thread may read;
// - EditorSignals: flags and countdowns the engine raises for the editor;
// - AudioPath: the buffers and filter states of the audio path, touched only
//   by the audio thread or by a thread that has taken the path away from it.

#include "base/Limits.h"
#include "base/Shared.h"
#include "dsp/CombFilter.h"
#include "dsp/EQfilter.h"
#include "dsp/KernelWorkspace.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace ovinta {

struct EngineValues {
    // Room and positions (setter), read by the tracer and the editor.
    Shared<float> sourceX[2], sourceY[2]; // whole metres
    Shared<float> listenerX, listenerY;
    Shared<float> wallHiCut, wallAbsorb, airHiCut, airAbsorb; // factors
    Shared<float> scatterAmount, heightSpread, scale, preDelayMs, bendValue;
    Shared<int> headAngleDegrees;
    Shared<float> headSin, headCos;
    Shared<int> stereoOn, reverseOn;
    Shared<int> rayCount;              // requested ray count, 16..512
    // Published by the tracer and the ray set-up.
    Shared<int> activeRays;            // slots in use
    Shared<int> longestTap;            // most negative tap delay, <= 0
    Shared<float> captureRadius;       // last value computed by the tracer
    Shared<float> samplesPerMetre;     // sampleRate / 340, refreshed by every trace
    // Mix, read by the kernels once per block.
    Shared<float> wetGain, dryGain;
    Shared<float> diffusionGain, diffusionSize, widthFactor;
    Shared<float> panX, panY;          // surround panner, 0..46
    Shared<float> outputGain[kOutputRoles];
    Shared<int> outputsSetting;        // 0 stereo, 1 four outputs, 2 five outputs
    // Equaliser settings as derived; the designs reach the kernels separately.
    Shared<float> eqFrequency[kEqBands], eqGain[kEqBands], eqWidth[kEqBands];
    // Routing and host facts.
    Shared<int> inputChannelCount{2};
    Shared<int> outputCount{2};        // outputs the driver feeds
    Shared<float> sampleRate{44100.0f};
    Shared<int> inputChannel[2];       // host input for sources 1, 2
    Shared<int> outputChannel[kOutputRoles]; // host output for roles L, R, Ls, Rs, C
    Shared<int> currentProgram;
    Shared<bool> loadingProgram;       // a program's fields are being applied
    Shared<float> rawParam63;          // last value sent to the MIRROR tag
    Shared<float> lastGetterValue;     // what getParameter returned last (impulse screen tag)
    // Audio thread -> editor.
    Shared<float> outputPeak[kOutputRoles]; // raised by the kernels, lowered by the meter
    Shared<int> processTick;           // process calls so far
};

// The temporary view the main screen shows after a change of scatter, ray
// count or equaliser.
enum TempView : int { kTempViewNone = 0, kTempViewScatter = 1, kTempViewRays = 2, kTempViewEq = 3 };

struct EditorSignals {
    Shared<bool> viewDirty{true};      // main screen must rebuild its cached picture
    Shared<bool> roomDirty;            // room view must rebuild its drawing
    Shared<int> tempViewMode;          // TempView
    Shared<int> tempViewTicks;         // editor ticks the temporary view stays
    Shared<int> exportCountdown;       // 0 idle; counts editor ticks to a deferred export
    Shared<int> exportError;           // 1 after an export failed to write
    Shared<int> exportErrorTicks;      // editor ticks the error banner stays
};

// One ray slot as the main screen's overlays draw it.
struct RayView {
    int source = 0;                            // 0 source 1, 1 source 2
    float startDirX = 0.0f, startDirY = 0.0f;  // emission direction (sin, cos)
    float firstHitX = 0.0f, firstHitY = 0.0f;  // first reflection, (0, 0) before one
    float firstDirX = 0.0f, firstDirY = 0.0f;  // direction after it x 20
    float firstLevel = 0.0f;                   // level at the first reflection
};

// A slot's latest posted tap, as the impulse screen draws it.
struct PostedTap {
    int delay = 0;                   // <= 0, samples after the direct moment
    float gain[kOutputRoles] = {};   // L, R, Ls, Rs, C
    float hiFreq = 0.0f;             // high-frequency factor, 0..1
};

struct AudioPath {
    AudioPath(); // allocates the histories, flat equaliser bands

    std::unique_ptr<float[]> sourceHistory[2]; // kHistoryLength each
    uint32_t writePos = 0;             // history index of the next block's first sample
    // Samples just before writePos that may differ from the reset fill; a
    // reset refills only these, so a host's frequent resets stay cheap.
    uint32_t unclean = static_cast<uint32_t>(kHistoryLength);
    CombFilter combs[2][kCombsPerBank]; // bank 0 for history 0, bank 1 for history 1
    // Equaliser sets stepped by the kernels: A for history 0, C for history 1.
    // Their coefficients come from the designs the setter publishes.
    EQfilter eqA[kEqBands], eqC[kEqBands];
    uint32_t eqApplied = 0;            // design sequence last copied into A and C
    KernelWorkspace kernelWork;        // the kernels' scratch memory

    // Moves the history on by `n` samples the kernels have just written.
    void advance(uint32_t n)
    {
        writePos = (writePos + n) & kHistoryMask;
        constexpr auto whole = static_cast<uint32_t>(kHistoryLength);
        unclean = n >= whole - unclean ? whole : unclean + n;
    }
};

// A band design published to the audio thread through eqSequence. The
// writer stores each coefficient with release and the reader loads it with
// acquire: a reader that sees any coefficient of a newer design then also
// sees the odd sequence that preceded it, and so knows to retry.
struct EqDesign {
    std::atomic<float> b0{1.0f}, b1{0.0f}, b2{0.0f}, a1{0.0f}, a2{0.0f};
};

} // namespace ovinta
