// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVAnimScreen: the editor's main 408 x 408 screen (tag 47). It shows one of
// four modes (0 edit view, 1 3D view, 2 EQ view, 3 export page) or, over
// them, the help pages, and it owns the mode logic they share: which mode
// the view buttons ask for, the temporary EQ view after an EQ change and its
// return, and the port's view-dirty signal.
//
// The edit view (this class) draws the room on the 50 x 50 m plan, 8 pixels
// per metre: a cached picture of the grid and the walls, and over it every
// draw the live overlay (markers with their rings, head arrow, temporary ray
// overlays, the drag preview). Its mouse gestures draw walls (LINES,
// BOXES), move joined vertices (EDIT), sweep walls away (right button) and
// drag the listener and the sources; CLEAR and UNDO act on the same room.
// Every edit goes through the engine's wall and marker calls and is written
// to the undo ring; after each step the screen tells its listener, which
// sends the positions as parameters 8-13.
//
// Threads: draw, mouse, clearRoom and undoGroup run on the GUI thread. The
// mode, tool and help fields are also set by the editor's parameter follow,
// so they are relaxed atomics.

#include "editor/screens/OVEqView.h"
#include "editor/screens/OVExportPage.h"
#include "editor/screens/OVHelpPages.h"
#include "editor/screens/OVRoom3DView.h"
#include "editor/screens/UndoHistory.h"
#include "core/EditorPort.h"
#include "model/OvintaProgram.h"
#include "toolkit/CControl.h"
#include "toolkit/COffscreenContext.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace ovinta {

class CBitmap;

enum ScreenMode : int { kEditMode = 0, k3DMode = 1, kEQMode = 2, kExportMode = 3 };
enum DrawingTool : int { kLinesTool = 2, kBoxesTool = 4, kEditTool = 8 };

// What the other modes need from the editor. The pictures are borrowed from
// the editor, which outlives the screen; any may be null. Without `eqLink`
// or `exportListener` that mode shows a plain panel.
struct MainScreenParts {
    CBitmap* background3D = nullptr;
    CBitmap* eqBackground = nullptr;
    CBitmap* bandDigits = nullptr;
    CBitmap* exportBackground = nullptr;
    EqEditLink* eqLink = nullptr;
    ExportPageListener* exportListener = nullptr;
    std::string exportPath; // folder and name prefix the file dialog offers
};

class OVAnimScreen : public CControl {
public:
    // `grid` (the plan's background) and `markers` (the 16 x 64 sprite
    // strip) are borrowed from the editor, which outlives the screen; either
    // may be null.
    OVAnimScreen(const CRect& size, CControlListener* listener, int tag, EditorPort& port, CBitmap* grid,
                 CBitmap* markers, const MainScreenParts& parts = {});
    ~OVAnimScreen() override;

    // ---- GUI thread -------------------------------------------------------------
    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;
    CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons) override;
    void onMouseCancel() override;
    // Keys go to the export page's own file-name entry while it is open.
    bool onKeyDown(const CKeyCode& key) override;

    // The last help page was clicked: true once, and the editor then
    // switches HELP off.
    bool takeHelpClosed() { return helpClosed.exchange(false, std::memory_order_relaxed); }

    // UNDO: takes back the newest edit group.
    void undoGroup();

    // The mode on screen (-1 before the first draw), the records UNDO can
    // still take back, whether the full-room notice shows, and the pixels
    // of the last draw (screen-local).
    int shownMode() const { return currentMode; }
    int undoDepth() const { return history.size(); }
    bool roomFullNoticeShown();
    const CDrawContext& shownPicture() const { return composite; }

    // ---- Any thread -------------------------------------------------------------
    // CLEAR: every wall goes, last first, as one undo group, at the next
    // draw (the undo history belongs to the GUI thread, and a host may send
    // the CLEAR tag from any thread).
    void requestClear()
    {
        clearRequested.store(true, std::memory_order_relaxed);
        setDirty();
    }
    // The 3D picture is rebuilt at the next draw (the room's height changed).
    void request3DRebuild() { rebuild3D.store(true, std::memory_order_relaxed); }

    // Screen-local pixel <-> grid metre on the plan.
    static int gridPixel(float metres);   // wall ends and tools: 8 m + 4
    static int gridMetre(int pixel);      // trunc(p / 8), clamped to 0..50

    std::atomic<int> requestedMode{kEditMode}; // ScreenMode asked for by the view buttons
    std::atomic<int> savedMode{-1};            // mode to return to after a temporary EQ view, -1 none
    std::atomic<int> tool{kLinesTool};         // DrawingTool
    std::atomic<int> helpPage{0};              // page shown while help is visible
    std::atomic<bool> helpVisible{false};      // the help pages cover the modes

