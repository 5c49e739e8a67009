// SPDX-License-Identifier: GPL-3.0-or-later
// Equaliser band: gains measured by running sines through the band, never by
// recomputing the design. The design boosts by twice its setting in dB.

#include "dsp/EQfilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace ovinta {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Steady-state gain in dB of `band` for a sine of `hz`: RMS of the output
// over whole periods after the transient, against the input's RMS.
double measureSineGainDb(EQfilter band, double hz, double rate)
{
    const int settle = static_cast<int>(rate); // one second
    const int span = static_cast<int>(rate / 2);
    double in2 = 0.0, out2 = 0.0;
    for (int n = 0; n < settle + span; ++n) {
        const double x = std::sin(2.0 * kPi * hz * n / rate);
        const double y = static_cast<double>(band.step(static_cast<float>(x)));
        if (n >= settle) {
            in2 += x * x;
            out2 += y * y;
        }
    }
    return 10.0 * std::log10(out2 / in2);
}

struct BandCase {
    const char* name;
    int type;
    float gainDb, hz, rate, width;
    double probeHz, expectDb, toleranceDb;
};

TEST(EQfilter, SinesThroughABandGainWhatTheSettingPromises)
{
    const BandCase cases[] = {
        // +15 dB on a peak is +30 dB at its centre, nothing far away.
        {"peak +15 centre", kEqPeaking, 15.0f, 1000.0f, 48000.0f, 1.0f, 1000.0, 30.0, 0.2},
        {"peak +15 far below", kEqPeaking, 15.0f, 1000.0f, 48000.0f, 1.0f, 40.0, 0.0, 0.3},
        {"peak +15 far above", kEqPeaking, 15.0f, 1000.0f, 48000.0f, 1.0f, 18000.0, 0.0, 0.3},
        {"peak -15 centre", kEqPeaking, -15.0f, 2000.0f, 44100.0f, 0.5f, 2000.0, -30.0, 0.3},
        // One octave wide: half the boost in dB one half-octave off centre
        // (the band edges of the design sit at the dB midpoint).
        {"peak +6 band edge", kEqPeaking, 6.0f, 1000.0f, 48000.0f, 1.0f, 1414.2, 6.0, 0.6},
        {"peak 0 dB passes", kEqPeaking, 0.0f, 1000.0f, 48000.0f, 1.0f, 1000.0, 0.0, 0.01},
        {"low shelf +6 plateau", kEqLowShelf, 6.0f, 300.0f, 48000.0f, 1.0f, 20.0, 12.0, 0.3},
        {"low shelf +6 top", kEqLowShelf, 6.0f, 300.0f, 48000.0f, 1.0f, 12000.0, 0.0, 0.2},
        {"high shelf -9 plateau", kEqHighShelf, -9.0f, 3000.0f, 48000.0f, 1.0f, 20000.0, -18.0, 0.5},
        {"high shelf -9 bottom", kEqHighShelf, -9.0f, 3000.0f, 48000.0f, 1.0f, 60.0, 0.0, 0.3},
        {"shelf 0 dB passes", kEqHighShelf, 0.0f, 3000.0f, 48000.0f, 0.6f, 5000.0, 0.0, 0.01},
        // Shelf midpoint: half the plateau in dB at the corner frequency.
        {"low shelf corner", kEqLowShelf, 10.0f, 500.0f, 48000.0f, 0.7071f, 500.0, 10.0, 0.3},
        // The construction design: a 2.5 kHz low-pass.
        {"low-pass passes lows", kEqLowPass, 0.0f, 2500.0f, 44100.0f, 5.0f, 30.0, 0.0, 0.1},
    };
    for (const BandCase& c : cases) {
        const EQfilter band(c.type, c.gainDb, c.hz, c.rate, c.width);
        EXPECT_NEAR(measureSineGainDb(band, c.probeHz, static_cast<double>(c.rate)), c.expectDb, c.toleranceDb) << c.name;
    }
}

