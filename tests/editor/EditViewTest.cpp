// SPDX-License-Identifier: GPL-3.0-or-later
// The room edit view driven by scripted mouse input on the headless
// back-end: the drawing tools, vertex edits, the right-button sweep, marker
// drags and their drop rules, CLEAR, UNDO and the full room. Expected walls
// are worked out on the grid by hand.

#include "EditorFixture.h"
#include "tests/RoomEngineTestAccess.h"

#include "editor/screens/OVAnimScreen.h"
#include "model/Parameters.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace ovinta {

namespace {

using Ends = std::array<int, 4>; // x1, y1, x2, y2 in metres

class EditViewTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        openEditor();
        // Markers out of the way of the drawing gestures, on the bottom row.
        placeMarkers(48, 45, 45, 45, 42, 45, false);
        emptyRoom();
    }

    // Frame pixel of grid point (x, y): the screen sits at (8, 8).
    static CPoint at(int x, int y) { return CPoint(8 + 8 * x + 4, 8 + 8 * y + 4); }

    void emptyRoom(std::initializer_list<Ends> walls = {})
    {
        program().wallCount = 0;
        engine().setActiveWalls(nullptr, 0);
        for (const Ends& w : walls)
            ASSERT_TRUE(engine().insertWall(w[0], w[1], w[2], w[3]));
        idle(); // the redraw forgets the history of the room before
    }
    void useTool(int tag) { click(centre(tag)); }
    void setMirror(bool on)
    {
        if ((control(param::kMirror) > 0.5f) != on)
            click(centre(param::kMirror));
    }
    void undo() { click(centre(param::kUndo)); }
    void dragOnGrid(int x1, int y1, int x2, int y2, int buttons = kLButton)
    {
        window->drag(at(x1, y1), at(x2, y2), 8 * std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1, buttons);
        idle();
    }

    // The engine's walls, after checking that the program's list holds the
    // same walls index for index.
    std::vector<Ends> walls()
    {
        std::vector<Ends> out;
        const int n = RoomEngineTestAccess::wallCount(engine());
        EXPECT_EQ(program().wallCount, n) << "program and engine lists differ";
        for (int i = 0; i < n; ++i) {
            const Wall& w = RoomEngineTestAccess::walls(engine())[i];
            out.push_back({static_cast<int>(w.x1), static_cast<int>(w.y1), static_cast<int>(w.x2),
                           static_cast<int>(w.y2)});
            if (i < program().wallCount) {
                const Wall& p = program().walls[i];
                EXPECT_TRUE(p.x1 == w.x1 && p.y1 == w.y1 && p.x2 == w.x2 && p.y2 == w.y2) << "wall " << i;
            }
        }
        return out;
    }
    static std::vector<Ends> sorted(std::vector<Ends> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }
    OVAnimScreen& screen() { return *editor->getMainScreen(); }

    void placeMarkers(int lx, int ly, int s1x, int s1y, int s2x, int s2y, bool stereo)
    {
        const int metres[6] = {lx, ly, s1x, s1y, s2x, s2y};
        for (int i = 0; i < 6; ++i)
            effect->setParameter(param::kEarsX + i, static_cast<float>(metres[i]) / 50.0f);
        effect->setParameter(param::kStereoOnOff, stereo ? 1.0f : 0.0f);
        idle(2);
    }
    std::array<int, 6> markers()
    {
        const EngineValues& v = engine().derived();
        return {static_cast<int>(v.listenerX), static_cast<int>(v.listenerY), static_cast<int>(v.sourceX[0]),
                static_cast<int>(v.sourceY[0]), static_cast<int>(v.sourceX[1]), static_cast<int>(v.sourceY[1])};
    }
};