private:
    // A wall on the plan in whole metres.
    struct GridWall {
        int x1, y1, x2, y2;
    };
    enum class Gesture { None, Tool, Marker, Sweep };
    enum class MouseStep { Down, Moved, Up, Cancel };

    // ---- Modes (OVAnimScreen.cpp) ----
    void clearRoom();
    void chooseMode();
    void countTempViewTick();
    void syncHistoryWithRoom();

    // ---- The other modes and the help pages: each has its own class, and
    // these hand the drawing and the mouse to it. ----
    void drawMode3D(COffscreenContext& into);
    void drawEqView(COffscreenContext& into);
    void drawExportPage(COffscreenContext& into);
    void drawHelp(COffscreenContext& into);
    CMouseEventResult mouseMode3D(MouseStep step, CPoint local, int buttons);
    CMouseEventResult mouseEqView(MouseStep step, CPoint local, int buttons);
    CMouseEventResult mouseExportPage(MouseStep step, CPoint local, int buttons);
    CMouseEventResult mouseHelp(MouseStep step, CPoint local, int buttons);
    CMouseEventResult mouseOtherMode(MouseStep step, CPoint local, int buttons);
    template <typename View>
    CMouseEventResult forward(View& view, MouseStep step, CPoint local, int buttons);

    // ---- Edit view drawing (EditViewDraw.cpp) ----
    void drawEditPicture();
    void drawOverlay(CDrawContext& c);
    void drawMarkers(CDrawContext& c);
    void drawHeadArrow(CDrawContext& c);
    void drawTempOverlay(CDrawContext& c);
    void drawDragPreview(CDrawContext& c);
    void drawNotice(CDrawContext& c);
    void drawWall(CDrawContext& c, const GridWall& w);
    void drawEndDot(CDrawContext& c, CPoint centre);

    // ---- Edit view mouse (EditViewMouse.cpp) ----
    CMouseEventResult editPress(CPoint local, int buttons);
    void editStep(int u, int v);
    void editRelease();
    void abandonGesture();
    bool roomReplaced();
    bool pickMarker(CPoint local);
    void moveDraggedMarker(int u, int v);
    void sweepAt(int u, int v);
    void finishVertexMove();
    void addWallGroup(const GridWall* group, int count);
    void finishGesture();
    void reportStep(CDrawContext* context);
    bool mirrorOn() const;

    void push(UndoType type, const GridWall& w, bool continues);
    void showRoomFull();

    EditorPort& port;
    CBitmap* gridBitmap = nullptr;    // borrowed
    CBitmap* markerBitmap = nullptr;  // borrowed
    COffscreenContext picture;        // the static part of the current mode
    COffscreenContext composite;      // picture + live overlay, copied to the window
    Wall walls[kMaxWalls];            // scratch copy of the engine's walls
    RayOverlay rays[kMaxRays];           // scratch copy for the temporary overlays
    CPoint wallEnds[2 * kMaxWalls];   // the walls as pixel segments, drawn in one stroke
    CBitmap* endDot = nullptr;        // a wall end's circle, drawn once, then copied

    int currentMode = -1;             // ScreenMode on screen, -1 before the first draw
    std::atomic<bool> rebuild3D{false};
    std::atomic<bool> helpClosed{false};
    std::unique_ptr<OVRoom3DView> room3D;
    std::unique_ptr<OVEqView> eqView;
    std::unique_ptr<OVExportPage> exportPage;
    OVHelpPages help;
    bool helpShownLastDraw = false;
    std::atomic<bool> clearRequested{false};

    // Gesture state, between a press and its release.
    Gesture gesture = Gesture::None;
    EditorPort::Marker draggedMarker = EditorPort::Marker::Listener;
    int otherModeGesture = -1;        // mode that took the press, -1 none
    bool vertexPicked = false;        // EDIT: some wall end follows the pointer
    int startX = 0, startY = 0;       // grid point where the gesture started
    int endX = 0, endY = 0;           // grid point the gesture has reached
    bool rubberBand = false;          // LINES/BOXES preview shows
    int roomGeneration = 0;           // rooms loaded so far (history resets)
    int gestureRoom = 0;              // roomGeneration when the gesture started

    int sourcePhase = 0;              // 0..15, source rings grow
    int listenerPhase = 0;            // 0..15, the listener ring shrinks
    uint32_t noticeUntil = 0;         // frame tick when the full-room notice goes
    bool noticeOn = false;

    UndoHistory history;
};

} // namespace ovinta
