// The response kernels kernel2, kernel4 and kernel5: one algorithm for two,
// four or five outputs. Four stages per block: dry signal and history write,
// diffusion combs and equaliser on the new history samples, the taps (see
// TapStage.h), then stereo width, output gains and peak meters.

#include "engine/RoomEngine.h"

#include "dsp/TapPlan.h"
#include "dsp/TapStage.h"

#include <cmath>
#include <cstring>

#include <emmintrin.h>

namespace {

constexpr float kTiny = 1e-20f;

// A host sample made safe for the recirculating state: NaN becomes 0 and
// anything beyond +-kInputLimit is clamped, so no input can poison the combs,
// the equaliser or the history for good.
float limitInput(float x)
{
    const float finite = x == x ? x : 0.0f;
    return finite > kInputLimit ? kInputLimit : (finite < -kInputLimit ? -kInputLimit : finite);
}

__m128 limitInput(__m128 x)
{
    const __m128 finite = _mm_and_ps(x, _mm_cmpeq_ps(x, x));
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
    const float dry = e.dryGain;
    const int start = static_cast<int>(e.writePos & kHistoryMask);
    const int head = kHistoryLength - start < count ? kHistoryLength - start : count;
    float* h0 = e.sourceHistory[0].get();
    float* h1 = e.sourceHistory[1].get();
    inputRun<NOUT>(inA, inB, out, h0 + start, h1 + start, dry, stereo != 0, 0, head);
    inputRun<NOUT>(inA, inB, out, h0, h1, dry, stereo != 0, head, count);
}

// One comb over n inputs, sample by sample, leaving its outputs in y.
void runCombInOrder(CombFilter& comb, const float* x, float* y, int n)
{
    float* line = comb.delayLine;
    uint32_t readIndex = comb.readIndex, writeIndex = comb.writeIndex;
    uint32_t phase = static_cast<uint32_t>(comb.bendPhase);
    const uint32_t bendStep = static_cast<uint32_t>(comb.bendStep);
    const float feedback = comb.feedback;
    for (int i = 0; i < n; ++i) {
        const int32_t shift = static_cast<int32_t>(phase) >> 9;
        const float out = line[(readIndex + static_cast<uint32_t>(shift)) & kCombMask];
        readIndex += 1;
        phase += bendStep;
        line[writeIndex & kCombMask] = feedback * out + x[i];
        writeIndex += 1;
        y[i] = out;
    }
    comb.readIndex = readIndex;
    comb.writeIndex = writeIndex;
    comb.bendPhase = static_cast<int32_t>(phase);
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
    const __m128 y = _mm_sub_ps(_mm_sub_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(w.b0, x), _mm_mul_ps(w.b2, w.x2)),
                                                      _mm_mul_ps(w.b1, w.x1)),
                                           _mm_mul_ps(w.a1, w.y1)),
                                _mm_mul_ps(w.a2, w.y2));
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

// Diffusion and equaliser on the history buffers in use, in place.
void preProcess(RoomEngine& e, int buffers, int count)
{
    KernelWorkspace& work = e.kernelWork;
    const SimdPath path = currentSimdPath();
    float* h[2] = {e.sourceHistory[0].get(), e.sourceHistory[1].get()};
    EQfilter* eq[2] = {e.eqA, e.eqC};
    BandWave wave[2];
    for (int b = 0; b < buffers; ++b)
        wave[b] = loadWave(eq[b]);
    for (int first = 0; first < count; first += kPreChunk) {
        const int n = count - first < kPreChunk ? count - first : kPreChunk;
        const uint32_t start = (e.writePos + static_cast<uint32_t>(first)) & kHistoryMask;
        for (int b = 0; b < buffers; ++b) {
            float* sum = work.diffused[b];
            for (int i = 0; i < n; ++i)
                sum[i] = h[b][(start + static_cast<uint32_t>(i)) & kHistoryMask];
            diffuse(path, e.combs[b], work.combOut[b], sum, n);
        }
        equalise(wave, buffers, work.diffused, h, start, n);
    }
    for (int b = 0; b < buffers; ++b)
        storeWave(wave[b], eq[b]);
}

template <int NOUT>
void tapStage(RoomEngine& e, float* const* out, int count)
{
    KernelWorkspace& work = e.kernelWork;
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
    const float width = e.widthFactor;
    widen(out[0], out[1], width, count);
    if constexpr (NOUT >= 4)
        widen(out[2], out[3], width, count);
    for (int k = 0; k < NOUT; ++k) {
        const float before = e.outputPeak[k];
        const float peak = gainAndPeak(out[k], e.outputGain[k], before, count);
        if (peak > before)
            e.outputPeak[k] = peak;
    }
}

template <int NOUT>
void runKernel(RoomEngine& e, const float* inA, const float* inB, float* const* out, int count)
{
    if (count <= 0)
        return;
    const int stereo = e.stereoOn;
    inputStage<NOUT>(e, inA, inB, out, count, stereo);
    preProcess(e, stereo != 0 ? 2 : 1, count);
    tapStage<NOUT>(e, out, count);
    outputStage<NOUT>(e, out, count);
}

} // namespace

void RoomEngine::kernel2(const float* inA, const float* inB, float* out1, float* out2, int count)
{
    float* const out[2] = {out1, out2};
    runKernel<2>(*this, inA, inB, out, count);
}

void RoomEngine::kernel4(const float* inA, const float* inB, float* out1, float* out2, float* out3,
                         float* out4, int count)
{
    float* const out[4] = {out1, out2, out3, out4};
    runKernel<4>(*this, inA, inB, out, count);
}

void RoomEngine::kernel5(const float* inA, const float* inB, float* out1, float* out2, float* out3,
                         float* out4, float* out5, int count)
{
    float* const out[5] = {out1, out2, out3, out4, out5};
    runKernel<5>(*this, inA, inB, out, count);
}
