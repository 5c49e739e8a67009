// SPDX-License-Identifier: GPL-3.0-or-later
// The wall grid must choose exactly the wall the plain scan chooses, with the
// same hit point and distance, for any room and any probe: rays from outside
// the plan, walls beyond it, collinear, duplicated and zero-length walls,
// equal distances, non-unit and zero directions, non-finite input.

#include "engine/ScatterTurn.h"
#include "engine/WallGrid.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>

namespace ovinta {

namespace {

Wall wallFrom(float x1, float y1, float x2, float y2)
{
    Wall w{};
    w.x1 = x1;
    w.y1 = y1;
    w.x2 = x2;
    w.y2 = y2;
    w.dx = x2 - x1;
    w.dy = y2 - y1;
    const float length = std::sqrt(w.dx * w.dx + w.dy * w.dy);
    w.nx = length > 0.0f ? -w.dy / length : 0.0f;
    w.ny = length > 0.0f ? w.dx / length : 0.0f;
    return w;
}

// A room of `count` walls of mixed kinds; whole-metre end points make equal
// distances and shared corners common.
void randomRoom(std::mt19937& rng, Wall* walls, int count)
{
    std::uniform_int_distribution<int> coordinate(-15, 65);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_real_distribution<float> fine(-20.0f, 70.0f);
    for (int i = 0; i < count; ++i) {
        const int k = kind(rng);
        if (k == 0 && i > 0) {
            walls[i] = walls[rng() % i]; // duplicate of an earlier wall
        } else if (k == 1) {
            const float x = static_cast<float>(coordinate(rng));
            const float y = static_cast<float>(coordinate(rng));
            walls[i] = wallFrom(x, y, x, y); // zero length
        } else if (k == 2) {
            const float y = static_cast<float>(coordinate(rng));
            const float x = static_cast<float>(coordinate(rng));
            walls[i] = wallFrom(x, y, x + static_cast<float>(rng() % 20), y); // collinear family
        } else if (k == 3) {
            walls[i] = wallFrom(fine(rng), fine(rng), fine(rng), fine(rng));
        } else if (k == 4) {
            walls[i] = wallFrom(static_cast<float>(coordinate(rng)) * 40.0f, 3.0f,
                                static_cast<float>(coordinate(rng)), 90.0f); // far outside
        } else {
            walls[i] = wallFrom(static_cast<float>(coordinate(rng)), static_cast<float>(coordinate(rng)),
                                static_cast<float>(coordinate(rng)), static_cast<float>(coordinate(rng)));
        }
    }
}

void expectSameHit(const WallHit& grid, const WallHit& plain, const char* what, int probe)
{
    ASSERT_EQ(grid.wall, plain.wall) << what << " probe " << probe;
    if (plain.wall >= 0) {
        ASSERT_EQ(grid.distanceSquared, plain.distanceSquared) << what << " probe " << probe;
        ASSERT_EQ(grid.x, plain.x) << what << " probe " << probe;
        ASSERT_EQ(grid.y, plain.y) << what << " probe " << probe;
    }
}

} // namespace

TEST(WallGrid, ChoosesTheSameWallAsThePlainScanInRandomRooms)
{
    std::mt19937 rng(20261207u);
    auto grid = std::make_unique<WallGrid>();
    Wall walls[kMaxWalls];
    std::uniform_real_distribution<float> start(-30.0f, 80.0f);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831855f);
    std::uniform_real_distribution<float> stretch(0.05f, 3.0f);
    std::uniform_int_distribution<int> whole(0, 50);
    int hits = 0, misses = 0;
    for (int room = 0; room < 300; ++room) {
        const int count = room == 0 ? 0 : static_cast<int>(rng() % (kMaxWalls + 1));
        randomRoom(rng, walls, count);
        grid->build(walls, count);
        ASSERT_TRUE(grid->usable());
        for (int probe = 0; probe < 400; ++probe) {
            float px, py;
            if (probe % 3 == 0) { // on whole metres, where walls meet
                px = static_cast<float>(whole(rng));
                py = static_cast<float>(whole(rng));
            } else {
                px = start(rng);
                py = start(rng);
            }
            const float a = angle(rng);
            const float length = probe % 7 == 0 ? 1.0f : stretch(rng);
            float dx = length * std::sin(a), dy = length * std::cos(a);
            if (probe % 11 == 0) { // axis-aligned probes run along collinear walls
                dx = probe % 2 == 0 ? 1.0f : 0.0f;
                dy = 1.0f - dx;
            }
            const float jx = 80.0f * dx, jy = 80.0f * dy;
            const int skip = count > 0 && probe % 2 == 0 ? static_cast<int>(rng() % count) : -1;
            const WallHit plain = scanWalls(walls, count, px, py, jx, jy, skip);
            const WallHit fast = grid->nearest(walls, count, px, py, jx, jy, skip);
            expectSameHit(fast, plain, "random", probe);
            if (::testing::Test::HasFatalFailure())
                return;
            (plain.wall >= 0 ? hits : misses) += 1;
        }
    }
    // The rooms exercise both outcomes plentifully.
    EXPECT_GT(hits, 50000);
    EXPECT_GT(misses, 5000);
}

