#pragma once
// The tracer's nearest-wall search: the plain scan over the wall list and a
// uniform grid over the plan that gives exactly the same answer while testing
// only the walls near the probe. The grid is rebuilt whenever the active walls
// change (under the tracer's lock) and holds only fixed arrays.

#include "plugin/OvintaProgram.h"

#include <bit>
#include <cmath>
#include <cstdint>

constexpr float kNoWallDistanceSquared = 1e11f; // best d² before any wall is found

// Result of a probe: the wall hit first (-1 none), the hit point and d².
struct WallHit {
    int wall = -1;
    float x = 0.0f, y = 0.0f;
    float distanceSquared = kNoWallDistanceSquared;
};

// Tests one wall against the probe from (px, py) along (jx, jy) and keeps it
// in `best` when it is nearer, or as near and earlier in the list; the wall
// numbered skipWall is never kept. Every search calls this same function, so
// the grid and the plain scan compute bit-identical values for every wall
// they both test.
inline void testWall(const Wall& wall, int index, int skipWall, float px, float py, float jx,
                     float jy, WallHit& best)
{
    const float wx = wall.dx;
    const float wy = wall.dy;
    const float n = wx * jy - wy * jx;
    const float ex = wall.x1 - px;
    const float ey = wall.y1 - py;
    const float s = (ey * jx - ex * jy) / n; // position on the wall
    const float t = (wx * ey - wy * ex) / n; // position on the probe
    const float tx = t * jx;
    const float ty = t * jy;
    const float d2 = tx * tx + ty * ty;
    // Decided without branches: which walls a probe meets is unpredictable,
    // and a mispredicted branch costs more than the whole test. A parallel
    // wall (|n| < 1e-10: also zero-length walls and probes) is refused
    // whatever its quotients hold; NaN fails every comparison.
    const bool crossing = (std::fabs(n) >= 1e-10f) & (s >= 0.0f) & (s <= 1.0f) & (t >= 0.0f)
                          & (t <= 1.0f) & (d2 > 0.0f) & (index != skipWall);
    const bool nearer = (d2 < best.distanceSquared)
                        | ((d2 == best.distanceSquared) & (index < best.wall));
    // Bit masks rather than conditional expressions, which the compiler may
    // turn back into branches.
    const int32_t keep = static_cast<int32_t>(crossing & nearer) - 1; // 0 take, -1 keep
    auto pick = [keep](float mine, float theirs) {
        const int32_t bitsMine = std::bit_cast<int32_t>(mine);
        const int32_t bitsTheirs = std::bit_cast<int32_t>(theirs);
        return std::bit_cast<float>((bitsMine & ~keep) | (bitsTheirs & keep));
    };
    best.wall = (index & ~keep) | (best.wall & keep);
    best.x = pick(px + tx, best.x);
    best.y = pick(py + ty, best.y);
    best.distanceSquared = pick(d2, best.distanceSquared);
}

// The reference search: every wall in list order, skipping skipWall.
WallHit scanWalls(const Wall* walls, int count, float px, float py, float jx, float jy,
                  int skipWall);

class WallGrid {
public:
    static constexpr int kCellsPerSide = 32;
    static constexpr int kCellCount = kCellsPerSide * kCellsPerSide;
    static constexpr int kEntryCapacity = kMaxWalls * 160;

    // Sorts the walls into cells. Walls with non-finite or far-away end points
    // are kept on a list that every search tests.
    void build(const Wall* walls, int count);

    // The same answer as scanWalls(walls, count, ...), provided walls and
    // count are what build() last saw. Falls back to the plain scan for
    // anything the grid cannot cover (non-finite probe, grid overflow).
    WallHit nearest(const Wall* walls, int count, float px, float py, float jx, float jy,
                    int skipWall);

    bool usable() const { return gridUsable; }
    int builtCount() const { return wallCountBuilt; }

private:
    bool wallTouchesCell(const Wall& wall, int cx, int cy) const;
    void cellRange(const Wall& wall, int& cx0, int& cy0, int& cx1, int& cy1) const;
    void walkCells(const Wall* walls, double qx, double qy, float px, float py, float jx, float jy,
                   double length, double tb, int skipWall, WallHit& best);
    void testCell(const Wall* walls, int cell, float px, float py, float jx, float jy,
                  int skipWall, WallHit& best);

    bool gridUsable = false;
    int wallCountBuilt = -1;
    double originX = 0.0, originY = 0.0; // metres, corner of cell (0, 0)
    double cellSize = 1.0;               // metres
    double cellsPerMetre = 1.0;          // 1 / cellSize
    uint16_t cellStart[kCellCount + 1] = {}; // walls of cell c: cellWalls[cellStart[c] .. cellStart[c + 1])
    uint16_t cellWalls[kEntryCapacity] = {};
    uint16_t looseWalls[kMaxWalls] = {}; // tested by every search
    int looseCount = 0;
    uint32_t seenMark[kMaxWalls] = {};   // search number that last tested each wall
    uint32_t searchNumber = 0;
};
