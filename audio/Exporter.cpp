// SPDX-License-Identifier: GPL-3.0-or-later
// The impulse-response export: two rendering passes over the engine's
// kernels with the audio path held, then the engine restored. The first
// renders the whole bounded response and ends each channel after its last
// block above the silence threshold; the second renders again and writes
// each channel up to that block.

#include "audio/Exporter.h"

#include "audio/Kernels.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace ovinta {

namespace {

constexpr int kEqFrequencyParameters[kEqBands] = {param::kEQfreq1, param::kEQfreq2,
                                                  param::kEQfreq3, param::kEQfreq4};
constexpr float kImpulseHeight = 2.0f;
constexpr int kTraceUnits = 4096;
constexpr int kErrorBannerTicks = 100;
static_assert(kExportMaxBlocks * kExportBlock == kHistoryLength);

bool rateAccepted(float rate)
{
    return rate >= 8000.0f && rate <= 384000.0f; // false for NaN
}

} // namespace

Exporter::Exporter(RoomEngine& engineIn, ParameterSource& parametersIn)
    : engine(engineIn), parameters(parametersIn), inA(kExportBlock), inB(kExportBlock)
{
    for (auto& block : outputs)
        block.assign(kExportBlock, 0.0f);
}

std::string Exporter::baseName(const std::string& fileName)
{
    const std::size_t n = fileName.size();
    if (n > 4 && fileName[n - 4] == '.')
        return fileName.substr(0, n - 4);
    return fileName;
}

int Exporter::channelsFor(int outputCount)
{
    if (outputCount >= 5)
        return 5;
    return outputCount == 4 ? 4 : 2;
}

ExportResult Exporter::exportImpulse(int format, float sampleRate, int normalise,
                                     const std::string& fileName)
{
    ExportResult result;
    if (format < 0 || format >= kExportFormatCount || !rateAccepted(sampleRate) ||
        fileName.empty()) {
        engine.editorSignals().exportCountdown = 0;
        return result;
    }
    try {
        exportHoldingPath(format, sampleRate, normalise, fileName, result);
    } catch (...) {
        // A failure part-way (an allocation) leaves no half-written file; the
        // engine is back at its own rate and the path given back by now.
        closeFiles(kOutputRoles, nullptr);
        for (const std::string& path : result.files)
            std::remove(path.c_str());
        engine.editorSignals().exportError = 1;
        engine.editorSignals().exportErrorTicks = kErrorBannerTicks;
        engine.editorSignals().exportCountdown = 0;
        throw;
    }
    // Ends after the path is given back: the editor sees the export over
    // when audio runs again.
    engine.editorSignals().exportCountdown = 0;
    return result;
}

void Exporter::exportHoldingPath(int format, float sampleRate, int normalise,
                                 const std::string& fileName, ExportResult& result)
{
    const RoomEngine::AudioPathHold hold(engine);
    const int channels = channelsFor(engine.derived().outputCount);
    if (!openFiles(channels, baseName(fileName), format, result)) {
        engine.editorSignals().exportError = 1;
        engine.editorSignals().exportErrorTicks = kErrorBannerTicks;
        return;
    }
    engine.editorSignals().exportError = 0;
    const float savedRate = engine.derived().sampleRate;
    const float savedDryGain = engine.derived().dryGain;
    prepareEngine(sampleRate);
    bool written = false;
    try {
        written = writeFiles(channels, format, sampleRate, normalise, result);
    } catch (...) {
        restoreEngine(savedRate, savedDryGain);
        throw;
    }
    restoreEngine(savedRate, savedDryGain);
    // A file that was not written whole is reported like one that could not
    // be opened, so a full disk never passes for a finished export.
    result.status = written ? ExportResult::kWritten : ExportResult::kWriteFailed;
    if (!written) {
        engine.editorSignals().exportError = 1;
        engine.editorSignals().exportErrorTicks = kErrorBannerTicks;
    }
}

bool Exporter::writeFiles(int channels, int format, float sampleRate, int normalise,
                          ExportResult& result)
{
    const float peak = measurePass(channels, normalise != 0);
    // A response that never left silence has nothing to scale.
    const float impulse =
        normalise != 0 && peak > 0.0f ? kImpulseHeight / (peak + 1e-20f) : kImpulseHeight;
    bool written = true;
    for (int c = 0; c < channels; ++c) {
        const auto dataBytes = channelState[c].lengthBytes / (format == kExportWav16 ? 2 : 1);
        result.dataBytes.push_back(dataBytes);
        if (format == kExportRaw)
            continue;
        const auto header = makeWavHeader(format, static_cast<uint32_t>(std::lround(sampleRate)),
                                          static_cast<uint32_t>(dataBytes));
        written &= std::fwrite(header.data(), 1, header.size(), files[c]) == header.size();
    }
    written &= writePass(channels, format, impulse);
    closeFiles(channels, &result);
    return written && result.status != ExportResult::kWriteFailed;
}

bool Exporter::openFiles(int channels, const std::string& base, int format, ExportResult& result)
{
    const char* extension = format == kExportRaw ? ".raw" : ".wav";
    for (int c = 0; c < channels; ++c) {
        const std::string path = base + std::to_string(c + 1) + extension;
        files[c] = std::fopen(path.c_str(), "wb");
        if (files[c] == nullptr) {
            result.status = ExportResult::kOpenFailed;
            result.failedFile = path;
            closeFiles(c, nullptr);
            return false;
        }
        result.files.push_back(path);
    }
    return true;
}

