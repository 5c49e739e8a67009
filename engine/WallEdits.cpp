// SPDX-License-Identifier: GPL-3.0-or-later
// The room editor's wall edits. The active list (what the tracer uses) and
// the current program's list (what is saved) change together under the
// tracer's lock, so that a wall's index means the same wall in both; a vertex
// drag moves only the active walls until the editor commits it by deleting
// and re-adding the walls it moved.

#include "engine/RoomEngine.h"

#include "base/Convert.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ovinta {

namespace {

constexpr int kPlanMetres = 50;

bool onPlan(int v)
{
    return v >= 0 && v <= kPlanMetres;
}

// Vector and unit normal (-dy, dx) / length from the wall's ends; a wall whose
// ends meet keeps its old normal (the tracer never meets a wall without length).
void refreshGeometry(Wall& w)
{
    w.dx = w.x2 - w.x1;
    w.dy = w.y2 - w.y1;
    const float length = std::sqrt(w.dx * w.dx + w.dy * w.dy);
    if (length > 0.0f) {
        w.nx = -w.dy / length;
        w.ny = w.dx / length;
    }
}

void removeAt(Wall* list, int count, int index)
{
    std::memmove(list + index, list + index + 1, sizeof(Wall) * static_cast<std::size_t>(count - index - 1));
}

bool endIs(float x, float y, int px, int py)
{
    return truncToInt(static_cast<double>(x)) == px && truncToInt(static_cast<double>(y)) == py;
}

} // namespace

bool RoomEngine::insertWall(int x1, int y1, int x2, int y2)
{
    if (!onPlan(x1) || !onPlan(y1) || !onPlan(x2) || !onPlan(y2) || (x1 == x2 && y1 == y2))
        return false;
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    OvintaProgram& program = currentProgramRecord();
    const int count = tracer.wallCount();
    const bool room = count < kMaxWalls;
    if (room) {
        const Wall wall = makeWall(x1, y1, x2, y2);
        tracer.editWalls()[count] = wall;
        tracer.setWallCount(count + 1);
        // The program's list mirrors the active one; a list that a chunk left
        // shorter is brought to the same length first.
        program.wallCount = count + 1;
        program.walls[count] = wall;
        tracer.wallsChanged();
    }
    if (room)
        bumpChangeCount();
    return room;
}

bool RoomEngine::deleteWall(int index)
{
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    const bool valid = index >= 0 && index < tracer.wallCount();
    if (valid) {
        removeWall(index);
        tracer.wallsChanged();
    }
    if (valid)
        bumpChangeCount();
    return valid;
}

int RoomEngine::deleteWallByEnds(int x1, int y1, int x2, int y2)
{
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    int removed = 0;
    for (int i = 0; i < tracer.wallCount(); ++i) {
        const Wall& w = tracer.walls()[i];
        if (endIs(w.x1, w.y1, x1, y1) && endIs(w.x2, w.y2, x2, y2)) {
            removeWall(i);
            ++removed;
        }
    }
    if (removed > 0)
        tracer.wallsChanged();
    if (removed > 0)
        bumpChangeCount();
    return removed;
}

void RoomEngine::removeWall(int index)
{
    // The program keeps its own copy of each wall (the tracer turns the active
    // walls' normals in place, and drag marks stay off the saved list).
    OvintaProgram& program = currentProgramRecord();
    if (index < program.wallCount) {
        removeAt(program.walls, program.wallCount, index);
        --program.wallCount;
    }
    removeAt(tracer.editWalls(), tracer.wallCount(), index);
    tracer.setWallCount(tracer.wallCount() - 1);
}

bool RoomEngine::dragVertex(int fromX, int fromY, int toX, int toY, VertexDrag kind)
{
    if (!onPlan(toX) || !onPlan(toY))
        return false;
    const bool pick = kind == VertexDrag::Pick;
    const float x = static_cast<float>(toX);
    const float y = static_cast<float>(toY);
    bool moved = false;
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    for (int i = 0; i < tracer.wallCount(); ++i) {
        Wall& w = tracer.editWalls()[i];
        bool changed = false;
        if (endIs(w.x1, w.y1, fromX, fromY) && (pick || w.dragEnd == 1)) {
            if (pick)
                w.dragEnd = 1;
            w.x1 = x;
            w.y1 = y;
            changed = true;
        }
        if (endIs(w.x2, w.y2, fromX, fromY) && (pick || w.dragEnd == 2)) {
            if (pick)
                w.dragEnd = 2;
            w.x2 = x;
            w.y2 = y;
            changed = true;
        }
        if (changed)
            refreshGeometry(w);
        moved |= changed;
    }
    if (moved)
        tracer.wallsChanged();
    return moved;
}

int RoomEngine::findDraggedWall(int x, int y)
{
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    int found = -1;
    for (int i = 0; i < tracer.wallCount() && found < 0; ++i) {
        const Wall& w = tracer.walls()[i];
        if (w.dragEnd != 0 && (endIs(w.x1, w.y1, x, y) || endIs(w.x2, w.y2, x, y)))
            found = i;
    }
    return found;
}

int RoomEngine::findWallAt(int x, int y)
{
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    int found = -1;
    for (int i = 0; i < tracer.wallCount() && found < 0; ++i) {
        const Wall& w = tracer.walls()[i];
        const int x1 = truncToInt(static_cast<double>(w.x1)), y1 = truncToInt(static_cast<double>(w.y1));
        const int x2 = truncToInt(static_cast<double>(w.x2)), y2 = truncToInt(static_cast<double>(w.y2));
        const int cross = std::abs((x - x1) * (y2 - y1) - (y - y1) * (x2 - x1));
        const int reach = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        const bool inBox = x >= std::min(x1, x2) && x <= std::max(x1, x2) && y >= std::min(y1, y2) &&
                           y <= std::max(y1, y2);
        if (cross < reach && inBox)
            found = i;
    }
    return found;
}

bool RoomEngine::copyWall(int index, Wall& out)
{
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    const bool valid = index >= 0 && index < tracer.wallCount();
    if (valid)
        out = tracer.walls()[index];
    return valid;
}

void RoomEngine::clearDragMarks()
{
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    for (int i = 0; i < tracer.wallCount(); ++i)
        tracer.editWalls()[i].dragEnd = 0;
}

void RoomEngine::moveMarker(Marker which, int x, int y)
{
    const float mx = static_cast<float>(std::clamp(x, 0, kPlanMetres));
    const float my = static_cast<float>(std::clamp(y, 0, kPlanMetres));
    const int first = param::kEarsX + 2 * static_cast<int>(which);
    OvintaProgram& program = currentProgramRecord();
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    switch (which) {
    case Marker::Listener:
        values.listenerX = mx;
        values.listenerY = my;
        break;
    case Marker::Source1:
    case Marker::Source2: {
        const int k = which == Marker::Source1 ? 0 : 1;
        values.sourceX[k] = mx;
        values.sourceY[k] = my;
        break;
    }
    }
    // What the position parameters store for these metres; the editor's
    // position controls then tell the host the same values.
    *programField(program, first) = formula::positionValue(mx);
    *programField(program, first + 1) = formula::positionValue(my);
    bumpChangeCount();
}

} // namespace ovinta
