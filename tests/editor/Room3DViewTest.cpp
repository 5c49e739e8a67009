// SPDX-License-Identifier: GPL-3.0-or-later
// The 3D view drawn headless from a real engine: projections worked out by
// hand from the camera's geometry, faces dropped behind the eye, the
// painter's order checked as a strict order over many cameras, shading,
// markers and the camera drags.

#include "core/DirectEditorPort.h"
#include "editor/screens/OVRoom3DView.h"
#include "model/Parameters.h"
#include "tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace ovinta {

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr CColor kSource2{150, 255, 150, 255};

struct ProjectionCase {
    const char* name;
    float yaw, pitch, distance, pan;
    Point3D point;
    bool inFront;
    CPoint pixel;
};

TEST(OVRoom3DView, ProjectsKnownPoints)
{
    // 300 pixels per metre at 1 m depth, from the picture's centre (204, 204).
    const ProjectionCase cases[] = {
        {"centre", 0.0f, 0.0f, 55.0f, 0.0f, {0, 0, 0}, true, {204, 204}},
        {"10 m right at 55 m", 0.0f, 0.0f, 55.0f, 0.0f, {10, 0, 0}, true, {258, 204}},
        {"5 m down at 55 m", 0.0f, 0.0f, 55.0f, 0.0f, {0, 5, 0}, true, {204, 231}},
        {"far side, 80 m deep", 0.0f, 0.0f, 55.0f, 0.0f, {10, 0, -25}, true, {241, 204}},
        {"panned 10 m", 0.0f, 0.0f, 55.0f, 10.0f, {0, 0, 0}, true, {258, 204}},
        {"turned a quarter: z runs to the left", kHalfPi, 0.0f, 55.0f, 0.0f, {0, 0, 10}, true, {150, 204}},
        {"turned a quarter: x runs away", kHalfPi, 0.0f, 55.0f, 0.0f, {10, 0, 0}, true, {204, 204}},
        {"down: plan top is up", 0.0f, -kHalfPi, 55.0f, 0.0f, {0, 0, -10}, true, {204, 150}},
        {"down: right stays right", 0.0f, -kHalfPi, 55.0f, 0.0f, {10, 0, 0}, true, {258, 204}},
        {"down: height is depth", 0.0f, -kHalfPi, 55.0f, 0.0f, {0, 5, 0}, true, {204, 204}},
        {"just before the eye: pixel limit", 0.0f, 0.0f, 10.0f, 0.0f, {5, 0, 9.9999f}, true, {30204, 204}},
        {"behind the eye", 0.0f, 0.0f, 10.0f, 0.0f, {0, 0, 20}, false, {}},
        {"at the eye", 0.0f, 0.0f, 10.0f, 0.0f, {0, 0, 10}, false, {}},
        {"not a number", 0.0f, 0.0f, 55.0f, 0.0f, {NAN, 0, 0}, false, {}},
    };
    for (const ProjectionCase& c : cases) {
        const Projection3D projection(Camera3D{c.yaw, c.pitch, c.pan, c.distance});
        CPoint pixel{-1, -1};
        float along = 0.0f;
        EXPECT_EQ(projection.project(c.point, pixel, along), c.inFront) << c.name;
        if (c.inFront) {
            EXPECT_EQ(pixel, c.pixel) << c.name << ": " << pixel.h << ", " << pixel.v;
        }
    }
}

class Room3DViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = enginetest::makeEngine();
        port = std::make_unique<DirectEditorPort>(*engine);
        view = std::make_unique<OVRoom3DView>(*port, nullptr);
    }
    void setWalls(std::initializer_list<Wall> list)
    {
        const std::vector<Wall> walls(list);
        engine->setActiveWalls(walls.data(), static_cast<int>(walls.size()));
        view->requestRebuild();
    }
    void look(float yaw, float pitch, float distance, float pan = 0.0f)
    {
        view->setCamera(Camera3D{yaw, pitch, pan, distance});
    }
    int visible(FaceKind kind) const
    {
        int count = 0;
        for (const Face3D& f : view->faces())
            count += f.kind == kind && f.visible ? 1 : 0;
        return count;
    }

    std::unique_ptr<RoomEngine> engine;
    std::unique_ptr<DirectEditorPort> port; // the screen's way to the engine
    std::unique_ptr<OVRoom3DView> view;
    COffscreenContext picture{OVRoom3DView::kSize, OVRoom3DView::kSize};
};

