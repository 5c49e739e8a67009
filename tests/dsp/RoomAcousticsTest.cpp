// SPDX-License-Identifier: GPL-3.0-or-later
// Room-acoustic figures checked against responses whose figures are known on
// paper: exponential noise decays of a chosen reverberation time, single and
// paired impulses, and sines through the octave filters.

#include "dsp/DecayAnalysis.h"
#include "dsp/NoiseFloor.h"
#include "dsp/OctaveBandFilter.h"
#include "dsp/RoomAcoustics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace ovinta {

namespace {

constexpr double kRate = 48000.0;

// Gaussian noise whose energy falls by 60 dB every t60 seconds: amplitude
// exp(-3 ln(10) t / t60), i.e. 20 log10 of it is -60 dB at t = t60.
std::vector<double> noiseDecay(double t60, double seconds, unsigned seed, double delaySeconds = 0.0)
{
    std::mt19937 generator(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    const auto delay = static_cast<std::size_t>(delaySeconds * kRate);
    std::vector<double> out(delay + static_cast<std::size_t>(seconds * kRate), 0.0);
    for (std::size_t i = delay; i < out.size(); ++i) {
        const double t = static_cast<double>(i - delay) / kRate;
        out[i] = noise(generator) * std::exp(-3.0 * std::numbers::ln10 * t / t60);
    }
    return out;
}

double sineGainDb(OctaveBandFilter& filter, double frequencyHz)
{
    filter.reset();
    const int settle = static_cast<int>(kRate); // one second, far past the filter's ringing
    double sumIn = 0.0, sumOut = 0.0;
    for (int i = 0; i < 2 * settle; ++i) {
        const double x = std::sin(2.0 * std::numbers::pi * frequencyHz * i / kRate);
        const double y = filter.process(x);
        if (i >= settle) {
            sumIn += x * x;
            sumOut += y * y;
        }
    }
    return 10.0 * std::log10(sumOut / sumIn);
}

} // namespace

TEST(RoomAcoustics, ExponentialDecaysGiveTheirReverberationTime)
{
    for (double t60 : {0.4, 1.0, 2.5}) {
        SCOPED_TRACE(t60);
        const AcousticFigures f = analyseResponse(noiseDecay(t60, 1.6 * t60, 7), kRate);
        ASSERT_TRUE(f.measured);
        ASSERT_TRUE(f.edtSeconds && f.t20Seconds && f.t30Seconds);
        EXPECT_NEAR(*f.edtSeconds, t60, 0.05 * t60);
        EXPECT_NEAR(*f.t20Seconds, t60, 0.03 * t60);
        EXPECT_NEAR(*f.t30Seconds, t60, 0.03 * t60);
    }
}

TEST(RoomAcoustics, NoiseDecayEnergyFiguresMatchTheirIntegrals)
{
    // For energy exp(-t/tau), tau = t60 / (6 ln 10): the share before t is
    // 1 - exp(-t/tau) and the centre time is tau (for a long response).
    const double t60 = 1.2;
    const double tau = t60 / (6.0 * std::numbers::ln10);
    const AcousticFigures f = analyseResponse(noiseDecay(t60, 3.0, 11), kRate);
    ASSERT_TRUE(f.d50 && f.c50Db && f.c80Db && f.centreTimeSeconds);
    const double early50 = 1.0 - std::exp(-0.05 / tau);
    const double early80 = 1.0 - std::exp(-0.08 / tau);
    EXPECT_NEAR(*f.d50, early50, 0.03);
    EXPECT_NEAR(*f.c50Db, 10.0 * std::log10(early50 / (1.0 - early50)), 0.4);
    EXPECT_NEAR(*f.c80Db, 10.0 * std::log10(early80 / (1.0 - early80)), 0.4);
    EXPECT_NEAR(*f.centreTimeSeconds, tau, 0.05 * tau);
}

TEST(RoomAcoustics, SingleImpulseIsAllEarlyEnergy)
{
    std::vector<double> r(4800, 0.0);
    r[480] = 0.8;
    const AcousticFigures f = analyseResponse(r, kRate);
    ASSERT_TRUE(f.measured);
    EXPECT_DOUBLE_EQ(*f.d50, 1.0);
    // Nothing is late, so there is no ratio to give, and the note says why.
    EXPECT_FALSE(f.c50Db.has_value());
    EXPECT_FALSE(f.c80Db.has_value());
    EXPECT_NE(f.note.find("nothing arrives after 50 ms"), std::string::npos) << f.note;
    EXPECT_DOUBLE_EQ(*f.centreTimeSeconds, 0.0);
    EXPECT_DOUBLE_EQ(*f.initialDelaySeconds, 0.01);
    EXPECT_FALSE(f.t30Seconds.has_value()); // no decay to fit
}

TEST(RoomAcoustics, TwoEqualImpulsesSplitEnergyAtTheirMidpoint)
{
    // Arrivals at 20 ms and 120 ms of equal height: the second is late for
    // both C50 and C80 (100 ms after the first), so each ratio is 0 dB,
    // D50 = 0.5 and the centre time is half of 100 ms.
    std::vector<double> r(static_cast<std::size_t>(0.3 * kRate), 0.0);
    r[960] = -0.5;
    r[960 + 4800] = 0.5;
    const AcousticFigures f = analyseResponse(r, kRate);
    EXPECT_NEAR(*f.initialDelaySeconds, 0.02, 1e-12);
    EXPECT_NEAR(*f.c50Db, 0.0, 1e-9);
    EXPECT_NEAR(*f.c80Db, 0.0, 1e-9);
    EXPECT_NEAR(*f.d50, 0.5, 1e-12);
    EXPECT_NEAR(*f.centreTimeSeconds, 0.05, 1e-12);
}

TEST(RoomAcoustics, SecondImpulseInsideFiftyMillisecondsIsEarly)
{
    // Heights 1 and 0.5 at 0 and 30 ms, then 0.5 at 70 ms: C50 counts the
    // first two (1.25) against 0.25; C80 has nothing late.
    std::vector<double> r(static_cast<std::size_t>(0.2 * kRate), 0.0);
    r[0] = 1.0;
    r[1440] = 0.5;
    r[3360] = 0.5;
    const AcousticFigures f = analyseResponse(r, kRate);
    EXPECT_NEAR(*f.c50Db, 10.0 * std::log10(1.25 / 0.25), 1e-9);
    EXPECT_FALSE(f.c80Db.has_value());
    EXPECT_NEAR(*f.d50, 1.25 / 1.5, 1e-12);
    EXPECT_NEAR(*f.centreTimeSeconds, (0.25 * 0.03 + 0.25 * 0.07) / 1.5, 1e-12);
}

TEST(RoomAcoustics, InitialDelayIgnoresArrivalsFarBelowThePeak)
{
    std::vector<double> noisy = noiseDecay(0.5, 1.0, 3, 0.1);
    noisy[100] = 1e-4; // -60 dB or more below the decay's peak: not an arrival
    const AcousticFigures f = analyseResponse(noisy, kRate);
    ASSERT_TRUE(f.initialDelaySeconds);
    EXPECT_GE(*f.initialDelaySeconds, 0.1);
    EXPECT_LT(*f.initialDelaySeconds, 0.101);
}

TEST(RoomAcoustics, BackgroundNoiseLimitsWhichTimesAreReported)
{
    // Decay of 1 s with steady noise 40 dB below its start: EDT and T20 keep
    // their value, T30 needs 45 dB of range and is withheld.
    std::vector<double> r = noiseDecay(1.0, 2.0, 5);
    std::mt19937 generator(99);
    std::normal_distribution<double> noise(0.0, 0.01); // -40 dB
    for (double& x : r)
        x += noise(generator);
    const AcousticFigures f = analyseResponse(r, kRate);
    ASSERT_TRUE(f.measured);
    EXPECT_NEAR(f.decayRangeDb, 40.0, 3.0);
    ASSERT_TRUE(f.edtSeconds && f.t20Seconds);
    EXPECT_NEAR(*f.edtSeconds, 1.0, 0.06);
    EXPECT_NEAR(*f.t20Seconds, 1.0, 0.06);
    EXPECT_FALSE(f.t30Seconds.has_value());
}

TEST(RoomAcoustics, ResponseCutBeforeItDecaysReportsNoTimes)
{
    // A 1 s decay cut after 0.3 s has fallen only 18 dB.
    const AcousticFigures f = analyseResponse(noiseDecay(1.0, 0.3, 8), kRate);
    ASSERT_TRUE(f.measured);
    EXPECT_LT(f.decayRangeDb, 25.0);
    EXPECT_FALSE(f.t20Seconds.has_value());
    EXPECT_FALSE(f.t30Seconds.has_value());
}

TEST(RoomAcoustics, SilentEmptyAndNonFiniteResponsesAreSafe)
{
    EXPECT_FALSE(analyseResponse({}, kRate).measured);
    EXPECT_FALSE(analyseResponse(std::vector<double>(1000, 0.0), kRate).measured);
    std::vector<double> r(1000, 0.0);
    r[10] = std::nan("");
    r[20] = 1.0;
    const AcousticFigures f = analyseResponse(r, kRate);
    ASSERT_TRUE(f.measured);
    EXPECT_NEAR(*f.initialDelaySeconds, 20.0 / kRate, 1e-12);
    EXPECT_FALSE(analyseResponse(std::vector<double>(10, 1.0), 0.0).measured);
}

TEST(RoomAcoustics, NoisyDecaysKeepTheFiguresOfTheirDecay)
{
    // Noise decaying with time T over steady noise `floorDb` below its
    // start, running on past the meeting point by a third. For energy
    // exp(-t/tau), tau = T / (6 ln 10): D50 = 1 - exp(-0.05/tau), C50 =
    // 10 log10(D50 / (1 - D50)), centre time tau. T30 needs 45 dB of range.
    const struct {
        double t60, floorDb;
        unsigned seed;
    } rows[] = {{0.5, -40, 1}, {0.5, -60, 2}, {0.5, -80, 3}, {2.0, -40, 4}, {2.0, -60, 5},
                {2.0, -80, 6}, {8.0, -40, 7}, {8.0, -60, 8}, {8.0, -80, 9}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "T " << r.t60 << " s, floor " << r.floorDb << " dB");
        const double meets = r.t60 * -r.floorDb / 60.0;
        std::vector<double> x = noiseDecay(r.t60, 1.35 * meets + 0.3, r.seed);
        std::mt19937 generator(r.seed + 100);
        std::normal_distribution<double> noise(0.0, std::pow(10.0, r.floorDb / 20.0));
        for (double& v : x)
            v += noise(generator);
        const AcousticFigures f = analyseResponse(x, kRate);
        ASSERT_TRUE(f.measured);
        EXPECT_TRUE(f.noiseFloorFound);
        EXPECT_NEAR(f.decayRangeDb, -r.floorDb, 3.0);
        const double tau = r.t60 / (6.0 * std::numbers::ln10);
        const double d50 = 1.0 - std::exp(-0.05 / tau);
        ASSERT_TRUE(f.edtSeconds && f.t20Seconds && f.c50Db && f.d50 && f.centreTimeSeconds);
        EXPECT_NEAR(*f.edtSeconds, r.t60, 0.1 * r.t60);
        EXPECT_NEAR(*f.t20Seconds, r.t60, 0.05 * r.t60);
        EXPECT_EQ(f.t30Seconds.has_value(), r.floorDb <= -60);
        if (f.t30Seconds) {
            EXPECT_NEAR(*f.t30Seconds, r.t60, 0.05 * r.t60);
        }
        EXPECT_NEAR(*f.d50, d50, 0.03);
        EXPECT_NEAR(*f.c50Db, 10.0 * std::log10(d50 / (1.0 - d50)), 0.5);
        EXPECT_NEAR(*f.centreTimeSeconds, tau, 0.05 * tau);
        EXPECT_EQ(f.note.empty(), f.t30Seconds.has_value()) << f.note;
    }
}

