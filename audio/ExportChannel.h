// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One channel of an impulse-response export: the measuring rule that decides
// how many 1,024-sample blocks the channel's response lasts (pass 0), and the
// writing of exactly that many blocks to its file (pass 1).
//
// The measuring rule: every block of the bounded render is measured, and the
// channel ends with the last block that holds a sample above the threshold.
// A traced response is a sparse set of taps whose gaps grow with the sample
// rate, so a quiet block says nothing about what follows; only the end of
// the render does. Within the bound the rule therefore never cuts an arrival
// above the threshold, whatever the rate or the room.

#include <cstdint>
#include <cstdio>

namespace ovinta {

constexpr int kExportBlock = 1024;                 // samples per rendered block
constexpr int kExportBlockBytes = kExportBlock * 4; // one block of float samples
// Longest response, in blocks: the length of the engine's input history, so
// that the impulse is never overwritten while its response is rendered. The
// measuring pass renders exactly this many blocks; a channel still above the
// threshold in the last of them is cut there.
constexpr int kExportMaxBlocks = 1024;
constexpr float kExportSilence = 2.5e-5f;          // a block at or below this is silent

// trunc(x * 32767.9) limited to the 16-bit range (NaN gives 0).
int16_t toPcm16(float x);

class ExportChannel {
public:
    // ---- Pass 0: measuring ----
    void beginMeasuring();
    // One block of the render, in order. A block with a sample above the
    // threshold extends the channel to its end (the silent blocks before it
    // included); a quiet block changes nothing. While normalising, peak is
    // raised to the largest magnitude measured.
    void measure(const float* block, bool normalise, float& peak);
    // After the last block rendered: a channel that never rose above the
    // threshold keeps one silent block, any other ends with its last loud one.
    void stopMeasuring();

    // ---- Pass 1: writing ----
    void beginWriting();
    // Writes the block in `format` (ExportFormat) while bytes remain; false
    // when the file took fewer bytes than given.
    bool write(const float* block, int format, std::FILE* file);

    bool finished = false;
    bool started = false;       // some block so far rose above the threshold
    int64_t measuredBytes = 0;  // float bytes of the blocks measured so far
    int64_t lengthBytes = 0;    // measured length in float bytes, a multiple of kExportBlockBytes
    int64_t remainingBytes = 0; // float bytes still to write in pass 1
};

} // namespace ovinta
