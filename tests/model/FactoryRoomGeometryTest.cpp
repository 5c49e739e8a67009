// SPDX-License-Identifier: GPL-3.0-or-later
// Geometry of the factory rooms, checked with plain plane geometry in double
// precision: walls are real segments on the grid, and the listener and the
// sources stand inside the room, in one connected space, off every wall.

#include "model/FactoryPrograms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

namespace ovinta {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Rooms deliberately open to the outside: the corner walls of the chorus
// delay, the two walls of the sewer pipe and the cave's passage.
bool isOpenRoom(int program)
{
    return program == 33 || program == 34 || program == 42;
}

struct Point {
    double x, y;
};

struct Segment {
    double x1, y1, x2, y2;
};

std::vector<Segment> segments(const OvintaProgram& p)
{
    std::vector<Segment> out;
    for (int i = 0; i < p.wallCount; ++i) {
        const Wall& w = p.walls[i];
        out.push_back({double(w.x1), double(w.y1), double(w.x2), double(w.y2)});
    }
    return out;
}

std::unique_ptr<ProgramBank> factoryBank()
{
    auto bank = std::make_unique<ProgramBank>();
    loadFactoryPrograms(bank->programs);
    return bank;
}

// Whole metres, as the engine places them: nearest(50 * v).
Point metres(float vx, float vy)
{
    return {std::floor(50.0 * double(vx) + 0.5), std::floor(50.0 * double(vy) + 0.5)};
}

std::vector<Point> positions(const OvintaProgram& p)
{
    std::vector<Point> out = {metres(p.parEarsX, p.parEarsY), metres(p.parSource1X, p.parSource1Y)};
    if (p.parStereoOnOff != 0.0f)
        out.push_back(metres(p.parSource2X, p.parSource2Y));
    return out;
}

// Distance from the origin along the unit direction to the nearest wall, or
// infinity when the ray leaves without meeting one.
double castRay(const std::vector<Segment>& walls, Point from, double angle)
{
    const double rx = std::cos(angle), ry = std::sin(angle);
    double best = HUGE_VAL;
    for (const Segment& w : walls) {
        const double ex = w.x2 - w.x1, ey = w.y2 - w.y1;
        const double denom = rx * ey - ry * ex;
        if (std::fabs(denom) < 1e-12)
            continue;
        const double qx = w.x1 - from.x, qy = w.y1 - from.y;
        const double t = (qx * ey - qy * ex) / denom; // along the ray
        const double s = (qx * ry - qy * rx) / denom; // along the wall
        if (t > 0.0 && s >= 0.0 && s <= 1.0 && t < best)
            best = t;
    }
    return best;
}

double distanceToWall(const Segment& w, Point q)
{
    const double ex = w.x2 - w.x1, ey = w.y2 - w.y1;
    double s = ((q.x - w.x1) * ex + (q.y - w.y1) * ey) / (ex * ex + ey * ey);
    s = std::fmin(1.0, std::fmax(0.0, s));
    return std::hypot(w.x1 + s * ex - q.x, w.y1 + s * ey - q.y);
}

TEST(FactoryRoomGeometry, WallsAreWholeMetreSegmentsOnTheGrid)
{
    auto bank = factoryBank();
    for (int k = 0; k < kProgramCount; ++k) {
        const OvintaProgram& p = bank->programs[k];
        std::set<std::tuple<float, float, float, float>> seen;
        for (int i = 0; i < p.wallCount; ++i) {
            const Wall& w = p.walls[i];
            for (float c : {w.x1, w.y1, w.x2, w.y2}) {
                EXPECT_EQ(c, std::round(c)) << k << " wall " << i;
                EXPECT_GE(c, 0.0f) << k << " wall " << i;
                EXPECT_LE(c, 50.0f) << k << " wall " << i;
            }
            EXPECT_FALSE(w.x1 == w.x2 && w.y1 == w.y2) << k << " wall " << i;
            EXPECT_NEAR(std::hypot(double(w.nx), double(w.ny)), 1.0, 1e-6) << k << " wall " << i;
            EXPECT_EQ(w.dragEnd, 0);
            // The same segment twice (either direction) would be a drawing slip.
            const auto key = w.x1 < w.x2 || (w.x1 == w.x2 && w.y1 < w.y2)
                                 ? std::make_tuple(w.x1, w.y1, w.x2, w.y2)
                                 : std::make_tuple(w.x2, w.y2, w.x1, w.y1);
            EXPECT_TRUE(seen.insert(key).second) << k << " wall " << i;
        }
    }
}

TEST(FactoryRoomGeometry, ClosedRoomsSurroundListenerAndSources)
{
    auto bank = factoryBank();
    constexpr int kDirections = 720;
    for (int k = 0; k < kProgramCount; ++k) {
        const OvintaProgram& p = bank->programs[k];
        const std::vector<Segment> walls = segments(p);
        for (Point q : positions(p)) {
            int escaping = 0;
            for (int i = 0; i < kDirections; ++i) {
                // Offset by half a step so no ray runs exactly through a vertex.
                const double angle = 2.0 * kPi * (i + 0.5) / kDirections;
                if (std::isinf(castRay(walls, q, angle)))
                    ++escaping;
            }
            if (isOpenRoom(k))
                EXPECT_GT(escaping, 0) << k << " is meant to be open";
            else
                EXPECT_EQ(escaping, 0) << k << " at (" << q.x << ", " << q.y << ")";
            for (std::size_t i = 0; i < walls.size(); ++i)
                EXPECT_GT(distanceToWall(walls[i], q), 0.5) << k << " wall " << i;
        }
    }
}

// Flood fill on a 0.25 m raster: cells crossed by a wall are blocked; the
// listener's open cells must reach every source, be more than a cupboard
// (so nobody stands inside a pillar) and stay off the grid's edge unless the
// room is open.
class Raster {
public:
    explicit Raster(const OvintaProgram& p)
    {
        for (const Segment& w : segments(p))
            block(w);
    }