// The grid tests walls four at a time; every lane must hold the bits the
// scalar test gives, for awkward walls as much as for ordinary ones.
TEST(WallGrid, TheFourLaneWallTestGivesTheScalarBits)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // x1, y1, wx, wy against the probe from (3, 4) along (80, 0):
    const float awkward[][4] = {
        {10, 0, 0, 8},      {83, 0, 0, 8},       {3, 4, 0, 1},      {10, 4, 5, 0},   // t = 1, t = 0 with s = 0, parallel
        {10, 0, 0, 0},      {10, 0, 1e-12f, 4},  {10, 0, 0, 1e-12f}, {10, 4, 0, 8},  // zero length, |n| below and at the threshold
        {10, -4, 0, 8},     {nan, 0, 0, 8},      {10, 0, inf, 8},   {1e-40f, 0, 0, 1e-40f}, // s = 1, NaN, inf, denormals
    };
    std::mt19937 rng(5u);
    std::uniform_real_distribution<float> any(-100.0f, 100.0f);
    float rows[4][64];
    for (int i = 0; i < 64; ++i)
        for (int f = 0; f < 4; ++f)
            rows[f][i] = i < 12 ? awkward[i][f] : any(rng);
    auto bits = [](float v) { return std::bit_cast<uint32_t>(v); };
    for (int g = 0; g < 64; g += 4) {
        const FloatLanes x1{_mm_loadu_ps(&rows[0][g])}, y1{_mm_loadu_ps(&rows[1][g])};
        const FloatLanes wx{_mm_loadu_ps(&rows[2][g])}, wy{_mm_loadu_ps(&rows[3][g])};
        const WallCrossingOf<FloatLanes> lanes = crossWallAt(x1, y1, wx, wy, 3.0f, 4.0f, 80.0f, 0.0f);
        float inside[4], tx[4], ty[4], d2[4];
        _mm_storeu_ps(inside, lanes.inside.v);
        _mm_storeu_ps(tx, lanes.tx.v);
        _mm_storeu_ps(ty, lanes.ty.v);
        _mm_storeu_ps(d2, lanes.d2.v);
        for (int lane = 0; lane < 4; ++lane) {
            const int i = g + lane;
            const WallCrossingOf<float> one =
                crossWallAt(rows[0][i], rows[1][i], rows[2][i], rows[3][i], 3.0f, 4.0f, 80.0f, 0.0f);
            EXPECT_EQ(bits(inside[lane]), one.inside != 0 ? 0xFFFFFFFFu : 0u) << i;
            EXPECT_EQ(bits(tx[lane]), bits(one.tx)) << i;
            EXPECT_EQ(bits(ty[lane]), bits(one.ty)) << i;
            EXPECT_EQ(bits(d2[lane]), bits(one.d2)) << i;
        }
    }
    // The awkward rows include crossings and refusals, both kept.
    EXPECT_NE(crossWallAt(10.0f, 0.0f, 0.0f, 8.0f, 3.0f, 4.0f, 80.0f, 0.0f).inside, 0);
    EXPECT_EQ(crossWallAt(10.0f, 4.0f, 5.0f, 0.0f, 3.0f, 4.0f, 80.0f, 0.0f).inside, 0);
}

TEST(WallGrid, EqualDistancesGoToTheEarlierWall)
{
    auto grid = std::make_unique<WallGrid>();
    // Walls 2 and 5 are the same segment; wall 4 crosses them at the point
    // where the probe meets both.
    Wall walls[6] = {wallFrom(0, 0, 1, 0),     wallFrom(40, 40, 41, 41), wallFrom(0, 20, 30, 20),
                     wallFrom(45, 5, 45, 6),   wallFrom(10, 10, 10, 30), wallFrom(0, 20, 30, 20)};
    grid->build(walls, 6);
    const WallHit plain = scanWalls(walls, 6, 10.0f, 5.0f, 0.0f, 80.0f, -1);
    const WallHit fast = grid->nearest(walls, 6, 10.0f, 5.0f, 0.0f, 80.0f, -1);
    // The probe runs along wall 4 (parallel: never hit) and meets 2 and 5 at 15 m.
    EXPECT_EQ(plain.wall, 2);
    EXPECT_EQ(plain.distanceSquared, 225.0f);
    expectSameHit(fast, plain, "tie", 0);
    // Skipping wall 2 leaves its twin.
    EXPECT_EQ(grid->nearest(walls, 6, 10.0f, 5.0f, 0.0f, 80.0f, 2).wall, 5);
}

