// SPDX-License-Identifier: GPL-3.0-or-later
// OVAnimScreen: mouse gestures of the edit view. A press starts a gesture,
// every new grid point the pointer reaches is one step, and the release of
// the left button finishes it (the right button's sweep acts at each step).
// The gesture's state lives in the screen between events; each handler
// returns at once. After every step the screen tells its listener, which
// sends the marker positions as parameters 8-13.

#include "editor/screens/OVAnimScreen.h"

#include "toolkit/CFrame.h"

#include <algorithm>

namespace ovinta {

namespace {

constexpr int kPlanMetres = 50;
constexpr int kBothButtons = kLButton | kRButton;
constexpr float kPickRadiusSquared = 2.0f; // square metres around a marker

bool bothButtons(int buttons)
{
    return (buttons & kBothButtons) == kBothButtons;
}

} // namespace

// ---- Events -------------------------------------------------------------------------------

CMouseEventResult OVAnimScreen::mouse(CDrawContext* context, CPoint& where, int buttons)
{
    const CPoint local(where.h - size.left, where.v - size.top);
    if (helpVisible.load(std::memory_order_relaxed) || currentMode != kEditMode)
        return mouseOtherMode(MouseStep::Down, local, buttons);
    if (!getMouseEnabled() || gesture != Gesture::None)
        return kMouseEventNotHandled;
    const CMouseEventResult result = editPress(local, buttons);
    if (result == kMouseEventTrack)
        reportStep(context);
    return result;
}

CMouseEventResult OVAnimScreen::onMouseMoved(CDrawContext* context, CPoint where, int buttons)
{
    const CPoint local(where.h - size.left, where.v - size.top);
    if (otherModeGesture != -1)
        return mouseOtherMode(MouseStep::Moved, local, buttons);
    if (gesture == Gesture::None)
        return kMouseEventNotHandled;
    if (roomReplaced()) {
        reportStep(context);
        return kMouseEventHandled;
    }
    if (bothButtons(buttons)) {
        abandonGesture();
        reportStep(context);
        return kMouseEventHandled;
    }
    editStep(gridMetre(local.h), gridMetre(local.v));
    reportStep(context);
    return kMouseEventTrack;
}

CMouseEventResult OVAnimScreen::onMouseUp(CDrawContext* context, CPoint where, int buttons)
{
    const CPoint local(where.h - size.left, where.v - size.top);
    if (otherModeGesture != -1)
        return mouseOtherMode(MouseStep::Up, local, buttons);
    if (gesture == Gesture::None)
        return kMouseEventNotHandled;
    const int held = gesture == Gesture::Sweep ? kRButton : kLButton;
    if ((buttons & held) != 0) {
        // The other button came up; the gesture's own button is still down.
        return kMouseEventTrack;
    }
    if (!roomReplaced()) {
        editStep(gridMetre(local.h), gridMetre(local.v));
        editRelease();
    }
    reportStep(context);
    return kMouseEventHandled;
}

void OVAnimScreen::onMouseCancel()
{
    if (otherModeGesture != -1) {
        mouseOtherMode(MouseStep::Cancel, CPoint(), 0);
        return;
    }
    if (gesture != Gesture::None)
        abandonGesture();
}

void OVAnimScreen::reportStep(CDrawContext* context)
{
    setDirty();
    if (listener)
        listener->valueChanged(context, this);
}

bool OVAnimScreen::mirrorOn() const
{
    return port.values().mirrorValue > 0.5f;
}

// ---- Press ---------------------------------------------------------------------------------

CMouseEventResult OVAnimScreen::editPress(CPoint local, int buttons)
{
    if (bothButtons(buttons) || (buttons & kBothButtons) == 0)
        return kMouseEventNotHandled;
    syncHistoryWithRoom();
    gestureRoom = roomGeneration;
    // Marks a vertex drag left behind are stale; this gesture picks its own.
    port.clearDragMarks();
    vertexPicked = false;
    rubberBand = false;
    startX = endX = gridMetre(local.h);
    startY = endY = gridMetre(local.v);
    if ((buttons & kRButton) != 0) {
        gesture = Gesture::Sweep;
        sweepAt(startX, startY);
        return kMouseEventTrack;
    }
    gesture = Gesture::Tool;
    const int t = tool.load(std::memory_order_relaxed);
    if (t == kEditTool)
        vertexPicked = port.dragVertex(startX, startY, startX, startY, EditorPort::VertexDrag::Pick);
    if (pickMarker(local)) {
        gesture = Gesture::Marker;
        if (vertexPicked)
            port.clearDragMarks();
        vertexPicked = false;
    }
    return kMouseEventTrack;
}

bool OVAnimScreen::pickMarker(CPoint local)
{
    const EditorValues v = port.values();
    const float mx = static_cast<float>(local.h - 2) / 8.0f;
    const float my = static_cast<float>(local.v - 2) / 8.0f;
    const float positions[3][2] = {{v.listenerX, v.listenerY}, {v.sourceX[0], v.sourceY[0]}, {v.sourceX[1], v.sourceY[1]}};
    // Listener first, then source 1, then source 2 (tested in mono too).
    for (int k = 0; k < 3; ++k) {
        const float dx = mx - positions[k][0], dy = my - positions[k][1];
        if (dx * dx + dy * dy < kPickRadiusSquared) {
            draggedMarker = static_cast<EditorPort::Marker>(k);
            push(static_cast<UndoType>(kUndoListenerMoved + k),
                 GridWall{static_cast<int>(positions[k][0]), static_cast<int>(positions[k][1]), 0, 0}, false);
            return true;
        }
    }
    return false;
}

// ---- Steps ----------------------------------------------------------------------------------

void OVAnimScreen::editStep(int u, int v)
{
    if (gesture == Gesture::Sweep) {
        if (u != endX || v != endY)
            sweepAt(u, v);
        endX = u;
        endY = v;
        return;
    }
    if (u == endX && v == endY)
        return;
    if (gesture == Gesture::Marker) {
        moveDraggedMarker(u, v);
    } else if (tool.load(std::memory_order_relaxed) == kEditTool) {
        if (!vertexPicked) {
            vertexPicked = port.dragVertex(u, v, u, v, EditorPort::VertexDrag::Pick);
            startX = u;
            startY = v;
        } else {
            port.dragVertex(endX, endY, u, v, EditorPort::VertexDrag::Move);
        }
        port.setViewDirty(true);
    } else {
        rubberBand = true;
    }
    endX = u;
    endY = v;
}

void OVAnimScreen::moveDraggedMarker(int u, int v)
{
    const EditorValues p = port.values();
    auto at = [u, v](float x, float y) { return static_cast<int>(x) == u && static_cast<int>(y) == v; };
    // The listener never lands on a source that plays, a source never on
    // the listener.
    bool blocked = false;
    if (draggedMarker == EditorPort::Marker::Listener)
        blocked = at(p.sourceX[0], p.sourceY[0]) || (p.stereoOn != 0 && at(p.sourceX[1], p.sourceY[1]));
    else
        blocked = at(p.listenerX, p.listenerY);
    if (!blocked)
        port.moveMarker(draggedMarker, u, v);
}

void OVAnimScreen::sweepAt(int u, int v)
{
    const int index = port.findWallAt(u, v);
    Wall w;
    if (index < 0 || !port.copyWall(index, w))
        return;
    push(kUndoWallRemoved,
         GridWall{static_cast<int>(w.x1), static_cast<int>(w.y1), static_cast<int>(w.x2), static_cast<int>(w.y2)},
         false);
    port.deleteWall(index);
    port.setViewDirty(true);
}

// ---- Release ---------------------------------------------------------------------------------

void OVAnimScreen::editRelease()
{
    const bool moved = endX != startX || endY != startY;
    if (gesture == Gesture::Tool && moved) {
        const int t = tool.load(std::memory_order_relaxed);
        const bool mirror = mirrorOn();
        if (t == kLinesTool) {
            const GridWall line[2] = {{startX, startY, endX, endY},
                                      {kPlanMetres - startX, startY, kPlanMetres - endX, endY}};
            addWallGroup(line, mirror ? 2 : 1);
        } else if (t == kBoxesTool) {
            const int a = std::min(startX, endX), b = std::min(startY, endY);
            const int c = std::max(startX, endX), d = std::max(startY, endY);
            if (a != c && b != d) {
                // Top, right, bottom, left; each followed by its mirror image.
                const GridWall sides[4] = {{a, b, c, b}, {c, b, c, d}, {c, d, a, d}, {a, d, a, b}};
                GridWall group[8];
                int count = 0;
                for (const GridWall& w : sides) {
                    group[count++] = w;
                    if (mirror)
                        group[count++] = GridWall{kPlanMetres - w.x1, w.y1, kPlanMetres - w.x2, w.y2};
                }
                addWallGroup(group, count);
            }
        } else if (t == kEditTool && vertexPicked) {
            finishVertexMove();
        }
    }
    finishGesture();
}

// Each wall whose end was dragged is taken out with its old ends and added
// again, at the end of the lists, with the new ones; the whole move is one
// undo group. A wall whose two ends now meet has no length and is dropped.
void OVAnimScreen::finishVertexMove()
{
    bool first = true;
    for (int guard = 0; guard < kMaxWalls; ++guard) {
        const int index = port.findDraggedWall(endX, endY);
        Wall w;
        if (index < 0 || !port.copyWall(index, w))
            break;
        const GridWall moved{static_cast<int>(w.x1), static_cast<int>(w.y1), static_cast<int>(w.x2),
                             static_cast<int>(w.y2)};
        GridWall old = moved;
        if (w.dragEnd == 1) {
            old.x1 = startX;
            old.y1 = startY;
        } else {
            old.x2 = startX;
            old.y2 = startY;
        }
        push(kUndoWallRemoved, old, !first);
        first = false;
        port.deleteWall(index);
        if (moved.x1 != moved.x2 || moved.y1 != moved.y2) {
            port.insertWall(moved.x1, moved.y1, moved.x2, moved.y2);
            push(kUndoWallAdded, moved, true);
        }
    }
}

// Adds all walls of one edit or none: a group that does not fit leaves the
// room and the history as they were and shows the full-room notice.
void OVAnimScreen::addWallGroup(const GridWall* group, int count)
{
    if (port.copyWalls(walls) + count > kMaxWalls) {
        showRoomFull();
        return;
    }
    int added = 0;
    for (int k = 0; k < count; ++k) {
        const GridWall& w = group[k];
        if (port.insertWall(w.x1, w.y1, w.x2, w.y2))
            push(kUndoWallAdded, w, added++ > 0);
    }
}

void OVAnimScreen::finishGesture()
{
    if (vertexPicked || gesture == Gesture::Tool)
        port.clearDragMarks();
    gesture = Gesture::None;
    vertexPicked = false;
    rubberBand = false;
    port.setViewDirty(true);
}

// A program load replaced the room during the gesture: its walls and
// markers are not the ones the gesture started on, so it ends without
// touching them.
bool OVAnimScreen::roomReplaced()
{
    syncHistoryWithRoom();
    if (roomGeneration == gestureRoom)
        return false;
    finishGesture();
    return true;
}

// Both buttons, or a gesture cut off: nothing is added, and a vertex that
// follows the pointer goes back where it was (only the active walls moved).
void OVAnimScreen::abandonGesture()
{
    if (gesture == Gesture::Tool && vertexPicked && (endX != startX || endY != startY))
        port.dragVertex(endX, endY, startX, startY, EditorPort::VertexDrag::Move);
    finishGesture();
}

void OVAnimScreen::showRoomFull()
{
    noticeOn = true;
    noticeUntil = (getFrame() ? getFrame()->getTicks() : 0u) + 2000u;
    setDirty();
}

bool OVAnimScreen::roomFullNoticeShown()
{
    if (noticeOn && getFrame() && static_cast<int32_t>(noticeUntil - getFrame()->getTicks()) <= 0)
        noticeOn = false;
    return noticeOn;
}

} // namespace ovinta
