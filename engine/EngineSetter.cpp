// The engine setter: stores a parameter's raw value in the current program
// and derives the value the tracer, the kernels or the editor use. Runs on any
// non-audio thread; every derived value is a relaxed shared scalar, and a
// change that needs a retrace is announced by incrementing the change count
// (release) after the values it depends on are stored.

#include "engine/RoomEngine.h"

#include "model/Parameters.h"

#include <algorithm>
#include <cmath>

namespace {

// Values far outside 0..1 are limited to this before deriving, so every
// derived value stays finite (the raw value is stored unchanged).
constexpr float kDeriveLimit = 1.0e6f;

// Truncation toward zero that saturates instead of overflowing.
int truncToInt(float v)
{
    const double t = std::trunc(static_cast<double>(v));
    return static_cast<int>(std::clamp(t, -2147483648.0, 2147483647.0));
}

// Nearest whole number as trunc(x + 0.5), kept as a float.
float nearestWhole(float x)
{
    return std::trunc(x + 0.5f);
}

float cube(float v)
{
    return v * v * v;
}

} // namespace

void RoomEngine::setParameter(int index, float value)
{
    if (!std::isfinite(value))
        return;
    if (index < 0 || index >= kStoredParameterCount) {
        setEditorTag(index, value);
        return;
    }
    switch (index) {
    case param::kGain:
    case param::kDryOut:
    case param::kDiffusion:
    case param::kDiffSize:
    case param::kDiffLoPass:
    case param::kPanX:
    case param::kPanY:
        setMixParameter(index, value);
        return;
    case param::kStereoOnOff:
    case param::kNumRays:
    case param::kSurround:
        setRoutingParameter(index, value);
        return;
    default:
        break;
    }
    if (index >= param::kEQfreq1 && index <= param::kEQwide4)
        setEqParameter(index, value);
    else if (index >= param::kSpeakerIn1 && index <= param::kSpeakerOut5)
        setRoutingParameter(index, value);
    else
        setRoomParameter(index, value);
}

void RoomEngine::bumpChangeCount()
{
    changes.fetch_add(1, std::memory_order_release);
}

// A change the user makes (not a program being applied) shows its temporary
// view on the main screen for `ticks` editor ticks.
void RoomEngine::showTempView(int mode, int ticks)
{
    if (values.loadingProgram)
        return;
    signals.tempViewMode = mode;
    signals.tempViewTicks = ticks;
}

void RoomEngine::requestRaySetup()
{
    // The count moves at once; the slot rewrite is left to the next thread
    // that traces, which is the only one that may touch the slots' taps.
    bumpChangeCount();
    raySetupRequested.store(true, std::memory_order_release);
}

// Parameters that shape the room response: all retrace.
void RoomEngine::setRoomParameter(int index, float value)
{
    *programField(currentProgramRecord(), index) = value;
    const float v = std::clamp(value, -kDeriveLimit, kDeriveLimit);
    switch (index) {
    case param::kAbsorb: values.wallAbsorb = 1.0f - 0.7f * cube(v); break;
    case param::kHiCut: values.wallHiCut = 1.0f - 0.7f * cube(v); break;
    case param::kScatter:
        values.scatterAmount = 0.5f * v;
        showTempView(kTempViewScatter, 10);
        break;
    case param::kHeight: values.heightSpread = 40.0f * v; break;
    case param::kAbsorbAir: values.airAbsorb = 1.0f - 0.005f * cube(v); break;
    case param::kHiCutAir: values.airHiCut = 1.0f - 0.005f * cube(v); break;
    case param::kEarsX: values.listenerX = nearestWhole(50.0f * v); break;
    case param::kEarsY: values.listenerY = nearestWhole(50.0f * v); break;
    case param::kSource1X: values.sourceX[0] = nearestWhole(50.0f * v); break;
    case param::kSource1Y: values.sourceY[0] = nearestWhole(50.0f * v); break;
    case param::kSource2X: values.sourceX[1] = nearestWhole(50.0f * v); break;
    case param::kSource2Y: values.sourceY[1] = nearestWhole(50.0f * v); break;
    case param::kPreDelay: values.preDelayMs = 1000.0f * v - 500.0f; break;
    case param::kScale: values.scale = std::max(2.0f * v, 0.1f); break;
    case param::kHeadAngle: {
        int degrees = truncToInt(360.0f * v) - 180;
        if (degrees < 0)
            degrees += 360;
        values.headAngleDegrees = degrees;
        const double turn = (static_cast<double>(v) + 0.5) * 6.283185307179586;
        values.headSin = static_cast<float>(std::sin(turn));
        values.headCos = static_cast<float>(std::cos(turn));
        break;
    }
    case param::kBend: values.bendValue = v; break;
    case param::kReverseOnOff: values.reverseOn = truncToInt(v); break;
    default: break;
    }
    bumpChangeCount();
}

