// SPDX-License-Identifier: GPL-3.0-or-later
// Nearest-wall search: plain scan and the uniform grid.

#include "engine/WallGrid.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace ovinta {

namespace {

// Walls are registered in every cell they come within kPadMetres of, and a
// search only stops once its best hit is kPadMetres nearer than the next
// cell. Rounding in the hit arithmetic is far below this, so a wall that a
// search leaves untested can never beat or tie the wall it returns.
constexpr double kPadMetres = 0.05;
constexpr double kStopMarginMetres = 0.05;
// Walls further out than this are left to the loose list, so that the cells
// stay fine enough over the plan.
constexpr double kGridLimitMetres = 1000.0;

bool wallInGridRange(const Wall& wall)
{
    const float c[4] = {wall.x1, wall.y1, wall.x2, wall.y2};
    for (float v : c)
        if (!std::isfinite(v) || std::fabs(static_cast<double>(v)) > kGridLimitMetres)
            return false;
    return std::isfinite(wall.dx) && std::isfinite(wall.dy);
}

// A list's length rounded up to whole groups of lanes.
int roundUpToLanes(int length)
{
    constexpr int kLanes = WallGrid::kLaneCount;
    return (length + kLanes - 1) / kLanes * kLanes;
}

// Clips p + t·j, t in [ta, tb], to the box [lo, hi] on one axis.
bool clipAxis(double p, double j, double lo, double hi, double& ta, double& tb)
{
    if (j == 0.0)
        return p >= lo && p <= hi;
    double t0 = (lo - p) / j;
    double t1 = (hi - p) / j;
    if (t0 > t1)
        std::swap(t0, t1);
    ta = std::max(ta, t0);
    tb = std::min(tb, t1);
    return ta <= tb;
}

} // namespace

WallHit scanWalls(const Wall* walls, int count, float px, float py, float jx, float jy,
                  int skipWall)
{
    WallHit best;
    for (int i = 0; i < count; ++i)
        testWall(walls[i], i, skipWall, px, py, jx, jy, best);
    return best;
}

void WallGrid::cellRange(const Wall& wall, int& cx0, int& cy0, int& cx1, int& cy1) const
{
    const double minX = static_cast<double>(std::min(wall.x1, wall.x2)) - kPadMetres;
    const double maxX = static_cast<double>(std::max(wall.x1, wall.x2)) + kPadMetres;
    const double minY = static_cast<double>(std::min(wall.y1, wall.y2)) - kPadMetres;
    const double maxY = static_cast<double>(std::max(wall.y1, wall.y2)) + kPadMetres;
    auto cellOf = [this](double v, double origin) {
        const double c = std::floor((v - origin) / cellSize);
        return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(kCellsPerSide - 1)));
    };
    cx0 = cellOf(minX, originX);
    cx1 = cellOf(maxX, originX);
    cy0 = cellOf(minY, originY);
    cy1 = cellOf(maxY, originY);
}

bool WallGrid::wallTouchesCell(const Wall& wall, int cx, int cy) const
{
    // Separating-axis test of the segment against the padded cell box: the
    // bounding boxes overlap (cellRange) and the box's corners do not all lie
    // strictly on one side of the wall's line.
    const double x0 = originX + cx * cellSize - kPadMetres;
    const double y0 = originY + cy * cellSize - kPadMetres;
    const double x1 = originX + (cx + 1) * cellSize + kPadMetres;
    const double y1 = originY + (cy + 1) * cellSize + kPadMetres;
    const double ax = static_cast<double>(wall.x1), ay = static_cast<double>(wall.y1);
    const double wx = static_cast<double>(wall.x2) - ax;
    const double wy = static_cast<double>(wall.y2) - ay;
    const double corners[4][2] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
    int above = 0, below = 0;
    for (const auto& c : corners) {
        const double cross = wx * (c[1] - ay) - wy * (c[0] - ax);
        above += cross > 0.0;
        below += cross < 0.0;
    }
    return above < 4 && below < 4;
}