TEST(RoomAcoustics, ACutResponseIsIntegratedToItsEndWithNothingRemoved)
{
    // A decay cut while it still falls (as an export cuts at a threshold)
    // and the same followed by a second of silence give the same energy
    // figures: no noise floor in either, so nothing is taken off.
    std::vector<double> cut = noiseDecay(0.6, 0.9, 12);
    std::vector<double> padded = cut;
    padded.resize(cut.size() + static_cast<std::size_t>(kRate), 0.0);
    const AcousticFigures a = analyseResponse(cut, kRate), b = analyseResponse(padded, kRate);
    EXPECT_FALSE(a.noiseFloorFound);
    EXPECT_FALSE(b.noiseFloorFound);
    ASSERT_TRUE(a.c50Db && b.c50Db && a.centreTimeSeconds && b.centreTimeSeconds);
    EXPECT_NEAR(*a.c50Db, *b.c50Db, 1e-9);
    EXPECT_NEAR(*a.centreTimeSeconds, *b.centreTimeSeconds, 1e-12);
    // 0.9 s of a 0.6 s decay falls 90 dB: every time is measured.
    ASSERT_TRUE(a.t30Seconds);
    EXPECT_NEAR(*a.t30Seconds, 0.6, 0.03);
}

TEST(RoomAcoustics, SeparateReflectionsHaveNoReverberationTime)
{
    // Three clicks 150 ms apart in silence: a staircase, not a decay.
    std::vector<double> r(static_cast<std::size_t>(0.5 * kRate), 0.0);
    r[100] = 1.0;
    r[100 + 7200] = 0.7;
    r[100 + 14400] = 0.7;
    const AcousticFigures f = analyseResponse(r, kRate);
    EXPECT_FALSE(f.t20Seconds.has_value());
    EXPECT_FALSE(f.t30Seconds.has_value());
    EXPECT_FALSE(f.note.empty());
    // Energy 1 early, 0.98 late: C50 = 10 log10(1 / 0.98).
    ASSERT_TRUE(f.c50Db);
    EXPECT_NEAR(*f.c50Db, 10.0 * std::log10(1.0 / 0.98), 1e-9);
}

