// SPDX-License-Identifier: GPL-3.0-or-later
// Tap stage on AVX-512 (the foundation set, AVX-512F, alone): sixteen lanes
// per vector. Compiled on its own with -mavx512f and without contraction, so
// no fused multiply-add is formed (AVX-512F carries its own multiply-add
// forms), and only called after a run-time check. Comparisons give mask registers, which
// pick lanes exactly as the SSE2 and AVX2 bit masks do.

#include "dsp/TapStage.h"

// GCC 12's AVX-512 shuffles start from a deliberately undefined register,
// which its own flow analysis then reports as maybe uninitialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <immintrin.h>

namespace ovinta {

namespace {

struct Ops {
    using V = __m512;
    using M = __mmask16;
    static constexpr int W = 16;

    static V load(const float* p) { return _mm512_loadu_ps(p); }
    static void store(float* p, V v) { _mm512_storeu_ps(p, v); }
    static V set1(float x) { return _mm512_set1_ps(x); }
    static V add(V a, V b) { return _mm512_add_ps(a, b); }
    static V mul(V a, V b) { return _mm512_mul_ps(a, b); }
    // a in the lanes of the mask, 0 elsewhere.
    static V bitAnd(M mask, V a) { return _mm512_maskz_mov_ps(mask, a); }
    static M less(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
    static M greater(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_GT_OQ); }
    static V select(M mask, V a, V b) { return _mm512_mask_blend_ps(mask, b, a); }
    static M lanesBelow(int limit)
    {
        const __m512i index = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        return _mm512_cmpgt_epi32_mask(_mm512_set1_epi32(limit), index);
    }

    // 16 x 16 transpose: r[i] lane j becomes r[j] lane i. Pairs are
    // interleaved and 4 x 4 blocks transposed inside each 128-bit quarter,
    // then the quarters are regrouped in two rounds.
    [[gnu::always_inline]] static void transpose(V* r)
    {
        V t[W], u[W];
#pragma GCC unroll 8
        for (int i = 0; i < W; i += 4) {
            t[i] = _mm512_unpacklo_ps(r[i], r[i + 1]);     // per quarter: a0 b0 a1 b1
            t[i + 1] = _mm512_unpackhi_ps(r[i], r[i + 1]); // a2 b2 a3 b3
            t[i + 2] = _mm512_unpacklo_ps(r[i + 2], r[i + 3]);
            t[i + 3] = _mm512_unpackhi_ps(r[i + 2], r[i + 3]);
            u[i] = _mm512_shuffle_ps(t[i], t[i + 2], _MM_SHUFFLE(1, 0, 1, 0));     // column 4q of rows i..i+3
            u[i + 1] = _mm512_shuffle_ps(t[i], t[i + 2], _MM_SHUFFLE(3, 2, 3, 2)); // column 4q + 1
            u[i + 2] = _mm512_shuffle_ps(t[i + 1], t[i + 3], _MM_SHUFFLE(1, 0, 1, 0)); // 4q + 2
            u[i + 3] = _mm512_shuffle_ps(t[i + 1], t[i + 3], _MM_SHUFFLE(3, 2, 3, 2)); // 4q + 3
        }
        // Round one: quarters 0 and 2 (0x88) or 1 and 3 (0xDD) of rows
        // 0-3 with rows 4-7, and of rows 8-11 with rows 12-15.
#pragma GCC unroll 4
        for (int c = 0; c < 4; ++c) {
            const V low0 = _mm512_shuffle_f32x4(u[c], u[c + 4], 0x88);  // columns c, c + 8
            const V high0 = _mm512_shuffle_f32x4(u[c], u[c + 4], 0xDD); // columns c + 4, c + 12
            const V low1 = _mm512_shuffle_f32x4(u[c + 8], u[c + 12], 0x88);
            const V high1 = _mm512_shuffle_f32x4(u[c + 8], u[c + 12], 0xDD);
            // Round two: all four row groups of one column.
            r[c] = _mm512_shuffle_f32x4(low0, low1, 0x88);
            r[c + 8] = _mm512_shuffle_f32x4(low0, low1, 0xDD);
            r[c + 4] = _mm512_shuffle_f32x4(high0, high1, 0x88);
            r[c + 12] = _mm512_shuffle_f32x4(high0, high1, 0xDD);
        }
    }
    // x[s] = sample offset + s of rows 0..15, one row per lane.
    [[gnu::always_inline]] static void transposeIn(const float* const* rows, int offset, V* x)
    {
#pragma GCC unroll 16
        for (int r = 0; r < W; ++r)
            x[r] = _mm512_loadu_ps(rows[r] + offset);
        transpose(x);
    }
    // Inverse of transposeIn: lane r of y[s] goes to rows[r][offset + s].
    [[gnu::always_inline]] static void transposeOut(const V* y, float* const* rows, int offset)
    {
        V v[W];
#pragma GCC unroll 16
        for (int s = 0; s < W; ++s)
            v[s] = y[s];
        transpose(v);
#pragma GCC unroll 16
        for (int r = 0; r < W; ++r)
            _mm512_storeu_ps(rows[r] + offset, v[r]);
    }
};

#include "dsp/TapStageBody.inl"

} // namespace

void filterTapChunkAvx512(KernelWorkspace& work, int n)
{
    filterChunk(work, n);
}

void sumTapChunkAvx512(const KernelWorkspace& work, float* const* out, int outputs, int first, int n)
{
    sumChunkFor(work, out, outputs, first, n);
}

void scaleAddAvx512(float* to, float a, const float* y, const float* x, int n)
{
    scaleAddRun(to, a, y, x, n);
}

} // namespace ovinta
