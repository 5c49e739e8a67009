// SPDX-License-Identifier: GPL-3.0-or-later
// Tap stage written once over a vector type. Included inside an anonymous
// namespace by each instruction-set file, after that file has defined its
// vector operations as `struct Ops` (W lanes per vector). Lane masks are
// whatever type the file's comparisons return (bit masks or mask registers). Nothing here may
// call an inline function from another header: each file compiles its own
// private copy with its own instruction set.
//
// Recursion: W neighbouring lanes form a group. Each lane's chunk is loaded
// row by row and transposed so that a vector holds one sample of W lanes; the
// recursion y = c*x + (1 - c)*y then advances all W taps at once, and the
// results are transposed back into the lanes' rows. Summation: for a few
// vectors of samples the outputs stay in registers while every run is added
// in list (slot) order, so each output sample sees the additions in the
// order of the scalar algorithm.

// Crossfading lanes: G groups of W lanes at a time. The chunk of each lane
// is transposed into a tile (one vector per sample, lanes across), times c;
// the G recursions and fade weights then run step by step (independent
// chains hide the recursion's latency) and both tiles are transposed back
// into the lanes' rows.
template <int G>
void tileIn(const KernelWorkspace& work, int lane0, int tiles, float* ytile)
{
    constexpr int W = Ops::W;
    for (int g = 0; g < G; ++g) {
        const int base = lane0 + g * W;
        const float* rows[W];
#pragma GCC unroll 8
        for (int r = 0; r < W; ++r)
            rows[r] = work.lanes.source[base + r];
        const Ops::V c = Ops::load(work.lanes.coeff + base);
        for (int t = 0; t < tiles; ++t) {
            Ops::V x[W];
            Ops::transposeIn(rows, t * W, x);
#pragma GCC unroll 8
            for (int s = 0; s < W; ++s)
                Ops::store(ytile + ((t * W + s) * G + g) * W, Ops::mul(c, x[s]));
        }
    }
}

template <int G>
void tileOut(int lane0, int tiles, const float* tile, float (*dest)[kTapChunk])
{
    constexpr int W = Ops::W;
    for (int g = 0; g < G; ++g) {
        float* rows[W];
#pragma GCC unroll 8
        for (int r = 0; r < W; ++r)
            rows[r] = dest[lane0 + g * W + r];
        for (int t = 0; t < tiles; ++t) {
            Ops::V v[W];
#pragma GCC unroll 8
            for (int s = 0; s < W; ++s)
                v[s] = Ops::load(tile + ((t * W + s) * G + g) * W);
            Ops::transposeOut(v, rows, t * W);
        }
    }
}

template <int G>
void filterFadeBatch(KernelWorkspace& work, int lane0, int n)
{
    using V = Ops::V;
    constexpr int W = Ops::W;
    TapLanes& lanes = work.lanes;
    alignas(64) float ytile[kTapChunk * G * W];
    alignas(64) float wtile[kTapChunk * G * W];
    const int tiles = (n + W - 1) / W;
    tileIn<G>(work, lane0, tiles, ytile);

    const V one = Ops::set1(1.0f);
    const V tiny = Ops::set1(kTiny);
    V keep[G], y[G], level[G], step[G], cap[G], alive[G];
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
        const int base = lane0 + g * W;
        keep[g] = Ops::load(lanes.keep + base);
        y[g] = Ops::load(lanes.state + base);
        level[g] = Ops::load(lanes.level + base);
        step[g] = Ops::load(lanes.step + base);
        cap[g] = Ops::load(lanes.cap + base);
        alive[g] = Ops::load(lanes.alive + base);
    }
    for (int s = 0; s < n; ++s) {
#pragma GCC unroll 8
        for (int g = 0; g < G; ++g) {
            float* at = ytile + (s * G + g) * W;
            y[g] = Ops::add(Ops::load(at), Ops::mul(keep[g], y[g]));
            Ops::store(at, y[g]);
            // Incoming: weight t while t < 1, then exactly 1. Outgoing: the
            // cap is infinite, so the weight is v and v keeps falling.
            const auto rising = Ops::less(level[g], cap[g]);
            const V wv = Ops::select(rising, level[g], one);
            level[g] = Ops::select(rising, Ops::add(level[g], step[g]), level[g]);
            alive[g] = Ops::add(alive[g], Ops::bitAnd(Ops::greater(wv, tiny), one));
            Ops::store(wtile + (s * G + g) * W, wv);
        }
    }
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
        const int base = lane0 + g * W;
        Ops::store(lanes.state + base, y[g]);
        Ops::store(lanes.level + base, level[g]);
        Ops::store(lanes.alive + base, alive[g]);
    }
    tileOut<G>(lane0, tiles, ytile, work.filtered);
    tileOut<G>(lane0, tiles, wtile, work.weight);
}

