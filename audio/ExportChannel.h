#pragma once
// One channel of an impulse-response export: the measuring rule that decides
// how many 1,024-sample blocks the channel's response lasts (pass 0), and the
// writing of exactly that many blocks to its file (pass 1).

#include <cstdint>
#include <cstdio>

constexpr int kExportBlock = 1024;                 // samples per rendered block
constexpr int kExportBlockBytes = kExportBlock * 4; // one block of float samples
// Longest response, in blocks: the length of the engine's input history, so
// that the impulse is never overwritten while its response is rendered. A
// channel that has not ended by then (one that never rises above the
// threshold, say) is stopped there.
constexpr int kExportMaxBlocks = 1024;
constexpr float kExportSilence = 2.5e-5f;          // a block at or below this is silent

// trunc(x * 32767.9) limited to the 16-bit range (NaN gives 0).
int16_t toPcm16(float x);

class ExportChannel {
public:
    // ---- Pass 0: measuring ----
    void beginMeasuring();
    // Silent blocks before the response starts are counted; the first silent
    // block after it started ends the channel and is not counted. While
    // normalising, peak is raised to the largest magnitude counted.
    void measure(const float* block, bool normalise, float& peak);
    // At the block bound: a channel that never started keeps one silent
    // block, one that started keeps what it counted.
    void stopMeasuring();

    // ---- Pass 1: writing ----
    void beginWriting();
    // Writes the block in `format` (ExportFormat) while bytes remain; false
    // when the file took fewer bytes than given.
    bool write(const float* block, int format, std::FILE* file);

    bool finished = false;
    bool started = false;
    int64_t lengthBytes = 0;    // measured length in float bytes, a multiple of kExportBlockBytes
    int64_t remainingBytes = 0; // float bytes still to write in pass 1
};
