// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tracer's nearest-wall search: the plain scan over the wall list and a
// uniform grid over the plan that gives exactly the same answer while testing
// only the walls near the probe. The grid is rebuilt whenever the active walls
// change (under the tracer's lock) and holds only fixed arrays.

#include "engine/FloatLanes.h"
#include "model/OvintaProgram.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace ovinta {

constexpr float kNoWallDistanceSquared = 1e11f; // best d² before any wall is found

// Result of a probe: the wall hit first (-1 none), the hit point and d².
struct WallHit {
    int wall = -1;
    float x = 0.0f, y = 0.0f;
    float distanceSquared = kNoWallDistanceSquared;
};

// The probe from (px, py) along (jx, jy) against one wall (F = float) or
// four walls at once (F = FloatLanes), given the wall's first end (x1, y1)
// and its direction (wx, wy): whether it crosses the wall within both
// segments (`inside`: a bool, or a lane mask), the offset (tx, ty) from the
// probe's start to the crossing and its square distance d2. Every search
// computes a wall's values with this one formula, so they are bit-identical
// whichever search tests the wall.
template <class F>
struct WallCrossingOf {
    decltype((F{} >= 0.0f) & (F{} >= 0.0f)) inside; // int, or FloatLanes
    F tx, ty, d2;
};

inline float magnitude(float v) { return std::fabs(v); }

template <class F>
inline WallCrossingOf<F> crossWallAt(F x1, F y1, F wx, F wy, float px, float py, float jx,
                                     float jy)
{
    const F n = wx * jy - wy * jx;
    const F ex = x1 - px;
    const F ey = y1 - py;
    const F s = (ey * jx - ex * jy) / n; // position on the wall
    const F t = (wx * ey - wy * ex) / n; // position on the probe
    const F tx = t * jx;
    const F ty = t * jy;
    const F d2 = tx * tx + ty * ty;
    // Decided without branches: which walls a probe meets is unpredictable,
    // and a mispredicted branch costs more than the whole test. A parallel
    // wall (|n| < 1e-10: also zero-length walls and probes) is refused
    // whatever its quotients hold; NaN fails every comparison.
    const auto inside = (magnitude(n) >= 1e-10f) & (s >= 0.0f) & (s <= 1.0f) & (t >= 0.0f)
                        & (t <= 1.0f) & (d2 > 0.0f);
    return {inside, tx, ty, d2};
}

// One wall numbered `index`, never crossing for the wall numbered skipWall.
struct WallCrossing {
    bool crossing;
    float tx, ty, d2;
};

inline WallCrossing crossWall(const Wall& wall, int index, int skipWall, float px, float py,
                              float jx, float jy)
{
    const WallCrossingOf<float> c = crossWallAt(wall.x1, wall.y1, wall.dx, wall.dy, px, py, jx, jy);
    return {(c.inside & (index != skipWall)) != 0, c.tx, c.ty, c.d2};
}

// Tests one wall against the probe and keeps it in `best` when it is
// nearer, or as near and earlier in the list.
inline void testWall(const Wall& wall, int index, int skipWall, float px, float py, float jx,
                     float jy, WallHit& best)
{
    const WallCrossing c = crossWall(wall, index, skipWall, px, py, jx, jy);
    const bool nearer = (c.d2 < best.distanceSquared)
                        | ((c.d2 == best.distanceSquared) & (index < best.wall));
    // Bit masks rather than conditional expressions, which the compiler may
    // turn back into branches.
    const int32_t keep = static_cast<int32_t>(c.crossing & nearer) - 1; // 0 take, -1 keep
    auto pick = [keep](float mine, float theirs) {
        const int32_t bitsMine = std::bit_cast<int32_t>(mine);
        const int32_t bitsTheirs = std::bit_cast<int32_t>(theirs);
        return std::bit_cast<float>((bitsMine & ~keep) | (bitsTheirs & keep));
    };
    best.wall = (index & ~keep) | (best.wall & keep);
    best.x = pick(px + c.tx, best.x);
    best.y = pick(py + c.ty, best.y);
    best.distanceSquared = pick(c.d2, best.distanceSquared);
}

// The order testWall keeps, as one unsigned key: the bits of d2 above the
// wall number. A crossing has d2 > 0, and positive floats order as their
// bits do, so "nearer, or as near and earlier" is "smaller key", and the
// wall a run of tests keeps is the one with the smallest key, whatever the
// order of the tests. Keeping the minimum is one compare and one move per
// wall, where testWall's choice holds every test up for the one before.
using WallKey = uint64_t;

