// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CFrame: the top view of the plug-in window. It owns the platform window, a
// backing store (an image surface the size of the window) and every view.
// Each idle delivers the OS input that has arrived, draws the dirty views
// into the backing store, presents the changed area and returns; nothing in
// it waits for the user. A press goes to the view under the mouse; when that
// view tracks the gesture (see CView) the frame captures the mouse for it and
// routes the following motion and releases to it, inside the window or not,
// until the gesture ends. A motion with no button held ends a gesture whose
// release was lost; removing the view or closing the frame cancels it. One
// modal view (an open popup menu) may sit over everything and receives all
// presses, and the motion nobody captured, while it is shown. GUI thread
// only, except setDirty/setValue on views and controls.

#include "toolkit/CViewContainer.h"
#include "toolkit/platform/PlatformWindow.h"

#include <memory>

namespace ovinta {

class WindowEditor;
class HeadlessWindow;

class CFrame : public CViewContainer, public PlatformEvents {
public:
    // Opens the platform window inside `parentWindow` (null: headless).
    CFrame(const CRect& size, void* parentWindow, WindowEditor* editor);
    ~CFrame() override;

    bool isOpen() const { return platform != nullptr; }
    WindowEditor* getEditor() const { return editor; }
    PlatformWindow* getPlatform() const { return platform.get(); }
    HeadlessWindow* getHeadless() const; // null unless headless
    CDrawContext* getBackingStore() const { return backing.get(); }

    // Idle: deliver the queued input, redraw, present.
    void idle();
    // Redraws the dirty views and pending invalid areas; presents them.
    void update();
    // Repaints everything now.
    void redrawAll();
    // Marks an area for repainting (background and the views over it).
    void invalidRect(const CRect& area);

    uint32_t getTicks();
    int getKnobMode() const;

    // Keyboard focus (text edits) and the modal overlay (popup menus).
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    void setModalView(CView* view); // takes ownership; null closes the current one
    CView* getModalView() const { return modalView; }
    void viewRemoved(CView* view); // a child is being deleted
    // The view whose gesture receives the mouse, or null.
    CView* getMouseCapture() const { return mouseCapture; }

    // PlatformEvents.
    void platformMouseDown(CPoint where, int buttonState) override;
    void platformMouseMoved(CPoint where, int buttonState) override;
    void platformMouseUp(CPoint where, int buttonState) override;
    bool platformKeyDown(const CKeyCode& key) override;
    void platformExposed(const CRect& area) override;
    void platformIdle() override;

private:
    void present(const CRect& area);
    void present(const DirtyRegion& region);
    void closeModalView();
    void deleteRetiredViews();
    // Ends the capture after `view` answered `result` to a mouse event.
    void afterCapturedEvent(CView* view, CMouseEventResult result, int buttonState);
    // Ends the current gesture without a release.
    void cancelMouseCapture();

    WindowEditor* editor;
    std::unique_ptr<CDrawContext> backing;    // window-sized ARGB picture
    std::unique_ptr<PlatformWindow> platform; // null when no window could open
    CRect invalid;                            // areas to repaint fully
    DirtyRegion changed;                      // drawn during the current update
    CView* focusView = nullptr;               // receives keys, not owned
    CView* modalView = nullptr;               // owned overlay, drawn last
    std::vector<CView*> retired;              // closed overlays, deleted once off the stack
    CView* mouseCapture = nullptr;            // the view tracking the current gesture, not owned
    bool inIdle = false;                      // guards against re-entry
};

} // namespace ovinta
