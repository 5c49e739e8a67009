// SPDX-License-Identifier: GPL-3.0-or-later
// Ray and comb-bank set-up: emission angles and sources of the ray slots,
// their crossfade speeds, and the positions of the twenty diffusion combs.
// The rewrite touches the slots' committed taps and the combs, so it runs
// only on the thread that owns the audio path and traces.

#include "engine/RoomEngine.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

void RoomEngine::setupRays()
{
    changes.fetch_add(1, std::memory_order_release);
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    // This rewrite covers any set-up still waiting for the tracer.
    raySetupRequested.store(false, std::memory_order_relaxed);
    rewriteRays();
}

void RoomEngine::rewriteRays()
{
    // A rewrite starts every slot over, so a rebuild traced ahead and not yet
    // committed has nothing left to give.
    discardTracedAhead();
    const int count = tracer.setUpRayPaths(false);
    random.seed(6413237u);
    for (int i = 0; i < count; ++i) {
        RaySlot& slot = slots[i];
        slot.pendingTap.reflected = 0;
        slot.tapSource = slot.source;
        for (float& gain : slot.pendingTap.gain)
            gain = 0.0f;
        slot.pendingTap.coeff = slot.pendingTap.hiFreq = 0.0f;
        slot.newFilterState = slot.tapFilterState = 1e-20f;
        slot.fadeStep = drawFadeStep();
        slot.fadeLevel = 1.0f;
        // A silent pending tap: the kernels fade the old response out first.
        slot.pending.store(1, std::memory_order_release);
    }
    values.activeRays = count;
    triggerCombs();
}

void RoomEngine::setUpRaysAhead()
{
    // The same set-up as rewriteRays, kept off everything the kernels read:
    // each slot's source, crossfade step and silent tap wait in its ahead
    // fields, and the slot count, the taps and the combs change at the commit.
    const int count = tracer.setUpRayPaths(true);
    random.seed(6413237u);
    for (int i = 0; i < count; ++i) {
        RaySlot& slot = slots[i];
        slot.aheadState = 1;
        slot.aheadPass = 0;
        slot.aheadTap.delay = slot.pendingTap.delay; // a silent tap keeps its delay
        for (float& gain : slot.aheadTap.gain)
            gain = 0.0f;
        slot.aheadTap.coeff = slot.aheadTap.hiFreq = 0.0f;
        slot.aheadTap.reflected = 0;
        slot.aheadFadeStep = drawFadeStep();
    }
    for (int i = count; i < kMaxRays; ++i)
        slots[i].aheadState = 0;
    tracer.setAheadSetUp(true);
}

float RoomEngine::drawFadeStep()
{
    return static_cast<float>(random.next()) / 32768.0f * 0.0001f + 0.0001f;
}

void RoomEngine::triggerCombs()
{
    const double m = -141.0 / std::log10(0.75);
    const float rate = values.sampleRate;
    random.seed(141u);
    for (int j = 0; j < kCombsPerBank; ++j) {
        const float lengthMs = 47.0f / std::pow(2.0f, 0.1f * static_cast<float>(j));
        const float gain = static_cast<float>(std::pow(10.0, -3.0 * static_cast<double>(lengthMs) / m));
        const int wholeMs = static_cast<int>(lengthMs);
        audio.combs[0][j].trigger(wholeMs, gain, rate, random);
        audio.combs[1][j].trigger(wholeMs, gain, rate, random);
    }
}

} // namespace ovinta
