// SPDX-License-Identifier: GPL-3.0-or-later
// Room-acoustic figures from the Schroeder decay of an impulse response.

#include "dsp/RoomAcoustics.h"

#include "dsp/DecayAnalysis.h"
#include "dsp/OctaveBandFilter.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

const double kOctaveCentresHz[kOctaveBandCount] = {125.0, 250.0, 500.0, 1000.0,
                                                   2000.0, 4000.0, 8000.0};

namespace {

constexpr double kRangeCapDb = 200.0;
constexpr std::size_t kBlock = 4096;

// Runs the passes of one DecayAnalysis per band over `count` samples, the
// full band from `samples` and each octave band through its filter.
void runPasses(const float* samples, std::size_t count, DecayAnalysis* full,
               DecayAnalysis* const* octaves, OctaveBandFilter* const* filters)
{
    std::vector<double> block(kBlock), filtered(kBlock);
    for (int pass = 0; pass < DecayAnalysis::kPassCount; ++pass) {
        full->beginPass(pass);
        for (int b = 0; b < kOctaveBandCount; ++b)
            if (octaves[b] != nullptr) {
                octaves[b]->beginPass(pass);
                filters[b]->reset();
            }
        for (std::size_t at = 0; at < count; at += kBlock) {
            const std::size_t n = std::min(kBlock, count - at);
            for (std::size_t i = 0; i < n; ++i)
                block[i] = static_cast<double>(samples[at + i]);
            full->feed(block.data(), n);
            for (int b = 0; b < kOctaveBandCount; ++b)
                if (octaves[b] != nullptr && octaves[b]->active()) {
                    for (std::size_t i = 0; i < n; ++i)
                        filtered[i] = filters[b]->process(block[i]);
                    octaves[b]->feed(filtered.data(), n);
                }
        }
        full->endPass();
        for (int b = 0; b < kOctaveBandCount; ++b)
            if (octaves[b] != nullptr)
                octaves[b]->endPass();
    }
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
    DecayAnalysis analysis(sampleRate);
    for (int pass = 0; pass < DecayAnalysis::kPassCount && analysis.active(); ++pass) {
        analysis.beginPass(pass);
        analysis.feed(samples.data(), samples.size());
        analysis.endPass();
    }
    return analysis.result().figures;
}

ChannelFigures analyseChannel(const float* samples, std::size_t count, double sampleRate)
{
    DecayAnalysis full(sampleRate);
    std::vector<DecayAnalysis> octaveStates;
    std::vector<OctaveBandFilter> filterStates;
    octaveStates.reserve(kOctaveBandCount);
    filterStates.reserve(kOctaveBandCount);
    DecayAnalysis* octaves[kOctaveBandCount] = {};
    OctaveBandFilter* filters[kOctaveBandCount] = {};
    for (int b = 0; b < kOctaveBandCount; ++b) {
        filterStates.emplace_back(kOctaveCentresHz[b], sampleRate);
        octaveStates.emplace_back(sampleRate);
        filters[b] = &filterStates.back();
        if (filters[b]->usable())
            octaves[b] = &octaveStates.back();
    }
    runPasses(samples, count, &full, octaves, filters);
    ChannelFigures figures;
    figures.fullBand = full.result().figures;
    for (int b = 0; b < kOctaveBandCount; ++b)
        if (octaves[b] != nullptr)
            figures.octave[b] = octaves[b]->result().figures;
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
