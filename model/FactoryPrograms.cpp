// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the factory rooms (FactoryRooms*.cpp) into the 45 program records.

#include "model/FactoryPrograms.h"

#include "model/FactoryRooms.h"

namespace ovinta {

namespace {

void applyFactoryRoom(OvintaProgram& p, const FactoryRoom& room)
{
    const FactoryValues& v = room.values;
    // Shared by every factory program: forward play, stereo outputs, the
    // usual input pins, L and R routed to the first two host outputs.
    p.parReverseOnOff = 0.0f;
    p.parSurround = 0.0f;
    p.parSpeakerIn1 = 0.0f;
    p.parSpeakerIn2 = 1.0f;
    p.parSpeakerOut1 = 0.0f;
    p.parSpeakerOut2 = 1.0f;
    p.parSpeakerOut3 = p.parSpeakerOut4 = p.parSpeakerOut5 = -1.0f;
    p.parPanY = 0.5f;

    p.parStereoOnOff = v.stereo;
    p.parGain = v.gain;
    p.parDryOut = v.dry;
    p.parAbsorb = v.absorb;
    p.parHiCut = v.hiCut;
    p.parAbsorbAir = v.absorbAir;
    p.parHiCutAir = v.hiCutAir;
    p.parNumRays = v.numRays;
    p.parEarsX = v.earsX;
    p.parEarsY = v.earsY;
    p.parSource1X = v.source1X;
    p.parSource1Y = v.source1Y;
    p.parSource2X = v.source2X;
    p.parSource2Y = v.source2Y;
    p.parHeadAngle = v.headAngle;
    p.parDiffusion = v.diffusion;
    p.parScale = v.scale;
    p.parPreDelay = v.preDelay;
    p.parPanX = v.panX;
    p.parDiffSize = v.diffSize;
    p.parDiffLoPass = v.diffLoPass;
    p.parBend = v.bend;
    p.parScatter = v.scatter;
    p.parHeight = v.height;
    p.parEQfreq1 = v.eqFreq1;
    p.parEQgain1 = v.eqGain1;
    p.parEQwide1 = v.eqWide1;
    p.parEQfreq2 = v.eqFreq2;
    p.parEQgain2 = v.eqGain2;
    p.parEQwide2 = v.eqWide2;
    p.parEQfreq3 = v.eqFreq3;
    p.parEQgain3 = v.eqGain3;
    p.parEQwide3 = v.eqWide3;
    p.parEQfreq4 = v.eqFreq4;
    p.parEQgain4 = v.eqGain4;
    p.parEQwide4 = v.eqWide4;

    // Every list is far below kMaxWalls; the count is limited anyway so that
    // a bad table can never write past the record.
    p.wallCount = 0;
    for (int i = 0; i < room.wallCount && i < kMaxWalls; ++i)
        p.AddWall(room.walls[i].x1, room.walls[i].y1, room.walls[i].x2, room.walls[i].y2);
    p.setName(room.name);
}

} // namespace

void loadFactoryPrograms(OvintaProgram* programs)
{
    for (int k = 0; k < kFirstSpeechProgram; ++k)
        applyFactoryRoom(programs[k], kConcertToDrumRooms[k]);
    for (int k = kFirstSpeechProgram; k < kProgramCount; ++k)
        applyFactoryRoom(programs[k], kSpeechToMiscRooms[k - kFirstSpeechProgram]);
}

} // namespace ovinta
