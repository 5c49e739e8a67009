// SPDX-License-Identifier: GPL-3.0-or-later
// Run list and lane set-up of the tap stage.

#include "audio/TapPlan.h"

#include "dsp/KernelWorkspace.h"
#include "engine/RoomEngine.h"

#include <limits>

namespace ovinta {

static_assert(kMaxRays % kLaneBatch == 0);

namespace {


struct LaneSetup {
    const float* base;
    uint32_t readPos;
    float coeff, state, level, step, cap;
};

void loadLane(TapLanes& lanes, int lane, const LaneSetup& s)
{
    lanes.base[lane] = s.base;
    lanes.source[lane] = s.base;
    lanes.readPos[lane] = s.readPos;
    lanes.coeff[lane] = s.coeff;
    lanes.keep[lane] = 1.0f - s.coeff;
    lanes.state[lane] = s.state;
    lanes.level[lane] = s.level;
    lanes.step[lane] = s.step;
    lanes.cap[lane] = s.cap;
    lanes.alive[lane] = 0.0f;
}

// Unused lanes of a batch repeat its first lane; their rows are never summed.
int padLanes(TapLanes& lanes, int first, int used)
{
    const int padded = (used + kLaneBatch - 1) / kLaneBatch * kLaneBatch;
    for (int lane = first + used; lane < first + padded; ++lane) {
        lanes.base[lane] = lanes.base[first];
        lanes.source[lane] = lanes.source[first];
        lanes.readPos[lane] = lanes.readPos[first];
        lanes.coeff[lane] = lanes.coeff[first];
        lanes.keep[lane] = lanes.keep[first];
        lanes.state[lane] = lanes.state[first];
        lanes.level[lane] = lanes.level[first];
        lanes.step[lane] = lanes.step[first];
        lanes.cap[lane] = lanes.cap[first];
        lanes.alive[lane] = 0.0f;
    }
    return padded;
}

bool heard(const RaySlot& slot, int outputs)
{
    for (int k = 0; k < outputs; ++k)
        if (slot.tap.gain[k] > 0.0f)
            return true;
    return false;
}

} // namespace

void planTaps(RoomEngine& engine, int outputs, int count)
{
    KernelWorkspace& work = engine.audioPath().kernelWork;
    TapLanes& lanes = work.lanes;
    int rays = engine.derived().activeRays;
    rays = rays < 0 ? 0 : (rays > kMaxRays ? kMaxRays : rays);
    const int reverse = engine.derived().reverseOn;
    const int longest = engine.derived().longestTap;
    const float* history[2] = {engine.audioPath().sourceHistory[0].get(), engine.audioPath().sourceHistory[1].get()};
    auto readPos = [&](int delay) {
        const int offset = reverse != 0 ? longest - delay : delay;
        return (engine.audioPath().writePos + static_cast<uint32_t>(offset)) & kHistoryMask;
    };

    int steady = 0;
    for (int j = 0; j < rays; ++j) {
        work.slotPending[j] = engine.raySlots()[j].pending.load(std::memory_order_acquire);
        if (work.slotPending[j] == 0 && heard(engine.raySlots()[j], outputs))
            ++steady;
    }
    const int steadyPadded = (steady + kLaneBatch - 1) / kLaneBatch * kLaneBatch;

    int runCount = 0, steadyLane = 0, fadeLane = steadyPadded;
    for (int j = 0; j < rays; ++j) {
        RaySlot& slot = engine.raySlots()[j];
        if (work.slotPending[j] == 0) {
            if (!heard(slot, outputs))
                continue;
            loadLane(lanes, steadyLane, {history[slot.tapSource & 1], readPos(slot.tap.delay), slot.tap.coeff,
                                         slot.tapFilterState, 0.0f, 0.0f, 0.0f});
            TapRun& run = work.runs[runCount++];
            run = {kRunSteady, steadyLane++, j, count, {}};
            for (int k = 0; k < outputs; ++k)
                run.gain[k] = slot.tap.gain[k] + kTiny;
            continue;
        }
        loadLane(lanes, fadeLane, {history[slot.source & 1], readPos(slot.pendingTap.delay), slot.pendingTap.coeff,
                                   slot.newFilterState, 1.0f - slot.fadeLevel, slot.fadeStep, 1.0f});
        TapRun& in = work.runs[runCount++];
        in = {kRunFadeIn, fadeLane++, j, count, {}};
        for (int k = 0; k < outputs; ++k)
            in.gain[k] = slot.pendingTap.gain[k];
        loadLane(lanes, fadeLane, {history[slot.tapSource & 1], readPos(slot.tap.delay), slot.tap.coeff,
                                   slot.tapFilterState, slot.fadeLevel, -slot.fadeStep,
                                   std::numeric_limits<float>::infinity()});
        TapRun& out = work.runs[runCount++];
        out = {kRunFadeOut, fadeLane++, j, count, {}};
        for (int k = 0; k < outputs; ++k)
            out.gain[k] = slot.tap.gain[k];
    }
    work.runCount = runCount;
    work.steadyLanes = padLanes(lanes, 0, steady);
    work.fadeLanes = padLanes(lanes, steadyPadded, fadeLane - steadyPadded);
}

namespace {

template <typename Visit>
void forEachLane(const KernelWorkspace& work, Visit visit)
{
    for (int lane = 0; lane < work.steadyLanes; ++lane)
        visit(lane);
    const int fadeEnd = work.steadyLanes + work.fadeLanes;
    for (int lane = work.steadyLanes; lane < fadeEnd; ++lane)
        visit(lane);
}

} // namespace

void beginTapChunk(KernelWorkspace& work, int n)
{
    TapLanes& lanes = work.lanes;
    forEachLane(work, [&](int lane) {
        const uint32_t pos = lanes.readPos[lane];
        lanes.readPos[lane] = (pos + static_cast<uint32_t>(n)) & kHistoryMask;
        if (pos + kTapChunk <= static_cast<uint32_t>(kHistoryLength)) {
            lanes.source[lane] = lanes.base[lane] + pos;
            return;
        }
        // The chunk runs over the end of the ring: copy it out in order.
        for (int s = 0; s < kTapChunk; ++s)
            work.bounce[lane][s] = lanes.base[lane][(pos + static_cast<uint32_t>(s)) & kHistoryMask];
        lanes.source[lane] = work.bounce[lane];
    });
}

void endTapChunk(KernelWorkspace& work, int first, int n, int count)
{
    if (work.fadeLanes == 0)
        return;
    const TapLanes& lanes = work.lanes;
    for (int r = 0; r < work.runCount; ++r) {
        TapRun& run = work.runs[r];
        if (run.kind != kRunFadeOut || run.stop != count)
            continue;
        const int alive = static_cast<int>(lanes.alive[run.lane]);
        if (alive < first + n)
            run.stop = alive;
    }
}

void finishTaps(RoomEngine& engine)
{
    KernelWorkspace& work = engine.audioPath().kernelWork;
    const TapLanes& lanes = work.lanes;
    for (int r = 0; r < work.runCount; ++r) {
        const TapRun& run = work.runs[r];
        RaySlot& slot = engine.raySlots()[run.slot];
        if (run.kind == kRunSteady) {
            slot.tapFilterState = lanes.state[run.lane];
            continue;
        }
        if (run.kind == kRunFadeIn) {
            slot.newFilterState = lanes.state[run.lane];
            continue;
        }
        // A tap that fell silent inside the block is replaced below, so its
        // lane state matters only when it played the whole block.
        const float v = lanes.level[run.lane];
        slot.tapFilterState = lanes.state[run.lane];
        if (v <= kTiny)
            slot.takePendingTap(); // the incoming tap becomes the committed one
        else
            slot.fadeLevel = v;
    }
}

} // namespace ovinta
