// SPDX-License-Identifier: GPL-3.0-or-later
// OVAnimScreen: construction, the mode logic, CLEAR and UNDO, and the
// places where the other modes and the help pages are wired in.

#include "editor/screens/OVAnimScreen.h"

#include "editor/screens/ScreenPanel.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>

namespace ovinta {

namespace {
constexpr int kPixelsPerMetre = 8;
constexpr int kPlanMetres = 50;
constexpr CColor kPlaceholderText{118, 128, 112, 255};

// A plain panel with the mode's name: what a mode shows until its own view
// is wired in.
void drawPlaceholder(COffscreenContext& into, const char* name)
{
    screenpanel::paint(into);
    into.setFontColor(kPlaceholderText);
    into.setFont(kNormalFontBig);
    into.drawString(name, CRect(0, 0, into.getWidth(), into.getHeight()));
}
} // namespace

OVAnimScreen::OVAnimScreen(const CRect& r, CControlListener* l, int t, EditorPort& e, CBitmap* grid,
                           CBitmap* markers, const MainScreenParts& parts)
    : CControl(r, l, t, nullptr), port(e), gridBitmap(grid), markerBitmap(markers),
      picture(r.width(), r.height(), kBlackCColor), composite(r.width(), r.height(), kBlackCColor)
{
    room3D = std::make_unique<OVRoom3DView>(port, parts.background3D);
    if (parts.eqLink != nullptr)
        eqView = std::make_unique<OVEqView>(port, *parts.eqLink, parts.eqBackground, parts.bandDigits);
    if (parts.exportListener != nullptr)
        exportPage = std::make_unique<OVExportPage>(port, *parts.exportListener, parts.exportBackground,
                                                  parts.exportPath);
    port.setViewDirty(true);
}

OVAnimScreen::~OVAnimScreen()
{
    if (endDot)
        endDot->forget();
}

int OVAnimScreen::gridPixel(float metres)
{
    return kPixelsPerMetre * static_cast<int>(metres) + kPixelsPerMetre / 2;
}

int OVAnimScreen::gridMetre(int pixel)
{
    return pixel < 0 ? 0 : std::min(pixel / kPixelsPerMetre, kPlanMetres);
}

// ---- Modes ----------------------------------------------------------------------

void OVAnimScreen::draw(CDrawContext* context)
{
    if (clearRequested.exchange(false, std::memory_order_relaxed))
        clearRoom();
    if (helpVisible.load(std::memory_order_relaxed)) {
        // No temporary EQ view while the help is read.
        if (port.temporaryView() == kTemporaryEq)
            port.setTemporaryView(kTemporaryNone, 0);
        drawHelp(composite);
        composite.copyFrom(context, size);
        setDirty(false);
        return;
    }
    if (helpShownLastDraw) {
        // Back from the help: the mode's picture is drawn afresh.
        helpShownLastDraw = false;
        port.setViewDirty(true);
    }
    chooseMode();
    if (currentMode == kExportMode) {
        drawExportPage(composite);
    } else {
        // The 3D view turns with the animation, so it is drawn every time.
        // A replaced room (program load) is redrawn as well.
        const bool roomReplaced = currentMode == kEditMode && port.roomDirty();
        if (port.viewDirty() || roomReplaced || currentMode == k3DMode) {
            port.setViewDirty(false);
            if (currentMode == k3DMode)
                drawMode3D(picture);
            else if (currentMode == kEQMode)
                drawEqView(picture);
            else
                drawEditPicture();
        }
        picture.copyFrom(&composite, CRect(0, 0, picture.getWidth(), picture.getHeight()));
        if (currentMode == kEditMode)
            drawOverlay(composite);
        // A failed export is announced over whatever mode shows.
        OVExportPage::drawErrorBanner(composite, port);
    }
    composite.copyFrom(context, size);
    countTempViewTick();
    setDirty(false);
}

void OVAnimScreen::chooseMode()
{
    // A change of an EQ control shows the EQ view for a while, then returns
    // to the mode that was shown before.
    const int ticks = port.temporaryViewTicks();
    if (ticks > 0 && port.temporaryView() == kTemporaryEq) {
        const int saved = savedMode.load(std::memory_order_relaxed);
        if (saved == -1) {
            if (currentMode != kEQMode) {
                // Before the first draw nothing is shown yet: return to the
                // mode the buttons ask for.
                const int back = currentMode >= 0 ? currentMode : requestedMode.load(std::memory_order_relaxed);
                savedMode.store(back, std::memory_order_relaxed);
                requestedMode.store(kEQMode, std::memory_order_relaxed);
            } else {
                port.setTemporaryView(kTemporaryNone, 0); // the EQ view is shown anyway
            }
        } else if (ticks == 1) {
            requestedMode.store(saved, std::memory_order_relaxed);
            savedMode.store(-1, std::memory_order_relaxed);
            port.setViewDirty(true);
        }
    }
    const int requested = requestedMode.load(std::memory_order_relaxed);
    if (port.viewDirty() || requested != currentMode) {
        if (requested == k3DMode)
            rebuild3D.store(true, std::memory_order_relaxed);
        if (requested != currentMode) {
            // A drag in the mode left ends, and the EQ view drops its band.
            if (otherModeGesture >= 0)
                mouseOtherMode(MouseStep::Cancel, CPoint(), 0);
            if (eqView)
                eqView->modeChanged();
            currentMode = requested;
            port.setViewDirty(true);
        }
    }
}

void OVAnimScreen::countTempViewTick()
{
    const int ticks = port.temporaryViewTicks();
    if (ticks <= 0)
        return;
    if (ticks == 1)
        port.setTemporaryView(kTemporaryNone, 0);
    else
        port.setTemporaryViewTicks(ticks - 1);
}

// A program load replaced the room: what the ring holds belongs to the old
// room and must not be applied to the new one.
void OVAnimScreen::syncHistoryWithRoom()
{
    if (!port.roomDirty())
        return;
    port.clearRoomDirty();
    history.reset();
    ++roomGeneration;
    port.setViewDirty(true);
}

// ---- CLEAR and UNDO ------------------------------------------------------------------

void OVAnimScreen::clearRoom()
{
    syncHistoryWithRoom();
    // Last first, so no wall moves down while the list empties.
    const int count = port.copyWalls(walls);
    for (int k = 0; k < count; ++k) {
        const Wall& w = walls[count - 1 - k];
        push(kUndoWallRemoved, GridWall{static_cast<int>(w.x1), static_cast<int>(w.y1), static_cast<int>(w.x2),
                                        static_cast<int>(w.y2)},
             k > 0);
        port.deleteWall(count - 1 - k);
    }
    port.setViewDirty(true);
    setDirty();
}

void OVAnimScreen::undoGroup()
{
    syncHistoryWithRoom();
    UndoRecord r;
    while (history.pop(r)) {
        switch (r.type) {
        case kUndoListenerMoved:
        case kUndoSource1Moved:
        case kUndoSource2Moved:
            port.moveMarker(static_cast<EditorPort::Marker>(r.type - kUndoListenerMoved), r.x1, r.y1);
            break;
        case kUndoWallAdded:
            port.deleteWallByEnds(r.x1, r.y1, r.x2, r.y2);
            port.setViewDirty(true);
            break;
        case kUndoWallRemoved:
            if (!port.insertWall(r.x1, r.y1, r.x2, r.y2))
                showRoomFull();
            port.setViewDirty(true);
            break;
        default: break;
        }
        if (r.continues != 1)
            break;
    }
    setDirty();
}

void OVAnimScreen::push(UndoType type, const GridWall& w, bool continues)
{
    UndoRecord r;
    r.x1 = static_cast<int8_t>(w.x1);
    r.y1 = static_cast<int8_t>(w.y1);
    r.x2 = static_cast<int8_t>(w.x2);
    r.y2 = static_cast<int8_t>(w.y2);
    r.type = type;
    r.continues = continues ? 1 : 0;
    history.push(r);
}

// ---- The other modes and the help pages -------------------------------------------------

void OVAnimScreen::drawMode3D(COffscreenContext& into)
{
    if (rebuild3D.exchange(false, std::memory_order_relaxed))
        room3D->requestRebuild();
    room3D->setMarkerPhases(sourcePhase, listenerPhase);
    room3D->draw(into);
}

void OVAnimScreen::drawEqView(COffscreenContext& into)
{
    if (eqView)
        eqView->draw(into);
    else
        drawPlaceholder(into, "EQ VIEW");
}

void OVAnimScreen::drawExportPage(COffscreenContext& into)
{
    if (exportPage)
        exportPage->draw(into);
    else
        drawPlaceholder(into, "EXPORT I.R.");
}

void OVAnimScreen::drawHelp(COffscreenContext& into)
{
    if (!helpShownLastDraw) {
        help.open();
        helpShownLastDraw = true;
    }
    help.draw(into);
}

// A step of a gesture handed to a view with the usual four calls.
template <typename View>
CMouseEventResult OVAnimScreen::forward(View& view, MouseStep step, CPoint local, int buttons)
{
    CMouseEventResult result = kMouseEventNotHandled;
    switch (step) {
    case MouseStep::Down: result = view.mouseDown(local, buttons); break;
    case MouseStep::Moved: result = view.mouseMoved(local, buttons); break;
    case MouseStep::Up: result = view.mouseUp(local, buttons); break;
    case MouseStep::Cancel: view.mouseCancel(); break;
    }
    setDirty();
    return result;
}

CMouseEventResult OVAnimScreen::mouseMode3D(MouseStep step, CPoint local, int buttons)
{
    return forward(*room3D, step, local, buttons);
}

CMouseEventResult OVAnimScreen::mouseEqView(MouseStep step, CPoint local, int buttons)
{
    return eqView ? forward(*eqView, step, local, buttons) : kMouseEventNotHandled;
}

CMouseEventResult OVAnimScreen::mouseExportPage(MouseStep step, CPoint local, int buttons)
{
    if (!exportPage || step != MouseStep::Down)
        return kMouseEventNotHandled;
    const OVExportPage::Click click = exportPage->mouseDown(local, buttons);
    if (click != OVExportPage::kIgnored)
        setDirty();
    // The page's own file-name entry takes the keyboard while it is open.
    if (exportPage->wantsKeyboard() && getFrame() != nullptr)
        getFrame()->setFocusView(this);
    return kMouseEventHandled;
}

CMouseEventResult OVAnimScreen::mouseHelp(MouseStep step, CPoint local, int buttons)
{
    if (step != MouseStep::Down)
        return kMouseEventHandled;
    const OVHelpPages::Click click = help.mouseDown(local, buttons);
    if (click == OVHelpPages::kClose) {
        helpVisible.store(false, std::memory_order_relaxed);
        helpClosed.store(true, std::memory_order_relaxed);
    }
    if (click != OVHelpPages::kIgnored)
        setDirty();
    return kMouseEventHandled;
}

bool OVAnimScreen::onKeyDown(const CKeyCode& key)
{
    if (!exportPage || currentMode != kExportMode || !exportPage->wantsKeyboard())
        return false;
    const OVExportPage::Click click = exportPage->onKeyDown(key);
    if (click == OVExportPage::kIgnored)
        return false;
    setDirty();
    if (!exportPage->wantsKeyboard() && getFrame() != nullptr && getFrame()->getFocusView() == this)
        getFrame()->setFocusView(nullptr);
    return true;
}

// Sends a gesture to the help pages or to the mode that took its press.
CMouseEventResult OVAnimScreen::mouseOtherMode(MouseStep step, CPoint local, int buttons)
{
    const int mode = step == MouseStep::Down ? (helpVisible.load(std::memory_order_relaxed) ? -2 : currentMode)
                                             : otherModeGesture;
    CMouseEventResult result = kMouseEventNotHandled;
    switch (mode) {
    case -2: result = mouseHelp(step, local, buttons); break;
    case k3DMode: result = mouseMode3D(step, local, buttons); break;
    case kEQMode: result = mouseEqView(step, local, buttons); break;
    case kExportMode: result = mouseExportPage(step, local, buttons); break;
    default: break;
    }
    otherModeGesture = result == kMouseEventTrack ? mode : -1;
    return result;
}

} // namespace ovinta