TEST_F(EditViewTest, ToolDragsAddTheirWallsAndOneUndoTakesThemAllBack)
{
    const struct {
        const char* name;
        int toolTag;
        bool mirror;
        int x1, y1, x2, y2;
        std::vector<Ends> expected;
    } cases[] = {
        {"line", param::kToolLines, false, 10, 10, 20, 30, {{10, 10, 20, 30}}},
        {"mirrored line", param::kToolLines, true, 10, 10, 20, 30, {{10, 10, 20, 30}, {40, 10, 30, 30}}},
        {"box: top, right, bottom, left", param::kToolBoxes, false, 30, 40, 10, 20,
         {{10, 20, 30, 20}, {30, 20, 30, 40}, {30, 40, 10, 40}, {10, 40, 10, 20}}},
        {"mirrored box: each side then its image", param::kToolBoxes, true, 2, 2, 4, 3,
         {{2, 2, 4, 2}, {48, 2, 46, 2}, {4, 2, 4, 3}, {46, 2, 46, 3}, {4, 3, 2, 3}, {46, 3, 48, 3}, {2, 3, 2, 2},
          {48, 3, 48, 2}}},
        {"box without height", param::kToolBoxes, false, 10, 20, 30, 20, {}},
        {"line of no length", param::kToolLines, false, 7, 7, 7, 7, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        emptyRoom();
        useTool(c.toolTag);
        setMirror(c.mirror);
        dragOnGrid(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(walls(), c.expected);
        EXPECT_EQ(engine().editorSignals().roomDirty, false);
        undo();
        EXPECT_TRUE(walls().empty());
    }
}

TEST_F(EditViewTest, PressesAndDragsOutsideTheGridClampToItsEdge)
{
    useTool(param::kToolLines);
    // From grid point (10, 10) to far right of and below the screen.
    window->drag(at(10, 10), CPoint(600, 500), 40);
    idle();
    EXPECT_EQ(walls(), (std::vector<Ends>{{10, 10, 50, 50}}));
}

TEST_F(EditViewTest, VertexEditsMoveJoinedEndsAsOneUndoStep)
{
    const struct {
        const char* name;
        std::vector<Ends> room;
        std::vector<std::array<int, 4>> drags; // EDIT drags from -> to
        std::vector<Ends> expected;            // as a set
        std::vector<Ends> afterUndo;           // as a set, one UNDO
    } cases[] = {
        {"shared vertex moves both walls",
         {{10, 10, 20, 10}, {20, 10, 20, 20}},
         {{20, 10, 25, 15}},
         {{10, 10, 25, 15}, {25, 15, 20, 20}},
         {{10, 10, 20, 10}, {20, 10, 20, 20}}},
        {"a vertex dropped onto another is joined to it",
         {{10, 10, 20, 10}, {30, 30, 40, 30}},
         {{20, 10, 30, 30}, {30, 30, 35, 5}},
         {{10, 10, 35, 5}, {35, 5, 40, 30}},
         {{10, 10, 30, 30}, {30, 30, 40, 30}}},
        {"an end dropped onto its other end removes the wall",
         {{10, 10, 20, 10}, {0, 0, 0, 9}},
         {{20, 10, 10, 10}},
         {{0, 0, 0, 9}},
         {{10, 10, 20, 10}, {0, 0, 0, 9}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        emptyRoom();
        for (const Ends& w : c.room)
            ASSERT_TRUE(engine().insertWall(w[0], w[1], w[2], w[3]));
        useTool(param::kToolEdit);
        for (const auto& d : c.drags)
            dragOnGrid(d[0], d[1], d[2], d[3]);
        EXPECT_EQ(sorted(walls()), sorted(c.expected));
        undo();
        EXPECT_EQ(sorted(walls()), sorted(c.afterUndo));
    }
}

TEST_F(EditViewTest, RightDragDeletesEveryWallItCrossesOneUndoStepEach)
{
    emptyRoom({{10, 5, 10, 15}, {20, 5, 20, 15}, {30, 5, 30, 15}});
    dragOnGrid(5, 10, 35, 10, kRButton);
    EXPECT_TRUE(walls().empty());
    EXPECT_EQ(screen().undoDepth(), 3);
    for (int back = 1; back <= 3; ++back) {
        undo();
        EXPECT_EQ(walls().size(), static_cast<size_t>(back));
    }
}

TEST_F(EditViewTest, BothButtonsEndTheGestureWithoutAction)
{
    emptyRoom({{10, 10, 20, 10}});
    const struct {
        const char* name;
        int toolTag;
        int x1, y1, x2, y2;
    } cases[] = {{"line", param::kToolLines, 5, 30, 25, 30}, {"vertex drag", param::kToolEdit, 20, 10, 30, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        useTool(c.toolTag);
        window->pressAt(at(c.x1, c.y1), kLButton);
        window->holdAt(at(c.x2, c.y2), kLButton);
        window->holdAt(at(c.x2, c.y2), kLButton | kRButton);
        window->releaseAt(at(c.x2, c.y2));
        idle();
        EXPECT_EQ(walls(), (std::vector<Ends>{{10, 10, 20, 10}}));
        EXPECT_EQ(screen().undoDepth(), 0);
    }
}

TEST_F(EditViewTest, MarkerDropRules)
{
    // Listener at (25, 40), source 1 at (25, 10), source 2 at (40, 40). A
    // drop onto a forbidden point leaves the marker at the last free point
    // of the (straight) drag.
    const struct {
        const char* name;
        bool stereo;
        int fromX, fromY, toX, toY;
        std::array<int, 6> expected; // listener, source 1, source 2 afterwards
    } cases[] = {
        {"listener to a free point", false, 25, 40, 30, 35, {30, 35, 25, 10, 40, 40}},
        {"listener never onto source 1", false, 25, 40, 25, 10, {25, 11, 25, 10, 40, 40}},
        {"listener onto the silent source 2 in mono", false, 25, 40, 40, 40, {40, 40, 25, 10, 40, 40}},
        {"listener never onto source 2 in stereo", true, 25, 40, 40, 40, {39, 40, 25, 10, 40, 40}},
        {"source 1 never onto the listener", false, 25, 10, 25, 40, {25, 40, 25, 39, 40, 40}},
        {"source 1 may share source 2's point", true, 25, 10, 40, 40, {25, 40, 40, 40, 40, 40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        placeMarkers(25, 40, 25, 10, 40, 40, c.stereo);
        dragOnGrid(c.fromX, c.fromY, c.toX, c.toY);
        EXPECT_EQ(markers(), c.expected);
    }
}

TEST_F(EditViewTest, MarkerDragReachesTheHostAndUndoSendsTheOldPositionBack)
{
    placeMarkers(25, 40, 10, 10, 40, 10, false);
    calls.clear();
    dragOnGrid(10, 10, 20, 30);
    idle(2); // the position controls report at their next draw
    ASSERT_FALSE(callsOf(audioMasterAutomate, param::kSource1X).empty());
    EXPECT_FLOAT_EQ(callsOf(audioMasterAutomate, param::kSource1X).back().value, 20 / 50.0f);
    EXPECT_FLOAT_EQ(callsOf(audioMasterAutomate, param::kSource1Y).back().value, 30 / 50.0f);
    EXPECT_FLOAT_EQ(program().parSource1X, 20 / 50.0f);

    calls.clear();
    undo();
    // The record follows the engine at once, before the host is told.
    EXPECT_FLOAT_EQ(program().parSource1X, 10 / 50.0f);
    EXPECT_FLOAT_EQ(program().parSource1Y, 10 / 50.0f);
    idle(2);
    ASSERT_FALSE(callsOf(audioMasterAutomate, param::kSource1X).empty());
    EXPECT_FLOAT_EQ(callsOf(audioMasterAutomate, param::kSource1X).back().value, 10 / 50.0f);
    EXPECT_FLOAT_EQ(callsOf(audioMasterAutomate, param::kSource1Y).back().value, 10 / 50.0f);
    EXPECT_FLOAT_EQ(effect->getParameter(param::kSource1X), 10 / 50.0f);
}

TEST_F(EditViewTest, ClearIsOneUndoStep)
{
    emptyRoom({{1, 1, 9, 1}, {9, 1, 9, 9}, {9, 9, 1, 9}});
    const std::vector<Ends> before = walls();
    click(centre(param::kClear));
    EXPECT_TRUE(walls().empty());
    undo();
    EXPECT_EQ(sorted(walls()), sorted(before));
    undo(); // the room as loaded: nothing more to undo
    EXPECT_EQ(walls().size(), before.size());
}

TEST_F(EditViewTest, UndoDoesNotReachEditsOfThePreviousProgram)
{
    useTool(param::kToolLines);
    dragOnGrid(1, 1, 5, 5);
    ASSERT_EQ(screen().undoDepth(), 1);
    effect->setProgram(1);
    idle();
    const std::vector<Ends> loaded = walls();
    ASSERT_FALSE(loaded.empty());
    undo();
    EXPECT_EQ(walls(), loaded);
    EXPECT_EQ(screen().undoDepth(), 0);
}

TEST_F(EditViewTest, AProgramLoadedDuringADragEndsItWithoutAnEdit)
{
    const struct {
        const char* name;
        int toolTag;
        int x1, y1, x2, y2;
    } cases[] = {{"line", param::kToolLines, 1, 1, 5, 5}, {"sweep", -1, 0, 25, 50, 25}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        effect->setProgram(0);
        idle();
        if (c.toolTag >= 0)
            useTool(c.toolTag);
        window->pressAt(at(c.x1, c.y1), c.toolTag >= 0 ? kLButton : kRButton);
        window->holdAt(at(c.x1 + 1, c.y1 + 1), c.toolTag >= 0 ? kLButton : kRButton);
        idle();
        effect->setProgram(2);
        idle();
        const std::vector<Ends> loaded = walls();
        for (int step = 1; step <= 50; ++step)
            window->holdAt(at(c.x1 + (c.x2 - c.x1) * step / 50, c.y1 + (c.y2 - c.y1) * step / 50),
                           c.toolTag >= 0 ? kLButton : kRButton);
        window->releaseAt(at(c.x2, c.y2));
        idle();
        EXPECT_EQ(walls(), loaded);
        EXPECT_EQ(screen().undoDepth(), 0);
    }
}

TEST_F(EditViewTest, AFullRoomAddsNothingAndSaysSo)
{
    const struct {
        const char* name;
        int wallsBefore;
        bool mirror;
    } cases[] = {{"the 257th wall", 256, false}, {"a mirrored line with room for one", 255, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        emptyRoom();
        for (int i = 0; i < c.wallsBefore; ++i)
            ASSERT_TRUE(engine().insertWall(0, i % 51, 50, i % 51));
        useTool(param::kToolLines);
        setMirror(c.mirror);
        dragOnGrid(10, 3, 20, 7);
        EXPECT_EQ(static_cast<int>(walls().size()), c.wallsBefore);
        EXPECT_EQ(screen().undoDepth(), 0);
        EXPECT_TRUE(screen().roomFullNoticeShown());
        idle(60); // about two seconds later the notice is gone
        EXPECT_FALSE(screen().roomFullNoticeShown());
    }
}

TEST_F(EditViewTest, TemporaryEqViewReturnsToTheModeShownBefore)
{
    const struct {
        const char* name;
        int viewButton; // -1: none pressed
        int shownDuring, shownAfter;
    } cases[] = {
        {"from the edit view", -1, kEQMode, kEditMode},
        {"from the 3D view", param::k3DView, kEQMode, k3DMode},
        {"while the EQ view is on", param::kEQView, kEQMode, kEQMode},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.viewButton >= 0)
            click(centre(c.viewButton));
        idle();
        effect->setParameter(param::kEQgain2, 0.7f);
        idle();
        EXPECT_EQ(screen().shownMode(), c.shownDuring);
        idle(30);
        EXPECT_EQ(screen().shownMode(), c.shownAfter);
        EXPECT_EQ(engine().editorSignals().tempViewMode, kTempViewNone);
        if (c.viewButton >= 0)
            click(centre(c.viewButton));
    }
}

TEST_F(EditViewTest, AViewButtonPressedDuringTheTemporaryEqViewKeepsItsView)
{
    effect->setParameter(param::kEQgain2, 0.7f);
    idle();
    ASSERT_EQ(screen().shownMode(), kEQMode);
    click(centre(param::k3DView));
    idle(40);
    EXPECT_EQ(screen().shownMode(), k3DMode);
    EXPECT_EQ(control(param::kEQView), 0.0f);
}

} // namespace

} // namespace ovinta
