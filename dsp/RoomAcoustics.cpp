// Room-acoustic figures from the Schroeder decay of an impulse response.

#include "dsp/RoomAcoustics.h"

#include "dsp/OctaveBandFilter.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

const double kOctaveCentresHz[kOctaveBandCount] = {125.0, 250.0, 500.0, 1000.0,
                                                   2000.0, 4000.0, 8000.0};

namespace {

constexpr double kRangeCapDb = 200.0;
constexpr double kFitMarginDb = 10.0; // the floor must lie this far below a fit's lower end

// Energy of the response with its floor removed, limited to [first, end).
struct Decay {
    std::vector<double> energy; // squared samples minus the floor, >= 0
    std::size_t first = 0;      // first arrival
    std::size_t end = 0;        // integration limit (exclusive)
    double rangeDb = 0.0;
};

double meanOf(const std::vector<double>& e, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += e[i];
    return to > from ? sum / static_cast<double>(to - from) : 0.0;
}

// Finds the first arrival, the floor, the integration limit and the range.
bool prepareDecay(const std::vector<double>& samples, double sampleRate, Decay& d,
                  double& peakEnergy)
{
    const std::size_t n = samples.size();
    d.energy.resize(n);
    peakEnergy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double e = samples[i] * samples[i];
        d.energy[i] = std::isfinite(e) ? e : 0.0;
        peakEnergy = std::max(peakEnergy, d.energy[i]);
    }
    if (!(peakEnergy > 0.0))
        return false;
    const double onsetEnergy = peakEnergy * std::pow(10.0, kOnsetThresholdDb / 10.0);
    while (d.energy[d.first] < onsetEnergy)
        ++d.first;

    const std::size_t window = std::max<std::size_t>(1, std::lround(0.01 * sampleRate));
    const std::size_t span = n - d.first;
    std::size_t tailStart = d.first + span - std::max(span / 10, std::min(window, span));
    const double floorEnergy = meanOf(d.energy, tailStart, n);

    double loudest = 0.0;
    std::size_t lastAboveFloor = d.first;
    for (std::size_t w = d.first; w < n; w += window) {
        const std::size_t stop = std::min(n, w + window);
        const double mean = meanOf(d.energy, w, stop);
        loudest = std::max(loudest, mean);
        if (mean >= 10.0 * floorEnergy && mean > 0.0)
            lastAboveFloor = stop;
    }
    d.rangeDb = floorEnergy > 0.0 ? std::min(kRangeCapDb, 10.0 * std::log10(loudest / floorEnergy))
                                  : kRangeCapDb;
    d.end = std::max(lastAboveFloor, d.first + 1);
    for (std::size_t i = d.first; i < d.end; ++i)
        d.energy[i] = std::max(0.0, d.energy[i] - floorEnergy);
    return true;
}

// Reverberation time from the line through the decay between upperDb and
// lowerDb, or nothing when the decay does not reach lowerDb with margin.
std::optional<double> fitDecay(const std::vector<double>& levelDb, const Decay& d,
                               double sampleRate, double upperDb, double lowerDb)
{
    if (d.rangeDb < -lowerDb + kFitMarginDb)
        return std::nullopt;
    std::size_t from = d.first;
    while (from < d.end && levelDb[from] > upperDb)
        ++from;
    std::size_t to = from;
    while (to < d.end && levelDb[to] > lowerDb)
        ++to;
    if (to >= d.end || to - from < 2)
        return std::nullopt;
    // Least squares over the points from..to, time in seconds from `from`.
    const double count = static_cast<double>(to - from + 1);
    double sumT = 0.0, sumL = 0.0, sumTT = 0.0, sumTL = 0.0;
    for (std::size_t i = from; i <= to; ++i) {
        const double t = static_cast<double>(i - from) / sampleRate;
        sumT += t;
        sumL += levelDb[i];
        sumTT += t * t;
        sumTL += t * levelDb[i];
    }
    const std::optional<DecayLine> line = fitDecayLine(count, sumT, sumL, sumTT, sumTL);
    if (!line)
        return std::nullopt;
    return -60.0 / line->slopeDbPerSecond;
}