TEST(EQfilter, TheLowestLegalCornersStillFilter)
{
    // At 20 Hz and 96 kHz the poles sit next to z = 1 and single precision
    // blurs the exact gain, but the band must still act (the guard against
    // unusable designs must not mistake it for one and pass the signal).
    const EQfilter shelf(kEqLowShelf, 15.0f, 20.0f, 96000.0f, 1.0f);
    EXPECT_GT(measureSineGainDb(shelf, 5.0, 96000.0), 25.0);
    const EQfilter peak(kEqPeaking, 12.0f, 20.0f, 96000.0f, 0.1f);
    EXPECT_GT(measureSineGainDb(peak, 20.0, 96000.0), 12.0);
    EXPECT_NEAR(measureSineGainDb(peak, 2000.0, 96000.0), 0.0, 0.2);
}

TEST(EQfilter, LowPassCutsHighs)
{
    const EQfilter band(kEqLowPass, 0.0f, 2500.0f, 44100.0f, 5.0f);
    EXPECT_LT(measureSineGainDb(band, 15000.0, 44100.0), -20.0);
    EXPECT_LT(measureSineGainDb(band, 6000.0, 44100.0), measureSineGainDb(band, 3000.0, 44100.0));
}

TEST(EQfilter, RedesignKeepsStateAndResetClearsIt)
{
    EQfilter band(kEqPeaking, 12.0f, 1000.0f, 48000.0f, 1.0f);
    for (int n = 0; n < 100; ++n)
        band.step(n % 2 == 0 ? 1.0f : -0.5f);
    const float y1 = band.y1, x1 = band.x1;
    band.computeCoefficients(kEqPeaking, -3.0f, 500.0f, 48000.0f, 2.0f);
    EXPECT_EQ(band.y1, y1);
    EXPECT_EQ(band.x1, x1);
    band.resetState();
    EXPECT_EQ(band.step(0.0f), 0.0f);
}

TEST(EQfilter, SilenceKeepsTheStateOffTheDenormalRange)
{
    EQfilter band(kEqPeaking, 6.0f, 1000.0f, 48000.0f, 1.0f);
    band.step(1.0f);
    for (int n = 0; n < 200000; ++n)
        band.step(0.0f);
    // The 1e-20 carried in y1 keeps the recursion at a normal magnitude.
    EXPECT_GE(std::fabs(band.y1), 1e-21f);
    EXPECT_EQ(std::fpclassify(band.y1), FP_NORMAL);
}

TEST(EQfilter, DesignsOutsideTheRangePassTheSignalInsteadOfNaN)
{
    struct Bad {
        const char* name;
        int type;
        float gainDb, hz, rate, width;
    } bad[] = {
        {"zero frequency peak", kEqPeaking, 6.0f, 0.0f, 48000.0f, 1.0f},
        {"zero sample rate", kEqLowShelf, 6.0f, 1000.0f, 0.0f, 1.0f},
        {"Nyquist low-pass", kEqLowPass, 0.0f, 24000.0f, 48000.0f, 5.0f},
        {"negative width peak", kEqPeaking, 12.0f, 1000.0f, 48000.0f, -3.0f},
        {"huge gain shelf", kEqHighShelf, 3000.0f, 1000.0f, 48000.0f, 1.0f},
        {"NaN frequency", kEqPeaking, 6.0f, NAN, 48000.0f, 1.0f},
    };
    for (const Bad& b : bad) {
        EQfilter band(b.type, b.gainDb, b.hz, b.rate, b.width);
        float last = 0.0f;
        for (int n = 0; n < 5000; ++n)
            last = band.step(n % 50 == 0 ? 1.0f : 0.25f);
        EXPECT_TRUE(std::isfinite(last)) << b.name;
        EXPECT_LT(std::fabs(last), 100.0f) << b.name;
    }
}

} // namespace

} // namespace ovinta
