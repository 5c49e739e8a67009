// Multi-pass accumulation of one band's decay figures.

#include "dsp/DecayAnalysis.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

namespace {

constexpr double kRangeCapDb = 200.0;
constexpr double kFitMarginDb = 10.0; // the floor must lie this far below a fit's lower end
constexpr double kSilentDb = -2.0 * kRangeCapDb;
constexpr std::size_t kCurvePoints = 2000;

double clarityDb(double early, double late)
{
    if (late <= early * 1e-12)
        return kClarityLimitDb;
    if (early <= late * 1e-12)
        return -kClarityLimitDb;
    return std::clamp(10.0 * std::log10(early / late), -kClarityLimitDb, kClarityLimitDb);
}

} // namespace

void DecayAnalysis::LineFit::add(std::size_t i, double levelDb, double sampleRate)
{
    if (done)
        return;
    if (!started) {
        if (levelDb > upperDb)
            return;
        started = true;
        from = i;
    }
    const double t = static_cast<double>(i - from) / sampleRate;
    ++count;
    sumT += t;
    sumL += levelDb;
    sumTT += t * t;
    sumTL += t * levelDb;
    if (levelDb <= lowerDb) {
        done = true;
        to = i;
    }
}

std::optional<double> DecayAnalysis::LineFit::seconds(double range, double sampleRate,
                                                      DecayFit& line) const
{
    if (range < -lowerDb + kFitMarginDb || !done || to - from < 2)
        return std::nullopt;
    const std::optional<DecayLine> fit = fitDecayLine(count, sumT, sumL, sumTT, sumTL);
    if (!fit)
        return std::nullopt;
    line.valid = true;
    line.fromSeconds = static_cast<double>(from) / sampleRate;
    line.toSeconds = static_cast<double>(to) / sampleRate;
    line.fromDb = fit->interceptDb;
    line.slopeDbPerSecond = fit->slopeDbPerSecond;
    return -60.0 / fit->slopeDbPerSecond;
}

DecayAnalysis::DecayAnalysis(double sampleRate)
    : rate(sampleRate),
      window(std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(0.01 * sampleRate))))
{
}

void DecayAnalysis::beginPass(int p)
{
    pass = p;
    index = 0;
}

void DecayAnalysis::feed(const double* samples, std::size_t count)
{
    if (!alive)
        return;
    for (std::size_t k = 0; k < count; ++k) {
        const double e = samples[k] * samples[k];
        feedOne(std::isfinite(e) ? e : 0.0);
        ++index;
    }
}

void DecayAnalysis::feedOne(double e)
{
    const std::size_t i = index;
    switch (pass) {
    case 0:
        n = i + 1;
        peak = std::max(peak, e);
        break;
    case 1:
        if (!found && e >= onset) {
            found = true;
            first = i;
        }
        break;
    case 2:
        if (i >= first) {
            windowSums[(i - first) / window] += e;
            if (i >= tailStart)
                tailSum += e;
        }
        break;
    case 3:
        if (i >= first && i < end)
            energyPoint(i, std::max(0.0, e - floorEnergy));
        break;
    default:
        if (i >= first && i < end)
            decayPoint(i, std::max(0.0, e - floorEnergy));
        break;
    }
}

void DecayAnalysis::endPass()
{
    if (!alive)
        return;
    if (pass == 0) {
        alive = peak > 0.0 && rate > 0.0;
        onset = peak * std::pow(10.0, kOnsetThresholdDb / 10.0);
    } else if (pass == 1) {
        const std::size_t span = n - first;
        tailStart = first + span - std::max(span / 10, std::min(window, span));
        windowSums.assign((span + window - 1) / window, 0.0);
    } else if (pass == 2) {
        settleFloor();
    } else if (pass == 3) {
        finishEnergy();
    } else if (pass == 4) {
        finishDecay();
    }
}

void DecayAnalysis::settleFloor()
{
    // The mean energy of the last tenth of the response is its floor
    // (background noise, or the level where a cut response stops). The decay
    // is integrated up to the last 10 ms window 10 dB above it.
    floorEnergy = tailSum / static_cast<double>(n - tailStart);
    double loudest = 0.0;
    std::size_t lastAboveFloor = first;
    for (std::size_t w = 0; w < windowSums.size(); ++w) {
        const std::size_t start = first + w * window;
        const std::size_t stop = std::min(n, start + window);
        const double mean = windowSums[w] / static_cast<double>(stop - start);
        loudest = std::max(loudest, mean);
        if (mean >= 10.0 * floorEnergy && mean > 0.0)
            lastAboveFloor = stop;
    }
    windowSums = {};
    rangeDb = floorEnergy > 0.0 ? std::min(kRangeCapDb, 10.0 * std::log10(loudest / floorEnergy))
                                : kRangeCapDb;
    end = std::max(lastAboveFloor, first + 1);
    n50 = first + static_cast<std::size_t>(std::lround(0.05 * rate));
    n80 = first + static_cast<std::size_t>(std::lround(0.08 * rate));
    step = std::max<std::size_t>(1, (end - first) / kCurvePoints);
}

void DecayAnalysis::energyPoint(std::size_t i, double e)
{
    total += e;
    if (i < n50)
        early50 += e;
    if (i < n80)
        early80 += e;
    moment += e * static_cast<double>(i - first) / rate;
}

void DecayAnalysis::finishEnergy()
{
    AcousticFigures& f = band.figures;
    f.measured = true;
    f.decayRangeDb = rangeDb;
    f.initialDelaySeconds = static_cast<double>(first) / rate;
    if (!(total > 0.0))
        return;
    f.c50Db = clarityDb(early50, total - early50);
    f.c80Db = clarityDb(early80, total - early80);
    f.d50 = early50 / total;
    f.centreTimeSeconds = moment / total;
}

void DecayAnalysis::decayPoint(std::size_t i, double e)
{
    const double remaining = total - gone;
    const double level =
        remaining > 0.0 && total > 0.0 ? 10.0 * std::log10(remaining / total) : kSilentDb;
    gone += e;
    edt.add(i, level, rate);
    t20.add(i, level, rate);
    t30.add(i, level, rate);
    if ((i - first) % step == 0 && level > kSilentDb) {
        band.curveSeconds.push_back(static_cast<double>(i) / rate);
        band.curveDb.push_back(level);
    }
}

void DecayAnalysis::finishDecay()
{
    AcousticFigures& f = band.figures;
    DecayFit unused;
    f.edtSeconds = edt.seconds(rangeDb, rate, unused);
    f.t20Seconds = t20.seconds(rangeDb, rate, band.t20);
    f.t30Seconds = t30.seconds(rangeDb, rate, band.t30);
}

} // namespace ovinta