TEST_F(Room3DViewTest, FacesReachingBehindTheEyeAreDroppedWhole)
{
    // Level view from 10 m: the eye stands at z = 10, 15 m before the
    // bottom edge of the plan (z = 25).
    setWalls({makeWall(20, 45, 30, 45), makeWall(20, 5, 30, 5)});
    look(0.0f, 0.0f, 10.0f);
    view->draw(picture);
    EXPECT_FALSE(view->faces()[0].visible) << "the wall at z = +20 lies behind the eye";
    EXPECT_TRUE(view->faces()[1].visible) << "the wall at z = -20 lies in front";
    // Tile rows reach z = 5 (j - 4); rows 0..5 end before the eye, row 6 touches it.
    EXPECT_EQ(visible(kFloorTile), 60);
}

TEST_F(Room3DViewTest, PainterOrderIsAStrictOrderOverManyCameras)
{
    // 256 random walls, some of them crossing or of no length; 100 tiles
    // that all tie with each other.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> metre(0, 50);
    std::vector<Wall> walls;
    for (int i = 0; i < kMaxWalls; ++i) {
        const int x = metre(random), y = metre(random);
        walls.push_back(i % 50 == 0 ? makeWall(x, y, x, y) : makeWall(x, y, metre(random), metre(random)));
    }
    engine->setActiveWalls(walls.data(), kMaxWalls);
    view->requestRebuild();
    std::uniform_real_distribution<float> yaw(-7.0f, 7.0f), pitch(-kHalfPi, 0.0f), distance(-20.0f, 150.0f),
        pan(-50.0f, 50.0f);
    for (int camera = 0; camera < 200; ++camera) {
        look(yaw(random), pitch(random), distance(random), pan(random));
        view->draw(picture);
        const auto order = view->drawOrder();
        bool pastTiles = false;
        for (size_t i = 0; i < order.size(); ++i) {
            ASSERT_FALSE(OVRoom3DView::drawsBefore(*order[i], *order[i])) << "irreflexive";
            const bool tile = order[i]->kind == kFloorTile;
            ASSERT_FALSE(tile && pastTiles) << "floor tiles come first, camera " << camera;
            pastTiles = pastTiles || !tile;
            if (i > 0 && !tile && order[i - 1]->kind != kFloorTile) {
                ASSERT_GE(std::trunc(order[i - 1]->depthKey), std::trunc(order[i]->depthKey))
                    << "farthest first";
            }
            // The sorted sequence must be exactly the comparison's order.
            for (size_t j = i + 1; j < order.size(); ++j) {
                ASSERT_TRUE(OVRoom3DView::drawsBefore(*order[i], *order[j]))
                    << camera << ": " << i << " < " << j;
                ASSERT_FALSE(OVRoom3DView::drawsBefore(*order[j], *order[i]))
                    << camera << ": " << j << " < " << i;
            }
        }
    }
}

struct ShadeCase {
    const char* name;
    Wall wall;
    float yaw;
    int shade;
};

TEST_F(Room3DViewTest, WallsFacingTheTurnedLightAreBrightest)
{
    // The light lies along the plan's y axis and turns with the view.
    const ShadeCase cases[] = {
        {"across the light", makeWall(10, 10, 40, 10), 0.0f, 255},
        {"along the light", makeWall(10, 10, 10, 40), 0.0f, 85},
        {"across, view turned a quarter", makeWall(10, 10, 40, 10), kHalfPi, 85},
        {"along, view turned a quarter", makeWall(10, 10, 10, 40), kHalfPi, 255},
        {"no length", makeWall(10, 10, 10, 10), 0.0f, 85},
    };
    for (const ShadeCase& c : cases) {
        setWalls({c.wall});
        look(c.yaw, -0.7f, 150.0f);
        view->draw(picture);
        ASSERT_TRUE(view->faces()[0].visible) << c.name;
        EXPECT_EQ(view->faces()[0].shade, c.shade) << c.name;
    }
}