void WallGrid::build(const Wall* walls, int count)
{
    count = std::clamp(count, 0, kMaxWalls);
    wallCountBuilt = count;
    looseCount = 0;
    gridUsable = false;

    double minX = 0.0, minY = 0.0, maxX = 50.0, maxY = 50.0; // the plan at least
    for (int i = 0; i < count; ++i) {
        const Wall& w = walls[i];
        if (!wallInGridRange(w))
            continue;
        minX = std::min({minX, static_cast<double>(w.x1), static_cast<double>(w.x2)});
        maxX = std::max({maxX, static_cast<double>(w.x1), static_cast<double>(w.x2)});
        minY = std::min({minY, static_cast<double>(w.y1), static_cast<double>(w.y2)});
        maxY = std::max({maxY, static_cast<double>(w.y1), static_cast<double>(w.y2)});
    }
    cellSize = std::max(maxX - minX, maxY - minY) / kCellsPerSide * 1.0001;
    cellsPerMetre = 1.0 / cellSize;
    originX = minX;
    originY = minY;

    // Count the cell entries, then lay them out (a counting sort by cell).
    int entries[kCellCount + 1] = {};
    for (int i = 0; i < count; ++i) {
        if (!wallInGridRange(walls[i])) {
            looseWalls[looseCount++] = static_cast<uint16_t>(i);
            continue;
        }
        int cx0, cy0, cx1, cy1;
        cellRange(walls[i], cx0, cy0, cx1, cy1);
        for (int cy = cy0; cy <= cy1; ++cy)
            for (int cx = cx0; cx <= cx1; ++cx)
                entries[cy * kCellsPerSide + cx + 1] += wallTouchesCell(walls[i], cx, cy);
    }
    for (int c = 0; c < kCellCount; ++c)
        entries[c + 1] = entries[c] + roundUpToLanes(entries[c + 1]);
    if (entries[kCellCount] > kEntryCapacity)
        return; // cannot happen (see kEntryCapacity); the plain scan stays correct
    int fill[kCellCount];
    for (int c = 0; c <= kCellCount; ++c)
        cellStart[c] = static_cast<uint16_t>(entries[c]);
    for (int c = 0; c < kCellCount; ++c)
        fill[c] = entries[c];
    for (int e = 0; e < entries[kCellCount]; ++e)
        cellWalls[e] = kPadWall; // what the walls below leave is padding
    for (int i = 0; i < count; ++i) {
        const Wall& w = walls[i];
        const float row[4] = {w.x1, w.y1, w.dx, w.dy};
        std::copy(std::begin(row), std::end(row), wallRows[i]);
    }
    std::fill(std::begin(wallRows[kPadWall]), std::end(wallRows[kPadWall]),
              std::numeric_limits<float>::quiet_NaN());
    for (int i = 0; i < count; ++i) {
        if (!wallInGridRange(walls[i]))
            continue;
        int cx0, cy0, cx1, cy1;
        cellRange(walls[i], cx0, cy0, cx1, cy1);
        for (int cy = cy0; cy <= cy1; ++cy)
            for (int cx = cx0; cx <= cx1; ++cx)
                if (wallTouchesCell(walls[i], cx, cy))
                    cellWalls[fill[cy * kCellsPerSide + cx]++] = static_cast<uint16_t>(i);
    }
    buildEntryLists();
    gridUsable = true;
}

