// Multi-pass room-acoustic analysis of a file, band by band.

#include "tools/ovinta/StreamingAnalysis.h"

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/Progress.h"

#include "dsp/OctaveBandFilter.h"
#include "dsp/RoomAcoustics.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace ovinta {

namespace {

constexpr double kRangeCapDb = 200.0;
constexpr double kFitMarginDb = 10.0;
constexpr double kSilentDb = -2.0 * kRangeCapDb;
constexpr std::size_t kCurvePoints = 2000;
constexpr std::size_t kBlockFrames = 4096;
constexpr double kNegligibleOffset = 1e-6;
constexpr int kPasses = 6; // DC, peak, first arrival, floor, energy, decay

// Least-squares line through the decay between two levels, fed one level
// per sample in time order.
class LineFit {
public:
    LineFit(double upper, double lower) : upperDb(upper), lowerDb(lower) {}

    void add(std::size_t i, double levelDb, double rate)
    {
        if (done)
            return;
        if (!started) {
            if (levelDb > upperDb)
                return;
            started = true;
            from = i;
        }
        const double t = static_cast<double>(i - from) / rate;
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

    // Reverberation time for 60 dB, as dsp/RoomAcoustics fits it.
    std::optional<double> seconds(double rangeDb, double rate, DecayFit& line) const
    {
        if (rangeDb < -lowerDb + kFitMarginDb || !done || to - from < 2)
            return std::nullopt;
        const std::optional<DecayLine> fit = fitDecayLine(count, sumT, sumL, sumTT, sumTL);
        if (!fit)
            return std::nullopt;
        line.valid = true;
        line.fromSeconds = static_cast<double>(from) / rate;
        line.toSeconds = static_cast<double>(to) / rate;
        line.fromDb = fit->interceptDb;
        line.slopeDbPerSecond = fit->slopeDbPerSecond;
        return -60.0 / fit->slopeDbPerSecond;
    }

private:
    double upperDb, lowerDb;
    bool started = false, done = false;
    std::size_t from = 0, to = 0;
    double count = 0.0, sumT = 0.0, sumL = 0.0, sumTT = 0.0, sumTL = 0.0;
};

// One band of one channel through the passes; `pass` 1..4 as in the driver.
class BandState {
public:
    BandState(double rateIn, BandAnalysis& resultIn)
        : rate(rateIn), result(resultIn),
          window(std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(0.01 * rate))))
    {
    }

    bool active() const { return alive; }

    void feed(int pass, std::size_t i, double y)
    {
        double e = y * y;
        if (!std::isfinite(e))
            e = 0.0;
        switch (pass) {
        case 1:
            n = i + 1;
            peak = std::max(peak, e);
            break;
        case 2:
            if (!found && e >= onset) {
                found = true;
                first = i;
            }
            break;
        case 3:
            if (i >= first) {
                const std::size_t w = (i - first) / window;
                windowSums[w] += e;
                if (i >= tailStart)
                    tailSum += e;
            }
            break;
        case 4:
            if (i >= first && i < end)
                energyPoint(i, std::max(0.0, e - floorEnergy));
            break;
        default:
            if (i >= first && i < end)
                decayPoint(i, std::max(0.0, e - floorEnergy));
            break;
        }
    }

    void endPass(int pass)
    {
        if (pass == 1) {
            alive = peak > 0.0;
            onset = peak * std::pow(10.0, kOnsetThresholdDb / 10.0);
        } else if (pass == 2) {
            const std::size_t span = n - first;
            tailStart = first + span - std::max(span / 10, std::min(window, span));
            windowSums.assign((span + window - 1) / window, 0.0);
        } else if (pass == 3) {
            settleFloor();
        } else if (pass == 4) {
            finishEnergy();
        } else if (pass == 5) {
            finishDecay();
        }
    }

private:
    void settleFloor()
    {
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
        rangeDb = floorEnergy > 0.0
                      ? std::min(kRangeCapDb, 10.0 * std::log10(loudest / floorEnergy))
                      : kRangeCapDb;
        end = std::max(lastAboveFloor, first + 1);
        n50 = first + static_cast<std::size_t>(std::lround(0.05 * rate));
        n80 = first + static_cast<std::size_t>(std::lround(0.08 * rate));
        step = std::max<std::size_t>(1, (end - first) / kCurvePoints);
    }

    void energyPoint(std::size_t i, double e)
    {
        total += e;
        if (i < n50)
            early50 += e;
        if (i < n80)
            early80 += e;
        moment += e * static_cast<double>(i - first) / rate;
    }

    static double clarityDb(double early, double late)
    {
        if (late <= early * 1e-12)
            return kClarityLimitDb;
        if (early <= late * 1e-12)
            return -kClarityLimitDb;
        return std::clamp(10.0 * std::log10(early / late), -kClarityLimitDb, kClarityLimitDb);
    }

