// SPDX-License-Identifier: GPL-3.0-or-later
// Multi-pass accumulation of one band's decay figures.

#include "dsp/DecayAnalysis.h"

#include "dsp/NoiseFloor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace ovinta {

namespace {

constexpr double kRangeCapDb = 200.0;
constexpr double kFitMarginDb = 10.0; // the floor must lie this far below a fit's lower end
constexpr double kSilentDb = -2.0 * kRangeCapDb;
constexpr std::size_t kCurvePoints = 2000;
// A decay this far from a straight line (a few separate reflections, a
// double slope) has no single reverberation time. Rooms measure well
// under 10 per mille. EDT is not held to it: its first 10 dB are the early
// reflections, a staircase in any room.
constexpr double kMaxNonLinearityPerMille = 100.0;

// Early-to-late ratio in dB, or none when nothing is late (or early).
std::optional<double> clarityDb(double early, double late)
{
    if (!(late > early * 1e-12) || !(early > late * 1e-12))
        return std::nullopt;
    return 10.0 * std::log10(early / late);
}

void addNote(std::string& note, const std::string& reason)
{
    note += (note.empty() ? "" : "; ") + reason;
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
    sumLL += levelDb * levelDb;
    if (levelDb <= lowerDb) {
        done = true;
        to = i;
    }
}

double DecayAnalysis::LineFit::nonLinearityPerMille() const
{
    const double st = count * sumTT - sumT * sumT, sl = count * sumLL - sumL * sumL;
    const double stl = count * sumTL - sumT * sumL;
    if (!(st > 0.0) || !(sl > 0.0))
        return 1000.0;
    return 1000.0 * (1.0 - stl * stl / (st * sl));
}

std::optional<double> DecayAnalysis::LineFit::seconds(double range, double sampleRate, DecayFit& line) const
{
    if (range < -lowerDb + kFitMarginDb || !done || to - from < 2
        || (gatedByLinearity && nonLinearityPerMille() > kMaxNonLinearityPerMille))
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
        if (i >= first)
            windowSums[(i - first) / window] += e;
        break;
    case 3:
        // The noise comes off on average; a single sample may go below zero.
        if (i >= first && i < end)
            energyPoint(i, e - floorEnergy);
        break;
    default:
        if (i >= first && i < end)
            decayPoint(i, e - floorEnergy);
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
        windowSums.assign((n - first + window - 1) / window, 0.0);
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
    std::vector<double> meanEnergy(windowSums.size());
    for (std::size_t w = 0; w < windowSums.size(); ++w) {
        const std::size_t start = first + w * window;
        meanEnergy[w] = windowSums[w] / static_cast<double>(std::min(n, start + window) - start);
    }
    windowSums = {};
    const double loudest = *std::max_element(meanEnergy.begin(), meanEnergy.end());
    for (std::size_t w = 0; w < meanEnergy.size(); ++w)
        if (meanEnergy[w] >= 0.1 * loudest)
            band.loudSpanSeconds = static_cast<double>((w + 1) * window) / rate;
    const NoiseFloor floor = findNoiseFloor(meanEnergy, static_cast<double>(window) / rate);
    band.figures.noiseFloorFound = floor.found;
    double reference = floor.energy;
    if (floor.found) {
        floorEnergy = floor.energy;
        const auto cross = static_cast<std::size_t>(std::lround(floor.crossSeconds * rate));
        end = std::clamp(first + cross, first + 1, n);
        tailTau = floor.tailSeconds();
        tailEnergy = floor.crossLevelEnergy * tailTau * rate;
    } else {
        // No floor: the range reaches down to the last tenth of the
        // response before any silence that follows it.
        std::size_t sounding = meanEnergy.size();
        while (sounding > 1 && !(meanEnergy[sounding - 1] > 0.0))
            --sounding;
        const std::size_t tail = std::max<std::size_t>(1, sounding / 10);
        reference = 0.0;
        for (std::size_t w = sounding - tail; w < sounding; ++w)
            reference += meanEnergy[w] / static_cast<double>(tail);
        end = n;
    }
    rangeDb = reference > 0.0 ? std::min(kRangeCapDb, 10.0 * std::log10(loudest / reference)) : kRangeCapDb;
    n50 = first + static_cast<std::size_t>(std::lround(0.05 * rate));
    n80 = first + static_cast<std::size_t>(std::lround(0.08 * rate));
    step = std::max<std::size_t>(1, (end - first) / kCurvePoints);
}

// The part of the compensated tail (after the crossing point) that lies
// before `limitSeconds` from the first arrival.
double DecayAnalysis::tailBefore(double limitSeconds) const
{
    const double cross = static_cast<double>(end - first) / rate;
    if (!(tailEnergy > 0.0) || limitSeconds <= cross)
        return 0.0;
    return tailEnergy * (1.0 - std::exp(-(limitSeconds - cross) / tailTau));
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
    // The tail beyond the crossing point: energy tailEnergy decaying with
    // time constant tailTau from `cross`, whose first moment is
    // tailEnergy * (cross + tailTau).
    const double cross = static_cast<double>(end - first) / rate;
    total += tailEnergy;
    early50 += tailBefore(0.05);
    early80 += tailBefore(0.08);
    moment += tailEnergy * (cross + tailTau);
    if (!(total > 0.0)) {
        addNote(f.note, "no energy above the noise");
        return;
    }
    f.c50Db = clarityDb(early50, total - early50);
    f.c80Db = clarityDb(early80, total - early80);
    if (!f.c50Db)
        addNote(f.note, "C50, C80: nothing arrives after 50 ms");
    else if (!f.c80Db)
        addNote(f.note, "C80: nothing arrives after 80 ms");
    f.d50 = std::clamp(early50 / total, 0.0, 1.0);
    f.centreTimeSeconds = std::max(0.0, moment / total);
}

void DecayAnalysis::decayPoint(std::size_t i, double e)
{
    const double remaining = total - gone;
    const double level = remaining > 0.0 && total > 0.0 ? 10.0 * std::log10(remaining / total) : kSilentDb;
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
    const struct {
        const char* name;
        const std::optional<double>& value;
        const LineFit& fit;
    } times[] = {{"EDT", f.edtSeconds, edt}, {"T20", f.t20Seconds, t20}, {"T30", f.t30Seconds, t30}};
    std::string shortRange, shortDecay, curved;
    for (const auto& t : times) {
        if (t.value)
            continue;
        const double needDb = -t.fit.lowerDb + kFitMarginDb;
        if (rangeDb < needDb)
            shortRange += (shortRange.empty() ? "" : ", ") + std::string(t.name) + " "
                          + std::to_string(static_cast<int>(needDb));
        else if (t.fit.gatedByLinearity && t.fit.done
                 && t.fit.nonLinearityPerMille() > kMaxNonLinearityPerMille)
            curved += (curved.empty() ? "" : ", ") + std::string(t.name);
        else
            shortDecay += (shortDecay.empty() ? "" : ", ") + std::string(t.name);
    }
    if (!shortRange.empty()) {
        char text[64];
        std::snprintf(text, sizeof text, "decay range %.0f dB is too small (", rangeDb);
        addNote(f.note, text + shortRange + " dB needed)");
    }
    if (!curved.empty())
        addNote(f.note, curved + ": the decay is not a straight line (separate reflections?)");
    if (!shortDecay.empty())
        addNote(f.note, shortDecay + ": the decay curve does not fall far enough");
}

} // namespace ovinta