void WallGrid::buildEntryLists()
{
    // Each cell's walls are in ascending order (filled by wall number), so
    // the difference with a neighbour's is one merge pass.
    constexpr int kFromX[4] = {-1, 1, 0, 0};
    constexpr int kFromY[4] = {0, 0, -1, 1};
    for (int d = 0; d < 4; ++d) {
        int out = 0;
        for (int c = 0; c < kCellCount; ++c) {
            entryStart[d][c] = static_cast<uint16_t>(out);
            const int fromX = c % kCellsPerSide + kFromX[d];
            const int fromY = c / kCellsPerSide + kFromY[d];
            const bool inside = fromX >= 0 && fromY >= 0 && fromX < kCellsPerSide
                                && fromY < kCellsPerSide;
            const int from = inside ? fromY * kCellsPerSide + fromX : c;
            int k = inside ? cellStart[from] : 0;
            const int kEnd = inside ? cellStart[from + 1] : 0;
            for (int e = cellStart[c]; e < cellStart[c + 1] && cellWalls[e] != kPadWall; ++e) {
                const int wall = cellWalls[e];
                while (k < kEnd && cellWalls[k] < wall)
                    ++k;
                if (k < kEnd && cellWalls[k] == wall)
                    continue;
                entryWalls[d][out++] = static_cast<uint16_t>(wall); // a subset: never overflows
            }
            while (out % kLaneCount != 0)
                entryWalls[d][out++] = kPadWall;
        }
        entryStart[d][kCellCount] = static_cast<uint16_t>(out);
        packGroups(entryWalls[d], out, entryGroups[d]);
    }
    packGroups(cellWalls, cellStart[kCellCount], cellGroups);
}

void WallGrid::packGroups(const uint16_t* list, int length, WallGroup* groups) const
{
    for (int e = 0; e < length; ++e) {
        WallGroup& group = groups[e / kLaneCount];
        const float* row = wallRows[list[e]];
        const int lane = e % kLaneCount;
        group.x1[lane] = row[0];
        group.y1[lane] = row[1];
        group.wx[lane] = row[2];
        group.wy[lane] = row[3];
    }
}

inline void WallGrid::keep(const Wall* walls, int index, int skipWall, float px, float py,
                           float jx, float jy, WallKey& best)
{
    const WallCrossing c = crossWall(walls[index], index, skipWall, px, py, jx, jy);
    const WallKey key = (static_cast<WallKey>(std::bit_cast<uint32_t>(c.d2)) << 32)
                        | static_cast<uint32_t>(index);
    best = std::min(best, key | (static_cast<WallKey>(c.crossing) - 1));
    crossX[index] = px + c.tx; // the bits testWall would keep
    crossY[index] = py + c.ty;
}

inline WallKey WallGrid::testList(const uint16_t* begin, const uint16_t* end,
                                  const WallGroup* group, float px, float py, float jx, float jy,
                                  int skipWall, WallKey best, float& nearest)
{
    WallKey local = best; // a local, so that the stores cannot be taken to change it
    for (const uint16_t* e = begin; e < end; e += kLaneCount, ++group) {
        const FloatLanes x1{_mm_load_ps(group->x1)};
        const FloatLanes y1{_mm_load_ps(group->y1)};
        const FloatLanes wx{_mm_load_ps(group->wx)};
        const FloatLanes wy{_mm_load_ps(group->wy)};
        const WallCrossingOf<FloatLanes> c = crossWallAt(x1, y1, wx, wy, px, py, jx, jy);
        // The nearest crossing of the four: d2 of the others set to +inf,
        // the smallest d2 spread to every lane, and of the lanes that hold
        // it the first, which is the earliest wall (lists are in wall order).
        const __m128i index = _mm_unpacklo_epi16(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(e)), _mm_setzero_si128());
        const __m128 skipped = _mm_castsi128_ps(_mm_cmpeq_epi32(index, _mm_set1_epi32(skipWall)));
        const __m128 crossing = _mm_andnot_ps(skipped, c.inside.v);
        const __m128 infinity = _mm_set1_ps(std::numeric_limits<float>::infinity());
        const __m128 d2 = _mm_or_ps(_mm_and_ps(crossing, c.d2.v), _mm_andnot_ps(crossing, infinity));
        __m128 least = _mm_min_ps(d2, _mm_shuffle_ps(d2, d2, _MM_SHUFFLE(2, 3, 0, 1)));
        least = _mm_min_ps(least, _mm_shuffle_ps(least, least, _MM_SHUFFLE(1, 0, 3, 2)));
        nearest = std::min(nearest, _mm_cvtss_f32(least));
        const int lane = std::countr_zero(static_cast<unsigned>(_mm_movemask_ps(_mm_cmpeq_ps(d2, least))));
        alignas(16) float d2Lanes[kLaneCount], hitX[kLaneCount], hitY[kLaneCount];
        _mm_store_ps(d2Lanes, d2);
        _mm_store_ps(hitX, _mm_add_ps(_mm_set1_ps(px), c.tx.v)); // px + tx, as testWall keeps
        _mm_store_ps(hitY, _mm_add_ps(_mm_set1_ps(py), c.ty.v));
        const int wall = e[lane];
        // No crossing leaves d2 = inf, a key above kNoWallKey that no search
        // returns. The stores below are for that lane's wall whether or not it
        // wins: the values are that wall's crossing with this probe, the same
        // bits whichever test of the wall writes them.
        const WallKey key = (static_cast<WallKey>(std::bit_cast<uint32_t>(d2Lanes[lane])) << 32)
                            | static_cast<uint32_t>(wall);
        local = std::min(local, key);
        crossX[wall] = hitX[lane];
        crossY[wall] = hitY[lane];
    }
    return local;
}

