// Tap stage on AVX2: eight lanes per vector. Compiled on its own with -mavx2
// (and without fused multiply-add) and only called after a run-time check.

#include "dsp/TapStage.h"

#include <immintrin.h>

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

    // 4 x 4 transposes inside each 128-bit half.
    static void transposeHalves(V& a, V& b, V& c, V& d)
    {
        const V t0 = _mm256_unpacklo_ps(a, b);
        const V t1 = _mm256_unpackhi_ps(a, b);
        const V t2 = _mm256_unpacklo_ps(c, d);
        const V t3 = _mm256_unpackhi_ps(c, d);
        a = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
        b = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
        c = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
        d = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
    }
    static V pair(const float* low, const float* high)
    {
        return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low)), _mm_loadu_ps(high), 1);
    }
    // x[s] = sample offset + s of rows 0..7, one row per lane. Rows r and
    // r + 4 share a vector (low and high half), so only in-half shuffles remain.
    static void transposeIn(const float* const* rows, int offset, V* x)
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
    static void transposeOut(const V* y, float* const* rows, int offset)
    {
        V a0 = y[0], a1 = y[1], a2 = y[2], a3 = y[3];
        V b0 = y[4], b1 = y[5], b2 = y[6], b3 = y[7];
        transposeHalves(a0, a1, a2, a3);
        transposeHalves(b0, b1, b2, b3);
        // Row r takes the low halves of a_r and b_r, row r + 4 the high halves.
        _mm256_storeu_ps(rows[0] + offset, _mm256_permute2f128_ps(a0, b0, 0x20));
        _mm256_storeu_ps(rows[1] + offset, _mm256_permute2f128_ps(a1, b1, 0x20));
        _mm256_storeu_ps(rows[2] + offset, _mm256_permute2f128_ps(a2, b2, 0x20));
        _mm256_storeu_ps(rows[3] + offset, _mm256_permute2f128_ps(a3, b3, 0x20));
        _mm256_storeu_ps(rows[4] + offset, _mm256_permute2f128_ps(a0, b0, 0x31));
        _mm256_storeu_ps(rows[5] + offset, _mm256_permute2f128_ps(a1, b1, 0x31));
        _mm256_storeu_ps(rows[6] + offset, _mm256_permute2f128_ps(a2, b2, 0x31));
        _mm256_storeu_ps(rows[7] + offset, _mm256_permute2f128_ps(a3, b3, 0x31));
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