// Steady lanes, one W x W tile at a time: rows in, transposed, the W
// recursion steps on registers, transposed back out. Consecutive tiles of a
// batch belong to different groups, so their recursion chains are
// independent and the processor overlaps them.
template <bool Partial>
[[gnu::always_inline]] inline void filterSteadyTile(KernelWorkspace& work, int base, float* state, int t,
                                                    int steps)
{
    using V = Ops::V;
    constexpr int W = Ops::W;
    TapLanes& lanes = work.lanes;
    const float* rows[W];
    float* outRows[W];
#pragma GCC unroll 8
    for (int r = 0; r < W; ++r) {
        rows[r] = lanes.source[base + r];
        outRows[r] = work.filtered[base + r];
    }
    V x[W];
    Ops::transposeIn(rows, t * W, x);
    const V c = Ops::load(lanes.coeff + base);
    const V keep = Ops::load(lanes.keep + base);
    const V tiny = Ops::set1(kTiny);
    V y = Ops::load(state);
#pragma GCC unroll 8
    for (int s = 0; s < W; ++s) {
        if (Partial && s >= steps)
            break;
        // Steady taps add 1e-20 to the input of every other sample (W is
        // even, so s and the block index share parity).
        const V in = s % 2 == 0 ? Ops::add(x[s], tiny) : x[s];
        y = Ops::add(Ops::mul(c, in), Ops::mul(keep, y));
        x[s] = y;
    }
    Ops::store(state, y);
    Ops::transposeOut(x, outRows, t * W);
}

void filterSteadyBatch(KernelWorkspace& work, int lane0, int n)
{
    constexpr int W = Ops::W;
    constexpr int G = kLaneBatch / W;
    float* state = work.lanes.state + lane0;
    const int full = n / W;
    for (int t = 0; t < full; ++t)
        for (int g = 0; g < G; ++g)
            filterSteadyTile<false>(work, lane0 + g * W, state + g * W, t, W);
    if (full * W < n)
        for (int g = 0; g < G; ++g)
            filterSteadyTile<true>(work, lane0 + g * W, state + g * W, full, n - full * W);
}

void filterChunk(KernelWorkspace& work, int n)
{
    constexpr int kFadeGroups = 2;
    constexpr int fadeBatch = kFadeGroups * Ops::W;
    static_assert(kLaneBatch % fadeBatch == 0);
    for (int lane = 0; lane < work.steadyLanes; lane += kLaneBatch)
        filterSteadyBatch(work, lane, n);
    const int fadeEnd = work.steadyLanes + work.fadeLanes;
    for (int lane = work.steadyLanes; lane < fadeEnd; lane += fadeBatch)
        filterFadeBatch<kFadeGroups>(work, lane, n);
}

// Adds the runs to NV vectors of samples starting at chunk offset i.
template <int NOUT, int NV>
void sumVectors(const KernelWorkspace& work, float* const* out, int first, int i)
{
    using V = Ops::V;
    constexpr int W = Ops::W;
    const int at = first + i;
    V acc[NOUT][NV];
#pragma GCC unroll 8
    for (int k = 0; k < NOUT; ++k)
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v)
            acc[k][v] = Ops::load(out[k] + at + v * W);
    const int runCount = work.runCount;
    for (int r = 0; r < runCount; ++r) {
        const TapRun& run = work.runs[r];
        const float* y = work.filtered[run.lane] + i;
        if (run.kind == kRunSteady) {
#pragma GCC unroll 8
            for (int k = 0; k < NOUT; ++k) {
                const V g = Ops::set1(run.gain[k]);
#pragma GCC unroll 8
                for (int v = 0; v < NV; ++v)
                    acc[k][v] = Ops::add(acc[k][v], Ops::mul(g, Ops::load(y + v * W)));
            }
            continue;
        }
        const float* wt = work.weight[run.lane] + i;
        if (run.stop >= at + NV * W) {
#pragma GCC unroll 8
            for (int k = 0; k < NOUT; ++k) {
                const V g = Ops::set1(run.gain[k]);
#pragma GCC unroll 8
                for (int v = 0; v < NV; ++v) {
                    const V term = Ops::mul(Ops::mul(g, Ops::load(y + v * W)), Ops::load(wt + v * W));
                    acc[k][v] = Ops::add(acc[k][v], term);
                }
            }
        } else if (run.stop > at) {
            // An outgoing tap that falls silent inside these samples.
#pragma GCC unroll 8
            for (int v = 0; v < NV; ++v) {
                const auto playing = Ops::lanesBelow(run.stop - at - v * W);
#pragma GCC unroll 8
                for (int k = 0; k < NOUT; ++k) {
                    const V g = Ops::set1(run.gain[k]);
                    const V term = Ops::mul(Ops::mul(g, Ops::load(y + v * W)), Ops::load(wt + v * W));
                    acc[k][v] = Ops::select(playing, Ops::add(acc[k][v], term), acc[k][v]);
                }
            }
        }
    }
