#pragma once
// The parameter index space shared by the host, the editor's control tags and
// the engine setter: 0..46 are host parameters (46 selects the program),
// 47..68 are editor-only tags.

namespace param {
enum Index : int {
    kGain = 0, kDryOut = 1, kAbsorb = 2, kHiCut = 3, kScatter = 4, kHeight = 5,
    kAbsorbAir = 6, kHiCutAir = 7, kEarsX = 8, kEarsY = 9, kSource1X = 10, kSource1Y = 11,
    kSource2X = 12, kSource2Y = 13, kPreDelay = 14, kScale = 15, kHeadAngle = 16,
    kDiffusion = 17, kDiffSize = 18, kDiffLoPass = 19, kBend = 20, kPanX = 21, kPanY = 22,
    kStereoOnOff = 23,
    kEQfreq1 = 24, kEQgain1 = 25, kEQwide1 = 26, kEQfreq2 = 27, kEQgain2 = 28, kEQwide2 = 29,
    kEQfreq3 = 30, kEQgain3 = 31, kEQwide3 = 32, kEQfreq4 = 33, kEQgain4 = 34, kEQwide4 = 35,
    kReverseOnOff = 36, kSpeakerIn1 = 37, kSpeakerIn2 = 38, kSpeakerOut1 = 39, kSpeakerOut5 = 43,
    kNumRays = 44, kSurround = 45, kProgramSelect = 46,
    kEditorFirst = 47, kStoreRaw = 63, kRedraw = 64, kProgramPrevious = 67, kProgramNext = 68,
};
} // namespace param

constexpr int kHostParameterCount = 47;   // 0..46
constexpr int kHighestTag = 68;
constexpr int kInputChannelCapacity = 2;  // host input channels of the plug-in
constexpr int kOutputChannelCapacity = 6; // host output channels of the plug-in

// Host-visible name of parameter `index`; " " above 36 and for unknown indexes.
const char* parameterName(int index);

// True when the editor reports a user change of `index` to the host as
// automation (0-22, 24-35 and 46); false for the buttons and pins.
bool parameterIsReported(int index);
