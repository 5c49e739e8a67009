// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// The tag space shared by the host, the editor's controls and the engine
// setter, one name per number: 0..46 are host parameters (46 selects the
// program), 47..68 are editor-only tags. What each one means (name, record
// field, formulas, texts) is in ParameterTable.h.

namespace param {
enum Index : int {
    kGain = 0, kDryOut = 1, kAbsorb = 2, kHiCut = 3, kScatter = 4, kHeight = 5,
    kAbsorbAir = 6, kHiCutAir = 7, kEarsX = 8, kEarsY = 9, kSource1X = 10, kSource1Y = 11,
    kSource2X = 12, kSource2Y = 13, kPreDelay = 14, kScale = 15, kHeadAngle = 16,
    kDiffusion = 17, kDiffSize = 18, kDiffLoPass = 19, kBend = 20, kPanX = 21, kPanY = 22,
    kStereoOnOff = 23,
    kEQfreq1 = 24, kEQgain1 = 25, kEQwide1 = 26, kEQfreq2 = 27, kEQgain2 = 28, kEQwide2 = 29,
    kEQfreq3 = 30, kEQgain3 = 31, kEQwide3 = 32, kEQfreq4 = 33, kEQgain4 = 34, kEQwide4 = 35,
    kReverseOnOff = 36, kSpeakerIn1 = 37, kSpeakerIn2 = 38, kSpeakerOut1 = 39, kSpeakerOut2 = 40,
    kSpeakerOut3 = 41, kSpeakerOut4 = 42, kSpeakerOut5 = 43,
    kNumRays = 44, kSurround = 45, kProgramSelect = 46,
    // Editor-only tags. The spare ones have no control; a value sent to
    // them only announces a change to the engine.
    kMainScreen = 47, kSpare48 = 48, kSpare49 = 49, kSpare50 = 50, kSpare51 = 51,
    kSpare52 = 52, kMeterScreen = 53, k3DView = 54, kEQView = 55, kSpare56 = 56,
    kExportPage = 57, kImpulseScreen = 58, kHelp = 59, kToolLines = 60, kToolBoxes = 61,
    kToolEdit = 62, kMirror = 63, kClear = 64, kUndo = 65, kSpare66 = 66,
    kProgramPrevious = 67, kProgramNext = 68,
};
} // namespace param

constexpr int kHostParameterCount = 47;   // 0..46
constexpr int kHighestTag = param::kProgramNext;
constexpr int kTagCount = kHighestTag + 1; // tags run 0..68
constexpr int kInputChannelCapacity = 2;  // host input channels of the plug-in
constexpr int kOutputChannelCapacity = 6; // host output channels of the plug-in

// Host-visible name of parameter `index`; " " above 36 and for unknown indexes.
const char* parameterName(int index);

// Host-visible label of parameter `index`; the common "amount" for every index.
const char* parameterLabel(int index);

// True when the editor reports a user change of `index` to the host as
// automation (0-22, 24-35 and 46); false for the buttons and pins.
bool parameterIsReported(int index);

} // namespace ovinta
