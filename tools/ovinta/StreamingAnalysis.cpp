// SPDX-License-Identifier: GPL-3.0-or-later
// Multi-pass room-acoustic analysis of a file, band by band.

#include "tools/ovinta/StreamingAnalysis.h"

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/Progress.h"

#include "dsp/DenormalGuard.h"
#include "dsp/NoiseFloor.h"
#include "dsp/OctaveBandFilter.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace ovinta {

namespace {

constexpr std::size_t kBlockFrames = 4096;
constexpr double kNegligibleOffset = 1e-6;
constexpr int kPasses = 1 + DecayAnalysis::kPassCount; // the DC offset, then the analysis

struct ChannelBands {
    std::unique_ptr<DecayAnalysis> full;
    std::unique_ptr<DecayAnalysis> octave[kOctaveBandCount]; // null: band above Nyquist
    std::unique_ptr<OctaveBandFilter> filters[kOctaveBandCount];
};

// Each channel's DC offset: the mean of the stretch where its background
// noise was measured (NoiseFloor.h, on the energy of the samples as they
// are, offset included). A response that reaches no floor, still falling
// at its end, holds no stretch without response, so no offset is taken.
std::vector<double> measureOffsets(AudioReader& reader, std::vector<float>& block, Progress& progress,
                                   double expected)
{
    const auto channels = static_cast<std::size_t>(reader.channels());
    const auto window = static_cast<std::size_t>(std::max(1L, std::lround(0.01 * reader.sampleRate())));
    // Per channel and 10 ms window: the sum of the samples and of their squares.
    std::vector<std::vector<double>> sums(channels), squares(channels);
    std::vector<std::size_t> lengths;
    reader.rewind();
    std::size_t frame = 0;
    for (std::size_t got; (got = reader.read(block.data(), kBlockFrames)) > 0;) {
        for (std::size_t i = 0; i < got; ++i, ++frame) {
            if (frame % window == 0) {
                lengths.push_back(0);
                for (std::size_t c = 0; c < channels; ++c) {
                    sums[c].push_back(0.0);
                    squares[c].push_back(0.0);
                }
            }
            ++lengths.back();
            for (std::size_t c = 0; c < channels; ++c) {
                const auto x = static_cast<double>(block[i * channels + c]);
                sums[c].back() += x;
                squares[c].back() += x * x;
            }
        }
        progress.update(static_cast<double>(reader.framesRead()) / expected);
    }
    std::vector<double> offsets(channels, 0.0);
    const double windowSeconds = static_cast<double>(window) / reader.sampleRate();
    for (std::size_t c = 0; c < channels; ++c) {
        std::vector<double> meanEnergy(lengths.size());
        for (std::size_t w = 0; w < lengths.size(); ++w)
            meanEnergy[w] = squares[c][w] / static_cast<double>(lengths[w]);
        const NoiseFloor floor = findNoiseFloor(meanEnergy, windowSeconds);
        if (!floor.found)
            continue;
        double sum = 0.0, count = 0.0;
        for (auto w = static_cast<std::size_t>(floor.noiseFromSeconds / windowSeconds); w < lengths.size();
             ++w) {
            sum += sums[c][w];
            count += static_cast<double>(lengths[w]);
        }
        const double offset = count > 0.0 ? sum / count : 0.0;
        // Below -120 dBFS an offset is rounding, not a fault of the file.
        offsets[c] = std::fabs(offset) < kNegligibleOffset ? 0.0 : offset;
    }
    return offsets;
}

} // namespace

std::vector<ChannelAnalysis> analyseFile(AudioReader& reader, Progress& progress)
{
    // The octave filters ring down into denormals in a response's silent
    // end, which makes every sample dozens of times slower.
    const DenormalGuard flushDenormals;
    const auto channels = static_cast<std::size_t>(reader.channels());
    const double rate = reader.sampleRate();
    std::vector<ChannelAnalysis> results(channels);
    std::vector<ChannelBands> bands(channels);
    for (ChannelBands& b : bands) {
        b.full = std::make_unique<DecayAnalysis>(rate);
        for (int k = 0; k < kOctaveBandCount; ++k) {
            b.filters[k] = std::make_unique<OctaveBandFilter>(kOctaveCentresHz[k], rate);
            if (b.filters[k]->usable())
                b.octave[k] = std::make_unique<DecayAnalysis>(rate);
        }
    }
    std::vector<float> block(kBlockFrames * channels);
    std::vector<double> samples(kBlockFrames), filtered(kBlockFrames);
    const double expected = std::max(1.0, static_cast<double>(reader.frames()) * kPasses);
    const std::vector<double> offsets = measureOffsets(reader, block, progress, expected);
    double done = static_cast<double>(reader.framesRead());
    for (int pass = 0; pass < DecayAnalysis::kPassCount && done > 0.0; ++pass) {
        reader.rewind();
        for (ChannelBands& b : bands) {
            b.full->beginPass(pass);
            for (int k = 0; k < kOctaveBandCount; ++k)
                if (b.octave[k] != nullptr) {
                    b.octave[k]->beginPass(pass);
                    b.filters[k]->reset();
                }
        }
        for (std::size_t got; (got = reader.read(block.data(), kBlockFrames)) > 0;) {
            for (std::size_t c = 0; c < channels; ++c) {
                ChannelBands& b = bands[c];
                for (std::size_t i = 0; i < got; ++i)
                    samples[i] = static_cast<double>(block[i * channels + c]) - offsets[c];
                b.full->feed(samples.data(), got);
                for (int k = 0; k < kOctaveBandCount; ++k)
                    if (b.octave[k] != nullptr && b.octave[k]->active()) {
                        for (std::size_t i = 0; i < got; ++i)
                            filtered[i] = b.filters[k]->process(samples[i]);
                        b.octave[k]->feed(filtered.data(), got);
                    }
            }
            done += static_cast<double>(got);
            progress.update(done / expected);
        }
        for (ChannelBands& b : bands) {
            b.full->endPass();
            for (auto& state : b.octave)
                if (state != nullptr)
                    state->endPass();
        }
    }
    progress.finish();
    for (std::size_t c = 0; c < channels; ++c) {
        results[c].dcOffset = offsets[c];
        results[c].full = bands[c].full->result();
        for (int k = 0; k < kOctaveBandCount; ++k)
            if (bands[c].octave[k] != nullptr)
                results[c].octave[k] = bands[c].octave[k]->result();
    }
    return results;
}

} // namespace ovinta