// Gains, diffusion and panner: heard at once, no retrace.
void RoomEngine::setMixParameter(int index, float value)
{
    *programField(currentProgramRecord(), index) = value;
    const float v = std::clamp(value, -kDeriveLimit, kDeriveLimit);
    switch (index) {
    case param::kGain:
        values.wetGain = v * v;
        bumpChangeCount(); // the wet gain is part of every tap
        return;
    case param::kDryOut: values.dryGain = v * v; return;
    case param::kDiffusion: values.diffusionGain = 1.58489f * v; return;
    case param::kDiffSize: values.diffusionSize = v >= 0.5f ? 8.0f * cube(v) : 2.0f * v; return;
    case param::kDiffLoPass: values.widthFactor = 2.0f * v * v; return;
    case param::kPanX:
        values.panX = nearestWhole(46.0f * v);
        updateOutputGains();
        return;
    case param::kPanY:
        values.panY = nearestWhole(46.0f * v);
        updateOutputGains();
        return;
    default: return;
    }
}

void RoomEngine::setEqParameter(int index, float value)
{
    *programField(currentProgramRecord(), index) = value;
    const float v = std::clamp(value, -kDeriveLimit, kDeriveLimit);
    const int band = (index - param::kEQfreq1) / 3;
    switch ((index - param::kEQfreq1) % 3) {
    case 0:
        values.eqFrequency[band] = std::min(15980.0f * cube(v) + 20.0f, values.sampleRate / 2.0f);
        break;
    case 1: values.eqGain[band] = 30.0f * (v - 0.5f); break;
    default:
        // Bands 1 and 4 are shelves (the width acts as Q), 2 and 3 peaks
        // (the width is a bandwidth in octaves).
        values.eqWidth[band] = (band == 0 || band == 3) ? 0.8f * (1.0f - v) + 0.2f : 3.0f * v + 0.1f;
        break;
    }
    updateEqBand(band);
}

// Sources, pins, ray count and outputs: all retrace.
void RoomEngine::setRoutingParameter(int index, float value)
{
    OvintaProgram& record = currentProgramRecord();
    const float v = std::clamp(value, -kDeriveLimit, kDeriveLimit);
    if (index == param::kStereoOnOff) {
        const float stored = values.inputChannelCount == 1 ? 0.0f : value;
        record.parStereoOnOff = stored;
        values.stereoOn = truncToInt(std::clamp(stored, -kDeriveLimit, kDeriveLimit));
        bumpChangeCount();
        requestRaySetup();
        return;
    }
    if (index == param::kNumRays) {
        record.parNumRays = value;
        // The count indexes the slot array: keep it within 16..512.
        const double count = 2.0 * (8.0 + std::trunc(248.0 * static_cast<double>(v)));
        values.rayCount = static_cast<int>(std::clamp(count, 16.0, static_cast<double>(kMaxRays)));
        showTempView(kTempViewRays, 10);
        bumpChangeCount();
        requestRaySetup();
        return;
    }
    if (index == param::kSurround) {
        record.parSurround = value;
        values.outputsSetting = std::clamp(truncToInt(v), 0, 2);
        outputsChanged = true;
        bumpChangeCount();
        return;
    }
    // Pins: a channel the plug-in does not have is ignored like a negative
    // one, so the process driver never addresses a missing channel.
    const bool input = index <= param::kSpeakerIn2;
    const int capacity = input ? kInputChannelCapacity : kOutputChannelCapacity;
    if (v >= 0.0f && truncToInt(v) < capacity) {
        *programField(record, index) = value;
        if (input)
            values.inputChannel[index - param::kSpeakerIn1] = truncToInt(v);
        else
            values.outputChannel[index - param::kSpeakerOut1] = truncToInt(v);
    }
    bumpChangeCount();
}

// Editor-only tags 46 and above.
void RoomEngine::setEditorTag(int index, float value)
{
    if (index < param::kProgramSelect)
        return;
    switch (index) {
    case 54: case 55: case 57: case 60: case 61: case 62: case 66:
        return;
    case param::kStoreRaw:
        values.rawParam63 = value;
        return;
    case param::kRedraw:
        if (value <= 0.5f)
            signals.viewDirty = true;
        bumpChangeCount();
        return;
    default:
        bumpChangeCount();
        return;
    }
}
