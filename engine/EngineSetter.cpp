// SPDX-License-Identifier: GPL-3.0-or-later
// The engine setter: stores a parameter's raw value in the current program
// and derives the value the tracer, the kernels or the editor use, with the
// parameter table's formulas; the table also says what a change announces. Runs on any
// non-audio thread; every derived value is a relaxed shared scalar, and a
// change that needs a retrace is announced by incrementing the change count
// (release) after the values it depends on are stored.

#include "engine/RoomEngine.h"

#include "base/Convert.h"
#include "model/ParameterFormulas.h"
#include "model/ParameterTable.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

namespace {

using formula::limited;

// The engine's value for the limited raw value v (the table's derive column).
float deriveValue(int index, float v)
{
    return param::row(index)->derive(v);
}

int wholeDerived(int index, float v)
{
    return truncToInt(static_cast<double>(deriveValue(index, v)));
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

void RoomEngine::announceChange(int index)
{
    const param::Row* r = param::row(index);
    const param::Retrace retrace = r != nullptr ? r->retrace : param::Retrace::Yes;
    if (retrace == param::Retrace::No)
        return;
    bumpChangeCount();
    if (retrace == param::Retrace::WithRaySetup)
        requestRaySetup();
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
    const float v = limited(value);
    const float d = deriveValue(index, v);
    switch (index) {
    case param::kAbsorb: values.wallAbsorb = d; break;
    case param::kHiCut: values.wallHiCut = d; break;
    case param::kScatter:
        values.scatterAmount = d;
        showTempView(kTempViewScatter, 10);
        break;
    case param::kHeight: values.heightSpread = d; break;
    case param::kAbsorbAir: values.airAbsorb = d; break;
    case param::kHiCutAir: values.airHiCut = d; break;
    case param::kEarsX: values.listenerX = d; break;
    case param::kEarsY: values.listenerY = d; break;
    case param::kSource1X: values.sourceX[0] = d; break;
    case param::kSource1Y: values.sourceY[0] = d; break;
    case param::kSource2X: values.sourceX[1] = d; break;
    case param::kSource2Y: values.sourceY[1] = d; break;
    case param::kPreDelay: values.preDelayMs = d; break;
    case param::kScale: values.scale = d; break;
    case param::kHeadAngle: {
        values.headAngleDegrees = truncToInt(static_cast<double>(d));
        const double turn = formula::headTurn(v);
        values.headSin = static_cast<float>(std::sin(turn));
        values.headCos = static_cast<float>(std::cos(turn));
        break;
    }
    case param::kBend: values.bendValue = d; break;
    case param::kReverseOnOff: values.reverseOn = truncToInt(static_cast<double>(d)); break;
    default: break;
    }
    announceChange(index);
}

// Gains, diffusion and panner: heard at once; only the wet gain, part of
// every tap, retraces.
void RoomEngine::setMixParameter(int index, float value)
{
    *programField(currentProgramRecord(), index) = value;
    const float d = deriveValue(index, limited(value));
    switch (index) {
    case param::kGain: values.wetGain = d; break;
    case param::kDryOut: values.dryGain = d; break;
    case param::kDiffusion: values.diffusionGain = d; break;
    case param::kDiffSize: values.diffusionSize = d; break;
    case param::kDiffLoPass: values.widthFactor = d; break;
    case param::kPanX:
        values.panX = d;
        updateOutputGains();
        break;
    case param::kPanY:
        values.panY = d;
        updateOutputGains();
        break;
    default: break;
    }
    announceChange(index);
}

void RoomEngine::setEqParameter(int index, float value)
{
    *programField(currentProgramRecord(), index) = value;
    const float d = deriveValue(index, limited(value));
    const int band = (index - param::kEQfreq1) / 3;
    // Bands 1 and 4 are shelves (the width acts as Q), 2 and 3 peaks (the
    // width is a bandwidth in octaves): the table picks the formula.
    switch ((index - param::kEQfreq1) % 3) {
    case 0: values.eqFrequency[band] = std::min(d, values.sampleRate / 2.0f); break;
    case 1: values.eqGain[band] = d; break;
    default: values.eqWidth[band] = d; break;
    }
    updateEqBand(band);
    announceChange(index);
}

// Sources, pins, ray count and outputs: all retrace.
void RoomEngine::setRoutingParameter(int index, float value)
{
    OvintaProgram& record = currentProgramRecord();
    const float v = limited(value);
    if (index == param::kStereoOnOff) {
        const float stored = values.inputChannelCount == 1 ? 0.0f : value;
        record.parStereoOnOff = stored;
        values.stereoOn = wholeDerived(index, limited(stored));
    } else if (index == param::kNumRays) {
        record.parNumRays = value;
        // The count indexes the slot array: the formula keeps it within 16..512.
        values.rayCount = wholeDerived(index, v);
        showTempView(kTempViewRays, 10);
    } else if (index == param::kSurround) {
        record.parSurround = value;
        values.outputsSetting = wholeDerived(index, v);
        requestOutputConfiguration();
    } else {
        // Pins: a channel the plug-in does not have is ignored like a
        // negative one, so the process driver never addresses a missing
        // channel.
        const bool input = index <= param::kSpeakerIn2;
        const int capacity = input ? kInputChannelCapacity : kOutputChannelCapacity;
        const int channel = wholeDerived(index, v);
        if (v >= 0.0f && channel < capacity) {
            *programField(record, index) = value;
            if (input)
                values.inputChannel[index - param::kSpeakerIn1] = channel;
            else
                values.outputChannel[index - param::kSpeakerOut1] = channel;
        }
    }
    announceChange(index);
}

// Editor-only tags 46 and above.
void RoomEngine::setEditorTag(int index, float value)
{
    if (index < param::kProgramSelect)
        return;
    if (index == param::kMirror)
        values.rawParam63 = value;
    else if (index == param::kClear && value <= 0.5f)
        signals.viewDirty = true;
    announceChange(index);
}

} // namespace ovinta
