#pragma once
// The layout of one fuzzer input, shared by the fuzzer and the program that
// writes its seed corpus:
//   byte 0        kind of chunk (FuzzChunkKind, modulo kFuzzChunkKinds); bit 3
//                 selects a program chunk for kFuzzRawChunk
//   kFuzzRawChunk: 2 bytes little-endian length L, then L bytes (fewer when
//                 the input ends) handed over with exactly that size
//   record kinds: one record's bytes (a bank: the reserved word, then one
//                 record used for all 45 programs), missing bytes are zero
//   then          parameter changes, 5 bytes each: index byte (index = byte
//                 mod 80 - 4) and the value's 4 raw bytes, up to 64 of them,
//                 ended early by an index byte of 0xFF
//   then          up to 4 audio blocks: 2 bytes block length (mod 1025) and
//                 1 byte that seeds the block's input signal

#include <cstddef>
#include <cstdint>

enum FuzzChunkKind : uint8_t {
    kFuzzRawChunk = 0,
    kFuzzProgram = 1,
    kFuzzLegacyProgram = 2,
    kFuzzBank = 3,
    kFuzzLegacyBank = 4,
};
constexpr uint8_t kFuzzChunkKinds = 5;
constexpr uint8_t kFuzzPresetFlag = 0x08;
constexpr uint8_t kFuzzEndOfParameters = 0xFF;
constexpr int kFuzzMaxParameters = 64;
constexpr int kFuzzMaxBlocks = 4;
constexpr int kFuzzMaxBlockLength = 1024;