WallHit WallGrid::hitOf(WallKey key) const
{
    WallHit hit;
    if (key >= kNoWallKey)
        return hit;
    hit.wall = static_cast<int>(static_cast<uint32_t>(key));
    hit.x = crossX[hit.wall];
    hit.y = crossY[hit.wall];
    hit.distanceSquared = std::bit_cast<float>(static_cast<uint32_t>(key >> 32));
    return hit;
}

WallHit WallGrid::nearest(const Wall* walls, int count, float px, float py, float jx, float jy,
                          int skipWall)
{
    const double ox = static_cast<double>(px), oy = static_cast<double>(py); // the probe in double for the cell walk
    const double vx = static_cast<double>(jx), vy = static_cast<double>(jy);
    // One test for all four inputs: any infinity or NaN makes the sum NaN.
    const bool finite = std::isfinite(ox * 0.0 + oy * 0.0 + vx * 0.0 + vy * 0.0);
    if (!gridUsable || count != wallCountBuilt || !finite || (vx == 0.0 && vy == 0.0))
        return scanWalls(walls, count, px, py, jx, jy, skipWall);
    // Finite float components, not both zero: the length is finite and
    // positive (their squares neither overflow nor underflow in double).
    const double length = std::sqrt(vx * vx + vy * vy);

    WallKey best = kNoWallKey;
    for (int k = 0; k < looseCount; ++k)
        keep(walls, looseWalls[k], skipWall, px, py, jx, jy, best);

    // The probe is walked over t in [ta, tb], slightly extended at both ends
    // so that hits at t = 0 or t = 1 are covered; a start outside the grid
    // is moved to where the probe enters it.
    const double span = kCellsPerSide * cellSize;
    const double low = -kPadMetres, high = span + kPadMetres; // grid box, relative to the origin
    // The pad as a fraction of the probe, or a little more: the larger
    // component is at most the length, and dividing by it does not wait for
    // the square root.
    const double padT = kPadMetres / std::max(std::fabs(vx), std::fabs(vy));
    double ta = -padT;
    double tb = 1.0 + padT;
    const double rx = ox - originX, ry = oy - originY;
    if (!(rx >= low && rx <= high && ry >= low && ry <= high)
        && (!clipAxis(rx, vx, low, high, ta, tb) || !clipAxis(ry, vy, low, high, ta, tb)))
        return hitOf(best);
    walkCells(rx + ta * vx, ry + ta * vy, px, py, jx, jy, length, tb, skipWall, best);
    return hitOf(best);
}