TEST(DecayAnalysis, BlocksOfAnySizeGiveTheFiguresOfTheWhole)
{
    std::vector<double> x = noiseDecay(1.0, 1.5, 31, 0.02);
    std::mt19937 generator(32);
    std::normal_distribution<double> noise(0.0, 1e-3);
    for (double& v : x)
        v += noise(generator);
    const AcousticFigures whole = analyseResponse(x, kRate);
    DecayAnalysis blocks(kRate);
    for (int pass = 0; pass < DecayAnalysis::kPassCount; ++pass) {
        blocks.beginPass(pass);
        for (std::size_t at = 0, size = 1; at < x.size(); at += size, size = size * 3 % 4099 + 1)
            blocks.feed(x.data() + at, std::min(size, x.size() - at));
        blocks.endPass();
    }
    const AcousticFigures& f = blocks.result().figures;
    ASSERT_TRUE(whole.t30Seconds && f.t30Seconds && whole.c80Db && f.c80Db);
    EXPECT_DOUBLE_EQ(*f.t30Seconds, *whole.t30Seconds);
    EXPECT_DOUBLE_EQ(*f.c80Db, *whole.c80Db);
    EXPECT_DOUBLE_EQ(*f.initialDelaySeconds, *whole.initialDelaySeconds);
    EXPECT_DOUBLE_EQ(f.decayRangeDb, whole.decayRangeDb);
}

