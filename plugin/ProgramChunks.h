#pragma once
// Host chunks: raw images of the program records, one program (9,432 bytes,
// or 9,428 in the earlier layout without the fifth output) or the whole bank
// (424,444 bytes, or 424,264 in the earlier layout). Chunk data comes from
// project files that users move between machines, so loading treats it as
// untrusted.

#include "plugin/OvintaProgram.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t kLegacyProgramSize = 9428;
constexpr std::size_t kLegacyBankSize = 4 + kProgramCount * kLegacyProgramSize; // 424,264

// Points *data at the live record(s) (no copy) and returns the byte size:
// the current program when isPreset, else the whole bank.
int32_t getChunkData(ProgramBank& bank, int currentProgram, bool isPreset, void** data);

// Copies (or converts) a chunk over the current program (isPreset) or over
// the whole bank. Returns false, changing nothing, for an unknown size.
// The caller re-applies the current program afterwards.
bool loadChunkData(ProgramBank& bank, int currentProgram, const void* data, int64_t byteSize,
                   bool isPreset);

// Fills target from an earlier-layout record; the target keeps its name.
void convertLegacyProgram(OvintaProgram& target, const unsigned char* legacy);
