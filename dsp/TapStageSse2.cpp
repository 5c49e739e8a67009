// SPDX-License-Identifier: GPL-3.0-or-later
// Tap stage on SSE2: four lanes per vector. The baseline of every x86-64
// processor, and the reference the AVX2 path must match bit for bit.

#include "dsp/TapStage.h"

#include <emmintrin.h>

namespace ovinta {

namespace {

struct Ops {
    using V = __m128;
    static constexpr int W = 4;

    static V load(const float* p) { return _mm_loadu_ps(p); }
    static void store(float* p, V v) { _mm_storeu_ps(p, v); }
    static V set1(float x) { return _mm_set1_ps(x); }
    static V add(V a, V b) { return _mm_add_ps(a, b); }
    static V mul(V a, V b) { return _mm_mul_ps(a, b); }
    static V bitAnd(V a, V b) { return _mm_and_ps(a, b); }
    static V less(V a, V b) { return _mm_cmplt_ps(a, b); }
    static V greater(V a, V b) { return _mm_cmpgt_ps(a, b); }
    // mask ? a : b, lane by lane, without arithmetic on the values.
    static V select(V mask, V a, V b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
    // All bits set in the lanes whose index is below `limit`.
    static V lanesBelow(int limit)
    {
        return _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_set1_epi32(limit), _mm_setr_epi32(0, 1, 2, 3)));
    }

    [[gnu::always_inline]] static void transpose(V& a, V& b, V& c, V& d)
    {
        const V t0 = _mm_unpacklo_ps(a, b);
        const V t1 = _mm_unpackhi_ps(a, b);
        const V t2 = _mm_unpacklo_ps(c, d);
        const V t3 = _mm_unpackhi_ps(c, d);
        a = _mm_movelh_ps(t0, t2);
        b = _mm_movehl_ps(t2, t0);
        c = _mm_movelh_ps(t1, t3);
        d = _mm_movehl_ps(t3, t1);
    }
    // x[s] = sample offset + s of rows 0..3, one row per lane.
    [[gnu::always_inline]] static void transposeIn(const float* const* rows, int offset, V* x)
    {
        V a = _mm_loadu_ps(rows[0] + offset), b = _mm_loadu_ps(rows[1] + offset);
        V c = _mm_loadu_ps(rows[2] + offset), d = _mm_loadu_ps(rows[3] + offset);
        transpose(a, b, c, d);
        x[0] = a;
        x[1] = b;
        x[2] = c;
        x[3] = d;
    }
    // Inverse of transposeIn: lane r of y[s] goes to rows[r][offset + s].
    [[gnu::always_inline]] static void transposeOut(const V* y, float* const* rows, int offset)
    {
        V a = y[0], b = y[1], c = y[2], d = y[3];
        transpose(a, b, c, d);
        _mm_storeu_ps(rows[0] + offset, a);
        _mm_storeu_ps(rows[1] + offset, b);
        _mm_storeu_ps(rows[2] + offset, c);
        _mm_storeu_ps(rows[3] + offset, d);
    }
};

#include "dsp/TapStageBody.inl"

} // namespace

void filterTapChunkSse2(KernelWorkspace& work, int n)
{
    filterChunk(work, n);
}

void sumTapChunkSse2(const KernelWorkspace& work, float* const* out, int outputs, int first, int n)
{
    sumChunkFor(work, out, outputs, first, n);
}

void scaleAddSse2(float* to, float a, const float* y, const float* x, int n)
{
    scaleAddRun(to, a, y, x, n);
}

} // namespace ovinta