TEST(NoiseFloor, ExactDecayOverSteadyNoiseMeetsItWhereThePaperSays)
{
    // Envelope 10^(-6 t / T) + noise in 10 ms windows, running on to twice
    // the meeting point t = T * -floorDb / 60. The line fitted well above
    // the noise is the decay itself, so it meets the noise there, with
    // slope -60 / T and a tail time constant T / (6 ln 10).
    constexpr double kWindow = 0.01;
    for (double t60 : {0.5, 2.0, 8.0})
        for (double floorDb : {-40.0, -60.0, -80.0}) {
            SCOPED_TRACE(testing::Message() << t60 << " s, " << floorDb << " dB");
            const double meets = t60 * -floorDb / 60.0, noise = std::pow(10.0, floorDb / 10.0);
            std::vector<double> envelope(static_cast<std::size_t>(2.0 * meets / kWindow));
            for (std::size_t k = 0; k < envelope.size(); ++k)
                envelope[k] = std::pow(10.0, -6.0 * (static_cast<double>(k) + 0.5) * kWindow / t60) + noise;
            const NoiseFloor f = findNoiseFloor(envelope, kWindow);
            ASSERT_TRUE(f.found);
            EXPECT_NEAR(f.energy, noise, 0.05 * noise);
            EXPECT_NEAR(f.crossSeconds, meets, 0.02 * meets + kWindow);
            EXPECT_NEAR(f.slopeDbPerSecond, -60.0 / t60, 0.02 * 60.0 / t60);
            EXPECT_NEAR(f.tailSeconds(), t60 / (6.0 * std::numbers::ln10), 0.02 * t60 / 13.8);
            EXPECT_NEAR(f.crossLevelEnergy, noise, 0.1 * noise);
        }
    // Still falling at the end, or ending in silence: no floor.
    std::vector<double> falling(300), silent(300, 0.0);
    for (std::size_t k = 0; k < falling.size(); ++k)
        falling[k] = std::pow(10.0, -6.0 * static_cast<double>(k) * kWindow / 1.0);
    silent[0] = 1.0;
    EXPECT_FALSE(findNoiseFloor(falling, kWindow).found);
    EXPECT_FALSE(findNoiseFloor(silent, kWindow).found);
    EXPECT_FALSE(findNoiseFloor({1.0, 0.5}, kWindow).found);
}