TEST_F(Room3DViewTest, WallsGrowWithTheHeightControlOnRebuild)
{
    setWalls({makeWall(10, 10, 40, 10)});
    // Walls stand 0.5 H + 4 m tall, H = 40 x the height setting.
    const struct {
        float setting;
        float metres;
    } cases[] = {{0.0f, 4.0f}, {0.5f, 14.0f}, {1.0f, 24.0f}};
    for (const auto& c : cases) {
        engine->setParameter(param::kHeight, c.setting);
        view->requestRebuild();
        view->draw(picture);
        const Face3D& wall = view->faces()[0];
        EXPECT_FLOAT_EQ(wall.vertex[3].y - wall.vertex[0].y, c.metres) << c.setting;
    }
    // Without a rebuild request the model keeps its height.
    engine->setParameter(param::kHeight, 0.0f);
    view->draw(picture);
    EXPECT_FLOAT_EQ(view->faces()[0].vertex[3].y - view->faces()[0].vertex[0].y, 24.0f);
}

TEST_F(Room3DViewTest, SecondSourceIsDrawnOnlyWithStereoSources)
{
    setWalls({});
    // Source 2 at (35, 25) on the plan: 10 m right of the centre, seen
    // straight down from 55 m it sits at (258, 204).
    engine->setParameter(param::kSource2X, 35.0f / 50.0f);
    engine->setParameter(param::kSource2Y, 25.0f / 50.0f);
    look(0.0f, -kHalfPi, 55.0f);
    for (float stereo : {1.0f, 0.0f}) {
        engine->setParameter(param::kStereoOnOff, stereo);
        view->draw(picture);
        EXPECT_EQ(picture.getPixel(258, 204) == kSource2, stereo == 1.0f) << "stereo " << stereo;
    }
}

struct DragCase {
    const char* name;
    int buttons;
    CPoint to; // from (200, 200)
    Camera3D expect;
};

TEST_F(Room3DViewTest, DragsTurnPanAndZoomWithinTheirLimits)
{
    const Camera3D start{};
    const DragCase cases[] = {
        {"left across turns", kLButton, {300, 200}, {start.yaw - 1.0f, start.pitch, 0.0f, 55.0f}},
        {"left down tilts to straight down", kLButton, {200, 400}, {0.0f, -kHalfPi, 0.0f, 55.0f}},
        {"left up tilts to level", kLButton, {200, 0}, {0.0f, 0.0f, 0.0f, 55.0f}},
        {"right pans and zooms", kRButton, {240, 230}, {0.0f, start.pitch, 10.0f, 85.0f}},
        {"right far out", kRButton, {600, 400}, {0.0f, start.pitch, 50.0f, 150.0f}},
        {"right far in", kRButton, {0, 100}, {0.0f, start.pitch, -50.0f, -20.0f}},
        {"both buttons do nothing", kLButton | kRButton, {300, 300}, start},
    };
    for (const DragCase& c : cases) {
        view->setCamera(start);
        if (view->mouseDown(CPoint(200, 200), c.buttons) == kMouseEventTrack) {
            EXPECT_EQ(view->mouseMoved(c.to, c.buttons), kMouseEventTrack) << c.name;
            EXPECT_EQ(view->mouseUp(c.to, 0), kMouseEventHandled) << c.name;
        }
        EXPECT_FLOAT_EQ(view->camera().yaw, c.expect.yaw) << c.name;
        EXPECT_FLOAT_EQ(view->camera().pitch, c.expect.pitch) << c.name;
        EXPECT_FLOAT_EQ(view->camera().pan, c.expect.pan) << c.name;
        EXPECT_FLOAT_EQ(view->camera().distance, c.expect.distance) << c.name;
        EXPECT_EQ(view->mouseMoved(CPoint(0, 0), kLButton), kMouseEventNotHandled)
            << c.name << ": gesture over";
    }
}

} // namespace

} // namespace ovinta
