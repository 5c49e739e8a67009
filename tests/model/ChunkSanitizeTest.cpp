// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile chunks: whatever a project file holds, a loaded record has a wall
// count in 0..256, a terminated name, finite parameters and only walls the
// tracer can use.

#include "model/ProgramChunks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace ovinta {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::unique_ptr<ProgramBank> emptyBank()
{
    return std::make_unique<ProgramBank>();
}

// A program of `count` walls, wall k from (k, 1) to (k, 2) (k < 50).
OvintaProgram programWithWalls(int count)
{
    OvintaProgram p;
    for (int k = 0; k < count; ++k)
        p.AddWall(k, 1, k, 2);
    p.setName("Hostile");
    return p;
}

bool loadProgram(ProgramBank& bank, const OvintaProgram& p)
{
    std::vector<unsigned char> bytes(sizeof(OvintaProgram));
    std::memcpy(bytes.data(), &p, bytes.size());
    return loadChunkData(bank, 0, bytes.data(), static_cast<int64_t>(bytes.size()), true);
}

TEST(ChunkSanitize, WallCountIsLimitedToTheRecord)
{
    auto bank = emptyBank();
    OvintaProgram p = programWithWalls(40);
    for (int k = 40; k < kMaxWalls; ++k)
        p.walls[k] = makeWall(1, 1, 2, 3);
    p.wallCount = 100000;
    ASSERT_TRUE(loadProgram(*bank, p));
    EXPECT_EQ(bank->programs[0].wallCount, 256);

    p.wallCount = -7;
    ASSERT_TRUE(loadProgram(*bank, p));
    EXPECT_EQ(bank->programs[0].wallCount, 0);
}

TEST(ChunkSanitize, LegacyWallCountIsLimitedBeforeCopying)
{
    std::vector<unsigned char> legacy(kLegacyProgramSize, 0);
    const int32_t huge = 1 << 30;
    std::memcpy(legacy.data() + 180, &huge, 4);
    for (int k = 0; k < 256; ++k) {
        const float ends[4] = {1.0f, float(k % 50), 2.0f, float(k % 50)};
        std::memcpy(legacy.data() + 184 + 36 * k, ends, sizeof(ends));
    }
    OvintaProgram target;
    convertLegacyProgram(target, legacy.data());
    EXPECT_EQ(target.wallCount, 256);
    EXPECT_EQ(target.walls[255].y1, 5.0f); // 255 % 50
    // The name field of the earlier layout was never read as a wall.
    EXPECT_STREQ(target.name, "Init");
}

TEST(ChunkSanitize, NameWithoutTerminatorIsCut)
{
    auto bank = emptyBank();
    OvintaProgram p = programWithWalls(1);
    std::memset(p.name, 'Q', sizeof(p.name));
    ASSERT_TRUE(loadProgram(*bank, p));
    EXPECT_EQ(std::strlen(bank->programs[0].name), 27u);
    EXPECT_EQ(bank->programs[0].name[26], 'Q');

    // A terminated name keeps whatever follows its NUL, for byte-identical saves.
    std::memset(p.name, 'Z', sizeof(p.name));
    p.name[5] = '\0';
    ASSERT_TRUE(loadProgram(*bank, p));
    EXPECT_EQ(std::memcmp(bank->programs[0].name, p.name, sizeof(p.name)), 0);
}

TEST(ChunkSanitize, NonFiniteParametersTakeNewProgramValues)
{
    auto bank = emptyBank();
    OvintaProgram p = programWithWalls(2);
    p.parGain = kNaN;
    p.parScale = kInf;
    p.parEQfreq3 = -kInf;
    p.parSpeakerOut5 = kNaN;
    p.parScatter = kNaN;
    p.parHeight = 0.75f;
    ASSERT_TRUE(loadProgram(*bank, p));
    const OvintaProgram& q = bank->programs[0];
    // The values a new program is constructed with.
    EXPECT_EQ(q.parGain, 0.55f);
    EXPECT_EQ(q.parScale, 0.5f);
    EXPECT_EQ(q.parEQfreq3, 0.66f);
    EXPECT_EQ(q.parSpeakerOut5, -1.0f);
    EXPECT_EQ(q.parScatter, 0.0f);
    EXPECT_EQ(q.parHeight, 0.75f); // finite values are kept, even out of range
    for (int i = 0; i < kStoredParameterCount; ++i)
        EXPECT_TRUE(std::isfinite(*programField(q, i))) << i;
}