// Refuses d2 >= kNoWallDistanceSquared, as testWall does.
constexpr WallKey kNoWallKey =
    static_cast<WallKey>(std::bit_cast<uint32_t>(kNoWallDistanceSquared)) << 32;

// The reference search: every wall in list order, skipping skipWall.
WallHit scanWalls(const Wall* walls, int count, float px, float py, float jx, float jy,
                  int skipWall);

class WallGrid {
public:
    // Coarse cells: a probe then crosses one or two of them, and testing a
    // few more walls four at a time costs less than stepping through more
    // cells (each step is a hard-to-predict branch).
    static constexpr int kCellsPerSide = 8;
    static constexpr int kCellCount = kCellsPerSide * kCellsPerSide;
    // Every list is tested four walls at a time and padded to a multiple of
    // four with kPadWall, a wall that no probe crosses.
    static constexpr int kLaneCount = 4;
    static constexpr int kPadWall = kMaxWalls;
    // A wall enters a list at most once per cell, and each cell's list gets
    // at most three pad entries.
    static constexpr int kEntryCapacity = kMaxWalls * kCellCount + (kLaneCount - 1) * kCellCount;
    static_assert(kEntryCapacity <= 65535, "list offsets are 16-bit");

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
    void buildEntryLists();
    void walkCells(double qx, double qy, float px, float py, float jx, float jy,
                   double length, double tb, int skipWall, WallKey& best);
    // Also lowers `nearest` to the smallest d2 of a crossing in the list.
    struct WallGroup;
    [[gnu::always_inline]] WallKey testList(const uint16_t* begin, const uint16_t* end,
                                            const WallGroup* group, float px, float py, float jx,
                                            float jy, int skipWall, WallKey best, float& nearest);
    void keep(const Wall* walls, int index, int skipWall, float px, float py, float jx,
              float jy, WallKey& best);
    WallHit hitOf(WallKey key) const;

    bool gridUsable = false;
    int wallCountBuilt = -1;
    double originX = 0.0, originY = 0.0; // metres, corner of cell (0, 0)
    double cellSize = 1.0;               // metres
    double cellsPerMetre = 1.0;          // 1 / cellSize
    uint16_t cellStart[kCellCount + 1] = {}; // walls of cell c: cellWalls[cellStart[c] .. cellStart[c + 1])
    uint16_t cellWalls[kEntryCapacity] = {};
    uint16_t looseWalls[kMaxWalls] = {}; // tested by every search
    int looseCount = 0;
    // The walls a walk meets new on entering a cell: those of the cell that
    // the cell it came from does not hold (that one was tested just before).
    // Entry list 0 is for a step in +x (from the cell at cx - 1), 1 for -x
    // (from cx + 1), 2 for +y (from cy - 1), 3 for -y (from cy + 1). A wall
    // met again further on is simply tested again, which finds the same.
    uint16_t entryStart[4][kCellCount + 1] = {};
    uint16_t entryWalls[4][kEntryCapacity] = {};
    // Where the current search's probe crosses the line of each wall it
    // tested (stored for every tested wall, read for the winner only).
    float crossX[kMaxWalls + 1] = {};
    float crossY[kMaxWalls + 1] = {};
    // The walls' x1, y1, dx, dy as build() saw them, one row per wall and the
    // pad wall (NaN) last.
    alignas(16) float wallRows[kMaxWalls + 1][4] = {};
    // Every list once more as groups of four walls, field by field, so that a
    // group loads straight into lane vectors: cellGroups[g] holds the walls
    // cellWalls[4g .. 4g + 3], entryGroups[d][g] those of entryWalls[d]. Only
    // the part build() fills is ever read (about 1.3 MB in all, most of it
    // never touched), so they are left uninitialised.
    struct alignas(16) WallGroup {
        float x1[kLaneCount], y1[kLaneCount], wx[kLaneCount], wy[kLaneCount];
    };
    void packGroups(const uint16_t* list, int length, WallGroup* groups) const;
    WallGroup cellGroups[kEntryCapacity / kLaneCount];
    WallGroup entryGroups[4][kEntryCapacity / kLaneCount];
};

} // namespace ovinta