#pragma GCC unroll 8
    for (int k = 0; k < NOUT; ++k)
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v)
            Ops::store(out[k] + at + v * W, acc[k][v]);
}

template <int NOUT>
void sumTail(const KernelWorkspace& work, float* const* out, int first, int i)
{
    const int at = first + i;
    float acc[NOUT];
#pragma GCC unroll 8
    for (int k = 0; k < NOUT; ++k)
        acc[k] = out[k][at];
    for (int r = 0; r < work.runCount; ++r) {
        const TapRun& run = work.runs[r];
        const float y = work.filtered[run.lane][i];
        if (run.kind == kRunSteady) {
#pragma GCC unroll 8
            for (int k = 0; k < NOUT; ++k)
                acc[k] = acc[k] + run.gain[k] * y;
        } else if (run.stop > at) {
            const float wv = work.weight[run.lane][i];
#pragma GCC unroll 8
            for (int k = 0; k < NOUT; ++k)
                acc[k] = acc[k] + run.gain[k] * y * wv;
        }
    }
#pragma GCC unroll 8
    for (int k = 0; k < NOUT; ++k)
        out[k][at] = acc[k];
}

// Steady taps only (the usual case): run r is lane r, so the rows and gains
// are walked with plain pointer steps.
template <int NOUT, int NV>
void sumSteadyVectors(const KernelWorkspace& work, float* const* out, int first, int i)
{
    using V = Ops::V;
    constexpr int W = Ops::W;
    const int at = first + i;
    V acc[NOUT][NV];
#pragma GCC unroll 8
    for (int k = 0; k < NOUT; ++k)
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v)
            acc[k][v] = Ops::load(out[k] + at + v * W);
    const float* y = work.filtered[0] + i;
    const TapRun* run = work.runs;
    const TapRun* end = work.runs + work.runCount;
    for (; run != end; ++run, y += kTapChunk) {
#pragma GCC unroll 8
        for (int k = 0; k < NOUT; ++k) {
            const V g = Ops::set1(run->gain[k]);
#pragma GCC unroll 8
            for (int v = 0; v < NV; ++v)
                acc[k][v] = Ops::add(acc[k][v], Ops::mul(g, Ops::load(y + v * W)));
        }
    }
#pragma GCC unroll 8
    for (int k = 0; k < NOUT; ++k)
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v)
            Ops::store(out[k] + at + v * W, acc[k][v]);
}

template <int NOUT>
void sumChunk(const KernelWorkspace& work, float* const* out, int first, int n)
{
    constexpr int W = Ops::W;
    // Vectors per pass that fit the registers (32 of them with sixteen lanes).
    constexpr int wide = NOUT <= 2 || W >= 16 ? 4 : 2;
    int i = 0;
    if (work.fadeLanes == 0) {
        for (; i + wide * W <= n; i += wide * W)
            sumSteadyVectors<NOUT, wide>(work, out, first, i);
        for (; i + W <= n; i += W)
            sumSteadyVectors<NOUT, 1>(work, out, first, i);
    } else {
        for (; i + 2 * W <= n; i += 2 * W)
            sumVectors<NOUT, 2>(work, out, first, i);
        for (; i + W <= n; i += W)
            sumVectors<NOUT, 1>(work, out, first, i);
    }
    for (; i < n; ++i)
        sumTail<NOUT>(work, out, first, i);
}

void sumChunkFor(const KernelWorkspace& work, float* const* out, int outputs, int first, int n)
{
    if (outputs >= 5)
        sumChunk<5>(work, out, first, n);
    else if (outputs >= 4)
        sumChunk<4>(work, out, first, n);
    else
        sumChunk<2>(work, out, first, n);
}

// to[i] = a * y[i] + x[i], one rounding per operation as in the scalar form.
void scaleAddRun(float* to, float a, const float* y, const float* x, int n)
{
    constexpr int W = Ops::W;
    const Ops::V av = Ops::set1(a);
    int i = 0;
    for (; i + W <= n; i += W)
        Ops::store(to + i, Ops::add(Ops::mul(av, Ops::load(y + i)), Ops::load(x + i)));
    for (; i < n; ++i)
        to[i] = a * y[i] + x[i];
}
