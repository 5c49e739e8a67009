// SPDX-License-Identifier: GPL-3.0-or-later
// Scalar reference of the response kernels (input, diffusion and EQ, taps,
// output stage), written for clarity, not speed.

#include "tests/audio/ReferenceKernels.h"
#include "tests/RoomEngineTestAccess.h"

#include "dsp/KernelWorkspace.h"
#include "engine/RoomEngine.h"

#include <cmath>

namespace ovinta {

namespace {

constexpr float kTiny = 1e-20f;

float limitInput(float x)
{
    if (x != x || std::isinf(x))
        return 0.0f;
    if (x > kInputLimit)
        return kInputLimit;
    if (x < -kInputLimit)
        return -kInputLimit;
    return x;
}

uint32_t readStart(const RoomEngine& engine, int delay, int reverse, int longest)
{
    const int offset = reverse != 0 ? longest - delay : delay;
    return (engine.audioPath().writePos + static_cast<uint32_t>(offset)) & kHistoryMask;
}

void inputStage(RoomEngine& engine, const float* inA, const float* inB, float* const* out,
                int outputs, int count, int stereo)
{
    const float dry = engine.derived().dryGain;
    float* h0 = engine.audioPath().sourceHistory[0].get();
    float* h1 = engine.audioPath().sourceHistory[1].get();
    for (int i = 0; i < count; ++i) {
        const uint32_t p = (engine.audioPath().writePos + static_cast<uint32_t>(i)) & kHistoryMask;
        const float x = limitInput(inA[i]);
        const float z = limitInput(inB[i]);
        if (stereo != 0) {
            const float a = x + kTiny;
            const float b = z + kTiny;
            h0[p] = a;
            h1[p] = b;
            out[0][i] = a * dry;
            out[1][i] = b * dry;
            if (outputs >= 4) {
                out[2][i] = a * dry;
                out[3][i] = b * dry;
            }
            if (outputs == 5)
                out[4][i] = (a + b) * dry * 0.5f;
        } else {
            const float m = x + z + kTiny;
            h0[p] = m; // stands for "m goes to the diffusion stage directly"
            for (int k = 0; k < outputs; ++k)
                out[k][i] = m * dry;
        }
    }
}

void preProcess(RoomEngine& engine, int buffer, int count)
{
    float* h = engine.audioPath().sourceHistory[buffer].get();
    CombFilter* bank = engine.audioPath().combs[buffer];
    EQfilter* eq = buffer == 0 ? engine.audioPath().eqA : engine.audioPath().eqC;
    for (int i = 0; i < count; ++i) {
        const uint32_t p = (engine.audioPath().writePos + static_cast<uint32_t>(i)) & kHistoryMask;
        const float x = h[p];
        float s = x;
        for (int k = 0; k < kCombsPerBank; ++k) {
            const float y = bank[k].step(x);
            s = bank[k].outGain * y + s;
        }
        float u = s;
        for (int b = 0; b < kEqBands; ++b)
            u = eq[b].step(u);
        h[p] = u;
    }
}

void steadyTap(RoomEngine& engine, RaySlot& slot, float* const* out, int outputs, int count,
               int reverse, int longest)
{
    bool heard = false;
    for (int k = 0; k < outputs; ++k)
        heard = heard || slot.tap.gain[k] > 0.0f;
    if (!heard)
        return;
    float g[kOutputRoles];
    for (int k = 0; k < outputs; ++k)
        g[k] = slot.tap.gain[k] + kTiny;
    const float* src = engine.audioPath().sourceHistory[slot.tapSource & 1].get();
    uint32_t q = readStart(engine, slot.tap.delay, reverse, longest);
    const float c = slot.tap.coeff;
    float y = slot.tapFilterState;
    for (int i = 0; i < count; ++i) {
        y = c * src[q] + (1.0f - c) * y;
        if (i % 2 == 0)
            y = y + kTiny; // alternate samples: keeps the state out of the denormal range
        for (int k = 0; k < outputs; ++k)
            out[k][i] += g[k] * y;
        q = (q + 1) & kHistoryMask;
    }
    slot.tapFilterState = y;
}

void crossfadeTap(RoomEngine& engine, RaySlot& slot, float* const* out, int outputs, int count,
                  int reverse, int longest)
{
    const float step = slot.fadeStep;
    {
        const float* src = engine.audioPath().sourceHistory[slot.source & 1].get();
        uint32_t q = readStart(engine, slot.pendingTap.delay, reverse, longest);
        const float c = slot.pendingTap.coeff;
        float y = slot.newFilterState;
        float t = 1.0f - slot.fadeLevel;
        for (int i = 0; i < count; ++i) {
            y = c * src[q] + (1.0f - c) * y;
            if (t < 1.0f) {
                for (int k = 0; k < outputs; ++k)
                    out[k][i] += slot.pendingTap.gain[k] * y * t;
                t = t + step;
            } else {
                for (int k = 0; k < outputs; ++k)
                    out[k][i] += slot.pendingTap.gain[k] * y;
            }
            q = (q + 1) & kHistoryMask;
        }
        slot.newFilterState = y;
    }
    const float* src = engine.audioPath().sourceHistory[slot.tapSource & 1].get();
    uint32_t q = readStart(engine, slot.tap.delay, reverse, longest);
    const float c = slot.tap.coeff;
    float y = slot.tapFilterState;
    float v = slot.fadeLevel;
    for (int i = 0; i < count && v > kTiny; ++i) {
        y = c * src[q] + (1.0f - c) * y;
        for (int k = 0; k < outputs; ++k)
            out[k][i] += slot.tap.gain[k] * y * v;
        v = v - step;
        q = (q + 1) & kHistoryMask;
    }
    slot.tapFilterState = y;
    if (v <= kTiny) {
        slot.tap.coeff = slot.pendingTap.coeff;
        slot.tap.delay = slot.pendingTap.delay;
        for (int k = 0; k < kOutputRoles; ++k)
            slot.tap.gain[k] = slot.pendingTap.gain[k];
        slot.tapSource = slot.source;
        slot.tap.hiFreq = slot.pendingTap.hiFreq;
        slot.tapFilterState = slot.newFilterState;
        slot.pending.store(0, std::memory_order_release);
    } else {
        slot.fadeLevel = v;
    }
}

void widthPair(float* l, float* r, float width, int i)
{
    const float side = (l[i] - r[i]) * width;
    const float mid = (l[i] + r[i]) * 0.5f;
    l[i] = side + mid;
    r[i] = mid - side;
}

void outputStage(RoomEngine& engine, float* const* out, int outputs, int count)
{
    for (int i = 0; i < count; ++i) {
        const float width = engine.derived().widthFactor;
        widthPair(out[0], out[1], width, i);
        if (outputs >= 4)
            widthPair(out[2], out[3], width, i);
        for (int k = 0; k < outputs; ++k) {
            out[k][i] = out[k][i] * engine.derived().outputGain[k];
            const float level = std::fabs(out[k][i]);
            if (level > engine.derived().outputPeak[k])
                RoomEngineTestAccess::values(engine).outputPeak[k] = level;
        }
    }
}

} // namespace

void referenceKernel(RoomEngine& engine, const float* inA, const float* inB, float* const* out,
                     int outputs, int count)
{
    if (count <= 0)
        return;
    const int stereo = engine.derived().stereoOn;
    inputStage(engine, inA, inB, out, outputs, count, stereo);
    preProcess(engine, 0, count);
    if (stereo != 0)
        preProcess(engine, 1, count);
    const int reverse = engine.derived().reverseOn;
    const int longest = engine.derived().longestTap;
    int rays = engine.derived().activeRays;
    rays = rays < 0 ? 0 : (rays > kMaxRays ? kMaxRays : rays);
    for (int j = 0; j < rays; ++j) {
        RaySlot& slot = engine.raySlots()[j];
        if (slot.pending.load(std::memory_order_acquire) != 0)
            crossfadeTap(engine, slot, out, outputs, count, reverse, longest);
        else
            steadyTap(engine, slot, out, outputs, count, reverse, longest);
    }
    outputStage(engine, out, outputs, count);
}

} // namespace ovinta