TEST(OctaveBandFilter, PassesItsBandAndRejectsTheOthers)
{
    for (double centre : kOctaveCentresHz) {
        SCOPED_TRACE(centre);
        OctaveBandFilter band(centre, kRate);
        ASSERT_TRUE(band.usable());
        EXPECT_NEAR(sineGainDb(band, centre), 0.0, 0.1);
        // 4th-order Butterworth band-pass: -3 dB at both band edges.
        EXPECT_NEAR(sineGainDb(band, centre * std::numbers::sqrt2), -3.01, 0.15);
        EXPECT_NEAR(sineGainDb(band, centre / std::numbers::sqrt2), -3.01, 0.15);
        EXPECT_LT(sineGainDb(band, centre * 4.0 > 20000.0 ? centre / 4.0 : centre * 4.0), -20.0);
    }
}

TEST(OctaveBandFilter, BandTooCloseToNyquistIsRefused)
{
    EXPECT_FALSE(OctaveBandFilter(8000.0, 22050.0).usable());
    EXPECT_TRUE(OctaveBandFilter(8000.0, 44100.0).usable());
    OctaveBandFilter refused(8000.0, 16000.0);
    EXPECT_EQ(refused.process(1.0), 0.0);
}

TEST(RoomAcoustics, OctaveBandsOfAnExponentialDecayShareItsTime)
{
    const std::vector<double> r = noiseDecay(0.8, 1.5, 21);
    const std::vector<float> samples(r.begin(), r.end());
    const ChannelFigures c = analyseChannel(samples.data(), samples.size(), kRate);
    ASSERT_TRUE(c.fullBand.t30Seconds);
    EXPECT_NEAR(*c.fullBand.t30Seconds, 0.8, 0.03);
    // The narrow low bands hold fewer independent noise samples and ring
    // longer, so their estimates spread more.
    for (int b = 1; b < kOctaveBandCount; ++b) {
        SCOPED_TRACE(kOctaveCentresHz[b]);
        ASSERT_TRUE(c.octave[b].t20Seconds);
        EXPECT_NEAR(*c.octave[b].t20Seconds, 0.8, 0.08);
    }
}

TEST(RoomAcoustics, SchroederCurveOfAConstantIsALogLine)
{
    // Equal energies: the remaining share after k of n samples is (n-k)/n.
    const std::vector<double> e(10, 2.0);
    const std::vector<double> db = schroederDecayDb(e, 0, 10);
    EXPECT_DOUBLE_EQ(db[0], 0.0);
    EXPECT_NEAR(db[5], 10.0 * std::log10(0.5), 1e-12);
    EXPECT_NEAR(db[9], 10.0 * std::log10(0.1), 1e-12);
}

} // namespace ovinta
