// SPDX-License-Identifier: GPL-3.0-or-later
// Diffusion and equaliser on the history: each comb of a bank runs over a
// pass of samples on its own (the combs are independent of each other),
// their weighted outputs are summed onto the input in comb order, and the
// four equaliser bands then run as a wavefront, all with the same
// single-precision operations as the per-sample algorithm.

#include "audio/PreProcess.h"

#include "dsp/TapStage.h"
#include "engine/RoomEngine.h"

#include <cstring>

#include <emmintrin.h>

namespace ovinta {

namespace {

// One comb over n inputs, sample by sample, leaving its outputs in y.
void runCombInOrder(CombFilter& comb, const float* x, float* y, int n)
{
    for (int i = 0; i < n; ++i)
        y[i] = comb.step(x[i]);
}

// True when no read of the next n samples reaches a cell that those samples
// write before it: the reads may then all happen first. The read cell starts
// `ahead` cells past the write cell and drifts by at most n*|step|/512 + 1.
bool readsPrecedeWrites(const CombFilter& comb, int n)
{
    const uint32_t ahead = (comb.readIndex + static_cast<uint32_t>(comb.bendPhase >> 9) - comb.writeIndex)
                           & kCombMask;
    const int32_t step = comb.bendStep < 0 ? -comb.bendStep : comb.bendStep;
    const uint32_t drift = static_cast<uint32_t>(static_cast<int64_t>(n) * step / 512 + 2);
    return ahead >= drift && ahead + static_cast<uint32_t>(n) + drift < static_cast<uint32_t>(kCombLength);
}

// The same as runCombInOrder when readsPrecedeWrites holds: all reads, then
// all writes, which keeps loads and stores to the line from interleaving.
void runCombSplit(SimdPath path, CombFilter& comb, const float* x, float* y, int n)
{
    float* line = comb.delayLine;
    uint32_t readIndex = comb.readIndex;
    uint32_t phase = static_cast<uint32_t>(comb.bendPhase);
    const uint32_t bendStep = static_cast<uint32_t>(comb.bendStep);
    if (bendStep == 0) {
        const int from = static_cast<int>((readIndex + static_cast<uint32_t>(static_cast<int32_t>(phase) >> 9))
                                          & kCombMask);
        const int head = kCombLength - from < n ? kCombLength - from : n;
        std::memcpy(y, line + from, sizeof(float) * static_cast<size_t>(head));
        std::memcpy(y + head, line, sizeof(float) * static_cast<size_t>(n - head));
        readIndex += static_cast<uint32_t>(n);
    } else {
        for (int i = 0; i < n; ++i) {
            const int32_t shift = static_cast<int32_t>(phase) >> 9;
            y[i] = line[(readIndex + static_cast<uint32_t>(shift)) & kCombMask];
            readIndex += 1;
            phase += bendStep;
        }
    }
    const float feedback = comb.feedback;
    const int start = static_cast<int>(comb.writeIndex & kCombMask);
    const int first = kCombLength - start < n ? kCombLength - start : n;
    scaleAdd(path, line + start, feedback, y, x, first);
    scaleAdd(path, line, feedback, y + first, x + first, n - first);
    comb.writeIndex += static_cast<uint32_t>(n);
    comb.readIndex = readIndex;
    comb.bendPhase = static_cast<int32_t>(phase);
}

// The four bands of one equaliser set as a wavefront: lane b holds band b,
// which at step t works on sample t - b and takes its input from lane b - 1's
// output of the step before. Each lane performs exactly the band's scalar
// step, so the result is the same as running the bands one after another,
// while the four recursions run side by side.
struct BandWave {
    __m128 b0, b1, b2, a1, a2; // lane b: band b's coefficients
    __m128 x1, x2, y1, y2;     // lane b: band b's state
    __m128 last;               // lane b: band b's latest output
};

BandWave loadWave(const EQfilter* eq)
{
    auto lanes = [eq](float EQfilter::*field) {
        return _mm_setr_ps(eq[0].*field, eq[1].*field, eq[2].*field, eq[3].*field);
    };
    return {lanes(&EQfilter::b0), lanes(&EQfilter::b1), lanes(&EQfilter::b2), lanes(&EQfilter::a1),
            lanes(&EQfilter::a2), lanes(&EQfilter::x1), lanes(&EQfilter::x2), lanes(&EQfilter::y1),
            lanes(&EQfilter::y2), lanes(&EQfilter::out)};
}

void storeWave(const BandWave& w, EQfilter* eq)
{
    alignas(16) float x1[4], x2[4], y1[4], y2[4], out[4];
    _mm_store_ps(x1, w.x1);
    _mm_store_ps(x2, w.x2);
    _mm_store_ps(y1, w.y1);
    _mm_store_ps(y2, w.y2);
    _mm_store_ps(out, w.last);
    for (int b = 0; b < kEqBands; ++b) {
        eq[b].x1 = x1[b];
        eq[b].x2 = x2[b];
        eq[b].y1 = y1[b];
        eq[b].y2 = y2[b];
        eq[b].out = out[b];
    }
}

// One step: `input` enters band 1; returns band 4's output (lane 3).
// Lanes outside `active` keep their state.
template <bool Masked>
[[gnu::always_inline]] inline float stepWave(BandWave& w, float input, __m128 active)
{
    const __m128 shifted = _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(w.last), 4));
    const __m128 x = _mm_move_ss(shifted, _mm_set_ss(input));
    const __m128 y = eqDifference(w.b0, w.b1, w.b2, w.a1, w.a2, x, w.x1, w.x2, w.y1, w.y2);
    const __m128 y1 = _mm_add_ps(y, _mm_set1_ps(kTiny));
    if constexpr (Masked) {
        auto keep = [active](__m128 now, __m128 before) {
            return _mm_or_ps(_mm_and_ps(active, now), _mm_andnot_ps(active, before));
        };
        w.x2 = keep(w.x1, w.x2);
        w.x1 = keep(x, w.x1);
        w.y2 = keep(w.y1, w.y2);
        w.y1 = keep(y1, w.y1);
        w.last = keep(y, w.last);
    } else {
        w.x2 = w.x1;
        w.x1 = x;
        w.y2 = w.y1;
        w.y1 = y1;
        w.last = y;
    }
    return _mm_cvtss_f32(_mm_shuffle_ps(y, y, 0xFF));
}

