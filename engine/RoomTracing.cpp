// SPDX-License-Identifier: GPL-3.0-or-later
// RoomEngine's tracing: the trace on the thread that owns the audio path, the
// preparation of a program change ahead of its commit, and the commits that
// turn prepared taps into the kernels' taps. The tracer itself is RayTracer.

#include "engine/RoomEngine.h"

#include <algorithm>

namespace ovinta {

namespace {

constexpr int kStepsPerUnit = 32;
constexpr int kMaxUnits = 1 << 20; // keeps units x 32 within int

} // namespace

bool RoomEngine::trace(int units)
{
    if (!tryLockTracer())
        return false;
    const SpinLock held(tracerFlag, kAdoptLock);
    // Every caller owns the audio path, so a rebuild traced ahead is
    // committed here before the tracer moves on from it.
    if (rebuildPrepared.load(std::memory_order_relaxed))
        commitPrepared();
    if (raySetupRequested.exchange(false, std::memory_order_acquire))
        rewriteRays();
    const float preDelaySamples = tracer.startTracing();
    const int clampedUnits = units == 0 ? 1 : std::clamp(units, 0, kMaxUnits);
    tracer.traceSteps(clampedUnits * kStepsPerUnit, preDelaySamples);
    values.longestTap = tracer.findLongestTap(preDelaySamples);
    refreshDiffusion();
    return true;
}

bool RoomEngine::traceAhead(int units)
{
    tracer.beginAhead();
    // The caller took immediateRebuild (acquire) just now: the count covers
    // the change it announced.
    preparedChange = programChanges.load(std::memory_order_relaxed);
    if (raySetupRequested.exchange(false, std::memory_order_acquire))
        setUpRaysAhead();
    const float preDelaySamples = tracer.startTracing();
    tracer.traceSteps(std::clamp(units, 1, kMaxUnits) * kStepsPerUnit, preDelaySamples);
    aheadLongestTap = tracer.findLongestTap(preDelaySamples);
    tracer.endAhead();
    rebuildPrepared.store(true, std::memory_order_relaxed); // published by the unlock
    return true;
}

void RoomEngine::commitPrepared()
{
    if (lateChange == preparedChange)
        fadeInTracedAhead();
    else
        commitTracedAhead();
}

void RoomEngine::commitTracedAhead()
{
    const int count = std::clamp(tracer.rays(), 0, kMaxRays);
    for (int k = 0; k < count; ++k) {
        RaySlot& slot = slots[k];
        if (tracer.hasAheadSetUp()) {
            slot.source = slot.aheadSource;
            slot.fadeStep = slot.aheadFadeStep;
        }
        if (slot.aheadState != 0) {
            slot.pendingTap = slot.aheadTap;
            slot.newFilterState = 1e-20f;
            slot.fadeLevel = 1.0f;
            slot.aheadState = 0;
            slot.takePendingTap();
        } else if (slot.pending.load(std::memory_order_acquire) != 0) {
            slot.takePendingTap();
        }
    }
    finishCommit(count);
}

void RoomEngine::fadeInTracedAhead()
{
    // Each traced tap becomes the slot's pending tap, which the kernels fade
    // in over the old one as after any retrace. A fade still under way ends
    // first, and a slot the kernels did not play before starts from silence.
    const int count = std::clamp(tracer.rays(), 0, kMaxRays);
    const int played = std::clamp(static_cast<int>(values.activeRays), 0, kMaxRays);
    for (int k = 0; k < count; ++k) {
        RaySlot& slot = slots[k];
        if (slot.pending.load(std::memory_order_acquire) != 0)
            slot.takePendingTap();
        if (k >= played) {
            std::fill(std::begin(slot.tap.gain), std::end(slot.tap.gain), 0.0f);
            slot.tapFilterState = 1e-20f;
        }
        if (tracer.hasAheadSetUp()) {
            slot.source = slot.aheadSource;
            slot.fadeStep = slot.aheadFadeStep;
        }
        if (slot.aheadState == 0)
            continue;
        slot.pendingTap = slot.aheadTap;
        slot.newFilterState = 1e-20f;
        slot.fadeLevel = 1.0f;
        slot.aheadState = 0;
        slot.pending.store(1, std::memory_order_release);
    }
    finishCommit(count);
}

void RoomEngine::finishCommit(int count)
{
    if (tracer.hasAheadSetUp()) {
        values.activeRays = count;
        triggerCombs();
        tracer.setAheadSetUp(false);
    }
    values.longestTap = aheadLongestTap;
    refreshDiffusion();
    rebuildPrepared.store(false, std::memory_order_relaxed);
}

void RoomEngine::discardTracedAhead()
{
    for (RaySlot& slot : slots)
        slot.aheadState = 0;
    tracer.setAheadSetUp(false);
    rebuildPrepared.store(false, std::memory_order_relaxed);
}

void RoomEngine::refreshDiffusion()
{
    const float feedback = combFeedback(values.diffusionSize, values.longestTap.load(), values.sampleRate);
    const float gain = values.diffusionGain;
    const float bend = values.bendValue;
    for (int j = 0; j < kCombsPerBank; ++j) {
        audio.combs[0][j].update(feedback, gain, bend);
        audio.combs[1][j].update(feedback, gain, bend);
    }
}

} // namespace ovinta
