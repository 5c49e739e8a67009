#pragma once
// OVAnimScreen: the editor's main 408 x 408 screen (tag 47). It shows one of
// four modes (0 edit view, 1 3D view, 2 EQ view, 3 export page) or, over
// them, the help pages. This version draws the room as it is: the engine's
// walls, the listener and the sources on the 50 x 50 m plan, 8 pixels per
// metre; it does not edit.
//
// Threads: draw runs on the GUI thread. The mode, tool and help fields are
// set by the editor's parameter follow, which may run on the host's
// parameter thread, so they are relaxed atomics.

#include "toolkit/CControl.h"
#include "model/OvintaProgram.h"
#include "toolkit/COffscreenContext.h"

#include <atomic>

class RoomEngine;

enum ScreenMode : int { kEditMode = 0, k3DMode = 1, kEQMode = 2, kExportMode = 3 };
enum DrawingTool : int { kLinesTool = 2, kBoxesTool = 4, kEditTool = 8 };

class OVAnimScreen : public CControl {
public:
    OVAnimScreen(const CRect& size, CControlListener* listener, int tag, RoomEngine& engine);
    ~OVAnimScreen() override;

    void draw(CDrawContext* context) override;

    // Removes every wall of the room (engine and current program).
    void clearRoom();
    // The 3D picture is rebuilt at the next draw (the room's height changed).
    void request3DRebuild() { rebuild3D.store(true, std::memory_order_relaxed); }

    // Pixel of grid metre m on the screen, relative to its top-left corner.
    static int gridPixel(float metres);

    std::atomic<int> requestedMode{kEditMode}; // ScreenMode asked for by the view buttons
    std::atomic<int> savedMode{-1};            // mode to return to after a temporary EQ view, -1 none
    std::atomic<int> tool{kLinesTool};         // DrawingTool
    std::atomic<int> helpPage{0};              // page shown while help is visible
    std::atomic<bool> helpVisible{false};      // the help pages cover the modes

private:
    void drawRoom();
    void drawMarker(float xMetres, float yMetres, CColor colour);

    RoomEngine& engine;
    COffscreenContext picture; // 408 x 408, the screen's pixels
    Wall walls[kMaxWalls];     // copy of the engine's walls for one draw
    std::atomic<bool> rebuild3D{false};
};