// Lanes b with 0 <= t - b < n.
__m128 activeLanes(int t, int n)
{
    const __m128i sample = _mm_sub_epi32(_mm_set1_epi32(t), _mm_setr_epi32(0, 1, 2, 3));
    const __m128i started = _mm_cmpgt_epi32(sample, _mm_set1_epi32(-1));
    const __m128i pending = _mm_cmpgt_epi32(_mm_set1_epi32(n), sample);
    return _mm_castsi128_ps(_mm_and_si128(started, pending));
}

// Runs the equaliser waves of `buffers` sets over a pass: in[b][i] in,
// out[b] (history slots from `start`) out.
void equalise(BandWave* wave, int buffers, float (*in)[kPreChunk], float* const* history,
              uint32_t start, int n)
{
    constexpr int kDepth = kEqBands - 1; // steps before band 4 sees sample 0
    auto put = [&](int b, int i, float u) { history[b][(start + static_cast<uint32_t>(i)) & kHistoryMask] = u; };
    for (int t = 0; t < n + kDepth; ++t) {
        const bool edge = t < kDepth || t >= n;
        for (int b = 0; b < buffers; ++b) {
            const float input = t < n ? in[b][t] : 0.0f;
            const float u = edge ? stepWave<true>(wave[b], input, activeLanes(t, n))
                                 : stepWave<false>(wave[b], input, _mm_setzero_ps());
            if (t >= kDepth)
                put(b, t - kDepth, u);
        }
    }
}

// Combs of one bank over a pass: afterwards sum[i] holds the input plus the
// weighted comb outputs, added in comb order.
void diffuse(SimdPath path, CombFilter* bank, float (*combOut)[kPreChunk], float* sum, int n)
{
    for (int k = 0; k < kCombsPerBank; ++k) {
        if (readsPrecedeWrites(bank[k], n))
            runCombSplit(path, bank[k], sum, combOut[k], n);
        else
            runCombInOrder(bank[k], sum, combOut[k], n);
        if (n > 0)
            bank[k].lastOut = combOut[k][n - 1];
    }
    for (int k = 0; k < kCombsPerBank; ++k)
        scaleAdd(path, sum, bank[k].outGain, combOut[k], sum, n);
}

} // namespace

// Diffusion and equaliser on the history buffers in use, in place.
void preProcess(RoomEngine& e, int buffers, int count)
{
    KernelWorkspace& work = e.audioPath().kernelWork;
    const SimdPath path = currentSimdPath();
    float* h[2] = {e.audioPath().sourceHistory[0].get(), e.audioPath().sourceHistory[1].get()};
    EQfilter* eq[2] = {e.audioPath().eqA, e.audioPath().eqC};
    BandWave wave[2];
    for (int b = 0; b < buffers; ++b)
        wave[b] = loadWave(eq[b]);
    for (int first = 0; first < count; first += kPreChunk) {
        const int n = count - first < kPreChunk ? count - first : kPreChunk;
        const uint32_t start = (e.audioPath().writePos + static_cast<uint32_t>(first)) & kHistoryMask;
        for (int b = 0; b < buffers; ++b) {
            float* sum = work.diffused[b];
            for (int i = 0; i < n; ++i)
                sum[i] = h[b][(start + static_cast<uint32_t>(i)) & kHistoryMask];
            diffuse(path, e.audioPath().combs[b], work.combOut[b], sum, n);
        }
        equalise(wave, buffers, work.diffused, h, start, n);
    }
    for (int b = 0; b < buffers; ++b)
        storeWave(wave[b], eq[b]);
}

} // namespace ovinta
