// SPDX-License-Identifier: GPL-3.0-or-later
// The room editor's wall edits: both wall lists change together, geometry
// worked out by hand, the scan rules of the searches.

#include "tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace ovinta {

using enginetest::changes;
using enginetest::makeEngine;

namespace {

struct Ends {
    int x1, y1, x2, y2;
    bool operator==(const Ends&) const = default;
};

// An engine on program 0 with its walls replaced by `list`.
std::unique_ptr<RoomEngine> engineWith(const std::vector<Ends>& list)
{
    auto engine = makeEngine();
    enginetest::applyProgram(*engine, 0);
    for (int last = engine->currentProgramRecord().wallCount - 1; last >= 0; --last)
        engine->deleteWall(last);
    for (const Ends& w : list)
        EXPECT_TRUE(engine->insertWall(w.x1, w.y1, w.x2, w.y2));
    return engine;
}

// The active walls' ends; the program's list must hold the same walls.
std::vector<Ends> activeEnds(RoomEngine& engine)
{
    Wall walls[kMaxWalls];
    const int count = engine.copyWalls(walls);
    std::vector<Ends> ends;
    for (int i = 0; i < count; ++i)
        ends.push_back({static_cast<int>(walls[i].x1), static_cast<int>(walls[i].y1),
                        static_cast<int>(walls[i].x2), static_cast<int>(walls[i].y2)});
    return ends;
}

std::vector<Ends> programEnds(RoomEngine& engine)
{
    const OvintaProgram& p = engine.currentProgramRecord();
    std::vector<Ends> ends;
    for (int i = 0; i < p.wallCount; ++i)
        ends.push_back({static_cast<int>(p.walls[i].x1), static_cast<int>(p.walls[i].y1),
                        static_cast<int>(p.walls[i].x2), static_cast<int>(p.walls[i].y2)});
    return ends;
}

} // namespace

TEST(WallEdits, InsertAppendsToBothListsWithAUnitNormal)
{
    auto engine = engineWith({});
    const int before = changes(*engine);
    ASSERT_TRUE(engine->insertWall(10, 20, 13, 24)); // length 5
    Wall wall[kMaxWalls];
    ASSERT_EQ(engine->copyWalls(wall), 1);
    EXPECT_EQ(activeEnds(*engine), programEnds(*engine));
    EXPECT_FLOAT_EQ(wall[0].dx, 3.0f);
    EXPECT_FLOAT_EQ(wall[0].dy, 4.0f);
    EXPECT_FLOAT_EQ(wall[0].nx, -0.8f); // (-dy, dx) / 5
    EXPECT_FLOAT_EQ(wall[0].ny, 0.6f);
    EXPECT_EQ(wall[0].dragEnd, 0);
    EXPECT_GT(changes(*engine), before) << "a new wall retraces";
}

TEST(WallEdits, InsertRefusesWallsWithoutLengthOffThePlanOrBeyondTheList)
{
    auto engine = engineWith({});
    const Ends refused[] = {{5, 5, 5, 5}, {-1, 0, 10, 0}, {0, 0, 51, 0}, {0, 60, 0, 0}};
    for (const Ends& w : refused)
        EXPECT_FALSE(engine->insertWall(w.x1, w.y1, w.x2, w.y2)) << w.x1 << "," << w.y1;
    EXPECT_TRUE(activeEnds(*engine).empty());
    for (int i = 0; i < kMaxWalls; ++i)
        ASSERT_TRUE(engine->insertWall(0, i % 50, 50, i % 50));
    EXPECT_FALSE(engine->insertWall(1, 1, 2, 2));
    EXPECT_EQ(programEnds(*engine).size(), static_cast<std::size_t>(kMaxWalls));
}

TEST(WallEdits, DeletionsMoveLaterWallsDownInBothLists)
{
    const Ends a{1, 1, 9, 1}, b{9, 1, 9, 9}, c{9, 9, 1, 9};
    auto engine = engineWith({a, b, c});
    EXPECT_FALSE(engine->deleteWall(3));
    EXPECT_FALSE(engine->deleteWall(-1));
    ASSERT_TRUE(engine->deleteWall(1));
    EXPECT_EQ(activeEnds(*engine), (std::vector<Ends>{a, c}));
    EXPECT_EQ(programEnds(*engine), activeEnds(*engine));

    // By ends: scanning forward, a wall that moves into a freed place is not
    // looked at again, so of two equal neighbours only the first goes.
    engine = engineWith({a, a, b, a});
    EXPECT_EQ(engine->deleteWallByEnds(1, 1, 9, 1), 2);
    EXPECT_EQ(activeEnds(*engine), (std::vector<Ends>{a, b}));
    EXPECT_EQ(programEnds(*engine), activeEnds(*engine));
    EXPECT_EQ(engine->deleteWallByEnds(9, 1, 1, 1), 0) << "the ends must match in order";
}