// Named rows of bad walls; wall 1 of a three-wall program is replaced by the
// row's wall, which must be dropped while walls 0 and 2 stay in order.
struct BadWall {
    const char* what;
    float x1, y1, x2, y2;
};

TEST(ChunkSanitize, UnusableWallsAreDropped)
{
    const BadWall rows[] = {
        {"NaN end point", kNaN, 3, 4, 5},
        {"infinite end point", 1, kInf, 4, 5},
        {"coincident end points", 7, 7, 7, 7},
        {"shorter than a centimetre", 7, 7, 7.005f, 7},
        {"tiny apart", 1e-30f, 0, 0, 0},
        {"below the grid", -1, 3, 4, 5},
        {"beyond the grid", 1, 3, 4, 50.5f},
        {"far away", 1e30f, 3, 4, 5},
    };
    for (const BadWall& row : rows) {
        auto bank = emptyBank();
        OvintaProgram p = programWithWalls(3);
        Wall& bad = p.walls[1];
        bad.x1 = row.x1;
        bad.y1 = row.y1;
        bad.x2 = row.x2;
        bad.y2 = row.y2;
        ASSERT_TRUE(loadProgram(*bank, p)) << row.what;
        const OvintaProgram& q = bank->programs[0];
        EXPECT_EQ(q.wallCount, 2) << row.what;
        EXPECT_EQ(q.walls[0].x1, 0.0f) << row.what;
        EXPECT_EQ(q.walls[1].x1, 2.0f) << row.what; // former wall 2 moved down
    }
}

TEST(ChunkSanitize, InconsistentWallShapeIsRecomputed)
{
    auto bank = emptyBank();
    OvintaProgram p = programWithWalls(4);
    // (10, 10) - (13, 14): a 3-4-5 triangle, normal (-4/5, 3/5).
    p.walls[0] = makeWall(10, 10, 13, 14);
    p.walls[0].nx = kNaN;
    p.walls[1] = makeWall(10, 10, 13, 14);
    p.walls[1].dx = 1e30f;
    p.walls[2] = makeWall(10, 10, 13, 14);
    p.walls[2].nx = 3.0f; // not a unit vector
    p.walls[2].ny = 4.0f;
    p.walls[3] = makeWall(10, 10, 13, 14);
    p.walls[3].dragEnd = 200;
    ASSERT_TRUE(loadProgram(*bank, p));
    const OvintaProgram& q = bank->programs[0];
    ASSERT_EQ(q.wallCount, 4);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(q.walls[k].dx, 3.0f) << k;
        EXPECT_EQ(q.walls[k].dy, 4.0f) << k;
        EXPECT_NEAR(q.walls[k].nx, -0.8f, 1e-6f) << k;
        EXPECT_NEAR(q.walls[k].ny, 0.6f, 1e-6f) << k;
    }
    EXPECT_EQ(q.walls[3].dragEnd, 0);
}

TEST(ChunkSanitize, WellFormedRecordIsLeftByteForByte)
{
    OvintaProgram p = programWithWalls(30);
    p.walls[4].nx = -p.walls[4].nx; // the tracer may have turned a normal
    p.walls[4].ny = -p.walls[4].ny;
    p.walls[6].dragEnd = 2;
    p.walls[7].reserved[0] = 0x99;
    OvintaProgram q = p;
    EXPECT_EQ(sanitizeProgram(q), 0);
    EXPECT_EQ(std::memcmp(&p, &q, sizeof(OvintaProgram)), 0);
}

TEST(ChunkSanitize, BankLoadCleansEveryProgram)
{
    auto source = std::make_unique<ProgramBank>();
    for (int k = 0; k < kProgramCount; ++k) {
        source->programs[k] = programWithWalls(3);
        source->programs[k].walls[k % 3].x2 = kNaN;
        source->programs[k].parDiffusion = kInf;
    }
    auto bank = emptyBank();
    ASSERT_TRUE(loadChunkData(*bank, 0, source.get(), sizeof(ProgramBank), false));
    for (int k = 0; k < kProgramCount; ++k) {
        EXPECT_EQ(bank->programs[k].wallCount, 2) << k;
        EXPECT_EQ(bank->programs[k].parDiffusion, 0.633333f) << k;
    }
}

} // namespace

} // namespace ovinta
