// SPDX-License-Identifier: GPL-3.0-or-later
// The equaliser's measured response: the FFT against a plain DFT worked in
// double precision, and the curve against the gains the band settings
// promise (a band boosts by twice its setting in dB; curve = dB / 13.33).

#include "dsp/EqResponse.h"
#include "dsp/RealFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace ovinta {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct FftCase {
    int n;
    int bits;
    int cosines;
    bool firstPassInBuffer;
};

TEST(RealFft, TablesAndFirstPassTargetFollowTheLength)
{
    const FftCase cases[] = {
        {8, 3, 0, true}, {16, 4, 4, false}, {8192, 13, 4092, true}, {1024, 10, 508, false}};
    for (const FftCase& c : cases) {
        RealFft fft(c.n);
        EXPECT_EQ(fft.length(), c.n) << c.n;
        EXPECT_EQ(fft.bits(), c.bits) << c.n;
        EXPECT_EQ(static_cast<int>(fft.cosTable().size()), c.cosines) << c.n;
        EXPECT_EQ(fft.firstPassWritesBuffer(), c.firstPassInBuffer) << c.n;
    }
}

TEST(RealFft, MatchesAPlainDftOfRandomInput)
{
    std::mt19937 random(20261207);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int n : {8, 16, 8192}) {
        std::vector<float> in(static_cast<size_t>(n)), out(static_cast<size_t>(n));
        for (float& x : in)
            x = sample(random);
        const std::vector<float> kept = in;
        RealFft fft(n);
        fft.forward(out.data(), in.data());
        EXPECT_EQ(in, kept) << "input changed, n = " << n;
        // Every bin for the small sizes; a spread of bins and the top one for 8192.
        std::vector<int> bins;
        for (int k = 0; k<n / 2; k += n> 16 ? 37 : 1)
            bins.push_back(k);
        bins.push_back(n / 2);
        const double tolerance = 1e-5 * std::sqrt(static_cast<double>(n)) * std::log2(static_cast<double>(n));
        for (int k : bins) {
            double re = 0.0, im = 0.0;
            for (int j = 0; j < n; ++j) {
                const double angle = -2.0 * kPi * static_cast<double>(k) * static_cast<double>(j) / n;
                re += static_cast<double>(in[static_cast<size_t>(j)]) * std::cos(angle);
                im += static_cast<double>(in[static_cast<size_t>(j)]) * std::sin(angle);
            }
            EXPECT_NEAR(static_cast<double>(out[static_cast<size_t>(k)]), re, tolerance)
                << "re, n " << n << " k " << k;
            if (k > 0 && k < n / 2) {
                EXPECT_NEAR(static_cast<double>(out[static_cast<size_t>(n / 2 + k)]), -im, tolerance)
                    << "im, n " << n << " k " << k;
            }
        }
    }
}

// A band set as the engine designs it: low shelf, two peaks, high shelf.
struct BandSet {
    EQfilter b[4];
    explicit BandSet(float rate)
        : b{{kEqLowShelf, 0.0f, 100.0f, rate, 0.6f},
            {kEqPeaking, 0.0f, 500.0f, rate, 1.0f},
            {kEqPeaking, 0.0f, 2000.0f, rate, 1.0f},
            {kEqHighShelf, 0.0f, 8000.0f, rate, 0.6f}}
    {
    }
};

struct CurveCase {
    const char* name;
    int band;     // 0..3, redesigned as below
    float gainDb; // setting; the response moves by twice this
    float hz;
    float width;
    int bin; // where the curve is read
    double expectDb;
};

TEST(EqResponse, CurveShowsTheGainsOfTheBands)
{
    constexpr float rate = 44100.0f;
    constexpr int types[4] = {kEqLowShelf, kEqPeaking, kEqPeaking, kEqHighShelf};
    // 1033.59375 Hz lies exactly on bin 192.
    const CurveCase cases[] = {
        {"flat, low end", 1, 0.0f, 500.0f, 1.0f, 0, 0.0},
        {"flat, middle", 1, 0.0f, 500.0f, 1.0f, 192, 0.0},
        {"flat, top end", 1, 0.0f, 500.0f, 1.0f, 4096, 0.0},
        {"+15 peak at its centre", 2, 15.0f, 1033.59375f, 1.0f, 192, 30.0},
        {"-15 peak at its centre", 1, -15.0f, 1033.59375f, 1.0f, 192, -30.0},
        {"low shelf +9 plateau at 0 Hz", 0, 9.0f, 200.0f, 0.6f, 0, 18.0},
        {"high shelf -6 plateau at half the rate", 3, -6.0f, 3000.0f, 0.6f, 4096, -12.0},
    };
    EqResponse response;
    for (const CurveCase& c : cases) {
        BandSet set(rate);
        set.b[c.band].computeCoefficients(types[c.band], c.gainDb, c.hz, rate, c.width);
        response.analyse(set.b[0], set.b[1], set.b[2], set.b[3]);
        const double measured = static_cast<double>(response.curve()[static_cast<size_t>(c.bin)]);
        EXPECT_NEAR(measured, c.expectDb / 20.0 * 1.5, 0.01) << c.name;
    }
}

TEST(EqResponse, FlatBandsGiveZeroInEveryBin)
{
    BandSet set(48000.0f);
    EqResponse response;
    response.analyse(set.b[0], set.b[1], set.b[2], set.b[3]);
    for (int k = 0; k < EqResponse::kBins; ++k)
        ASSERT_NEAR(static_cast<double>(response.curve()[static_cast<size_t>(k)]), 0.0, 1e-4) << k;
}

TEST(EqResponse, ABandThatPassesNothingGivesAFiniteCurve)
{
    BandSet set(44100.0f);
    // A band scaled to zero: every bin's magnitude is exactly 0.
    set.b[2].b0 = set.b[2].b1 = set.b[2].b2 = 0.0f;
    EqResponse response;
    response.analyse(set.b[0], set.b[1], set.b[2], set.b[3]);
    for (int k = 0; k < EqResponse::kBins; ++k)
        ASSERT_TRUE(std::isfinite(response.curve()[static_cast<size_t>(k)])) << k;
}

} // namespace

} // namespace ovinta