    // Open cells reachable from q (4-neighbour steps); sets touchesEdge.
    std::vector<bool> fill(Point q, bool& touchesEdge) const
    {
        std::vector<bool> reached(kCells * kCells, false);
        touchesEdge = false;
        std::vector<int> stack = {index(q)};
        while (!stack.empty()) {
            const int c = stack.back();
            stack.pop_back();
            if (c < 0 || reached[c] || blocked[c])
                continue;
            reached[c] = true;
            const int cx = c % kCells, cy = c / kCells;
            if (cx == 0 || cy == 0 || cx == kCells - 1 || cy == kCells - 1) {
                touchesEdge = true;
                continue;
            }
            stack.insert(stack.end(), {c - 1, c + 1, c - kCells, c + kCells});
        }
        return reached;
    }

    int index(Point q) const
    {
        const int cx = static_cast<int>(std::floor(q.x / kCell + 0.5)) + kMargin;
        const int cy = static_cast<int>(std::floor(q.y / kCell + 0.5)) + kMargin;
        return cy * kCells + cx;
    }

    static constexpr double kCell = 0.25;

private:
    static constexpr int kMargin = 2;
    static constexpr int kCells = 200 + 2 * kMargin + 1;

    void block(const Segment& w)
    {
        const double length = std::hypot(w.x2 - w.x1, w.y2 - w.y1);
        const int steps = static_cast<int>(length / (kCell / 8)) + 1;
        for (int i = 0; i <= steps; ++i) {
            const double x = w.x1 + (w.x2 - w.x1) * i / steps;
            const double y = w.y1 + (w.y2 - w.y1) * i / steps;
            // A point on a cell border blocks the cells on both sides.
            for (double ex : {-1e-6, 1e-6})
                for (double ey : {-1e-6, 1e-6}) {
                    const int cx = static_cast<int>(std::floor((x + ex) / kCell)) + kMargin;
                    const int cy = static_cast<int>(std::floor((y + ey) / kCell)) + kMargin;
                    blocked[cy * kCells + cx] = true;
                }
        }
    }

    std::vector<bool> blocked = std::vector<bool>(kCells * kCells, false);
};

TEST(FactoryRoomGeometry, ListenerAndSourcesShareOneSpace)
{
    auto bank = factoryBank();
    for (int k = 0; k < kProgramCount; ++k) {
        const OvintaProgram& p = bank->programs[k];
        const std::vector<Point> at = positions(p);
        const Raster raster(p);
        bool touchesEdge = false;
        const std::vector<bool> space = raster.fill(at[0], touchesEdge);
        EXPECT_EQ(touchesEdge, isOpenRoom(k)) << k;
        int cells = 0;
        for (bool reached : space)
            cells += reached ? 1 : 0;
        EXPECT_GT(double(cells) * Raster::kCell * Raster::kCell, 10.0) << k;
        for (std::size_t i = 1; i < at.size(); ++i)
            EXPECT_TRUE(space[raster.index(at[i])]) << k << " source " << i;
    }
}

} // namespace

} // namespace ovinta
