// SPDX-License-Identifier: GPL-3.0-or-later
// RealFft: tables at construction, then the passes. After pass p every group
// of 2^p consecutive entries holds the transform of its own sub-sequence in
// the output layout (real parts first, then the negated imaginary parts), so
// each later pass joins two neighbouring half-size transforms into one.

#include "dsp/RealFft.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

RealFft::RealFft(int n)
{
    const double requested = n > 1 ? static_cast<double>(n) : 1.0;
    const int rounded = static_cast<int>(std::log(requested) / std::log(2.0) + 0.5);
    log2Size = std::clamp(rounded, kMinBits, kMaxBits);
    size = 1 << log2Size;

    // Bit reversal, built incrementally: adding one to the reversed number
    // carries from its top bit downwards.
    bitReversed = std::make_unique<int[]>(static_cast<size_t>(size));
    int r = 0;
    bitReversed[0] = 0;
    for (int i = 1; i < size; ++i) {
        int mask = size >> 1;
        r ^= mask;
        while ((r & mask) == 0 && mask > 1) {
            mask >>= 1;
            r ^= mask;
        }
        bitReversed[static_cast<size_t>(i)] = r;
    }

    cosineCount = size / 2 - 4;
    cosines = std::make_unique<float[]>(static_cast<size_t>(std::max(cosineCount, 1)));
    const double pi = 4.0 * std::atan(1.0);
    for (int level = 2; level <= log2Size - 2; ++level) {
        const int count = 1 << level;
        for (int i = 0; i < count; ++i)
            cosines[static_cast<size_t>(count + i - 4)] =
                static_cast<float>(std::cos(static_cast<double>(i) * pi / static_cast<double>(count * 2)));
    }
    halfSqrt2 = static_cast<float>(std::sqrt(2.0)) * 0.5f;
    buffer = std::make_unique<float[]>(static_cast<size_t>(size));
}

RealFft::~RealFft() = default;

void RealFft::forward(float* out, const float* in)
{
    // The passes alternate between the buffer and the output; bits - 1
    // writes in all, the last of them into the output.
    float* target = firstPassWritesBuffer() ? buffer.get() : out;
    float* other = target == out ? buffer.get() : out;
    firstTwoPasses(target, in);
    for (int pass = 3; pass <= log2Size; ++pass) {
        std::swap(target, other);
        if (pass == 3)
            thirdPass(target, other, size, halfSqrt2);
        else
            laterPass(target, other, pass);
    }
}

// Four-point transforms of the bit-reversed input: a, b, c, d are x0, x2,
// x1, x3 of each four-point sub-sequence.
void RealFft::firstTwoPasses(float* target, const float* in) const
{
    for (int j = 0; j < size; j += 4) {
        const float a = in[bitReversed[static_cast<size_t>(j)]];
        const float b = in[bitReversed[static_cast<size_t>(j + 1)]];
        const float c = in[bitReversed[static_cast<size_t>(j + 2)]];
        const float d = in[bitReversed[static_cast<size_t>(j + 3)]];
        target[j + 1] = a - b;
        target[j + 3] = c - d;
        target[j] = (a + b) + (c + d);
        target[j + 2] = (a + b) - (c + d);
    }
}

// Eight-point transforms from pairs of four-point ones; the odd bin turns by
// 45 degrees, whose sine and cosine are both sqrt(2)/2.
void RealFft::thirdPass(float* target, const float* source, int n, float halfRoot2)
{
    for (int j = 0; j < n; j += 8) {
        const float* e = source + j;
        const float* o = source + j + 4;
        float* t = target + j;
        t[0] = e[0] + o[0];
        t[4] = e[0] - o[0];
        t[2] = e[2];
        t[6] = o[2];
        const float rotatedRe = (o[1] - o[3]) * halfRoot2;
        const float rotatedIm = (o[1] + o[3]) * halfRoot2;
        t[1] = e[1] + rotatedRe;
        t[3] = e[1] - rotatedRe;
        t[5] = rotatedIm + e[3];
        t[7] = rotatedIm - e[3];
    }
}

// Joins the two halves of each group of 2n: X[k] = E[k] + W^k O[k] with
// W = e^(-i pi / n), and X[n - k] = conj(E[k] - W^k O[k]).
void RealFft::laterPass(float* target, const float* source, int pass) const
{
    const int n = 1 << (pass - 1);
    const int half = n / 2;
    const float* cosLevel = cosines.get() + (half - 4); // cos(k pi / n), k = 0 .. n/2 - 1
    for (int j = 0; j < size; j += 2 * n) {
        const float* e = source + j;
        const float* o = source + j + n;
        float* t = target + j;
        // Bin 0 and the middle bin of each half are real: no rotation.
        t[0] = e[0] + o[0];
        t[n] = e[0] - o[0];
        t[half] = e[half];
        t[n + half] = o[half];
        for (int k = 1; k < half; ++k) {
            const float c = cosLevel[k];
            const float s = cosLevel[half - k]; // sin(k pi / n) = cos((n/2 - k) pi / n)
            const float oRe = o[k];
            const float oNegIm = o[half + k];
            const float rotatedRe = c * oRe - s * oNegIm;
            const float rotatedNegIm = c * oNegIm + s * oRe;
            const float eRe = e[k];
            const float eNegIm = e[half + k];
            t[k] = eRe + rotatedRe;
            t[n - k] = eRe - rotatedRe;
            t[n + k] = eNegIm + rotatedNegIm;
            t[2 * n - k] = rotatedNegIm - eNegIm;
        }
    }
}

} // namespace ovinta
