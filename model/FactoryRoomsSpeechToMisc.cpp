// SPDX-License-Identifier: GPL-3.0-or-later
// Factory rooms 25-44: speech spaces, simple shapes, long spaces and the odd ones.
// One plain table per room: its walls in AddWall order as whole-metre end
// points (x1, y1, x2, y2), then the program row with its name and values.

#include "model/FactoryRooms.h"

namespace ovinta {

namespace {

// 25 "Speech: Subtle Space": small study lined with shelves
const WallEnds kSpeechSubtleSpaceWalls[] = {
    {14, 16, 18, 17}, {18, 17, 23, 15}, {23, 15, 27, 17}, {27, 17, 32, 15}, {32, 15, 36, 16},
    {36, 16, 35, 20}, {35, 20, 37, 23}, {37, 23, 35, 27}, {35, 27, 37, 30}, {37, 30, 36, 34},
    {36, 34, 32, 33}, {32, 33, 27, 35}, {27, 35, 23, 33}, {23, 33, 18, 35}, {18, 35, 14, 34},
    {14, 34, 15, 30}, {15, 30, 13, 27}, {13, 27, 15, 23}, {15, 23, 13, 20}, {13, 20, 14, 16},
};

// 26 "Speech: Cellar Walk": vaulted corridor with alcoves and two piers
const WallEnds kSpeechCellarWalkWalls[] = {
    {8, 20, 13, 20}, {13, 20, 13, 15}, {13, 15, 18, 15}, {18, 15, 18, 20}, {18, 20, 27, 20},
    {27, 20, 27, 15}, {27, 15, 32, 15}, {32, 15, 32, 20}, {32, 20, 42, 20}, {42, 20, 42, 23},
    {42, 23, 46, 23}, {46, 23, 46, 27}, {46, 27, 42, 27}, {42, 27, 42, 30}, {42, 30, 35, 30},
    {35, 30, 35, 35}, {35, 35, 30, 35}, {30, 35, 30, 30}, {30, 30, 22, 30}, {22, 30, 22, 35},
    {22, 35, 17, 35}, {17, 35, 17, 30}, {17, 30, 8, 30}, {8, 30, 8, 27}, {8, 27, 4, 27},
    {4, 27, 4, 23}, {4, 23, 8, 23}, {8, 23, 8, 20}, {20, 24, 21, 24}, {21, 24, 21, 26},
    {21, 26, 20, 26}, {20, 26, 20, 24}, {33, 24, 34, 24}, {34, 24, 34, 26}, {34, 26, 33, 26},
    {33, 26, 33, 24},
};

// 27 "Speech: Ambient Hall": ten-sided hall
const WallEnds kSpeechAmbientHallWalls[] = {
    {43, 30, 36, 38}, {36, 38, 25, 41}, {25, 41, 14, 38}, {14, 38, 7, 30}, {7, 30, 7, 20},
    {7, 20, 14, 12}, {14, 12, 25, 9}, {25, 9, 36, 12}, {36, 12, 43, 20}, {43, 20, 43, 30},
};

// 28 "Speech: Drawing Room": bay window on one side, fireplace recess below
const WallEnds kSpeechDrawingRoomWalls[] = {
    {12, 14, 38, 14}, {38, 14, 38, 22}, {38, 22, 41, 24}, {41, 24, 41, 30}, {41, 30, 38, 32},
    {38, 32, 38, 38}, {38, 38, 27, 38}, {27, 38, 27, 40}, {27, 40, 23, 40}, {23, 40, 23, 38},
    {23, 38, 12, 38}, {12, 38, 12, 14},
};

// 29 "Speech: Station Announcer": long concourse with two pillars
const WallEnds kSpeechStationAnnouncerWalls[] = {
    {3, 10, 47, 10}, {47, 10, 47, 40}, {47, 40, 3, 40}, {3, 40, 3, 10}, {15, 20, 17, 20},
    {17, 20, 17, 22}, {17, 22, 15, 22}, {15, 22, 15, 20}, {33, 28, 35, 28}, {35, 28, 35, 30},
    {35, 30, 33, 30}, {33, 30, 33, 28},
};

// 30 "Simple: Gymnasium": plain rectangle
const WallEnds kSimpleGymnasiumWalls[] = {
    {15, 16, 35, 16}, {15, 16, 15, 45}, {15, 45, 35, 45}, {35, 45, 35, 16},
};

// 31 "Simple: Bathroom": small tiled box
const WallEnds kSimpleBathroomWalls[] = {
    {20, 20, 30, 20}, {30, 20, 30, 28}, {30, 28, 20, 28}, {20, 28, 20, 20},
};

// 32 "Simple: Underground Tube": long closed tube
const WallEnds kSimpleUndergroundTubeWalls[] = {
    {2, 21, 48, 21}, {48, 21, 48, 29}, {48, 29, 2, 29}, {2, 29, 2, 21},
};

// 33 "Simple: Chorus Delay": four walls that only cut the corners of the grid; open along its edges
const WallEnds kSimpleChorusDelayWalls[] = {
    {0, 40, 10, 50}, {0, 15, 15, 0}, {35, 0, 50, 10}, {50, 40, 40, 50},
};

// 34 "Simple: Sewer Pipe": two long parallel walls, open at both ends
const WallEnds kSimpleSewerPipeWalls[] = {
    {2, 23, 25, 23}, {25, 23, 48, 23}, {2, 27, 25, 27}, {25, 27, 48, 27},
};

// 35 "Long: Silo Boom": round silo
const WallEnds kLongSiloBoomWalls[] = {
    {46, 25, 45, 30}, {45, 30, 43, 35}, {43, 35, 40, 39}, {40, 39, 36, 43}, {36, 43, 31, 45},
    {31, 45, 26, 46}, {26, 46, 21, 46}, {21, 46, 16, 44}, {16, 44, 12, 41}, {12, 41, 8, 37},
    {8, 37, 5, 33}, {5, 33, 4, 28}, {4, 28, 4, 22}, {4, 22, 5, 17}, {5, 17, 8, 13},
    {8, 13, 12, 9}, {12, 9, 16, 6}, {16, 6, 21, 4}, {21, 4, 26, 4}, {26, 4, 31, 5},
    {31, 5, 36, 7}, {36, 7, 40, 11}, {40, 11, 43, 15}, {43, 15, 45, 20}, {45, 20, 46, 25},
};

// 36 "Long: Tank Kick": tank with rounded ends
const WallEnds kLongTankKickWalls[] = {
    {36, 15, 40, 16}, {40, 16, 44, 19}, {44, 19, 46, 23}, {46, 23, 46, 27}, {46, 27, 44, 31},
    {44, 31, 40, 34}, {40, 34, 36, 35}, {36, 35, 14, 35}, {14, 35, 10, 34}, {10, 34, 6, 31},
    {6, 31, 4, 27}, {4, 27, 4, 23}, {4, 23, 6, 19}, {6, 19, 10, 16}, {10, 16, 14, 15},
    {14, 15, 36, 15},
};

// 37 "Long: Hollow Drone": wide twelve-sided hollow round a central block
const WallEnds kLongHollowDroneWalls[] = {
    {48, 28, 43, 38}, {43, 38, 33, 44}, {33, 44, 21, 45}, {21, 45, 10, 40}, {10, 40, 3, 32},
    {3, 32, 2, 22}, {2, 22, 7, 12}, {7, 12, 17, 6}, {17, 6, 29, 5}, {29, 5, 40, 10},
    {40, 10, 47, 18}, {47, 18, 48, 28}, {24, 24, 26, 24}, {26, 24, 26, 26}, {26, 26, 24, 26},
    {24, 26, 24, 24},
};

// 38 "Long: Horror Scream": jagged hall
const WallEnds kLongHorrorScreamWalls[] = {
    {45, 25, 39, 29}, {39, 29, 41, 36}, {41, 36, 33, 35}, {33, 35, 33, 45}, {33, 45, 26, 41},
    {26, 41, 21, 43}, {21, 43, 19, 35}, {19, 35, 10, 39}, {10, 39, 10, 32}, {10, 32, 11, 27},
    {11, 27, 4, 22}, {4, 22, 11, 18}, {11, 18, 11, 12}, {11, 12, 18, 14}, {18, 14, 21, 6},
    {21, 6, 26, 9}, {26, 9, 32, 8}, {32, 8, 34, 14}, {34, 14, 42, 13}, {42, 13, 41, 20},
    {41, 20, 45, 25},
};

// 39 "Long: Infinity and Before": the largest room, twelve sides
const WallEnds kLongInfinityAndBeforeWalls[] = {
    {48, 31, 42, 42}, {42, 42, 31, 48}, {31, 48, 19, 48}, {19, 48, 8, 42}, {8, 42, 2, 31},
    {2, 31, 2, 19}, {2, 19, 8, 8}, {8, 8, 19, 2}, {19, 2, 31, 2}, {31, 2, 42, 8},
    {42, 8, 48, 19}, {48, 19, 48, 31},
};

// 40 "Misc: Dome Reflect": round plan that focuses its echoes
const WallEnds kMiscDomeReflectWalls[] = {
    {25, 5, 34, 7}, {34, 7, 41, 14}, {41, 14, 45, 23}, {45, 23, 44, 32}, {44, 32, 38, 40},
    {38, 40, 30, 44}, {30, 44, 20, 44}, {20, 44, 12, 40}, {12, 40, 6, 32}, {6, 32, 5, 23},
    {5, 23, 9, 14}, {9, 14, 16, 7}, {16, 7, 25, 5},
};

// 41 "Misc: Warehouse Wonder": L-shaped hall with thirteen rows of racks
const WallEnds kMiscWarehouseWonderWalls[] = {
    {3, 4, 47, 4}, {47, 4, 47, 46}, {47, 46, 20, 46}, {20, 46, 20, 40}, {20, 40, 3, 40},
    {3, 40, 3, 4}, {7, 8, 8, 8}, {8, 8, 8, 20}, {8, 20, 7, 20}, {7, 20, 7, 8},
    {11, 8, 12, 8}, {12, 8, 12, 20}, {12, 20, 11, 20}, {11, 20, 11, 8}, {15, 8, 16, 8},
    {16, 8, 16, 20}, {16, 20, 15, 20}, {15, 20, 15, 8}, {19, 8, 20, 8}, {20, 8, 20, 20},
    {20, 20, 19, 20}, {19, 20, 19, 8}, {23, 8, 24, 8}, {24, 8, 24, 20}, {24, 20, 23, 20},
    {23, 20, 23, 8}, {27, 8, 28, 8}, {28, 8, 28, 20}, {28, 20, 27, 20}, {27, 20, 27, 8},
    {31, 8, 32, 8}, {32, 8, 32, 20}, {32, 20, 31, 20}, {31, 20, 31, 8}, {35, 8, 36, 8},
    {36, 8, 36, 20}, {36, 20, 35, 20}, {35, 20, 35, 8}, {39, 8, 40, 8}, {40, 8, 40, 20},
    {40, 20, 39, 20}, {39, 20, 39, 8}, {26, 26, 27, 26}, {27, 26, 27, 38}, {27, 38, 26, 38},
    {26, 38, 26, 26}, {30, 26, 31, 26}, {31, 26, 31, 38}, {31, 38, 30, 38}, {30, 38, 30, 26},
    {34, 26, 35, 26}, {35, 26, 35, 38}, {35, 38, 34, 38}, {34, 38, 34, 26}, {38, 26, 39, 26},
    {39, 26, 39, 38}, {39, 38, 38, 38}, {38, 38, 38, 26},
};

// 42 "Misc: Lost in a Cave": winding passage open at both ends, with two boulders
const WallEnds kMiscLostInACaveWalls[] = {
    {14, 0, 11, 5}, {11, 5, 13, 9}, {13, 9, 8, 14}, {8, 14, 10, 18}, {10, 18, 5, 23},
    {5, 23, 8, 27}, {8, 27, 6, 31}, {6, 31, 10, 35}, {10, 35, 7, 39}, {7, 39, 12, 43},
    {12, 43, 10, 46}, {10, 46, 13, 48}, {13, 48, 12, 50}, {30, 0, 33, 4}, {33, 4, 31, 9},
    {31, 9, 36, 13}, {36, 13, 33, 18}, {33, 18, 37, 22}, {37, 22, 34, 27}, {34, 27, 38, 31},
    {38, 31, 33, 35}, {33, 35, 36, 39}, {36, 39, 31, 43}, {31, 43, 34, 46}, {34, 46, 30, 48},
    {30, 48, 32, 50}, {17, 20, 21, 22}, {21, 22, 18, 25}, {18, 25, 17, 20}, {25, 28, 29, 30},
    {29, 30, 26, 32}, {26, 32, 25, 28},
};

// 43 "Misc: Museum Guide": galleries joined by doorways, with display panels
const WallEnds kMiscMuseumGuideWalls[] = {
    {4, 6, 46, 6}, {46, 6, 46, 44}, {46, 44, 4, 44}, {4, 44, 4, 6}, {18, 6, 18, 11},
    {18, 14, 18, 23}, {18, 26, 18, 36}, {18, 39, 18, 44}, {32, 6, 32, 11}, {32, 14, 32, 23},
    {32, 26, 32, 36}, {32, 39, 32, 44}, {4, 19, 10, 19}, {13, 19, 23, 19}, {27, 19, 37, 19},
    {40, 19, 46, 19}, {4, 31, 10, 31}, {13, 31, 23, 31}, {27, 31, 37, 31}, {40, 31, 46, 31},
    {9, 10, 13, 10}, {25, 9, 25, 14}, {38, 12, 42, 12}, {8, 24, 8, 27}, {42, 24, 42, 27},
    {9, 37, 13, 37}, {25, 36, 25, 40}, {38, 37, 42, 37}, {23, 28, 27, 28},
};

// 44 "Misc: Thick 'n' Mad": five-pointed star
const WallEnds kMiscThickNMadWalls[] = {
    {25, 4, 31, 19}, {31, 19, 47, 20}, {47, 20, 35, 30}, {35, 30, 39, 46}, {39, 46, 25, 37},
    {25, 37, 11, 46}, {11, 46, 15, 30}, {15, 30, 3, 20}, {3, 20, 19, 19}, {19, 19, 25, 4},
};

} // namespace

// Columns of each row, after the name:
//   stereo, gain, dry, absorb, hiCut, absorbAir, hiCutAir, numRays,
//   earsX, earsY, source1X, source1Y, source2X, source2Y, headAngle,
//   diffusion, scale, preDelay, panX, diffSize, diffLoPass, bend, scatter, height,
//   EQ bands 1-4 as (freq, gain, width).
const FactoryRoom kSpeechToMiscRooms[] = {
    {"Speech: Subtle Space",
     {1.0f, 0.274f, 0.85f, 0.604f, 0.75f, 0.3f, 0.4f, 0.4f,
      0.5f, 0.58f, 0.44f, 0.44f, 0.56f, 0.44f, 0.5f,
      0.35f, 0.36f, 0.5f, 0.5f, 0.35f, 0.45f, 0.5f, 0.55f, 0.15f,
      0.2f, 0.38f, 0.5f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSpeechSubtleSpaceWalls)},
    {"Speech: Cellar Walk",
     {1.0f, 0.247f, 0.82f, 0.605f, 0.55f, 0.3f, 0.3f, 0.55f,
      0.76f, 0.5f, 0.22f, 0.48f, 0.22f, 0.52f, 0.5f,
      0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.55f, 0.5f, 0.5f, 0.3f,
      0.25f, 0.5f, 0.2f, 0.3f, 0.55f, 0.35f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSpeechCellarWalkWalls)},
    {"Speech: Ambient Hall",
     {1.0f, 0.196f, 0.85f, 0.721f, 0.75f, 0.35f, 0.4f, 0.55f,
      0.5f, 0.62f, 0.44f, 0.4f, 0.56f, 0.4f, 0.5f,
      0.65f, 0.55f, 0.51f, 0.5f, 0.563f, 0.6f, 0.5f, 0.55f, 0.45f,
      0.18f, 0.42f, 0.5f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSpeechAmbientHallWalls)},
    {"Speech: Drawing Room",
     {0.0f, 0.242f, 0.85f, 0.816f, 0.8f, 0.3f, 0.3f, 0.4f,
      0.62f, 0.5f, 0.4f, 0.52f, 0.44f, 0.52f, 0.5f,
      0.3f, 0.32f, 0.5f, 0.5f, 0.3f, 0.45f, 0.5f, 0.6f, 0.12f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSpeechDrawingRoomWalls)},
    {"Speech: Station Announcer",
     {1.0f, 0.195f, 0.75f, 0.776f, 0.45f, 0.3f, 0.25f, 0.65f,
      0.5f, 0.68f, 0.2f, 0.28f, 0.8f, 0.28f, 0.5f,
      0.7f, 0.75f, 0.5f, 0.5f, 0.558f, 0.7f, 0.5f, 0.4f, 0.55f,
      0.2f, 0.3f, 0.5f, 0.4f, 0.6f, 0.5f, 0.66f, 0.5f, 0.3f, 0.75f, 0.3f, 0.5f},
     OV_WALLS(kSpeechStationAnnouncerWalls)},
    {"Simple: Gymnasium",
     {1.0f, 0.45f, 0.71f, 0.475f, 0.775f, 0.545f, 0.545f, 0.485f,
      0.5f, 0.62f, 0.4f, 0.5f, 0.6f, 0.5f, 0.5f,
      0.635f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.495f, 0.44f,
      0.085f, 0.18f, 0.765f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSimpleGymnasiumWalls)},
    {"Simple: Bathroom",
     {1.0f, 0.187f, 0.8f, 0.3f, 0.35f, 0.1f, 0.05f, 0.45f,
      0.5f, 0.52f, 0.46f, 0.46f, 0.54f, 0.46f, 0.5f,
      0.4f, 0.25f, 0.5f, 0.5f, 0.3f, 0.4f, 0.5f, 0.2f, 0.06f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSimpleBathroomWalls)},
    {"Simple: Underground Tube",
     {1.0f, 0.205f, 0.8f, 0.58f, 0.5f, 0.3f, 0.3f, 0.6f,
      0.8f, 0.5f, 0.12f, 0.48f, 0.12f, 0.52f, 0.5f,
      0.55f, 0.55f, 0.5f, 0.5f, 0.564f, 0.55f, 0.5f, 0.3f, 0.15f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSimpleUndergroundTubeWalls)},
    {"Simple: Chorus Delay",
     {0.0f, 0.375f, 0.735f, 0.4f, 0.5f, 0.3f, 0.0f, 0.21f,
      0.5f, 0.5f, 0.5f, 0.48f, 0.54f, 0.5f, 0.5f,
      0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.785f, 0.5f, 0.0f, 0.1f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSimpleChorusDelayWalls)},
    {"Simple: Sewer Pipe",
     {0.0f, 0.198f, 0.78f, 0.252f, 0.55f, 0.3f, 0.35f, 0.6f,
      0.6f, 0.5f, 0.16f, 0.5f, 0.2f, 0.5f, 0.5f,
      0.5f, 0.45f, 0.5f, 0.5f, 0.55f, 0.5f, 0.5f, 0.15f, 0.08f,
      0.25f, 0.5f, 0.2f, 0.3f, 0.56f, 0.3f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kSimpleSewerPipeWalls)},
    {"Long: Silo Boom",
     {1.0f, 0.101f, 0.78f, 0.638f, 0.6f, 0.2f, 0.4f, 0.85f,
      0.62f, 0.66f, 0.36f, 0.36f, 0.44f, 0.34f, 0.5f,
      0.85f, 0.8f, 0.5f, 0.5f, 0.7f, 0.7f, 0.5f, 0.3f, 0.9f,
      0.12f, 0.62f, 0.5f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kLongSiloBoomWalls)},
    {"Long: Tank Kick",
     {1.0f, 0.104f, 0.78f, 0.129f, 0.65f, 0.15f, 0.35f, 0.75f,
      0.68f, 0.5f, 0.28f, 0.48f, 0.32f, 0.52f, 0.5f,
      0.8f, 0.7f, 0.5f, 0.5f, 0.75f, 0.6f, 0.5f, 0.2f, 0.7f,
      0.1f, 0.6f, 0.5f, 0.25f, 0.56f, 0.4f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kLongTankKickWalls)},
    {"Long: Hollow Drone",
     {1.0f, 0.137f, 0.78f, 0.7f, 0.75f, 0.2f, 0.5f, 0.8f,
      0.5f, 0.74f, 0.3f, 0.36f, 0.7f, 0.36f, 0.5f,
      0.9f, 0.85f, 0.5f, 0.5f, 0.7f, 0.8f, 0.5f, 0.5f, 0.85f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.75f, 0.4f, 0.4f},
     OV_WALLS(kLongHollowDroneWalls)},
    {"Long: Horror Scream",
     {1.0f, 0.083f, 0.78f, 0.595f, 0.4f, 0.2f, 0.2f, 0.8f,
      0.52f, 0.62f, 0.42f, 0.42f, 0.58f, 0.42f, 0.5f,
      0.85f, 0.8f, 0.5f, 0.5f, 0.6f, 0.8f, 0.5f, 0.8f, 0.8f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.6f, 0.58f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kLongHorrorScreamWalls)},
    {"Long: Infinity and Before",
     {1.0f, 0.089f, 0.75f, 0.832f, 0.5f, 0.15f, 0.3f, 1.0f,
      0.5f, 0.6f, 0.4f, 0.44f, 0.6f, 0.44f, 0.5f,
      0.95f, 1.0f, 0.5f, 0.5f, 0.8f, 0.85f, 0.5f, 0.5f, 1.0f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kLongInfinityAndBeforeWalls)},
    {"Misc: Dome Reflect",
     {0.0f, 0.095f, 0.8f, 0.401f, 0.45f, 0.25f, 0.25f, 0.7f,
      0.6f, 0.5f, 0.4f, 0.5f, 0.44f, 0.5f, 0.5f,
      0.55f, 0.6f, 0.5f, 0.5f, 0.557f, 0.6f, 0.5f, 0.1f, 0.5f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kMiscDomeReflectWalls)},
    {"Misc: Warehouse Wonder",
     {0.0f, 0.194f, 0.8f, 0.599f, 0.6f, 0.3f, 0.3f, 0.75f,
      0.88f, 0.48f, 0.2f, 0.6f, 0.24f, 0.6f, 0.5f,
      0.65f, 0.65f, 0.5f, 0.5f, 0.559f, 0.65f, 0.5f, 0.6f, 0.55f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kMiscWarehouseWonderWalls)},
    {"Misc: Lost in a Cave",
     {0.0f, 0.223f, 0.78f, 0.567f, 0.7f, 0.3f, 0.4f, 0.8f,
      0.52f, 0.76f, 0.4f, 0.24f, 0.44f, 0.24f, 0.5f,
      0.75f, 0.7f, 0.5f, 0.5f, 0.558f, 0.7f, 0.5f, 0.75f, 0.6f,
      0.12f, 0.55f, 0.5f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.45f, 0.4f},
     OV_WALLS(kMiscLostInACaveWalls)},
    {"Misc: Museum Guide",
     {0.0f, 0.119f, 0.82f, 0.59f, 0.55f, 0.3f, 0.3f, 0.65f,
      0.54f, 0.5f, 0.44f, 0.48f, 0.48f, 0.48f, 0.5f,
      0.6f, 0.55f, 0.5f, 0.5f, 0.561f, 0.55f, 0.5f, 0.5f, 0.5f,
      0.25f, 0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kMiscMuseumGuideWalls)},
    {"Misc: Thick 'n' Mad",
     {1.0f, 0.175f, 0.78f, 0.602f, 0.8f, 0.3f, 0.5f, 0.7f,
      0.5f, 0.62f, 0.44f, 0.5f, 0.56f, 0.5f, 0.5f,
      0.9f, 0.6f, 0.5f, 0.5f, 0.554f, 0.9f, 1.0f, 0.9f, 0.6f,
      0.12f, 0.6f, 0.5f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f},
     OV_WALLS(kMiscThickNMadWalls)},
};
static_assert(sizeof(kSpeechToMiscRooms) / sizeof(kSpeechToMiscRooms[0]) == kProgramCount - kFirstSpeechProgram);

} // namespace ovinta
