// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layout of one fuzzer input, shared by both fuzzers and the program
// that writes their seed corpus, and the reading and checks they share:
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

#include "model/OvintaProgram.h"
#include "model/Parameters.h"
#include "model/ParameterTable.h"
#include "model/ProgramChunks.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ovinta {

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

namespace fuzz {

// Reads the input front to back; past its end every byte reads as 0.
class Reader {
public:
    Reader(const uint8_t* bytes, std::size_t length) : data(bytes), size(length) {}
    std::size_t left() const { return size - pos; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    // Copies up to n bytes into out and zero-fills the rest.
    void take(unsigned char* out, std::size_t n)
    {
        if (n == 0)
            return;
        const std::size_t m = n < left() ? n : left();
        std::memcpy(out, data + pos, m);
        std::memset(out + m, 0, n - m);
        pos += m;
    }

private:
    const uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
};

[[noreturn]] inline void fail(const char* what, int program)
{
    std::fprintf(stderr, "invariant broken: %s (program %d)\n", what, program);
    std::abort();
}

// What every record must satisfy after a load, whatever the chunk held:
// values within their ranges, finite walls of non-zero length, a named
// record with its NUL.
inline void checkRecord(const OvintaProgram& p, int k)
{
    if (p.wallCount < 0 || p.wallCount > kMaxWalls)
        fail("wall count", k);
    if (std::memchr(p.name, 0, sizeof(p.name)) == nullptr)
        fail("name without NUL", k);
    for (int i = 0; i < kStoredParameterCount; ++i) {
        const float v = *programField(p, i);
        const param::Row* facts = param::row(i);
        if (facts == nullptr || !(v >= facts->lowest && v <= facts->highest))
            fail("parameter outside its range", k);
    }
    for (int w = 0; w < p.wallCount; ++w) {
        const Wall& wall = p.walls[w];
        const float v[8] = {wall.x1, wall.y1, wall.x2, wall.y2, wall.dx, wall.dy, wall.nx, wall.ny};
        for (float x : v)
            if (!std::isfinite(x))
                fail("non-finite wall", k);
        if (wall.x1 == wall.x2 && wall.y1 == wall.y2)
            fail("zero-length wall", k);
    }
}

// The chunk the input describes, with the size it is handed over with, in
// `chunk` (kept from input to input, so that its memory is reused).
inline void readChunk(Reader& in, bool& isPreset, std::vector<unsigned char>& chunk)
{
    const uint8_t head = in.byte();
    isPreset = (head & kFuzzPresetFlag) != 0;
    chunk.clear();
    switch (head % kFuzzChunkKinds) {
    case kFuzzProgram:
    case kFuzzLegacyProgram:
        isPreset = true;
        chunk.resize(head % kFuzzChunkKinds == kFuzzProgram ? kProgramSize : kLegacyProgramSize);
        in.take(chunk.data(), chunk.size());
        break;
    case kFuzzBank:
    case kFuzzLegacyBank: {
        isPreset = false;
        const std::size_t record = head % kFuzzChunkKinds == kFuzzBank ? kProgramSize : kLegacyProgramSize;
        chunk.resize(4 + kProgramCount * record);
        in.take(chunk.data(), 4 + record);
        for (int k = 1; k < kProgramCount; ++k)
            std::memcpy(chunk.data() + 4 + record * k, chunk.data() + 4, record);
        break;
    }
    default: {
        const std::size_t length = in.byte() | (std::size_t(in.byte()) << 8);
        chunk.resize(length < in.left() ? length : in.left());
        in.take(chunk.data(), chunk.size());
        break;
    }
    }
}

} // namespace fuzz

} // namespace ovinta