void Exporter::closeFiles(int channels, ExportResult* result)
{
    for (int c = 0; c < channels; ++c) {
        if (files[c] != nullptr && std::fclose(files[c]) != 0 && result != nullptr)
            result->status = ExportResult::kWriteFailed;
        files[c] = nullptr;
    }
}

// Steps taken with the audio path held: the wet response only, at the
// export rate, with every band redesigned and the room fully traced.
void Exporter::prepareEngine(float sampleRate)
{
    engine.setRenderSettings(sampleRate, 0.0f);
    for (int index : kEqFrequencyParameters)
        engine.setParameter(index, parameters.getParameter(index));
    engine.setupRays();
    retrace();
}

void Exporter::restoreEngine(float savedRate, float savedDryGain)
{
    engine.setRenderSettings(savedRate, savedDryGain);
    for (int index : kEqFrequencyParameters)
        engine.setParameter(index, engine.getParameter(index));
    engine.setupRays();
    retrace();
    clearAudioState();
}

// commit, trace the whole room, commit. The tracer guard may be held for a
// moment by a thread reading slots, so a refused trace is tried again.
void Exporter::retrace()
{
    engine.commitTaps();
    while (!engine.trace(kTraceUnits))
        std::this_thread::yield();
    engine.commitTaps();
    engine.editorSignals().tempViewTicks = 0;
}

void Exporter::clearAudioState()
{
    for (auto& history : engine.audioPath().sourceHistory)
        std::fill_n(history.get(), kHistoryLength, 0.0f);
    for (auto& bank : engine.audioPath().combs)
        for (CombFilter& comb : bank)
            comb.clear();
    for (int b = 0; b < kEqBands; ++b) {
        engine.audioPath().eqA[b].resetState();
        engine.audioPath().eqC[b].resetState();
    }
    // A tap's low-pass would otherwise carry what it held at the end of the
    // measuring pass into the written one, so the passes could differ.
    for (RaySlot& slot : engine.raySlots())
        slot.tapFilterState = 0.0f;
    engine.audioPath().writePos = 0;
    engine.audioPath().unclean = static_cast<uint32_t>(kHistoryLength); // filled with 0, not the reset fill
}

void Exporter::renderBlock(int channels)
{
    float* o[kOutputRoles];
    for (int c = 0; c < kOutputRoles; ++c)
        o[c] = outputs[c].data();
    if (channels == 5)
        kernel5(engine, inA.data(), inB.data(), o[0], o[1], o[2], o[3], o[4], kExportBlock);
    else if (channels == 4)
        kernel4(engine, inA.data(), inB.data(), o[0], o[1], o[2], o[3], kExportBlock);
    else
        kernel2(engine, inA.data(), inB.data(), o[0], o[1], kExportBlock);
    engine.audioPath().advance(kExportBlock);
    inA[0] = inB[0] = 0.0f;
}

void Exporter::report(double fraction)
{
    if (progress != nullptr)
        progress->exportProgress(fraction);
}

float Exporter::measurePass(int channels, bool normalise)
{
    clearAudioState();
    engine.pickUpEqDesigns();
    std::fill(inA.begin(), inA.end(), 0.0f);
    std::fill(inB.begin(), inB.end(), 0.0f);
    inA[0] = inB[0] = kImpulseHeight;
    float peak = 0.0f;
    for (int c = 0; c < channels; ++c)
        channelState[c].beginMeasuring();
    // The whole bounded render: an arrival may follow any quiet stretch, so
    // no channel's end is known before the last block.
    for (int block = 0; block < kExportMaxBlocks; ++block) {
        renderBlock(channels);
        report(0.5 * block / kExportMaxBlocks);
        for (int c = 0; c < channels; ++c)
            channelState[c].measure(outputs[c].data(), normalise, peak);
    }
    for (int c = 0; c < channels; ++c)
        channelState[c].stopMeasuring();
    return peak;
}

bool Exporter::writePass(int channels, int format, float impulse)
{
    clearAudioState();
    engine.pickUpEqDesigns();
    std::fill(inA.begin(), inA.end(), 0.0f);
    std::fill(inB.begin(), inB.end(), 0.0f);
    inA[0] = inB[0] = impulse;
    bool complete = true;
    int64_t longest = kExportBlockBytes;
    for (int c = 0; c < channels; ++c) {
        channelState[c].beginWriting();
        longest = std::max(longest, channelState[c].lengthBytes);
    }
    const double blocks = static_cast<double>(longest / kExportBlockBytes);
    for (int block = 0; block < kExportMaxBlocks; ++block) {
        renderBlock(channels);
        report(0.5 + 0.5 * std::min(1.0, (block + 1) / blocks));
        bool allFinished = true;
        for (int c = 0; c < channels; ++c) {
            complete &= channelState[c].write(outputs[c].data(), format, files[c]);
            allFinished &= channelState[c].finished;
        }
        if (allFinished)
            break;
    }
    return complete;
}

} // namespace ovinta
