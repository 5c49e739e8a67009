// SPDX-License-Identifier: GPL-3.0-or-later
// The factory set: names, wall counts and shared values as published, the
// three rooms given in full, and every field written by the loader.

#include "model/FactoryPrograms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace ovinta {

namespace {

struct Published {
    const char* name;
    int walls;
    int sources;
};

const Published kPublished[kProgramCount] = {
    {"Concert: Elmia Hall", 28, 2},     {"Concert: Far", 29, 2},
    {"Concert: Flat", 22, 2},           {"Concert: Theatre", 34, 2},
    {"Concert: Old Light", 24, 2},      {"Cathedral: Complex", 83, 2},
    {"Cathedral: Thick", 31, 2},        {"Cathedral: Glass", 20, 2},
    {"Cathedral: Soft-boom", 46, 2},    {"Cathedral: Rush", 36, 2},
    {"Vocal: Shine", 33, 2},            {"Vocal: Shout Room", 28, 1},
    {"Vocal: Intimate Slap", 12, 1},    {"Vocal: Backing", 29, 2},
    {"Vocal: Bright Space", 32, 2},     {"Chamber: Guitar Room", 20, 2},
    {"Chamber: Off the Walls", 18, 2},  {"Chamber: Vanilla Cone", 14, 2},
    {"Chamber: Goes Around", 25, 2},    {"Chamber: Heavy Curtains", 12, 2},
    {"Drum: Large Room", 19, 2},        {"Drum: Round Chamber", 16, 2},
    {"Drum: 200 Snares", 12, 2},        {"Drum: Stage Complex", 16, 2},
    {"Drum: Air Sizzle", 20, 2},        {"Speech: Subtle Space", 20, 2},
    {"Speech: Cellar Walk", 36, 2},     {"Speech: Ambient Hall", 10, 2},
    {"Speech: Drawing Room", 12, 1},    {"Speech: Station Announcer", 12, 2},
    {"Simple: Gymnasium", 4, 2},        {"Simple: Bathroom", 4, 2},
    {"Simple: Underground Tube", 4, 2}, {"Simple: Chorus Delay", 4, 1},
    {"Simple: Sewer Pipe", 4, 1},       {"Long: Silo Boom", 25, 2},
    {"Long: Tank Kick", 16, 2},         {"Long: Hollow Drone", 16, 2},
    {"Long: Horror Scream", 21, 2},     {"Long: Infinity and Before", 12, 2},
    {"Misc: Dome Reflect", 13, 1},      {"Misc: Warehouse Wonder", 58, 1},
    {"Misc: Lost in a Cave", 32, 1},    {"Misc: Museum Guide", 29, 1},
    {"Misc: Thick 'n' Mad", 10, 2},
};

std::unique_ptr<ProgramBank> factoryBank()
{
    auto bank = std::make_unique<ProgramBank>();
    loadFactoryPrograms(bank->programs);
    return bank;
}

TEST(FactoryPrograms, NamesWallCountsAndSourcesAsPublished)
{
    auto bank = factoryBank();
    int total = 0;
    for (int k = 0; k < kProgramCount; ++k) {
        const OvintaProgram& p = bank->programs[k];
        EXPECT_STREQ(p.name, kPublished[k].name) << k;
        EXPECT_EQ(p.wallCount, kPublished[k].walls) << k;
        EXPECT_EQ(p.parStereoOnOff, kPublished[k].sources == 2 ? 1.0f : 0.0f) << k;
        EXPECT_LE(p.wallCount, kMaxWalls);
        total += p.wallCount;
    }
    EXPECT_EQ(total, 1001);
}

TEST(FactoryPrograms, SharedValuesAndBend)
{
    auto bank = factoryBank();
    for (int k = 0; k < kProgramCount; ++k) {
        const OvintaProgram& p = bank->programs[k];
        EXPECT_EQ(p.parReverseOnOff, 0.0f) << k;
        EXPECT_EQ(p.parSurround, 0.0f) << k;
        EXPECT_EQ(p.parSpeakerIn1, 0.0f) << k;
        EXPECT_EQ(p.parSpeakerIn2, 1.0f) << k;
        EXPECT_EQ(p.parSpeakerOut1, 0.0f) << k;
        EXPECT_EQ(p.parSpeakerOut2, 1.0f) << k;
        EXPECT_EQ(p.parSpeakerOut3, -1.0f) << k;
        EXPECT_EQ(p.parSpeakerOut4, -1.0f) << k;
        EXPECT_EQ(p.parSpeakerOut5, -1.0f) << k;
        EXPECT_EQ(p.parPanY, 0.5f) << k;
        EXPECT_EQ(p.parBend, k == 44 ? 1.0f : 0.5f) << k;
    }
}

TEST(FactoryPrograms, EveryFieldIsWrittenAndNominal)
{
    // Records poisoned with NaN: anything the loader forgets stays NaN.
    auto bank = std::make_unique<ProgramBank>();
    for (OvintaProgram& p : bank->programs)
        for (int i = 0; i < kStoredParameterCount; ++i)
            *programField(p, i) = std::numeric_limits<float>::quiet_NaN();
    loadFactoryPrograms(bank->programs);
    for (int k = 0; k < kProgramCount; ++k) {
        const OvintaProgram& p = bank->programs[k];
        for (int i = 0; i < kStoredParameterCount; ++i) {
            const float v = *programField(p, i);
            ASSERT_TRUE(std::isfinite(v)) << "program " << k << " parameter " << i;
            if (i < 37) { // the knobs and buttons; pins are channel numbers
                EXPECT_GE(v, 0.0f) << "program " << k << " parameter " << i;
                EXPECT_LE(v, 1.0f) << "program " << k << " parameter " << i;
            }
        }
        // Positions are whole metres: 50 * v is an integer.
        for (float v : {p.parEarsX, p.parEarsY, p.parSource1X, p.parSource1Y, p.parSource2X,
                        p.parSource2Y}) {
            EXPECT_NEAR(50.0 * double(v), std::round(50.0 * double(v)), 1e-4) << k;
        }
    }
}

// Published values of programs 0, 30 and 33, in record order from parGain.
struct FullProgram {
    int number;
    float values[37]; // parGain .. parEQwide4 without the seven pins
};

TEST(FactoryPrograms, ThreeRoomsGivenInFull)
{
    const FullProgram rows[] = {
        {0, {0.268604f, 0.85f, 0.680112f, 0.84f, 0.327001f, 0.005f, 0.486667f, 0.5f, 0.5f, 0.32f,
             0.16f, 0.68f, 0.16f, 0.5f, 0.633333f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 0.5f, 0.555f,
             0.5f, 0.72f, 0.51f, 0.125f, 0.425f, 0.565f, 0.33f, 0.5f, 0.79f, 0.62f, 0.5f, 0.5f,
             0.9f, 0.535f, 0.5f}},
        {30, {0.45f, 0.71f, 0.475f, 0.775f, 0.545f, 0.545f, 0.485f, 0.5f, 0.62f, 0.4f, 0.5f, 0.6f,
              0.5f, 0.5f, 0.635f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.495f, 0.44f,
              0.085f, 0.18f, 0.765f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f}},
        {33, {0.375f, 0.735f, 0.4f, 0.5f, 0.3f, 0.0f, 0.21f, 0.5f, 0.5f, 0.5f, 0.48f, 0.54f, 0.5f,
              0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 0.5f, 0.785f, 0.5f, 0.0f, 0.1f, 0.25f,
              0.5f, 0.2f, 0.33f, 0.5f, 0.2f, 0.66f, 0.5f, 0.3f, 0.8f, 0.5f, 0.2f}},
    };
    auto bank = factoryBank();
    for (const FullProgram& row : rows) {
        const OvintaProgram& p = bank->programs[row.number];
        // Record order: gain, dry, absorb, hiCut, absorbAir, hiCutAir, numRays, then (after
        // the seven pins) earsX .. parEQwide4.
        const float* first = &p.parGain;
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(first[i], row.values[i]) << row.number << " field " << i;
        const float* later = &p.parEarsX;
        for (int i = 0; i < 30; ++i)
            EXPECT_EQ(later[i], row.values[7 + i]) << row.number << " field " << 7 + i;
    }
    const OvintaProgram& gym = bank->programs[30];
    const int gymWalls[4][4] = {{15, 16, 35, 16}, {15, 16, 15, 45}, {15, 45, 35, 45}, {35, 45, 35, 16}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(gym.walls[k].x1, float(gymWalls[k][0]));
        EXPECT_EQ(gym.walls[k].y1, float(gymWalls[k][1]));
        EXPECT_EQ(gym.walls[k].x2, float(gymWalls[k][2]));
        EXPECT_EQ(gym.walls[k].y2, float(gymWalls[k][3]));
    }
    const OvintaProgram& chorus = bank->programs[33];
    EXPECT_EQ(chorus.walls[1].x2, 15.0f);
    EXPECT_EQ(chorus.walls[3].y2, 50.0f);
    const OvintaProgram& hall = bank->programs[0];
    EXPECT_EQ(hall.walls[0].x1, 15.0f);
    EXPECT_EQ(hall.walls[0].nx, -0.0f);
    EXPECT_EQ(hall.walls[0].ny, 1.0f);
    EXPECT_EQ(hall.walls[13].x1, 30.0f); // (30, 40, 36, 40)
    EXPECT_EQ(hall.walls[27].y2, 36.0f); // (43, 27, 46, 36)
}

} // namespace

} // namespace ovinta
