// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Host chunks: raw images of the program records, one program (9,432 bytes,
// or 9,428 in the earlier layout without the fifth output) or the whole bank
// (424,444 bytes, or 424,264 in the earlier layout). Chunk data comes from
// project files that users move between machines, so loading treats it as
// untrusted: every loaded record is made safe with sanitizeProgram.

#include "model/OvintaProgram.h"

#include <cstddef>
#include <cstdint>

namespace ovinta {

constexpr std::size_t kLegacyProgramSize = 9428;
constexpr std::size_t kLegacyBankSize = 4 + kProgramCount * kLegacyProgramSize; // 424,264

// Byte offsets inside an earlier-layout record: the fields up to
// parSpeakerOut4 sit where they sit now, every later field 4 bytes lower.
constexpr std::size_t kLegacyShiftedFieldsOffset = 60; // parEarsX in the earlier layout
constexpr std::size_t kLegacyWallCountOffset = 180;
constexpr std::size_t kLegacyWallsOffset = 184;
constexpr std::size_t kLegacyNameOffset = 9400;

// Walls of a loaded record must lie on the room grid, in metres.
constexpr float kGridMinMetres = 0.0f;
constexpr float kGridMaxMetres = 50.0f;
// A shorter wall has no usable normal; the room editor's walls are whole metres.
constexpr float kMinWallMetres = 0.01f;

// Points *data at the live record(s) (no copy) and returns the byte size:
// the current program when isPreset, else the whole bank. A current program
// outside 0..44 hands out program 0.
int32_t getChunkData(ProgramBank& bank, int currentProgram, bool isPreset, void** data);

// Copies (or converts) a chunk over the current program (isPreset) or over
// the whole bank, then sanitises every record it wrote. Returns false,
// changing nothing, for an unknown size, null data or a current program
// outside 0..44. The data may be unaligned and may even be the block
// getChunkData handed out. The caller re-applies the current program afterwards.
bool loadChunkData(ProgramBank& bank, int currentProgram, const void* data, int64_t byteSize,
                   bool isPreset);

// Fills target from an earlier-layout record (kLegacyProgramSize bytes, any
// alignment): every parameter of that layout, parSpeakerOut5 = -1, the wall
// count (limited to 0..kMaxWalls) and that many walls (their eight floats and
// dragEnd; the target's reserved bytes stay). The target keeps its name.
void convertLegacyProgram(OvintaProgram& target, const unsigned char* legacy);

// Makes a record safe for the engine and the editor, leaving a well-formed
// record byte for byte as it was:
// - a non-finite parameter takes the value a new OvintaProgram has;
// - wallCount is limited to 0..kMaxWalls;
// - a wall with a non-finite or off-grid end point, or shorter than
//   kMinWallMetres, is dropped (later walls move down); a kept wall whose dx, dy or
//   normal do not match its end points gets them recomputed; a dragEnd other
//   than 0, 1 or 2 becomes 0;
// - a name without a NUL in its 28 bytes is cut to 27 characters.
// Returns the number of walls dropped.
int sanitizeProgram(OvintaProgram& program);

} // namespace ovinta
