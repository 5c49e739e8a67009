// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exporter: writes the current room's impulse response to disk, one mono
// file per output channel (16-bit WAV, float WAV or headerless float RAW).
// It takes the audio path away from the host, re-traces the room at the
// export rate, renders an impulse through the engine's kernels once to
// measure how long each channel rings and once more to write the files,
// then restores the engine and gives the audio path back. The measuring
// render always runs to the bound (kExportMaxBlocks, the history length) and
// a channel ends after its last block above the silence threshold, so no
// later arrival is cut, however sparse the taps are at the export rate.
//
// Owned by whoever offers the export (the editor, the command-line tool);
// exportImpulse runs on that owner's thread, never on the audio thread.

#include "audio/ExportChannel.h"
#include "audio/WavHeader.h"
#include "engine/RoomEngine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ovinta {

// The current value of a host parameter as the effect sees it, offered by
// the editor, the effect or the tool.
class ParameterSource {
public:
    virtual ~ParameterSource() = default;
    virtual float getParameter(int index) = 0;
};

// The engine's own stored values as the parameter source (tools, tests).
class EngineParameters : public ParameterSource {
public:
    explicit EngineParameters(RoomEngine& e) : engine(e) {}
    float getParameter(int index) override { return engine.getParameter(index); }

private:
    RoomEngine& engine;
};

// Told how far an export has come, on the exporting thread, once per
// rendered block: 0..0.5 while measuring, 0.5..1 while writing.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void exportProgress(double fraction) = 0;
};

struct ExportResult {
    enum Status { kWritten, kOpenFailed, kWriteFailed, kBadSettings };
    Status status = kBadSettings;
    std::vector<std::string> files; // every file created, channel 1 first
    std::vector<int64_t> dataBytes; // sample bytes per file (as written in its header)
    std::string failedFile;         // the file that could not be opened
};

class Exporter {
public:
    Exporter(RoomEngine& engine, ParameterSource& parameters);
    virtual ~Exporter() = default;
    Exporter(const Exporter&) = delete;
    Exporter& operator=(const Exporter&) = delete;

    // format: ExportFormat; sampleRate: 44100, 48000 or 96000 as a rule (any
    // rate from 8 kHz to 384 kHz is accepted); normalise: nonzero scales the
    // impulse so that the loudest sample over all channels is 1.0. Files are
    // base + channel number + ".wav" or ".raw", base being fileName with a
    // three-letter extension cut. A file that cannot be created sets the
    // engine's exportError and stops before the engine is changed.
    ExportResult exportImpulse(int format, float sampleRate, int normalise,
                               const std::string& fileName);

    // Optional; null (the default) reports nothing.
    void setProgressListener(ExportProgress* listener) { progress = listener; }

    // fileName without a three-letter extension ("room.wav" -> "room").
    static std::string baseName(const std::string& fileName);
    // Number of files (2, 4 or 5) for the engine's output count.
    static int channelsFor(int outputCount);

private:
    // The export while the audio path is held; `result` lists the files made.
    void exportHoldingPath(int format, float sampleRate, int normalise, const std::string& fileName,
                           ExportResult& result);
    // The two passes and the headers, into the open files; false when a
    // file was not written whole.
    bool writeFiles(int channels, int format, float sampleRate, int normalise, ExportResult& result);
    bool openFiles(int channels, const std::string& base, int format, ExportResult& result);
    void closeFiles(int channels, ExportResult* result);
    void prepareEngine(float sampleRate);
    void restoreEngine(float savedRate, float savedDryGain);
    void clearAudioState();
    void retrace();
    void renderBlock(int channels);
    void report(double fraction);
    float measurePass(int channels, bool normalise);
    bool writePass(int channels, int format, float impulse);

    RoomEngine& engine;
    ParameterSource& parameters;
    std::vector<float> inA, inB;                // kExportBlock each
    std::vector<float> outputs[kOutputRoles];   // kExportBlock each
    std::FILE* files[kOutputRoles] = {};
    ExportChannel channelState[kOutputRoles];
    ExportProgress* progress = nullptr;
};

} // namespace ovinta
