// SPDX-License-Identifier: GPL-3.0-or-later
// The response kernels kernel2, kernel4 and kernel5: one algorithm for two,
// four or five outputs. Four stages per block: dry signal and history write,
// diffusion combs and equaliser on the new history samples, the taps (see
// TapStage.h), then stereo width, output gains and peak meters.

#include "audio/Kernels.h"

#include "audio/PreProcess.h"
#include "audio/TapPlan.h"
#include "dsp/TapStage.h"
#include "engine/RoomEngine.h"

#include <cmath>
#include <limits>

#include <emmintrin.h>

namespace ovinta {

namespace {


// A host sample made safe for the recirculating state: NaN and the
// infinities count as silence and anything beyond +-kInputLimit is clamped,
// so no input can poison the combs, the equaliser or the history for good.
float limitInput(float x)
{
    const float finite = std::fabs(x) <= std::numeric_limits<float>::max() ? x : 0.0f; // false for NaN
    return finite > kInputLimit ? kInputLimit : (finite < -kInputLimit ? -kInputLimit : finite);
}

__m128 limitInput(__m128 x)
{
    const __m128 magnitude = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
    const __m128 finite = _mm_and_ps(x, _mm_cmple_ps(magnitude, _mm_set1_ps(std::numeric_limits<float>::max())));
    return _mm_min_ps(_mm_max_ps(finite, _mm_set1_ps(-kInputLimit)), _mm_set1_ps(kInputLimit));
}

// Input stage over block samples [from, to), whose history slots do not
// wrap: sample i goes to h0[i - from] (and h1[i - from]).
template <int NOUT>
void inputRun(const float* inA, const float* inB, float* const* out, float* h0, float* h1, float dry,
              bool stereo, int from, int to)
{
    const __m128 tiny = _mm_set1_ps(kTiny), dryV = _mm_set1_ps(dry), half = _mm_set1_ps(0.5f);
    int i = from;
    if (stereo) {
        // Both inputs are read before any output is written, so a host that
        // passes the same buffer for input and output still gets its input.
        for (; i + 4 <= to; i += 4) {
            const __m128 a = _mm_add_ps(limitInput(_mm_loadu_ps(inA + i)), tiny);
            const __m128 b = _mm_add_ps(limitInput(_mm_loadu_ps(inB + i)), tiny);
            _mm_storeu_ps(h0 + (i - from), a);
            _mm_storeu_ps(h1 + (i - from), b);
            const __m128 da = _mm_mul_ps(a, dryV), db = _mm_mul_ps(b, dryV);
            _mm_storeu_ps(out[0] + i, da);
            _mm_storeu_ps(out[1] + i, db);
            if constexpr (NOUT >= 4) {
                _mm_storeu_ps(out[2] + i, da);
                _mm_storeu_ps(out[3] + i, db);
            }
            if constexpr (NOUT == 5)
                _mm_storeu_ps(out[4] + i, _mm_mul_ps(_mm_mul_ps(_mm_add_ps(a, b), dryV), half));
        }
        for (; i < to; ++i) {
            const float a = limitInput(inA[i]) + kTiny;
            const float b = limitInput(inB[i]) + kTiny;
            h0[i - from] = a;
            h1[i - from] = b;
            out[0][i] = a * dry;
            out[1][i] = b * dry;
            if constexpr (NOUT >= 4) {
                out[2][i] = a * dry;
                out[3][i] = b * dry;
            }
            if constexpr (NOUT == 5)
                out[4][i] = (a + b) * dry * 0.5f;
        }
        return;
    }
    // The mixed source passes through the history slot on its way to the
    // diffusion stage, which overwrites it.
    for (; i + 4 <= to; i += 4) {
        const __m128 m = _mm_add_ps(_mm_add_ps(limitInput(_mm_loadu_ps(inA + i)),
                                               limitInput(_mm_loadu_ps(inB + i))), tiny);
        _mm_storeu_ps(h0 + (i - from), m);
        const __m128 dm = _mm_mul_ps(m, dryV);
        for (int k = 0; k < NOUT; ++k)
            _mm_storeu_ps(out[k] + i, dm);
    }
    for (; i < to; ++i) {
        const float m = limitInput(inA[i]) + limitInput(inB[i]) + kTiny;
        h0[i - from] = m;
        for (int k = 0; k < NOUT; ++k)
            out[k][i] = m * dry;
    }
}

template <int NOUT>
void inputStage(RoomEngine& e, const float* inA, const float* inB, float* const* out, int count,
                int stereo)
{
    const float dry = e.derived().dryGain;
    const int start = static_cast<int>(e.audioPath().writePos & kHistoryMask);
    const int head = kHistoryLength - start < count ? kHistoryLength - start : count;
    float* h0 = e.audioPath().sourceHistory[0].get();
    float* h1 = e.audioPath().sourceHistory[1].get();
    inputRun<NOUT>(inA, inB, out, h0 + start, h1 + start, dry, stereo != 0, 0, head);
    inputRun<NOUT>(inA, inB, out, h0, h1, dry, stereo != 0, head, count);
}

template <int NOUT>
void tapStage(RoomEngine& e, float* const* out, int count)
{
    KernelWorkspace& work = e.audioPath().kernelWork;
    planTaps(e, NOUT, count);
    if (work.runCount == 0)
        return;
    const SimdPath path = currentSimdPath();
    for (int first = 0; first < count; first += kTapChunk) {
        const int n = count - first < kTapChunk ? count - first : kTapChunk;
        beginTapChunk(work, n);
        filterTapChunk(path, work, n);
        endTapChunk(work, first, n, count);
        sumTapChunk(path, work, out, NOUT, first, n);
    }
    finishTaps(e);
}

void widen(float* l, float* r, float width, int count)
{
    const __m128 w = _mm_set1_ps(width), half = _mm_set1_ps(0.5f);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 lv = _mm_loadu_ps(l + i), rv = _mm_loadu_ps(r + i);
        const __m128 side = _mm_mul_ps(_mm_sub_ps(lv, rv), w);
        const __m128 mid = _mm_mul_ps(_mm_add_ps(lv, rv), half);
        _mm_storeu_ps(l + i, _mm_add_ps(side, mid));
        _mm_storeu_ps(r + i, _mm_sub_ps(mid, side));
    }
    for (; i < count; ++i) {
        const float side = (l[i] - r[i]) * width;
        const float mid = (l[i] + r[i]) * 0.5f;
        l[i] = side + mid;
        r[i] = mid - side;
    }
}

// Applies the gain and returns the largest magnitude seen, never less than
// `peak`; a NaN sample never raises it.
float gainAndPeak(float* o, float gain, float peak, int count)
{
    const __m128 g = _mm_set1_ps(gain), magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    __m128 top = _mm_set1_ps(peak);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 v = _mm_mul_ps(_mm_loadu_ps(o + i), g);
        _mm_storeu_ps(o + i, v);
        top = _mm_max_ps(_mm_and_ps(v, magnitude), top); // the second operand wins a NaN
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, top);
    for (float lane : lanes)
        peak = lane > peak ? lane : peak;
    for (; i < count; ++i) {
        o[i] = o[i] * gain;
        const float level = std::fabs(o[i]);
        peak = level > peak ? level : peak;
    }
    return peak;
}