TEST(WallGrid, TiesBetweenFarWallsAndGridWallsGoToTheEarlierWall)
{
    auto grid = std::make_unique<WallGrid>();
    // The same line x = 10 twice: once as a wall on the plan, once reaching
    // 2 km beyond it (tested apart from the cells). A probe along +x from
    // (5, 25) meets both at (10, 25), 5 m away: the earlier wall wins,
    // whichever of the two kinds it is.
    const Wall onPlan = wallFrom(10, 0, 10, 50);
    const Wall farOut = wallFrom(10, -2000, 10, 2000);
    const Wall pairs[2][2] = {{onPlan, farOut}, {farOut, onPlan}};
    for (const auto& pair : pairs) {
        Wall walls[3] = {pair[0], pair[1], wallFrom(30, 0, 30, 50)};
        grid->build(walls, 3);
        const WallHit fast = grid->nearest(walls, 3, 5.0f, 25.0f, 80.0f, 0.0f, -1);
        EXPECT_EQ(fast.wall, 0);
        EXPECT_EQ(fast.distanceSquared, 25.0f);
        EXPECT_EQ(fast.x, 10.0f);
        EXPECT_EQ(fast.y, 25.0f);
        // Leaving wall 0, the twin is met at the same point.
        EXPECT_EQ(grid->nearest(walls, 3, 5.0f, 25.0f, 80.0f, 0.0f, 0).wall, 1);
    }
}

// A long slanted wall lies in many cells of a nearly parallel probe's walk,
// some of them apart from each other; testing it again must change nothing.
TEST(WallGrid, AWallMetInSeveralCellsOfOneWalkIsFoundOnce)
{
    auto grid = std::make_unique<WallGrid>();
    Wall walls[3] = {wallFrom(0, 0, 50, 0), wallFrom(0, 10, 50, 12), wallFrom(0, 50, 50, 50)};
    grid->build(walls, 3);
    // From (1, 11), sloping down 1 in 480: the probe and wall 1 cross once,
    // where 11 - (x - 1)/480 = 10 + x/25, i.e. x = 481 * 25 / 505.
    const WallHit fast = grid->nearest(walls, 3, 1.0f, 11.0f, 80.0f, -80.0f / 480.0f, -1);
    const WallHit plain = scanWalls(walls, 3, 1.0f, 11.0f, 80.0f, -80.0f / 480.0f, -1);
    EXPECT_EQ(fast.wall, 1);
    EXPECT_NEAR(fast.x, 481.0f * 25.0f / 505.0f, 1e-3f);
    expectSameHit(fast, plain, "slanted", 0);
}

TEST(WallGrid, NonFiniteWallsAndProbesAreHandledLikeThePlainScan)
{
    auto grid = std::make_unique<WallGrid>();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Wall walls[4] = {wallFrom(0, 10, 50, 10), wallFrom(nan, 0, 5, 5), wallFrom(inf, 20, 0, 20),
                     wallFrom(0, 30, 50, 30)};
    grid->build(walls, 4);
    const float probes[][4] = {{25, 0, 0, 80},   {25, 40, 0, -80}, {nan, 0, 0, 80},
                               {25, 0, inf, 80}, {25, 0, 0, 0},    {1e30f, 0, -80, 0}};
    int probe = 0;
    for (const auto& p : probes) {
        const WallHit plain = scanWalls(walls, 4, p[0], p[1], p[2], p[3], -1);
        const WallHit fast = grid->nearest(walls, 4, p[0], p[1], p[2], p[3], -1);
        expectSameHit(fast, plain, "non-finite", probe++);
    }
    EXPECT_EQ(scanWalls(walls, 4, 25, 0, 0, 80, -1).wall, 0);
    EXPECT_EQ(grid->nearest(walls, 4, 25, 40, 0, -80, -1).wall, 3);
}

TEST(WallGrid, AStaleGridFallsBackToTheScan)
{
    auto grid = std::make_unique<WallGrid>();
    Wall walls[2] = {wallFrom(0, 10, 50, 10), wallFrom(0, 5, 50, 5)};
    grid->build(walls, 1);
    // Asked about two walls while built for one: the answer still sees both.
    EXPECT_EQ(grid->nearest(walls, 2, 25, 0, 0, 80, -1).wall, 1);
}

// The tracer's fast scatter turn must give the float values the library's
// double cosine and sine round to, over every turn a reflection can make.
TEST(ScatterTurn, MatchesTheLibraryAfterRoundingToFloat)
{
    int checked = 0;
    for (int i = -200000; i <= 200000; ++i) {
        const float turn = 0.25f * static_cast<float>(i) / 200000.0f;
        double c, s;
        turnCosSin(static_cast<double>(turn), c, s);
        const double u = static_cast<double>(turn);
        ASSERT_EQ(static_cast<float>(c), static_cast<float>(std::cos(u))) << turn;
        ASSERT_EQ(static_cast<float>(s), static_cast<float>(std::sin(u))) << turn;
        EXPECT_NEAR(c, std::cos(u), 4e-16);
        ++checked;
    }
    double c, s;
    turnCosSin(2.0, c, s); // beyond the series: the library answers
    EXPECT_EQ(c, std::cos(2.0));
    EXPECT_EQ(s, std::sin(2.0));
    EXPECT_EQ(checked, 400001);
}

} // namespace ovinta
