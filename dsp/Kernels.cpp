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

// to[i] = a * y[i] + x[i]; the same single rounding per operation as the
// scalar expression, four samples at a time.
void scaleAdd(float* to, float a, const float* y, const float* x, int n)
{
    const __m128 av = _mm_set1_ps(a);
    int i = 0;
    for (; i + 4 <= n; i += 4)
        _mm_storeu_ps(to + i, _mm_add_ps(_mm_mul_ps(av, _mm_loadu_ps(y + i)), _mm_loadu_ps(x + i)));
    for (; i < n; ++i)
        to[i] = a * y[i] + x[i];
}

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
void runCombSplit(CombFilter& comb, const float* x, float* y, int n)
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
    scaleAdd(line + start, feedback, y, x, first);
    scaleAdd(line, feedback, y + first, x + first, n - first);
    comb.writeIndex += static_cast<uint32_t>(n);
    comb.readIndex = readIndex;
    comb.bendPhase = static_cast<int32_t>(phase);
}

struct BandState {
    float b0, b1, b2, a1, a2, x1, x2, y1, y2, out;
};

void loadBands(const EQfilter* eq, BandState* band)
{
    for (int b = 0; b < kEqBands; ++b)
        band[b] = {eq[b].b0, eq[b].b1, eq[b].b2, eq[b].a1, eq[b].a2,
                   eq[b].x1, eq[b].x2, eq[b].y1, eq[b].y2, eq[b].out};
}

void storeBands(const BandState* band, EQfilter* eq)
{
    for (int b = 0; b < kEqBands; ++b) {
        eq[b].x1 = band[b].x1;
        eq[b].x2 = band[b].x2;
        eq[b].y1 = band[b].y1;
        eq[b].y2 = band[b].y2;
        eq[b].out = band[b].out;
    }
}

float runBands(BandState* band, float s)
{
    for (int b = 0; b < kEqBands; ++b) {
        BandState& f = band[b];
        const float y = f.b0 * s + f.b2 * f.x2 + f.b1 * f.x1 - f.a1 * f.y1 - f.a2 * f.y2;
        f.x2 = f.x1;
        f.x1 = s;
        f.y2 = f.y1;
        f.y1 = y + kTiny;
        f.out = y;
        s = y;
    }
    return s;
}

// Combs of one bank over a pass: afterwards sum[i] holds the input plus the
// weighted comb outputs, added in comb order.
void diffuse(CombFilter* bank, float (*combOut)[kPreChunk], float* sum, int n)
{
    for (int k = 0; k < kCombsPerBank; ++k) {
        if (readsPrecedeWrites(bank[k], n))
            runCombSplit(bank[k], sum, combOut[k], n);
        else
            runCombInOrder(bank[k], sum, combOut[k], n);
        if (n > 0)
            bank[k].lastOut = combOut[k][n - 1];
    }
    for (int k = 0; k < kCombsPerBank; ++k)
        scaleAdd(sum, bank[k].outGain, combOut[k], sum, n);
}

// Diffusion and equaliser on the history buffers in use, in place. With two
// buffers their equaliser chains run interleaved, which hides the latency of
// each chain's recursion.
void preProcess(RoomEngine& e, int buffers, int count)
{
    KernelWorkspace& work = e.kernelWork;
    float* h[2] = {e.sourceHistory[0].get(), e.sourceHistory[1].get()};
    EQfilter* eq[2] = {e.eqA, e.eqC};
    BandState band[2][kEqBands];
    for (int b = 0; b < buffers; ++b)
        loadBands(eq[b], band[b]);
    for (int first = 0; first < count; first += kPreChunk) {
        const int n = count - first < kPreChunk ? count - first : kPreChunk;
        const uint32_t start = (e.writePos + static_cast<uint32_t>(first)) & kHistoryMask;
        for (int b = 0; b < buffers; ++b) {
            float* sum = work.diffused[b];
            for (int i = 0; i < n; ++i)
                sum[i] = h[b][(start + static_cast<uint32_t>(i)) & kHistoryMask];
            diffuse(e.combs[b], work.combOut[b], sum, n);
        }
        if (buffers == 2) {
            for (int i = 0; i < n; ++i) {
                const uint32_t p = (start + static_cast<uint32_t>(i)) & kHistoryMask;
                h[0][p] = runBands(band[0], work.diffused[0][i]);
                h[1][p] = runBands(band[1], work.diffused[1][i]);
            }
        } else {
            for (int i = 0; i < n; ++i)
                h[0][(start + static_cast<uint32_t>(i)) & kHistoryMask] = runBands(band[0], work.diffused[0][i]);
        }
    }
    for (int b = 0; b < buffers; ++b)
        storeBands(band[b], eq[b]);
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
        beginTapChunk(work);
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
