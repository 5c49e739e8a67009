// The response kernels kernel2, kernel4 and kernel5: one algorithm for two,
// four or five outputs. Four stages per block: dry signal and history write,
// diffusion combs and equaliser on the new history samples, the taps (see
// TapStage.h), then stereo width, output gains and peak meters.

#include "engine/RoomEngine.h"

#include "dsp/TapPlan.h"
#include "dsp/TapStage.h"

#include <cmath>

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

template <int NOUT>
void inputStage(RoomEngine& e, const float* inA, const float* inB, float* const* out, int count,
                int stereo)
{
    const float dry = e.dryGain;
    const uint32_t start = e.writePos;
    float* h0 = e.sourceHistory[0].get();
    float* h1 = e.sourceHistory[1].get();
    if (stereo != 0) {
        for (int i = 0; i < count; ++i) {
            const uint32_t p = (start + static_cast<uint32_t>(i)) & kHistoryMask;
            const float a = limitInput(inA[i]) + kTiny;
            const float b = limitInput(inB[i]) + kTiny;
            h0[p] = a;
            h1[p] = b;
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
    for (int i = 0; i < count; ++i) {
        const uint32_t p = (start + static_cast<uint32_t>(i)) & kHistoryMask;
        // The mixed source passes through the history slot on its way to the
        // diffusion stage, which overwrites it.
        const float m = limitInput(inA[i]) + limitInput(inB[i]) + kTiny;
        h0[p] = m;
        for (int k = 0; k < NOUT; ++k)
            out[k][i] = m * dry;
    }
}

// Runs one comb over n inputs, leaving its outputs in y.
void runComb(CombFilter& comb, const float* x, float* y, int n)
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
    if (n > 0)
        comb.lastOut = y[n - 1];
    comb.readIndex = readIndex;
    comb.writeIndex = writeIndex;
    comb.bendPhase = static_cast<int32_t>(phase);
}

struct BandState {
    float b0, b1, b2, a1, a2, x1, x2, y1, y2, out;
};

// Diffusion and equaliser on history buffer `buffer`, in place. The combs run
// one after the other over a pass (each is independent of the others), then
// their outputs are summed onto the input in comb order, sample by sample.
void preProcess(RoomEngine& e, int buffer, int count)
{
    KernelWorkspace& work = e.kernelWork;
    float* h = e.sourceHistory[buffer].get();
    CombFilter* bank = e.combs[buffer];
    EQfilter* eq = buffer == 0 ? e.eqA : e.eqC;
    BandState band[kEqBands];
    for (int b = 0; b < kEqBands; ++b)
        band[b] = {eq[b].b0, eq[b].b1, eq[b].b2, eq[b].a1, eq[b].a2,
                   eq[b].x1, eq[b].x2, eq[b].y1, eq[b].y2, eq[b].out};
    for (int first = 0; first < count; first += kPreChunk) {
        const int n = count - first < kPreChunk ? count - first : kPreChunk;
        const uint32_t start = (e.writePos + static_cast<uint32_t>(first)) & kHistoryMask;
        for (int i = 0; i < n; ++i)
            work.diffused[i] = h[(start + static_cast<uint32_t>(i)) & kHistoryMask];
        float gain[kCombsPerBank];
        for (int k = 0; k < kCombsPerBank; ++k) {
            runComb(bank[k], work.diffused, work.combOut[k], n);
            gain[k] = bank[k].outGain;
        }
        for (int i = 0; i < n; ++i) {
            float s = work.diffused[i];
            for (int k = 0; k < kCombsPerBank; ++k)
                s = gain[k] * work.combOut[k][i] + s;
            for (BandState& f : band) {
                const float y = f.b0 * s + f.b2 * f.x2 + f.b1 * f.x1 - f.a1 * f.y1 - f.a2 * f.y2;
                f.x2 = f.x1;
                f.x1 = s;
                f.y2 = f.y1;
                f.y1 = y + kTiny;
                f.out = y;
                s = y;
            }
            h[(start + static_cast<uint32_t>(i)) & kHistoryMask] = s;
        }
    }
    for (int b = 0; b < kEqBands; ++b) {
        eq[b].x1 = band[b].x1;
        eq[b].x2 = band[b].x2;
        eq[b].y1 = band[b].y1;
        eq[b].y2 = band[b].y2;
        eq[b].out = band[b].out;
    }
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
    for (int i = 0; i < count; ++i) {
        const float side = (l[i] - r[i]) * width;
        const float mid = (l[i] + r[i]) * 0.5f;
        l[i] = side + mid;
        r[i] = mid - side;
    }
}

template <int NOUT>
void outputStage(RoomEngine& e, float* const* out, int count)
{
    const float width = e.widthFactor;
    widen(out[0], out[1], width, count);
    if constexpr (NOUT >= 4)
        widen(out[2], out[3], width, count);
    for (int k = 0; k < NOUT; ++k) {
        const float gain = e.outputGain[k];
        const float before = e.outputPeak[k];
        float peak = before;
        float* o = out[k];
        for (int i = 0; i < count; ++i) {
            const float v = o[i] * gain;
            o[i] = v;
            const float level = std::fabs(v);
            peak = level > peak ? level : peak; // a NaN never raises the meter
        }
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
    preProcess(e, 0, count);
    if (stereo != 0)
        preProcess(e, 1, count);
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
