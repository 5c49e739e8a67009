// SPDX-License-Identifier: GPL-3.0-or-later
// Lundeby's iterative noise floor and crossing point on an energy envelope.

#include "dsp/NoiseFloor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ovinta {

namespace {

constexpr std::size_t kLeastWindows = 10; // fewer: too short to tell noise from decay
constexpr double kFallingTailDb = 3.0;    // a last tenth falling this much is still decay
constexpr double kFirstFitAboveNoiseDb = 10.0;
constexpr double kNoiseAfterCrossDb = 10.0; // noise measured from this much decay past the cross
constexpr double kFitTopAboveNoiseDb = 25.0;
constexpr double kFitBottomAboveNoiseDb = 5.0;
constexpr double kWindowsPer10Db = 5.0;
constexpr int kRounds = 5;

double toDb(double e)
{
    return 10.0 * std::log10(std::max(e, 1e-300));
}

struct Line {
    double interceptDb = 0.0, slopeDbPerSecond = 0.0;
    double at(double t) const { return interceptDb + slopeDbPerSecond * t; }
};

// Least squares through (t, L) points; with the residual spread.
struct Fit {
    double n = 0, st = 0, sl = 0, stt = 0, stl = 0, sll = 0;
    void add(double t, double l)
    {
        n += 1;
        st += t;
        sl += l;
        stt += t * t;
        stl += t * l;
        sll += l * l;
    }
    bool line(Line& out) const
    {
        const double d = n * stt - st * st;
        if (n < 2 || !(d > 0.0))
            return false;
        out.slopeDbPerSecond = (n * stl - st * sl) / d;
        out.interceptDb = (sl - out.slopeDbPerSecond * st) / n;
        return true;
    }
    double residualDb(const Line& l) const
    {
        // Sum of squared residuals from the sums, over n - 2 degrees of freedom.
        const double a = l.interceptDb, b = l.slopeDbPerSecond;
        const double ss = sll - 2 * a * sl - 2 * b * stl + n * a * a + 2 * a * b * st + b * b * stt;
        return n > 2 ? std::sqrt(std::max(0.0, ss) / (n - 2)) : 0.0;
    }
};

// The envelope in windows of `merge` input windows: mean energy and centre time.
struct Envelope {
    std::vector<double> energy, seconds;
};

Envelope regroup(const std::vector<double>& meanEnergy, double w, std::size_t merge)
{
    Envelope e;
    for (std::size_t k = 0; k < meanEnergy.size(); k += merge) {
        const std::size_t stop = std::min(meanEnergy.size(), k + merge);
        double sum = 0.0;
        for (std::size_t j = k; j < stop; ++j)
            sum += meanEnergy[j];
        e.energy.push_back(sum / static_cast<double>(stop - k));
        e.seconds.push_back(0.5 * static_cast<double>(k + stop) * w);
    }
    return e;
}

double meanFrom(const std::vector<double>& meanEnergy, std::size_t from)
{
    double sum = 0.0;
    for (std::size_t k = from; k < meanEnergy.size(); ++k)
        sum += meanEnergy[k];
    return sum / static_cast<double>(meanEnergy.size() - from);
}

// The line through the decay after the envelope's loudest point, from the
// first point at or below `topDb` to the last before one below `bottomDb`
// (levels of the envelope as it is). The points fitted are the envelope
// less the noise, so the line follows the decay alone and is not bent by
// the noise near its lower end. False when fewer than two points or no fall.
bool fitDecay(const Envelope& env, double noise, double topDb, double bottomDb, Line& out)
{
    const auto loudest =
        static_cast<std::size_t>(std::max_element(env.energy.begin(), env.energy.end()) - env.energy.begin());
    Fit fit;
    for (std::size_t j = loudest; j < env.energy.size(); ++j) {
        const double l = toDb(env.energy[j]);
        if (l < bottomDb)
            break;
        if (l <= topDb && env.energy[j] > noise)
            fit.add(env.seconds[j], toDb(env.energy[j] - noise));
    }
    return fit.line(out) && out.slopeDbPerSecond < 0.0;
}

} // namespace

double NoiseFloor::tailSeconds() const
{
    return slopeDbPerSecond < 0.0 ? 10.0 / (-slopeDbPerSecond * std::numbers::ln10) : 0.0;
}

NoiseFloor findNoiseFloor(const std::vector<double>& meanEnergy, double w)
{
    NoiseFloor nf;
    const std::size_t count = meanEnergy.size();
    const double length = static_cast<double>(count) * w;
    nf.crossSeconds = length;
    if (count < kLeastWindows || !(w > 0.0))
        return nf;
    const std::size_t tailFrom = count - std::max<std::size_t>(1, count / 10);
    double noise = meanFrom(meanEnergy, tailFrom);
    if (!(noise > 0.0))
        return nf; // digital silence: nothing to remove
    // A floor is steady; a tail that still falls clearly is the response.
    Fit tail;
    for (std::size_t k = tailFrom; k < count; ++k)
        tail.add((static_cast<double>(k) + 0.5) * w, toDb(meanEnergy[k]));
    Line tailLine;
    if (tail.line(tailLine)) {
        const double span = static_cast<double>(count - tailFrom) * w;
        const double fall = -tailLine.slopeDbPerSecond * span;
        const double spread = tail.residualDb(tailLine) * std::sqrt(12.0 / tail.n);
        if (fall > kFallingTailDb && fall > 3.0 * spread)
            return nf;
    }
    const double loudestDb = toDb(*std::max_element(meanEnergy.begin(), meanEnergy.end()));
    Line line;
    const Envelope first = regroup(meanEnergy, w, 1);
    if (loudestDb < toDb(noise) + kFirstFitAboveNoiseDb
        || !fitDecay(first, noise, loudestDb, toDb(noise) + kFirstFitAboveNoiseDb, line))
        return nf;
    double cross = std::clamp((toDb(noise) - line.interceptDb) / line.slopeDbPerSecond, 0.0, length);
    std::size_t noiseWindow = tailFrom;
    for (int round = 0; round < kRounds; ++round) {
        const double secondsPer10Db = 10.0 / -line.slopeDbPerSecond;
        const auto merge = static_cast<std::size_t>(
            std::clamp(std::lround(secondsPer10Db / kWindowsPer10Db / w), 1L, static_cast<long>(count / 10)));
        const Envelope env = regroup(meanEnergy, w, merge);
        const double noiseFrom = std::min(cross + kNoiseAfterCrossDb / -line.slopeDbPerSecond, 0.9 * length);
        noiseWindow = std::min(tailFrom, static_cast<std::size_t>(noiseFrom / w));
        noise = meanFrom(meanEnergy, noiseWindow);
        const double noiseDb = toDb(noise);
        Line next;
        if (!fitDecay(env, noise, std::min(loudestDb, noiseDb + kFitTopAboveNoiseDb),
                      noiseDb + kFitBottomAboveNoiseDb, next))
            break;
        line = next;
        const double moved = std::clamp((noiseDb - line.interceptDb) / line.slopeDbPerSecond, 0.0, length);
        const bool settled = std::fabs(moved - cross) < w;
        cross = moved;
        if (settled)
            break;
    }
    nf.found = true;
    nf.energy = noise;
    nf.crossSeconds = cross;
    nf.noiseFromSeconds = static_cast<double>(noiseWindow) * w;
    nf.slopeDbPerSecond = line.slopeDbPerSecond;
    nf.crossLevelEnergy = std::pow(10.0, line.at(cross) / 10.0);
    return nf;
}

} // namespace ovinta
