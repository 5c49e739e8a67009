// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The factory rooms as plain data: one row per program with its name, the
// values of its parameter fields and its wall list. FactoryPrograms.cpp
// writes them into the engine's records.

#include "model/OvintaProgram.h"

namespace ovinta {

// One wall as whole-metre end points on the 50 x 50 m grid.
struct WallEnds {
    int x1, y1, x2, y2;
};

// The parameter fields a factory program sets itself, in record order. The
// fields every factory program shares (reverse off, stereo outputs, the input
// and output pins, panner front-back centre) are written by the loader.
struct FactoryValues {
    float stereo, gain, dry, absorb, hiCut, absorbAir, hiCutAir, numRays;
    float earsX, earsY, source1X, source1Y, source2X, source2Y, headAngle;
    float diffusion, scale, preDelay, panX, diffSize, diffLoPass, bend, scatter, height;
    float eqFreq1, eqGain1, eqWide1, eqFreq2, eqGain2, eqWide2;
    float eqFreq3, eqGain3, eqWide3, eqFreq4, eqGain4, eqWide4;
};

struct FactoryRoom {
    const char* name;
    FactoryValues values;
    const WallEnds* walls;
    int wallCount;
};

#define OV_WALLS(table) table, static_cast<int>(sizeof(table) / sizeof(table[0]))

constexpr int kFirstSpeechProgram = 25;
// Programs 0..24 and 25..44, in program order.
extern const FactoryRoom kConcertToDrumRooms[kFirstSpeechProgram];
extern const FactoryRoom kSpeechToMiscRooms[kProgramCount - kFirstSpeechProgram];

} // namespace ovinta