double clarityDb(double early, double late)
{
    if (late <= early * 1e-12)
        return kClarityLimitDb;
    if (early <= late * 1e-12)
        return -kClarityLimitDb;
    return std::clamp(10.0 * std::log10(early / late), -kClarityLimitDb, kClarityLimitDb);
}

void energyFigures(const Decay& d, double sampleRate, AcousticFigures& f)
{
    const std::size_t n50 = d.first + static_cast<std::size_t>(std::lround(0.05 * sampleRate));
    const std::size_t n80 = d.first + static_cast<std::size_t>(std::lround(0.08 * sampleRate));
    double total = 0.0, early50 = 0.0, early80 = 0.0, moment = 0.0;
    for (std::size_t i = d.first; i < d.end; ++i) {
        const double e = d.energy[i];
        total += e;
        if (i < n50)
            early50 += e;
        if (i < n80)
            early80 += e;
        moment += e * static_cast<double>(i - d.first) / sampleRate;
    }
    if (!(total > 0.0))
        return;
    f.c50Db = clarityDb(early50, total - early50);
    f.c80Db = clarityDb(early80, total - early80);
    f.d50 = early50 / total;
    f.centreTimeSeconds = moment / total;
}

} // namespace

std::vector<double> schroederDecayDb(const std::vector<double>& energy, std::size_t first,
                                     std::size_t end)
{
    std::vector<double> levelDb(energy.size(), -kRangeCapDb * 2.0);
    end = std::min(end, energy.size());
    if (first >= end)
        return levelDb;
    double remaining = 0.0;
    for (std::size_t i = end; i-- > first;) {
        remaining += energy[i];
        levelDb[i] = remaining;
    }
    const double total = levelDb[first];
    for (std::size_t i = first; i < end; ++i)
        levelDb[i] = levelDb[i] > 0.0 && total > 0.0 ? 10.0 * std::log10(levelDb[i] / total)
                                                     : -kRangeCapDb * 2.0;
    return levelDb;
}

AcousticFigures analyseResponse(const std::vector<double>& samples, double sampleRate)
{
    AcousticFigures f;
    Decay d;
    double peakEnergy = 0.0;
    if (samples.empty() || !(sampleRate > 0.0) || !prepareDecay(samples, sampleRate, d, peakEnergy))
        return f;
    f.measured = true;
    f.decayRangeDb = d.rangeDb;
    f.initialDelaySeconds = static_cast<double>(d.first) / sampleRate;
    energyFigures(d, sampleRate, f);
    const std::vector<double> levelDb = schroederDecayDb(d.energy, d.first, d.end);
    f.edtSeconds = fitDecay(levelDb, d, sampleRate, 0.0, -10.0);
    f.t20Seconds = fitDecay(levelDb, d, sampleRate, -5.0, -25.0);
    f.t30Seconds = fitDecay(levelDb, d, sampleRate, -5.0, -35.0);
    return f;
}

ChannelFigures analyseChannel(const float* samples, std::size_t count, double sampleRate)
{
    ChannelFigures figures;
    std::vector<double> full(samples, samples + count);
    figures.fullBand = analyseResponse(full, sampleRate);
    for (int b = 0; b < kOctaveBandCount; ++b) {
        OctaveBandFilter band(kOctaveCentresHz[b], sampleRate);
        if (band.usable())
            figures.octave[b] = analyseResponse(band.filter(samples, count), sampleRate);
    }
    return figures;
}

std::optional<DecayLine> fitDecayLine(double count, double sumT, double sumL, double sumTT, double sumTL)
{
    const double denominator = count * sumTT - sumT * sumT;
    if (!(denominator > 0.0))
        return std::nullopt;
    const double slope = (count * sumTL - sumT * sumL) / denominator;
    if (!(slope < 0.0))
        return std::nullopt;
    return DecayLine{slope, (sumL - slope * sumT) / count};
}

} // namespace ovinta
