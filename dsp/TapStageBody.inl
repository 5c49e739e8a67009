// Tap stage written once over a vector type. Included inside an anonymous
// namespace by each instruction-set file, after that file has defined its
// vector operations as `struct Ops` (W lanes per vector). Nothing here may
// call an inline function from another header: each file compiles its own
// private copy with its own instruction set.
//
// Recursion: W neighbouring lanes form a group; the chunk of each lane is
// loaded row by row, transposed so that a vector holds one sample of W lanes,
// pre-multiplied by c, run through y = c*x + (1 - c)*y for G groups at once
// (independent chains hide the latency of the recursion), and transposed back
// into the lane's row. Summation: for each block of samples the outputs stay
// in registers while every run is added in list order.

constexpr float kTinyOffset = 1e-20f;

template <int G, bool Fade>
void filterBatch(KernelWorkspace& work, int lane0, int n)
{
    using V = Ops::V;
    constexpr int W = Ops::W;
    TapLanes& lanes = work.lanes;
    alignas(64) float ytile[kTapChunk * G * W];
    alignas(64) float wtile[Fade ? kTapChunk * G * W : 1];
    const int tiles = (n + W - 1) / W;

    // Rows in, transposed, times c. Steady taps add 1e-20 to the input of
    // every other sample (W is even, so s and the block index share parity).
    const V tiny = Ops::set1(kTinyOffset);
    for (int g = 0; g < G; ++g) {
        const int base = lane0 + g * W;
        const float* rows[W];
#pragma GCC unroll 8
        for (int r = 0; r < W; ++r)
            rows[r] = lanes.source[base + r];
        const V c = Ops::load(lanes.coeff + base);
        for (int t = 0; t < tiles; ++t) {
            V x[W];
            Ops::transposeIn(rows, t * W, x);
#pragma GCC unroll 8
            for (int s = 0; s < W; ++s) {
                const V in = !Fade && s % 2 == 0 ? Ops::add(x[s], tiny) : x[s];
                Ops::store(ytile + ((t * W + s) * G + g) * W, Ops::mul(c, in));
            }
        }
    }

    // The recursions: G independent chains per step.
    V keep[G], y[G];
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
        keep[g] = Ops::load(lanes.keep + lane0 + g * W);
        y[g] = Ops::load(lanes.state + lane0 + g * W);
    }
    if constexpr (!Fade) {
        for (int s = 0; s < n; ++s) {
#pragma GCC unroll 8
            for (int g = 0; g < G; ++g) {
                float* at = ytile + (s * G + g) * W;
                y[g] = Ops::add(Ops::load(at), Ops::mul(keep[g], y[g]));
                Ops::store(at, y[g]);
            }
        }
    } else {
        const V one = Ops::set1(1.0f);
        V level[G], step[G], cap[G], alive[G];
#pragma GCC unroll 8
        for (int g = 0; g < G; ++g) {
            level[g] = Ops::load(lanes.level + lane0 + g * W);
            step[g] = Ops::load(lanes.step + lane0 + g * W);
            cap[g] = Ops::load(lanes.cap + lane0 + g * W);
            alive[g] = Ops::load(lanes.alive + lane0 + g * W);
        }
        for (int s = 0; s < n; ++s) {
#pragma GCC unroll 8
            for (int g = 0; g < G; ++g) {
                float* at = ytile + (s * G + g) * W;
                y[g] = Ops::add(Ops::load(at), Ops::mul(keep[g], y[g]));
                Ops::store(at, y[g]);
                // Incoming: weight t while t < 1, then exactly 1. Outgoing:
                // the cap is infinite, so the weight is v and v keeps falling.
                const V rising = Ops::less(level[g], cap[g]);
                const V wv = Ops::select(rising, level[g], one);
                level[g] = Ops::select(rising, Ops::add(level[g], step[g]), level[g]);
                alive[g] = Ops::add(alive[g], Ops::bitAnd(Ops::greater(wv, tiny), one));
                Ops::store(wtile + (s * G + g) * W, wv);
            }
        }
#pragma GCC unroll 8
        for (int g = 0; g < G; ++g) {
            Ops::store(lanes.level + lane0 + g * W, level[g]);
            Ops::store(lanes.alive + lane0 + g * W, alive[g]);
        }
    }
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g)
        Ops::store(lanes.state + lane0 + g * W, y[g]);

    // Transposed back into each lane's row.
    for (int g = 0; g < G; ++g) {
        const int base = lane0 + g * W;
        float* rows[W];
        float* weightRows[W];
#pragma GCC unroll 8
        for (int r = 0; r < W; ++r) {
            rows[r] = work.filtered[base + r];
            weightRows[r] = work.weight[base + r];
        }
        for (int t = 0; t < tiles; ++t) {
            V v[W];
#pragma GCC unroll 8
            for (int s = 0; s < W; ++s)
                v[s] = Ops::load(ytile + ((t * W + s) * G + g) * W);
            Ops::transposeOut(v, rows, t * W);
            if constexpr (Fade) {
#pragma GCC unroll 8
                for (int s = 0; s < W; ++s)
                    v[s] = Ops::load(wtile + ((t * W + s) * G + g) * W);
                Ops::transposeOut(v, weightRows, t * W);
            }
        }
    }
}

void filterChunk(KernelWorkspace& work, int n)
{
    constexpr int kSteadyGroups = 8;
    constexpr int kFadeGroups = 2;
    constexpr int steadyBatch = kSteadyGroups * Ops::W;
    constexpr int fadeBatch = kFadeGroups * Ops::W;
    static_assert(kLaneBatch % steadyBatch == 0 && kLaneBatch % fadeBatch == 0);
    for (int lane = 0; lane < work.steadyLanes; lane += steadyBatch)
        filterBatch<kSteadyGroups, false>(work, lane, n);
    const int fadeEnd = work.steadyLanes + work.fadeLanes;
    for (int lane = work.steadyLanes; lane < fadeEnd; lane += fadeBatch)
        filterBatch<kFadeGroups, true>(work, lane, n);
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
                const V playing = Ops::lanesBelow(run.stop - at - v * W);
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
    constexpr int wide = NOUT <= 2 ? 4 : 2; // vectors per pass that fit the registers
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