TEST(WallEdits, VertexDragMovesJoinedEndsOfTheActiveListOnly)
{
    // Two walls meet at (10, 10); a third starts elsewhere.
    const Ends a{0, 10, 10, 10}, b{10, 10, 10, 0}, c{20, 20, 30, 20};
    auto engine = engineWith({a, b, c});
    EXPECT_FALSE(engine->dragVertex(5, 5, 6, 6, RoomEngine::VertexDrag::Pick)) << "no end there";
    ASSERT_TRUE(engine->dragVertex(10, 10, 12, 10, RoomEngine::VertexDrag::Pick));
    ASSERT_TRUE(engine->dragVertex(12, 10, 12, 14, RoomEngine::VertexDrag::Move));
    EXPECT_EQ(activeEnds(*engine), (std::vector<Ends>{{0, 10, 12, 14}, {12, 14, 10, 0}, c}));
    EXPECT_EQ(programEnds(*engine), (std::vector<Ends>{a, b, c})) << "the program keeps the walls until the edit is committed";
    // A move only takes marked ends: c's start is not marked.
    EXPECT_FALSE(engine->dragVertex(20, 20, 21, 21, RoomEngine::VertexDrag::Move));

    EXPECT_EQ(engine->findDraggedWall(12, 14), 0);
    EXPECT_EQ(engine->findDraggedWall(20, 20), -1);
    Wall walls[kMaxWalls];
    engine->copyWalls(walls);
    // Wall b now runs (12, 14) -> (10, 0): dx -2, dy -14, normal (14, -2) / |..|.
    const float length = std::sqrt(4.0f + 196.0f);
    EXPECT_FLOAT_EQ(walls[1].nx, 14.0f / length);
    EXPECT_FLOAT_EQ(walls[1].ny, -2.0f / length);
    EXPECT_EQ(walls[0].dragEnd, 2);
    EXPECT_EQ(walls[1].dragEnd, 1);
}

TEST(WallEdits, FindWallAtTakesTheFirstWallThroughThePoint)
{
    auto engine = engineWith({{0, 0, 10, 10}, {0, 5, 20, 5}, {4, 0, 4, 20}});
    const struct {
        int x, y, wall;
    } rows[] = {
        {5, 5, 0},   // on the diagonal and on the horizontal: the first in the list
        {15, 5, 1},  // on the horizontal only
        {4, 12, 2},  // on the vertical only
        {6, 5, 1},   // one step off the diagonal's line: |6*10 - 5*10| = 10, not < 10
        {11, 11, -1}, // on the diagonal's line, beyond its end
        {30, 30, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(engine->findWallAt(row.x, row.y), row.wall) << row.x << "," << row.y;
}

// Taps after full traces: delay and first gain of every slot in use. The
// first round only takes the ray set-up's silent taps.
std::vector<float> tracedTaps(RoomEngine& e)
{
    for (int round = 0; round < 2; ++round) {
        e.commitTaps();
        e.trace(4096);
        e.commitTaps();
    }
    std::vector<float> taps;
    for (int k = 0; k < e.derived().activeRays; ++k) {
        taps.push_back(static_cast<float>(e.raySlots()[k].tap.delay));
        taps.push_back(e.raySlots()[k].tap.gain[0]);
    }
    return taps;
}

TEST(WallEdits, TheTracerSeesEditedWallsAsIfTheRoomWereLoaded)
{
    // Enough walls for the tracer's grid, and an outline.
    std::vector<Ends> list;
    for (int i = 0; i < 30; ++i)
        list.push_back({1 + i, 3 + (i * 7) % 40, 10 + i, 45 - (i * 3) % 30});
    for (const Ends& w : {Ends{0, 0, 50, 0}, Ends{50, 0, 50, 50}, Ends{50, 50, 0, 50}, Ends{0, 50, 0, 0}})
        list.push_back(w);

    // The first wall's start dragged across the plan, and the corner (0, 0)
    // that two outline walls share.
    std::vector<Ends> moved = list;
    moved[0].x1 = 45, moved[0].y1 = 30;
    moved[30].x1 = 2, moved[30].y1 = 3;
    moved[33].x2 = 2, moved[33].y2 = 3;
    auto loaded = makeEngine();
    enginetest::applyProgram(*loaded, 0);
    std::vector<Wall> walls;
    for (const Ends& w : moved)
        walls.push_back(makeWall(w.x1, w.y1, w.x2, w.y2));
    loaded->setActiveWalls(walls.data(), static_cast<int>(walls.size()));

    auto edited = engineWith(list);
    ASSERT_TRUE(edited->dragVertex(0, 0, 1, 1, RoomEngine::VertexDrag::Pick));
    ASSERT_TRUE(edited->dragVertex(1, 1, 2, 3, RoomEngine::VertexDrag::Move));
    ASSERT_TRUE(edited->dragVertex(1, 3, 45, 30, RoomEngine::VertexDrag::Pick));
    ASSERT_EQ(activeEnds(*edited), moved);
    EXPECT_EQ(tracedTaps(*edited), tracedTaps(*loaded));
}

} // namespace ovinta
