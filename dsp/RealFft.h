// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RealFft: a forward FFT of real sequences of a power-of-two length, radix 2
// with decimation in time, working on real arrays only. Its tables and its
// scratch buffer are built by the constructor; forward() allocates nothing.
// One object per user and thread: forward() writes the scratch buffer.
//
// Output layout, with X[k] = sum x[n] e^(-2 pi i k n / N):
//   out[k]         = Re X[k]   for k = 0 .. N/2
//   out[N/2 + k]   = -Im X[k]  for k = 1 .. N/2 - 1
// Bins 0 and N/2 are real and have no imaginary entry.

#include <memory>
#include <span>

namespace ovinta {

class RealFft {
public:
    static constexpr int kMinBits = 3;  // 8 points
    static constexpr int kMaxBits = 24; // 16,777,216 points

    // A transform of length N = 2^bits with bits = round(log2 n), kept within
    // kMinBits..kMaxBits, so any n gives a usable power-of-two length.
    explicit RealFft(int n);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    // Transforms in[0 .. length) into out[0 .. length) in the layout above.
    // `in` is left unchanged; the two arrays must not overlap.
    void forward(float* out, const float* in);

    int length() const { return size; }
    int bits() const { return log2Size; }
    std::span<const int> bitReverse() const { return {bitReversed.get(), static_cast<size_t>(size)}; }
    // cos(i pi / 2^(c+1)) at [2^c + i - 4] for the levels c = 2 .. bits - 2.
    std::span<const float> cosTable() const { return {cosines.get(), static_cast<size_t>(cosineCount)}; }
    // Where passes 1 and 2 write: the scratch buffer when bits is odd, the
    // output when it is even, so that the last pass always ends in the output.
    bool firstPassWritesBuffer() const { return (log2Size & 1) != 0; }

private:
    void firstTwoPasses(float* target, const float* in) const;
    static void thirdPass(float* target, const float* source, int n, float halfRoot2);
    void laterPass(float* target, const float* source, int pass) const;

    std::unique_ptr<int[]> bitReversed; // bit-reversal permutation of 0 .. N-1
    std::unique_ptr<float[]> cosines;   // N/2 - 4 entries (none for N = 8)
    float halfSqrt2 = 0.0f;             // sqrt(2) / 2
    int size = 0;                       // N
    int log2Size = 0;                   // bits
    int cosineCount = 0;
    std::unique_ptr<float[]> buffer; // N floats, the ping-pong partner of the output
};

} // namespace ovinta
