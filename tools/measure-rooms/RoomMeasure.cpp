// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a program's impulse response through the plug-in core and measures it.

#include "tools/measure-rooms/RoomMeasure.h"

#include "dsp/RoomAcoustics.h"
#include "engine/RoomEngine.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ovinta {

namespace {

constexpr int kBlock = 1024;
constexpr int kInputs = 2;
constexpr int kOutputs = 6;
constexpr double kSilenceBelowPeak = 1e-8; // energy ratio, -80 dB

// Energy envelope sqrt(L^2 + R^2): its square is the energy of both channels.
std::vector<double> renderResponse(PluginCore& core, float sampleRate, double maxSeconds,
                                   double& peak)
{
    std::vector<float> in[kInputs], out[kOutputs];
    float* inputs[kInputs];
    float* outputs[kOutputs];
    for (int c = 0; c < kInputs; ++c) {
        in[c].assign(kBlock, 0.0f);
        in[c][0] = 1.0f;
        inputs[c] = in[c].data();
    }
    for (int c = 0; c < kOutputs; ++c) {
        out[c].assign(kBlock, 0.0f);
        outputs[c] = out[c].data();
    }

    const auto maxSamples = static_cast<std::size_t>(maxSeconds * double(sampleRate));
    const auto quietWindow = static_cast<std::size_t>(0.25 * double(sampleRate));
    std::vector<double> response;
    peak = 0.0;
    double peakEnergy = 0.0;
    std::size_t lastLoud = 0;
    while (response.size() < maxSamples) {
        // A host hands over cleared buffers; channels the core does not feed stay 0.
        for (int c = 0; c < kOutputs; ++c)
            std::fill(out[c].begin(), out[c].end(), 0.0f);
        core.process(inputs, outputs, kBlock);
        for (int c = 0; c < kInputs; ++c)
            in[c][0] = 0.0f;
        for (int i = 0; i < kBlock; ++i) {
            const double l = static_cast<double>(out[0][i]), r = static_cast<double>(out[1][i]);
            const double energy = l * l + r * r;
            peak = std::max({peak, std::fabs(l), std::fabs(r)});
            peakEnergy = std::max(peakEnergy, energy);
            if (energy > peakEnergy * kSilenceBelowPeak)
                lastLoud = response.size();
            response.push_back(std::sqrt(energy));
        }
        if (peakEnergy > 0.0 && response.size() > lastLoud + quietWindow &&
            response.size() > std::size_t(sampleRate))
            break;
    }
    return response;
}

} // namespace

RoomMeasurement measureProgram(PluginCore& core, int program, float sampleRate, double maxSeconds)
{
    RoomMeasurement m;
    m.program = program;
    core.setSampleRate(sampleRate);
    core.setProgram(program);
    core.setParameter(param::kDryOut, 0.0f);
    core.resume();
    core.engine().runTraceWork(); // an offline render: the first block plays the whole room

    double peak = 0.0;
    const std::vector<double> response = renderResponse(core, sampleRate, maxSeconds, peak);
    m.renderedSeconds = double(response.size()) / double(sampleRate);
    if (peak <= 0.0)
        return m;
    m.peakDb = 20.0 * std::log10(peak);
    double energy = 0.0;
    for (double e : response)
        energy += e * e;
    m.levelDb = 10.0 * std::log10(energy / RoomMeasurement::kChannels);

    const AcousticFigures f = analyseResponse(response, double(sampleRate));
    if (f.initialDelaySeconds)
        m.initialDelayMs = *f.initialDelaySeconds * 1000.0;
    if (f.edtSeconds)
        m.edtSeconds = *f.edtSeconds;
    if (f.t30Seconds) {
        m.reverbSeconds = *f.t30Seconds;
        m.reverbKind = "T30";
    } else if (f.t20Seconds) {
        m.reverbSeconds = *f.t20Seconds;
        m.reverbKind = "T20";
    } else if (f.edtSeconds) {
        m.reverbSeconds = *f.edtSeconds;
        m.reverbKind = "EDT";
    }
    return m;
}

} // namespace ovinta