template <int NOUT>
void outputStage(RoomEngine& e, float* const* out, int count)
{
    const float width = e.derived().widthFactor;
    widen(out[0], out[1], width, count);
    if constexpr (NOUT >= 4)
        widen(out[2], out[3], width, count);
    for (int k = 0; k < NOUT; ++k) {
        const float before = e.derived().outputPeak[k];
        e.raiseOutputPeak(k, gainAndPeak(out[k], e.derived().outputGain[k], before, count));
    }
}

template <int NOUT>
void runKernel(RoomEngine& e, const float* inA, const float* inB, float* const* out, int count)
{
    if (count <= 0)
        return;
    const int stereo = e.derived().stereoOn;
    inputStage<NOUT>(e, inA, inB, out, count, stereo);
    preProcess(e, stereo != 0 ? 2 : 1, count);
    tapStage<NOUT>(e, out, count);
    outputStage<NOUT>(e, out, count);
}

} // namespace

void kernel2(RoomEngine& engine, const float* inA, const float* inB, float* out1, float* out2, int count)
{
    float* const out[2] = {out1, out2};
    runKernel<2>(engine, inA, inB, out, count);
}

void kernel4(RoomEngine& engine, const float* inA, const float* inB, float* out1, float* out2, float* out3,
             float* out4, int count)
{
    float* const out[4] = {out1, out2, out3, out4};
    runKernel<4>(engine, inA, inB, out, count);
}

void kernel5(RoomEngine& engine, const float* inA, const float* inB, float* out1, float* out2, float* out3,
             float* out4, float* out5, int count)
{
    float* const out[5] = {out1, out2, out3, out4, out5};
    runKernel<5>(engine, inA, inB, out, count);
}

} // namespace ovinta
