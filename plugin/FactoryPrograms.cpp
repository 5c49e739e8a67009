// The factory rooms. Each program is one row of parameter values and a wall
// list, written into a constructed record by applyFactoryEntry.

#include "plugin/FactoryPrograms.h"

#include <cstddef>

namespace {

struct WallEnds {
    int x1, y1, x2, y2;
};

// Values of one program, in record order (see OvintaProgram).
struct FactoryValues {
    float stereo, gain, dry, absorb, hiCut, absorbAir, hiCutAir, numRays;
    float earsX, earsY, source1X, source1Y, source2X, source2Y, headAngle;
    float diffusion, scale, preDelay, panX, diffSize, diffLoPass, bend, scatter, height;
    float eqFreq1, eqGain1, eqWide1, eqFreq2, eqGain2, eqWide2;
    float eqFreq3, eqGain3, eqWide3, eqFreq4, eqGain4, eqWide4;
};

struct FactoryEntry {
    const char* name;
    FactoryValues values;
    const WallEnds* walls;
    int wallCount;
};

void applyFactoryEntry(OvintaProgram& p, const FactoryEntry& e)
{
    const FactoryValues& v = e.values;
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

    p.wallCount = 0;
    for (int i = 0; i < e.wallCount; ++i)
        p.AddWall(e.walls[i].x1, e.walls[i].y1, e.walls[i].x2, e.walls[i].y2);
    p.setName(e.name);
}

// ---- 0 "Concert: Elmia Hall" ---------------------------------------------
const WallEnds kConcertElmiaHallWalls[] = {
    {15, 0, 35, 0},   {15, 0, 11, 11},  {11, 11, 9, 10},  {9, 10, 6, 17},   {6, 17, 8, 18},
    {8, 18, 5, 26},   {5, 26, 7, 27},   {7, 27, 4, 36},   {4, 36, 7, 37},   {7, 37, 7, 41},
    {7, 41, 12, 41},  {12, 41, 14, 40}, {14, 40, 20, 40}, {30, 40, 36, 40}, {36, 40, 38, 41},
    {38, 41, 43, 41}, {43, 41, 43, 37}, {43, 37, 46, 36}, {43, 27, 45, 26}, {45, 26, 42, 18},
    {42, 18, 44, 17}, {44, 17, 41, 10}, {41, 10, 39, 11}, {39, 11, 35, 0},  {20, 40, 22, 41},
    {22, 41, 28, 41}, {28, 41, 30, 40}, {43, 27, 46, 36},
};
//                       stereo gain      dry   absorb    hiCut absorbAir hiCutAir numRays
const FactoryValues kConcertElmiaHall = {1, 0.268604f, 0.85f, 0.680112f, 0.84f, 0.327001f, 0.005f, 0.486667f,
    // earsX earsY src1X src1Y src2X src2Y head
    0.5f, 0.5f, 0.32f, 0.16f, 0.68f, 0.16f, 0.5f,
    // diffusion scale preDelay panX diffSize diffLoPass bend scatter height
    0.633333f, 0.5f, 0.5f, 0.5f, 0.5f, 0.555f, 0.5f, 0.72f, 0.51f,
    // EQ bands 1-4: freq, gain, width
    0.125f, 0.425f, 0.565f, 0.33f, 0.5f, 0.79f, 0.62f, 0.5f, 0.5f, 0.9f, 0.535f, 0.5f};

// ---- 30 "Simple: Gymnasium" ----------------------------------------------
const WallEnds kSimpleGymnasiumWalls[] = {
    {15, 16, 35, 16}, {15, 16, 15, 45}, {15, 45, 35, 45}, {35, 45, 35, 16},
};
const FactoryValues kSimpleGymnasium = {1, 0.45f, 0.71f, 0.475f, 0.775f, 0.545f, 0.545f, 0.485f,
    0.5f, 0.62f, 0.4f, 0.5f, 0.6f, 0.5f, 0.5f,
    0.635f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.495f, 0.44f,
    0.085f, 0.18f, 0.765f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f};

// ---- 33 "Simple: Chorus Delay" -------------------------------------------
// The four walls only cut the corners of the grid: the room is open along its edges.
const WallEnds kSimpleChorusDelayWalls[] = {
    {0, 40, 10, 50}, {0, 15, 15, 0}, {35, 0, 50, 10}, {50, 40, 40, 50},
};
const FactoryValues kSimpleChorusDelay = {0, 0.375f, 0.735f, 0.4f, 0.5f, 0.3f, 0.0f, 0.21f,
    0.5f, 0.5f, 0.5f, 0.48f, 0.54f, 0.5f, 0.5f,
    0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.785f, 0.5f, 0.0f, 0.1f,
    0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f};

#define OV_WALLS(table) table, static_cast<int>(sizeof(table) / sizeof(table[0]))

// Programs whose rooms are not written yet keep their constructor defaults
// and carry only their names (name, nullptr values).
struct ProgramRow {
    const char* name;
    const FactoryValues* values;
    const WallEnds* walls;
    int wallCount;
};

const ProgramRow kPrograms[kProgramCount] = {
    {"Concert: Elmia Hall", &kConcertElmiaHall, OV_WALLS(kConcertElmiaHallWalls)},
    {"Concert: Far", nullptr, nullptr, 0},
    {"Concert: Flat", nullptr, nullptr, 0},
    {"Concert: Theatre", nullptr, nullptr, 0},
    {"Concert: Old Light", nullptr, nullptr, 0},
    {"Cathedral: Complex", nullptr, nullptr, 0},
    {"Cathedral: Thick", nullptr, nullptr, 0},
    {"Cathedral: Glass", nullptr, nullptr, 0},
    {"Cathedral: Soft-boom", nullptr, nullptr, 0},
    {"Cathedral: Rush", nullptr, nullptr, 0},
    {"Vocal: Shine", nullptr, nullptr, 0},
    {"Vocal: Shout Room", nullptr, nullptr, 0},
    {"Vocal: Intimate Slap", nullptr, nullptr, 0},
    {"Vocal: Backing", nullptr, nullptr, 0},
    {"Vocal: Bright Space", nullptr, nullptr, 0},
    {"Chamber: Guitar Room", nullptr, nullptr, 0},
    {"Chamber: Off the Walls", nullptr, nullptr, 0},
    {"Chamber: Vanilla Cone", nullptr, nullptr, 0},
    {"Chamber: Goes Around", nullptr, nullptr, 0},
    {"Chamber: Heavy Curtains", nullptr, nullptr, 0},
    {"Drum: Large Room", nullptr, nullptr, 0},
    {"Drum: Round Chamber", nullptr, nullptr, 0},
    {"Drum: 200 Snares", nullptr, nullptr, 0},
    {"Drum: Stage Complex", nullptr, nullptr, 0},
    {"Drum: Air Sizzle", nullptr, nullptr, 0},
    {"Speech: Subtle Space", nullptr, nullptr, 0},
    {"Speech: Cellar Walk", nullptr, nullptr, 0},
    {"Speech: Ambient Hall", nullptr, nullptr, 0},
    {"Speech: Drawing Room", nullptr, nullptr, 0},
    {"Speech: Station Announcer", nullptr, nullptr, 0},
    {"Simple: Gymnasium", &kSimpleGymnasium, OV_WALLS(kSimpleGymnasiumWalls)},
    {"Simple: Bathroom", nullptr, nullptr, 0},
    {"Simple: Underground Tube", nullptr, nullptr, 0},
    {"Simple: Chorus Delay", &kSimpleChorusDelay, OV_WALLS(kSimpleChorusDelayWalls)},
    {"Simple: Sewer Pipe", nullptr, nullptr, 0},
    {"Long: Silo Boom", nullptr, nullptr, 0},
    {"Long: Tank Kick", nullptr, nullptr, 0},
    {"Long: Hollow Drone", nullptr, nullptr, 0},
    {"Long: Horror Scream", nullptr, nullptr, 0},
    {"Long: Infinity and Before", nullptr, nullptr, 0},
    {"Misc: Dome Reflect", nullptr, nullptr, 0},
    {"Misc: Warehouse Wonder", nullptr, nullptr, 0},
    {"Misc: Lost in a Cave", nullptr, nullptr, 0},
    {"Misc: Museum Guide", nullptr, nullptr, 0},
    {"Misc: Thick 'n' Mad", nullptr, nullptr, 0},
};

} // namespace

void loadFactoryPrograms(OvintaProgram* programs)
{
    for (int k = 0; k < kProgramCount; ++k) {
        const ProgramRow& row = kPrograms[k];
        if (row.values != nullptr)
            applyFactoryEntry(programs[k], FactoryEntry{row.name, *row.values, row.walls, row.wallCount});
        else
            programs[k].setName(row.name);
    }
}
