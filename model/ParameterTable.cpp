// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter table: one row per tag, and the program-application order
// taken from its ranks.

#include "model/ParameterTable.h"

#include "model/HostDisplay.h"
#include "model/ParameterFormulas.h"
#include "model/ValueFormat.h"

#include <array>

namespace ovinta {

namespace param {
namespace {

using namespace formula;
namespace vf = valueformat;
using P = OvintaProgram;

constexpr const char* kAmount = "amount"; // the one host label
constexpr Retrace kNo = Retrace::No;
constexpr Retrace kYes = Retrace::Yes;
constexpr Retrace kRaySetup = Retrace::WithRaySetup;
constexpr Follow kKnob = Follow::KnobWithDisplay;
constexpr Follow kStored = Follow::StoredValue;
constexpr Follow kSpecial = Follow::Special;
constexpr Follow kNone = Follow::None;

float same(float v) { return v; }
float whole(float v) { return std::trunc(v); }
float wetShown(float v) { return squareGain(v) * kWetDisplayScale; }
float wallShown(float v) { return 1.0f - wallFactor(v); }
float heightShown(float v) { return heightSpread(v) * 0.5f + 2.0f; }
float airShown(float v) { return (1.0f - airFactor(v)) * 100.0f; }
float headDegrees(float v) { return static_cast<float>(headAngleDegrees(v)); }
float rays(float v) { return static_cast<float>(rayCount(v)); }
float outputs(float v) { return static_cast<float>(outputsSetting(v)); }

// An editor-only tag: no host name, field, formula or text.
constexpr Row editorTag(Retrace retrace, Follow follow)
{
    return {" ", nullptr, nullptr, false, retrace, -1, follow, nullptr, nullptr, nullptr, nullptr};
}

// Columns: name, label, field, reported, retrace, applyRank, follow, derive,
// shown, format, describe.
constexpr Row kRows[kTagCount] = {
    {"Wet gain", kAmount, &P::parGain, true, kYes, 19, kKnob, squareGain, wetShown, vf::decibels, nullptr},
    {"Dry gain", kAmount, &P::parDryOut, true, kNo, 20, kKnob, squareGain, squareGain, vf::decibels, nullptr},
    {"Wall absorb", kAmount, &P::parAbsorb, true, kYes, 21, kKnob, wallFactor, wallShown, vf::percentTwoDecimals,
     nullptr},
    {"Wall hi-cut", kAmount, &P::parHiCut, true, kYes, 22, kKnob, wallFactor, wallShown, vf::percentTwoDecimals,
     nullptr},
    {"Wall scatter", kAmount, &P::parScatter, true, kYes, 33, kKnob, scatterAmount, scatterAmount,
     vf::percentTwoDecimals, nullptr},
    {"Wall height", kAmount, &P::parHeight, true, kYes, 32, kKnob, heightSpread, heightShown, vf::metres, nullptr},
    {"Air absorb", kAmount, &P::parAbsorbAir, true, kYes, 23, kKnob, airFactor, airShown, vf::percentTwoDecimals,
     nullptr},
    {"Air Hi-cut", kAmount, &P::parHiCutAir, true, kYes, 24, kKnob, airFactor, airShown, vf::percentTwoDecimals,
     nullptr},
    {"Listener X", kAmount, &P::parEarsX, true, kYes, 0, kStored, positionMetres, nullptr, nullptr, vf::positionText},
    {"Listener Y", kAmount, &P::parEarsY, true, kYes, 1, kStored, positionMetres, nullptr, nullptr, vf::positionText},
    {"Source 1 X", kAmount, &P::parSource1X, true, kYes, 2, kStored, positionMetres, nullptr, nullptr,
     vf::positionText},
    {"Source 1 Y", kAmount, &P::parSource1Y, true, kYes, 3, kStored, positionMetres, nullptr, nullptr,
     vf::positionText},
    {"Source 2 X", kAmount, &P::parSource2X, true, kYes, 4, kStored, positionMetres, nullptr, nullptr,
     vf::positionText},
    {"Source 2 Y", kAmount, &P::parSource2Y, true, kYes, 5, kStored, positionMetres, nullptr, nullptr,
     vf::positionText},
    {"KSV Pre-delay", kAmount, &P::parPreDelay, true, kYes, 26, kKnob, preDelayMs, preDelayMs, vf::milliseconds,
     nullptr},
    {"KSV Scale", kAmount, &P::parScale, true, kYes, 25, kKnob, roomScale, roomScale, vf::percentRounded, nullptr},
    {"KSV Head angle", kAmount, &P::parHeadAngle, true, kYes, 13, kKnob, headDegrees, headDegrees, vf::wholeNumber,
     nullptr},
    {"Diffusion Gain", kAmount, &P::parDiffusion, true, kNo, 14, kKnob, diffusionGain, diffusionGain, vf::decibels,
     nullptr},
    {"Diffusion Scale", kAmount, &P::parDiffSize, true, kNo, 15, kKnob, diffusionSize, diffusionSize,
     vf::percentTruncated, nullptr},
    {"Diffusion Low-Pass", kAmount, &P::parDiffLoPass, true, kNo, 16, kKnob, stereoWidthFactor, stereoWidthFactor,
     vf::stereoWidth, nullptr},
    {"Diffusion Bend", kAmount, &P::parBend, true, kYes, 31, kStored, same, nullptr, nullptr, vf::fractionText},
    {"Pan L-R", kAmount, &P::parPanX, true, kNo, 28, kStored, pannerUnits, nullptr, nullptr, vf::pannerText},
    {"Pan F-B", kAmount, &P::parPanY, true, kNo, 29, kStored, pannerUnits, nullptr, nullptr, vf::pannerText},
    {"Stereo button", kAmount, &P::parStereoOnOff, false, kRaySetup, 17, kStored, whole, nullptr, nullptr,
     vf::switchText},
    {"EQ 1 Freq", kAmount, &P::parEQfreq1, true, kNo, 34, kStored, eqFrequencyHz, nullptr, nullptr,
     vf::eqFrequencyText},
    {"EQ 1 Gain", kAmount, &P::parEQgain1, true, kNo, 35, kStored, eqGainDb, nullptr, nullptr, vf::eqGainText},
    {"EQ 1 Width", kAmount, &P::parEQwide1, true, kNo, 36, kStored, shelfWidth, nullptr, nullptr,
     vf::shelfWidthText},
    {"EQ 2 Freq", kAmount, &P::parEQfreq2, true, kNo, 37, kStored, eqFrequencyHz, nullptr, nullptr,
     vf::eqFrequencyText},
    {"EQ 2 Gain", kAmount, &P::parEQgain2, true, kNo, 38, kStored, eqGainDb, nullptr, nullptr, vf::eqGainText},
    {"EQ 2 Width", kAmount, &P::parEQwide2, true, kNo, 39, kStored, peakOctaves, nullptr, nullptr,
     vf::peakWidthText},
    {"EQ 3 Freq", kAmount, &P::parEQfreq3, true, kNo, 40, kStored, eqFrequencyHz, nullptr, nullptr,
     vf::eqFrequencyText},
    {"EQ 3 Gain", kAmount, &P::parEQgain3, true, kNo, 41, kStored, eqGainDb, nullptr, nullptr, vf::eqGainText},
    {"EQ 3 Width", kAmount, &P::parEQwide3, true, kNo, 42, kStored, peakOctaves, nullptr, nullptr,
     vf::peakWidthText},
    {"EQ 4 Freq", kAmount, &P::parEQfreq4, true, kNo, 43, kStored, eqFrequencyHz, nullptr, nullptr,
     vf::eqFrequencyText},
    {"EQ 4 Gain", kAmount, &P::parEQgain4, true, kNo, 44, kStored, eqGainDb, nullptr, nullptr, vf::eqGainText},
    {"EQ 4 Width", kAmount, &P::parEQwide4, true, kNo, 45, kStored, shelfWidth, nullptr, nullptr,
     vf::shelfWidthText},
    {"Reverse button", kAmount, &P::parReverseOnOff, false, kYes, 18, kStored, whole, nullptr, nullptr,
     vf::switchText},
    {" ", kAmount, &P::parSpeakerIn1, false, kYes, 6, kStored, whole, nullptr, nullptr, vf::channelText, -1.0f, kInputChannelCapacity - 1.0f},
    {" ", kAmount, &P::parSpeakerIn2, false, kYes, 7, kStored, whole, nullptr, nullptr, vf::channelText, -1.0f, kInputChannelCapacity - 1.0f},
    {" ", kAmount, &P::parSpeakerOut1, false, kYes, 8, kStored, whole, nullptr, nullptr, vf::channelText, -1.0f, kOutputChannelCapacity - 1.0f},
    {" ", kAmount, &P::parSpeakerOut2, false, kYes, 9, kStored, whole, nullptr, nullptr, vf::channelText, -1.0f, kOutputChannelCapacity - 1.0f},
    {" ", kAmount, &P::parSpeakerOut3, false, kYes, 10, kStored, whole, nullptr, nullptr, vf::channelText, -1.0f, kOutputChannelCapacity - 1.0f},
    {" ", kAmount, &P::parSpeakerOut4, false, kYes, 11, kStored, whole, nullptr, nullptr, vf::channelText, -1.0f, kOutputChannelCapacity - 1.0f},
    {" ", kAmount, &P::parSpeakerOut5, false, kYes, 12, kStored, whole, nullptr, nullptr, vf::channelText, -1.0f, kOutputChannelCapacity - 1.0f},
    {" ", kAmount, &P::parNumRays, false, kRaySetup, 27, kKnob, rays, rays, vf::wholeNumber, nullptr},
    {" ", kAmount, &P::parSurround, false, kYes, 30, kStored, outputs, nullptr, nullptr, vf::outputsText, 0.0f,
     2.0f},
    // The program number: not a record field, applied by selecting the program.
    {" ", kAmount, nullptr, true, kYes, -1, kSpecial, nullptr, nullptr, nullptr, vf::wholeText},
    editorTag(kYes, kSpecial), // 47 main screen
    editorTag(kYes, kNone),    // 48 spare
    editorTag(kYes, kNone),    // 49 spare
    editorTag(kYes, kNone),    // 50 spare
    editorTag(kYes, kNone),    // 51 spare
    editorTag(kYes, kNone),    // 52 spare
    editorTag(kYes, kSpecial), // 53 meter screen
    editorTag(kNo, kSpecial),  // 54 3D view
    editorTag(kNo, kSpecial),  // 55 EQ view
    editorTag(kYes, kNone),    // 56 spare
    editorTag(kNo, kSpecial),  // 57 export page
    editorTag(kYes, kNone),    // 58 impulse screen
    editorTag(kYes, kSpecial), // 59 help
    editorTag(kNo, kSpecial),  // 60 LINES tool
    editorTag(kNo, kSpecial),  // 61 BOXES tool
    editorTag(kNo, kSpecial),  // 62 EDIT tool
    editorTag(kNo, kStored),   // 63 mirror: a stored value
    editorTag(kYes, kSpecial), // 64 clear
    editorTag(kYes, kNone),    // 65 undo
    editorTag(kNo, kNone),     // 66 spare
    editorTag(kYes, kSpecial), // 67 previous program
    editorTag(kYes, kSpecial), // 68 next program
};

// Index of each place in the program-application order, from the ranks;
// -1 marks a place no row claims (which the checks below rule out).
constexpr std::array<int, kStoredParameterCount> applyOrder()
{
    std::array<int, kStoredParameterCount> order{};
    order.fill(-1);
    for (int index = 0; index < kTagCount; ++index) {
        const int rank = kRows[index].applyRank;
        if (rank >= 0 && rank < kStoredParameterCount)
            order[static_cast<std::size_t>(rank)] = index;
    }
    return order;
}
constexpr std::array<int, kStoredParameterCount> kApplyOrder = applyOrder();

constexpr bool everyFieldIsAppliedOnce()
{
    int ranked = 0;
    for (const Row& r : kRows)
        if (r.applyRank >= 0)
            ++ranked;
    for (int index : kApplyOrder)
        if (index < 0 || kRows[index].field == nullptr)
            return false;
    return ranked == kStoredParameterCount;
}
static_assert(everyFieldIsAppliedOnce());

constexpr bool fieldsAreTheStoredParameters()
{
    for (int index = 0; index < kTagCount; ++index)
        if ((kRows[index].field != nullptr) != (index < kStoredParameterCount))
            return false;
    return true;
}
static_assert(fieldsAreTheStoredParameters());

} // namespace

const Row* row(int index)
{
    if (index < 0 || index >= kTagCount)
        return nullptr;
    return &kRows[index];
}

float limitToRange(int index, float value)
{
    if (index < 0 || index >= kStoredParameterCount || !(value == value))
        return value;
    const Row& r = *row(index);
    return value < r.lowest ? r.lowest : (value > r.highest ? r.highest : value);
}

int programApplyIndex(int rank)
{
    if (rank < 0 || rank >= kStoredParameterCount)
        return -1;
    return kApplyOrder[static_cast<std::size_t>(rank)];
}

} // namespace param

} // namespace ovinta
