// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Four floats worked on together (SSE2, part of every x86-64 processor), with
// just the operators the wall test needs. Each lane gets exactly the IEEE
// single-precision result the scalar operator gives, so a formula written
// once as a template over float and FloatLanes gives bit-identical values.

#include <emmintrin.h>

namespace ovinta {

struct FloatLanes {
    __m128 v;
};

inline FloatLanes operator+(FloatLanes a, FloatLanes b) { return {_mm_add_ps(a.v, b.v)}; }
inline FloatLanes operator-(FloatLanes a, FloatLanes b) { return {_mm_sub_ps(a.v, b.v)}; }
inline FloatLanes operator*(FloatLanes a, FloatLanes b) { return {_mm_mul_ps(a.v, b.v)}; }
inline FloatLanes operator/(FloatLanes a, FloatLanes b) { return {_mm_div_ps(a.v, b.v)}; }
inline FloatLanes operator-(FloatLanes a, float b) { return a - FloatLanes{_mm_set1_ps(b)}; }
inline FloatLanes operator*(FloatLanes a, float b) { return a * FloatLanes{_mm_set1_ps(b)}; }

// Comparisons give a lane mask: all bits set where true, clear where false
// (NaN compares false, as in scalar code).
inline FloatLanes operator>=(FloatLanes a, float b) { return {_mm_cmpge_ps(a.v, _mm_set1_ps(b))}; }
inline FloatLanes operator<=(FloatLanes a, float b) { return {_mm_cmple_ps(a.v, _mm_set1_ps(b))}; }
inline FloatLanes operator>(FloatLanes a, float b) { return {_mm_cmpgt_ps(a.v, _mm_set1_ps(b))}; }
inline FloatLanes operator&(FloatLanes a, FloatLanes b) { return {_mm_and_ps(a.v, b.v)}; }

// |v| by clearing the sign bit, as std::fabs does.
inline FloatLanes magnitude(FloatLanes a)
{
    return {_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v)};
}

} // namespace ovinta