void WallGrid::walkCells(double qx, double qy, float px, float py, float jx,
                         float jy, double length, double tb, int skipWall, WallKey& best)
{
    // Cell walk (DDA) from q, in grid coordinates, along the probe.
    const double vx = static_cast<double>(jx), vy = static_cast<double>(jy);
    const double rx = static_cast<double>(px) - originX, ry = static_cast<double>(py) - originY;
    auto cellOf = [](double v) {
        return v <= 0.0 ? 0 : std::min(static_cast<int>(v), kCellsPerSide - 1);
    };
    int cx = cellOf(qx * cellsPerMetre);
    int cy = cellOf(qy * cellsPerMetre);
    const int stepX = static_cast<int>(jx > 0.0f) - static_cast<int>(jx < 0.0f);
    const int stepY = static_cast<int>(jy > 0.0f) - static_cast<int>(jy < 0.0f);
    constexpr double kNever = std::numeric_limits<double>::infinity();
    const double inverseX = stepX == 0 ? 0.0 : 1.0 / vx;
    const double inverseY = stepY == 0 ? 0.0 : 1.0 / vy;
    double nextX = stepX == 0 ? kNever : ((cx + (stepX > 0)) * cellSize - rx) * inverseX;
    double nextY = stepY == 0 ? kNever : ((cy + (stepY > 0)) * cellSize - ry) * inverseY;
    const double deltaX = cellSize * std::fabs(inverseX); // 0 when the walk never crosses x
    const double deltaY = cellSize * std::fabs(inverseY);

    // The first cell is tested whole, every later one by the entry list of
    // the step that reached it.
    const uint16_t* begin = cellWalls + cellStart[cy * kCellsPerSide + cx];
    const uint16_t* end = cellWalls + cellStart[cy * kCellsPerSide + cx + 1];
    const WallGroup* group = cellGroups + cellStart[cy * kCellsPerSide + cx] / kLaneCount;
    // The best key's d2, kept apart so that the decision to stop waits only
    // for the distances, not for which wall holds the nearest one.
    float nearest = std::bit_cast<float>(static_cast<uint32_t>(best >> 32));
    const int listX = stepX > 0 ? 0 : 1;
    const int listY = stepY > 0 ? 2 : 3;
    for (;;) {
        best = testList(begin, end, group, px, py, jx, jy, skipWall, best, nearest);
        const double exitT = std::min(nextX, nextY);
        // Every untested wall lies beyond the best hit. Without a hit the
        // best distance is 1e11 m², beyond any wall on the grid.
        const double clear = std::max(exitT * length - kStopMarginMetres, 0.0);
        // Arithmetic, not a branch: either way is as likely.
        const int acrossX = nextX < nextY;
        cx += stepX & -acrossX;
        cy += stepY & (acrossX - 1);
        // One branch for the three ends of a walk: the probe ends in this
        // cell, the best hit is nearer than any untested wall, or the next
        // cell is off the grid.
        const bool done = (exitT >= tb) | (static_cast<double>(nearest) < clear * clear)
                          | (static_cast<unsigned>(cx) >= static_cast<unsigned>(kCellsPerSide))
                          | (static_cast<unsigned>(cy) >= static_cast<unsigned>(kCellsPerSide));
        if (done)
            break;
        nextX += deltaX * acrossX;
        nextY += deltaY * (1 - acrossX);
        const int cell = cy * kCellsPerSide + cx;
        const uint16_t* start = entryStart[acrossX ? listX : listY];
        const uint16_t* list = entryWalls[acrossX ? listX : listY];
        begin = list + start[cell];
        end = list + start[cell + 1];
        group = entryGroups[acrossX ? listX : listY] + start[cell] / kLaneCount;
    }
}

} // namespace ovinta