    void finishEnergy()
    {
        AcousticFigures& f = result.figures;
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

    void decayPoint(std::size_t i, double e)
    {
        const double remaining = total - gone;
        const double level =
            remaining > 0.0 && total > 0.0 ? 10.0 * std::log10(remaining / total) : kSilentDb;
        gone += e;
        edt.add(i, level, rate);
        t20.add(i, level, rate);
        t30.add(i, level, rate);
        if ((i - first) % step == 0 && level > kSilentDb) {
            result.curveSeconds.push_back(static_cast<double>(i) / rate);
            result.curveDb.push_back(level);
        }
    }

    void finishDecay()
    {
        AcousticFigures& f = result.figures;
        DecayFit unused;
        f.edtSeconds = edt.seconds(rangeDb, rate, unused);
        f.t20Seconds = t20.seconds(rangeDb, rate, result.t20);
        f.t30Seconds = t30.seconds(rangeDb, rate, result.t30);
    }

    double rate;
    BandAnalysis& result;
    std::size_t window;
    bool alive = true, found = false;
    std::size_t n = 0, first = 0, tailStart = 0, end = 0, n50 = 0, n80 = 0, step = 1;
    double peak = 0.0, onset = 0.0, tailSum = 0.0, floorEnergy = 0.0, rangeDb = 0.0;
    std::vector<double> windowSums;
    double total = 0.0, early50 = 0.0, early80 = 0.0, moment = 0.0, gone = 0.0;
    LineFit edt{0.0, -10.0}, t20{-5.0, -25.0}, t30{-5.0, -35.0};
};

struct ChannelBands {
    std::unique_ptr<BandState> full;
    std::unique_ptr<BandState> octave[kOctaveBandCount];
    std::unique_ptr<OctaveBandFilter> filters[kOctaveBandCount];
};

} // namespace

std::vector<ChannelAnalysis> analyseFile(AudioReader& reader, Progress& progress)
{
    const int channels = reader.channels();
    const double rate = reader.sampleRate();
    std::vector<ChannelAnalysis> results(static_cast<std::size_t>(channels));
    std::vector<ChannelBands> bands(static_cast<std::size_t>(channels));
    for (int c = 0; c < channels; ++c) {
        ChannelBands& b = bands[static_cast<std::size_t>(c)];
        ChannelAnalysis& r = results[static_cast<std::size_t>(c)];
        b.full = std::make_unique<BandState>(rate, r.full);
        for (int k = 0; k < kOctaveBandCount; ++k) {
            b.filters[k] = std::make_unique<OctaveBandFilter>(kOctaveCentresHz[k], rate);
            if (b.filters[k]->usable())
                b.octave[k] = std::make_unique<BandState>(rate, r.octave[k]);
        }
    }

    std::vector<float> block(kBlockFrames * static_cast<std::size_t>(channels));
    // Per channel, the sum of each block, for the DC offset of the end.
    std::vector<std::vector<double>> blockSums(static_cast<std::size_t>(channels));
    std::vector<std::size_t> blockFrames;
    const double expected = std::max(1.0, static_cast<double>(reader.frames()) * kPasses);
    double done = 0.0;
    std::size_t frames = 0;
    for (int pass = 0; pass < kPasses; ++pass) {
        reader.rewind();
        for (ChannelBands& b : bands)
            for (auto& filter : b.filters)
                filter->reset();
        std::size_t index = 0;
        for (std::size_t got; (got = reader.read(block.data(), kBlockFrames)) > 0;) {
            if (pass == 0) {
                blockFrames.push_back(got);
                for (int c = 0; c < channels; ++c) {
                    double sum = 0.0;
                    for (std::size_t i = 0; i < got; ++i) {
                        const auto x =
                            static_cast<double>(block[i * static_cast<std::size_t>(channels) + c]);
                        sum += std::isfinite(x) ? x : 0.0;
                    }
                    blockSums[static_cast<std::size_t>(c)].push_back(sum);
                }
                index += got;
            }
            for (std::size_t i = 0; i < got && pass > 0; ++i, ++index)
                for (int c = 0; c < channels; ++c) {
                    const auto x = static_cast<double>(block[i * static_cast<std::size_t>(channels) + c]);
                    ChannelBands& b = bands[static_cast<std::size_t>(c)];
                    const double y = x - results[static_cast<std::size_t>(c)].dcOffset;
                    if (b.full->active())
                        b.full->feed(pass, index, y);
                    for (int k = 0; k < kOctaveBandCount; ++k)
                        if (b.octave[k] != nullptr) {
                            const double band = b.filters[k]->process(y);
                            if (b.octave[k]->active())
                                b.octave[k]->feed(pass, index, band);
                        }
                }
            done += static_cast<double>(got);
            progress.update(done / expected);
        }
        if (pass == 0) {
            frames = index;
            // The mean of the last tenth of the file (at least its last
            // block): a response has died away there, so what is left is
            // the offset.
            const std::size_t blocks = blockFrames.size();
            const std::size_t from = blocks - std::max<std::size_t>(1, blocks / 10);
            for (int c = 0; c < channels && blocks > 0; ++c) {
                double sum = 0.0, count = 0.0;
                for (std::size_t k = from; k < blocks; ++k) {
                    sum += blockSums[static_cast<std::size_t>(c)][k];
                    count += static_cast<double>(blockFrames[k]);
                }
                const double offset = count > 0.0 ? sum / count : 0.0;
                // Below -120 dBFS an offset is rounding, not a fault of the file.
                results[static_cast<std::size_t>(c)].dcOffset =
                    std::fabs(offset) < kNegligibleOffset ? 0.0 : offset;
            }
            if (frames == 0)
                break;
            continue;
        }
        for (ChannelBands& b : bands) {
            if (b.full->active())
                b.full->endPass(pass);
            for (auto& state : b.octave)
                if (state != nullptr && state->active())
                    state->endPass(pass);
        }
    }
    progress.finish();
    return results;
}

} // namespace ovinta
