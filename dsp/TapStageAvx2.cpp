// SPDX-License-Identifier: GPL-3.0-or-later
// Tap stage on AVX2: eight lanes per vector. Compiled on its own with -mavx2
// (and without fused multiply-add) and only called after a run-time check.

#include "dsp/TapStage.h"

#include <immintrin.h>

namespace ovinta {

namespace {

struct Ops {
    using V = __m256;
    static constexpr int W = 8;

    static V load(const float* p) { return _mm256_loadu_ps(p); }
    static void store(float* p, V v) { _mm256_storeu_ps(p, v); }
    static V set1(float x) { return _mm256_set1_ps(x); }
    static V add(V a, V b) { return _mm256_add_ps(a, b); }
    static V mul(V a, V b) { return _mm256_mul_ps(a, b); }
    static V bitAnd(V a, V b) { return _mm256_and_ps(a, b); }
    static V less(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
    static V greater(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
    static V select(V mask, V a, V b) { return _mm256_blendv_ps(b, a, mask); }
    static V lanesBelow(int limit)
    {
        return _mm256_castsi256_ps(
            _mm256_cmpgt_epi32(_mm256_set1_epi32(limit), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
    }

    // 4 x 4 transposes inside each 128-bit half. Shuffles share one port on
    // many processors, so half of the second round is done with blends.
    [[gnu::always_inline]] static void transposeHalves(V& a, V& b, V& c, V& d)
    {
        const V t0 = _mm256_unpacklo_ps(a, b); // a0 b0 a1 b1
        const V t1 = _mm256_unpackhi_ps(a, b); // a2 b2 a3 b3
        const V t2 = _mm256_unpacklo_ps(c, d); // c0 d0 c1 d1
        const V t3 = _mm256_unpackhi_ps(c, d); // c2 d2 c3 d3
        const V u0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 3, 2)); // a1 b1 c0 d0
        const V u1 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 3, 2)); // a3 b3 c2 d2
        a = _mm256_blend_ps(t0, u0, 0xCC);
        b = _mm256_blend_ps(u0, t2, 0xCC);
        c = _mm256_blend_ps(t1, u1, 0xCC);
        d = _mm256_blend_ps(u1, t3, 0xCC);
    }
    [[gnu::always_inline]] static V pair(const float* low, const float* high)
    {
        return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low)), _mm_loadu_ps(high), 1);
    }
    // x[s] = sample offset + s of rows 0..7, one row per lane. Rows r and
    // r + 4 share a vector (low and high half), so only in-half shuffles remain.
    [[gnu::always_inline]] static void transposeIn(const float* const* rows, int offset, V* x)
    {
        const float* r0 = rows[0] + offset;
        const float* r1 = rows[1] + offset;
        const float* r2 = rows[2] + offset;
        const float* r3 = rows[3] + offset;
        const float* r4 = rows[4] + offset;
        const float* r5 = rows[5] + offset;
        const float* r6 = rows[6] + offset;
        const float* r7 = rows[7] + offset;
        V a0 = pair(r0, r4), a1 = pair(r1, r5), a2 = pair(r2, r6), a3 = pair(r3, r7);
        V b0 = pair(r0 + 4, r4 + 4), b1 = pair(r1 + 4, r5 + 4), b2 = pair(r2 + 4, r6 + 4);
        V b3 = pair(r3 + 4, r7 + 4);
        transposeHalves(a0, a1, a2, a3);
        transposeHalves(b0, b1, b2, b3);
        x[0] = a0;
        x[1] = a1;
        x[2] = a2;
        x[3] = a3;
        x[4] = b0;
        x[5] = b1;
        x[6] = b2;
        x[7] = b3;
    }
    // Inverse of transposeIn: lane r of y[s] goes to rows[r][offset + s].
    [[gnu::always_inline]] static void transposeOut(const V* y, float* const* rows, int offset)
    {
        V a0 = y[0], a1 = y[1], a2 = y[2], a3 = y[3];
        V b0 = y[4], b1 = y[5], b2 = y[6], b3 = y[7];
        transposeHalves(a0, a1, a2, a3);
        transposeHalves(b0, b1, b2, b3);
        // Row r takes the low halves of a_r and b_r, row r + 4 the high halves.
        storeHalves(rows[0] + offset, rows[4] + offset, a0);
        storeHalves(rows[1] + offset, rows[5] + offset, a1);
        storeHalves(rows[2] + offset, rows[6] + offset, a2);
        storeHalves(rows[3] + offset, rows[7] + offset, a3);
        storeHalves(rows[0] + offset + 4, rows[4] + offset + 4, b0);
        storeHalves(rows[1] + offset + 4, rows[5] + offset + 4, b1);
        storeHalves(rows[2] + offset + 4, rows[6] + offset + 4, b2);
        storeHalves(rows[3] + offset + 4, rows[7] + offset + 4, b3);
    }
    [[gnu::always_inline]] static void storeHalves(float* low, float* high, V v)
    {
        _mm_storeu_ps(low, _mm256_castps256_ps128(v));
        _mm_storeu_ps(high, _mm256_extractf128_ps(v, 1));
    }
};

#include "dsp/TapStageBody.inl"

} // namespace

void filterTapChunkAvx2(KernelWorkspace& work, int n)
{
    filterChunk(work, n);
}

void sumTapChunkAvx2(const KernelWorkspace& work, float* const* out, int outputs, int first, int n)
{
    sumChunkFor(work, out, outputs, first, n);
}

void scaleAddAvx2(float* to, float a, const float* y, const float* x, int n)
{
    scaleAddRun(to, a, y, x, n);
}

} // namespace ovinta
