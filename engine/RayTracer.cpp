// SPDX-License-Identifier: GPL-3.0-or-later
// The ray tracer (RayTracer.h): walls, ray set-up, stepping, reflection,
// capture and the longest tap.

#include "engine/RayTracer.h"

#include "base/Convert.h"
#include "engine/ScatterTurn.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace ovinta {

namespace {

constexpr float kDelayLimit = 1048576.0f;     // history length in samples
constexpr float kLevelFloor = 0.01f;
constexpr float kHiFreqFloor = 0.0001f;
constexpr float kRandomScale = 3.0518509e-05f; // 1/32767
constexpr float kProbeLength = 80.0f;          // x dir; the plan's diagonal is 70.7 m
constexpr int kPlainScanWalls = 24;            // up to this many walls the plain scan is faster
// A high-frequency factor this small is flushed to 0: capture raises it to
// kHiFreqFloor anyway (it could only climb back above the floor by growing
// 1e26-fold), and a long path would otherwise multiply denormals, which
// costs the processor a hundred times the normal time per operation.
constexpr float kHiFreqFlush = 1e-30f;

float flushTiny(float v)
{
    return std::fabs(v) < kHiFreqFlush ? 0.0f : v;
}

bool allFinite(const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

} // namespace

RayTracer::RayTracer(EngineValues& valuesIn, std::span<RaySlot, kMaxRays> slotsIn, const std::atomic<int>& changesIn)
    : values(valuesIn), slots(slotsIn), changes(changesIn)
{
}

// ---- Walls -------------------------------------------------------------------------

void RayTracer::setWalls(const Wall* source, int count)
{
    count = std::clamp(count, 0, kMaxWalls);
    if (count > 0)
        std::memcpy(roomWalls, source, sizeof(Wall) * static_cast<std::size_t>(count));
    roomWallCount = count;
    wallsChanged();
}

void RayTracer::setWallCount(int count)
{
    roomWallCount = std::clamp(count, 0, kMaxWalls);
}

void RayTracer::wallsChanged()
{
    wallGrid.build(roomWalls, roomWallCount);
    // A path in flight may remember a wall that no longer exists; the index
    // only serves to skip that wall on the next step.
    for (RaySlot& slot : slots)
        if (slot.lastWall >= roomWallCount)
            slot.lastWall = -1;
}

// ---- Ray set-up ----------------------------------------------------------------------

int RayTracer::setUpRayPaths(bool ahead)
{
    const int count = std::clamp(static_cast<int>(values.rayCount), 2, kMaxRays);
    const bool stereo = values.stereoOn != 0;
    const float fullTurn = 6.2831855f;
    for (int i = 0; i < count; ++i) {
        RaySlot& slot = slots[i];
        // Stereo pairs share an angle: the even slot is source 1's ray,
        // the odd slot source 2's.
        const int emission = stereo ? (i & ~1) : i;
        const float theta = fullTurn * static_cast<float>(emission) / static_cast<float>(count);
        slot.rayIndex = static_cast<float>(emission);
        (ahead ? slot.aheadSource : slot.source) = stereo ? (i & 1) : 0;
        slot.startDirX = std::sin(theta);
        slot.startDirY = std::cos(theta);
    }
    const float spacing = (stereo ? 12.566371f : fullTurn) / static_cast<float>(count);
    spacingCos = std::cos(spacing);
    spacingSin = std::sin(spacing);
    const float chordCos = 1.0f - spacingCos;
    captureSpread = std::sqrt(chordCos * chordCos + spacingSin * spacingSin);

    for (int i = 0; i < count; ++i) {
        RaySlot& slot = slots[i];
        placeAtSource(slot, ahead ? slot.aheadSource : slot.source);
        slot.stamp = -1;
        slot.tracing = 0;
    }
    tracerRays = count;
    if (cursor >= count)
        cursor = 0;
    return count;
}

// ---- Tracing ---------------------------------------------------------------------------

void RayTracer::beginAhead()
{
    // A new preparation: every slot is free again, as after a commit, except
    // those that post in this pass.
    ++aheadPass;
    if (aheadPass == 0)
        aheadPass = 1;
    tracingAhead = true;
}

float RayTracer::startTracing()
{
    const float rate = values.sampleRate;
    values.samplesPerMetre = rate * 0.0029411765f;
    return values.preDelayMs * rate * 0.001f;
}

void RayTracer::holdAheadTap(RaySlot& slot)
{
    // The ahead tap starts as the slot's pending tap, so that the fields a
    // post leaves alone keep their previous values, as they do there.
    if (slot.aheadState == 0) {
        slot.aheadTap = slot.pendingTap;
        slot.aheadState = 1;
    }
    slot.aheadPass = aheadPass;
}

void RayTracer::killRay(RaySlot& slot)
{
    slot.tracing = 0;
    slot.posted = 1;
    if (tracingAhead) {
        holdAheadTap(slot);
        for (float& gain : slot.aheadTap.gain)
            gain = 0.0f;
        slot.aheadTap.hiFreq = 0.0f;
        slot.aheadTap.coeff = 0.0f;
        return;
    }
    // A silent tap: the kernels fade the slot's previous tap out.
    slot.newFilterState = 1e-20f;
    for (float& gain : slot.pendingTap.gain)
        gain = 0.0f;
    slot.pendingTap.hiFreq = 0.0f;
    slot.pendingTap.coeff = 0.0f;
    slot.fadeLevel = 1.0f;
    slot.pending.store(1, std::memory_order_release);
}

void RayTracer::traceSteps(int steps, float preDelaySamples)
{
    // The slot count only changes in a ray set-up, which ran before this loop.
    const int rays = std::clamp(tracerRays, 1, kMaxRays);
    int next = std::clamp(cursor, 0, rays - 1);
    for (int i = 0; i < steps; ++i) {
        const int k = next;
        next = k + 1 >= rays ? 0 : k + 1;
        cursor = next; // the reflection seed reads the advanced cursor
        RaySlot& slot = slots[k];
        // The kernels still hold this slot's last tap; ahead of a commit,
        // the slot's ahead tap posted in this pass waits for it.
        if (tracingAhead ? slot.aheadPass == aheadPass : slot.pending.load(std::memory_order_acquire) != 0)
            continue;
        const int stamp = changes.load(std::memory_order_acquire);
        if (slot.tracing == 0) {
            if (slot.stamp == stamp)
                continue; // done for this configuration
            startPath(slot, stamp);
        }
        stepRay(slot, preDelaySamples);
    }
}

void RayTracer::startPath(RaySlot& slot, int stamp)
{
    slot.stamp = stamp;
    slot.tracing = 1;
    placeAtSource(slot, pathSource(slot));
    slot.pathLength = 0.0f;
    slot.lastWall = -1;
    slot.firstHitX = slot.firstHitY = 0.0f;
}

void RayTracer::placeAtSource(RaySlot& slot, int source)
{
    slot.level = slot.hiFreq = 1.0f;
    slot.posX = values.sourceX[source];
    slot.posY = values.sourceY[source];
    slot.dirX = slot.startDirX;
    slot.dirY = slot.startDirY;
    slot.reflected = 0;
}

void RayTracer::stepRay(RaySlot& slot, float preDelaySamples)
{
    const float px = slot.posX, py = slot.posY;
    const float dx = slot.dirX, dy = slot.dirY;
    const float jx = kProbeLength * dx;
    const float jy = kProbeLength * dy;
    const int count = std::clamp(roomWallCount, 0, kMaxWalls);
    // Both searches give the same wall; a small room is quicker to scan.
    const bool grid = useGrid && count > kPlainScanWalls;
    const WallHit hit = grid ? wallGrid.nearest(roomWalls, count, px, py, jx, jy, slot.lastWall)
                             : scanWalls(roomWalls, count, px, py, jx, jy, slot.lastWall);

    const float lx = values.listenerX, ly = values.listenerY;
    const float h = dx * (lx - px) + dy * (ly - py); // along the ray to the point nearest the listener
    if (h >= 0.0f && h * h < hit.distanceSquared) {
        slot.pathLength += h;
        const float radius = slot.pathLength * captureSpread + 0.1f;
        const float limited = std::clamp(radius, 0.01f, 9.0f);
        values.captureRadius = limited;
        const float ux = px + dx * h - lx;
        const float uy = py + dy * h - ly;
        if (std::sqrt(ux * ux + uy * uy) <= limited) {
            captureRay(slot, preDelaySamples);
            return;
        }
    }
    if (hit.wall < 0)
        killRay(slot);
    else
        reflectRay(slot, hit, preDelaySamples);
}

void RayTracer::reflectRay(RaySlot& slot, const WallHit& hit, float preDelaySamples)
{
    const uint32_t wall = static_cast<uint32_t>(hit.wall);
    random.seed((33u * wall + 165793u) * static_cast<uint32_t>(cursor) + wall + 4u);
    const float r1 = static_cast<float>(random.next() & 0x7FFF);
    slot.pathLength = std::sqrt(hit.distanceSquared) + slot.pathLength
                      + r1 * kRandomScale * static_cast<float>(values.heightSpread);
    slot.level *= values.wallAbsorb;
    slot.hiFreq = flushTiny(slot.hiFreq * values.wallHiCut);
    const float delay = -(slot.pathLength * values.samplesPerMetre) - preDelaySamples;
    if (!(delay > -kDelayLimit) || !(slot.level >= kLevelFloor)) {
        killRay(slot); // also ends paths that turned NaN
        return;
    }
    slot.lastWall = hit.wall;
    slot.posX = hit.x;
    slot.posY = hit.y;

    Wall& w = roomWalls[hit.wall];
    float r = w.nx * slot.dirX + w.ny * slot.dirY;
    // Keep the stored normal facing the ray: negate it, and r, when r > 0.
    // Done by flipping sign bits, the same bits negation gives, because
    // which side a ray meets a wall from is unpredictable and a mispredicted
    // branch costs more than the three flips.
    const uint32_t flip = static_cast<uint32_t>(r > 0.0f) << 31;
    auto negateIf = [flip](float v) {
        return std::bit_cast<float>(std::bit_cast<uint32_t>(v) ^ flip);
    };
    w.nx = negateIf(w.nx);
    w.ny = negateIf(w.ny);
    r = negateIf(r);
    const float r2 = static_cast<float>(random.next() & 0x7FFF);
    const float turn = static_cast<float>(values.scatterAmount) * (r2 * kRandomScale - 0.5f);
    slot.level *= 1.0f - turn;
    slot.hiFreq = flushTiny(slot.hiFreq * (1.0f - turn));
    float cu = 1.0f, su = 0.0f; // exact for no turn, which is every turn without scatter
    if (turn != 0.0f) {
        double c, s;
        turnCosSin(static_cast<double>(turn), c, s);
        cu = static_cast<float>(c);
        su = static_cast<float>(s);
    }
    slot.dirX -= 2.0f * r * (w.nx * cu - w.ny * su);
    slot.dirY -= 2.0f * r * (w.nx * su + w.ny * cu);

    if (slot.reflected == 0) {
        slot.firstLevel = slot.level;
        slot.firstHitX = slot.posX;
        slot.firstHitY = slot.posY;
        slot.firstDirX = 20.0f * slot.dirX;
        slot.firstDirY = 20.0f * slot.dirY;
        slot.reflected = 1;
    }
}

void RayTracer::captureRay(RaySlot& slot, float preDelaySamples)
{
    const double path = static_cast<double>(slot.pathLength);
    slot.level *= static_cast<float>(std::pow(static_cast<double>(values.airAbsorb.load()), path));
    slot.hiFreq *= static_cast<float>(std::pow(static_cast<double>(values.airHiCut.load()), path));
    slot.pathLength *= values.scale;
    const float d = -(slot.pathLength * values.samplesPerMetre) - preDelaySamples;
    // Taps reach back at most one history length; a tap ahead of the input
    // exists only in reverse mode, and never a whole history ahead.
    if (!(d > -kDelayLimit) || !(d < kDelayLimit) || (values.reverseOn == 0 && d > 0.0f)) {
        killRay(slot);
        return;
    }
    const float hs = values.headSin, hc = values.headCos;
    const float dx = hc * slot.dirX + hs * slot.dirY;
    const float dy = hc * slot.dirY - hs * slot.dirX;
    slot.dirX = dx;
    slot.dirY = dy;
    slot.level *= values.wetGain;

    const float g = slot.level;
    const float e = (dx + 1.0f) / 2.0f;
    const float f = (dy + 1.0f) / 2.0f;
    float gains[kOutputRoles];
    const float* previous = tracingAhead && slot.aheadState != 0 ? slot.aheadTap.gain : slot.pendingTap.gain;
    std::copy(previous, previous + kOutputRoles, gains);
    const int outputs = values.outputCount;
    if (outputs == 5) {
        gains[0] = g * std::max(dx, 0.0f) * f;
        gains[1] = g * std::max(-dx, 0.0f) * f;
        gains[4] = g * std::max(1.0f - std::fabs(dx), 0.0f) * f;
    } else if (outputs == 4) {
        gains[0] = g * e * f;
        gains[1] = g * (1.0f - e) * f;
    } else {
        gains[0] = g * e;
        gains[1] = g * (1.0f - e);
        gains[2] = gains[3] = 0.0f;
    }
    if (outputs == 5 || outputs == 4) {
        gains[2] = g * e * (1.0f - f);
        gains[3] = g * (1.0f - e) * (1.0f - f);
    }
    slot.hiFreq = std::max(slot.hiFreq, kHiFreqFloor);
    const float coeff = 1.0f - std::cos(slot.hiFreq * 1.5707964f);
    if (!allFinite(gains, kOutputRoles) || !std::isfinite(coeff)) {
        killRay(slot); // absurd parameter values must never reach the audio
        return;
    }

    Tap captured;
    captured.delay = static_cast<int>(d);
    std::copy(std::begin(gains), std::end(gains), captured.gain);
    captured.coeff = coeff;
    captured.hiFreq = slot.hiFreq;
    captured.reflected = slot.reflected;
    slot.tracing = 0;
    slot.posted = 1;
    if (tracingAhead) {
        holdAheadTap(slot);
        slot.aheadTap = captured;
        return;
    }
    slot.pendingTap = captured;
    slot.fadeLevel = 1.0f;
    slot.newFilterState = 1e-20f;
    slot.pending.store(1, std::memory_order_release);
}

int RayTracer::findLongestTap(float preDelaySamples) const
{
    const int rays = std::clamp(tracerRays, 0, kMaxRays);
    int longest = 0;
    for (int k = rays - 1; k >= 0; --k) {
        const RaySlot& slot = slots[k];
        // A tap traced ahead replaces the pending one at the commit.
        const bool ahead = slot.aheadState != 0;
        const float* gain = ahead ? slot.aheadTap.gain : slot.pendingTap.gain;
        const int delay = ahead ? slot.aheadTap.delay : slot.pendingTap.delay;
        const float audible = gain[0] + gain[1] + gain[2] + gain[3];
        if (audible > 0.0f && delay < longest)
            longest = delay;
    }
    if (values.reverseOn != 0) {
        // In reverse the pre-delay is added on top of the longest tap. Tap
        // delays stay within +-kHistoryLength, and so does this, so the
        // kernels' `longest - delay` can never overflow, whatever the pre-delay.
        const double shifted = static_cast<double>(longest)
                               - std::trunc(static_cast<double>(preDelaySamples));
        const double limit = static_cast<double>(kHistoryLength - 1);
        longest = truncToInt(std::clamp(shifted, -limit, limit));
    }
    return longest;
}

} // namespace ovinta
