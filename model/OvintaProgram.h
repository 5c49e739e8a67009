// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One program (the host's preset): 46 raw parameter values, the room's walls
// and a name, as a fixed-size plain record that is copied byte for byte into
// and out of host chunks. The engine holds 45 of them in one ProgramBank.

#include <cstddef>
#include <cstdint>

namespace ovinta {

constexpr int kMaxWalls = 256;
constexpr int kProgramCount = 45;
constexpr int kProgramNameSize = 28; // 27 characters and a NUL

// One wall segment on the 50 x 50 m plan. The same record serves the
// program's wall list and the engine's active wall list.
struct Wall {
    float x1, y1, x2, y2; // end points, metres
    float dx, dy;         // x2 - x1, y2 - y1
    float nx, ny;         // unit normal (-dy, dx) / length; the tracer flips its sign in place
    uint8_t dragEnd;      // room editor: 0 none, 1 or 2 = the end being dragged
    uint8_t reserved[3];  // kept byte for byte in chunks, never read
};
static_assert(sizeof(Wall) == 36);

// Makes a wall from whole-metre end points, with its normal and dragEnd 0.
Wall makeWall(int x1, int y1, int x2, int y2);

struct OvintaProgram {
    OvintaProgram(); // the defaults of a new, empty program named "Init"

    // Appends a wall at wallCount. Callers keep the program within kMaxWalls.
    void AddWall(int x1, int y1, int x2, int y2);
    // Stores at most 27 characters of text, then a NUL.
    void setName(const char* text);

    float parStereoOnOff, parReverseOnOff, parGain, parDryOut, parAbsorb, parHiCut, parAbsorbAir,
        parHiCutAir, parNumRays, parSpeakerIn1, parSpeakerIn2, parSpeakerOut1, parSpeakerOut2,
        parSpeakerOut3, parSpeakerOut4, parSpeakerOut5, parEarsX, parEarsY, parSource1X,
        parSource1Y, parSource2X, parSource2Y, parHeadAngle, parDiffusion, parScale, parPreDelay,
        parPanX, parPanY, parSurround, parDiffSize, parDiffLoPass, parBend, parScatter, parHeight,
        parEQfreq1, parEQgain1, parEQwide1, parEQfreq2, parEQgain2, parEQwide2, parEQfreq3,
        parEQgain3, parEQwide3, parEQfreq4, parEQgain4, parEQwide4;
    int32_t wallCount;      // walls in use, 0..kMaxWalls
    Wall walls[kMaxWalls];  // entries at and beyond wallCount are not in use
    char name[kProgramNameSize];
};

constexpr int kStoredParameterCount = 46;
constexpr std::size_t kProgramSize = 9432;
static_assert(sizeof(OvintaProgram) == kProgramSize);
static_assert(offsetof(OvintaProgram, parSpeakerOut5) == 60);
static_assert(offsetof(OvintaProgram, parEarsX) == 64);
static_assert(offsetof(OvintaProgram, parEQwide4) == 180);
static_assert(offsetof(OvintaProgram, wallCount) == 184);
static_assert(offsetof(OvintaProgram, walls) == 188);
static_assert(offsetof(OvintaProgram, name) == 9404);

// The 45 programs as one block of memory, preceded by the bank chunk's
// reserved word, so that a bank chunk is handed to the host without a copy.
struct ProgramBank {
    uint32_t reserved; // never interpreted; loaded and saved unchanged
    OvintaProgram programs[kProgramCount];
};
constexpr std::size_t kBankSize = 424444;
static_assert(sizeof(ProgramBank) == kBankSize);
static_assert(offsetof(ProgramBank, programs) == 4);

// The field of a program that stores host parameter `index` (0..45), or null.
float* programField(OvintaProgram& program, int index);
const float* programField(const OvintaProgram& program, int index);

} // namespace ovinta
