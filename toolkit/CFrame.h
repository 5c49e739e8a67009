#pragma once
// CFrame: the top view of the plug-in window. It owns the platform window, a
// backing store (an image surface the size of the window) and every view.
// During idle it delivers OS input, draws the dirty views into the backing
// store and presents the changed area. A press runs the view's own tracking
// loop, which polls getCurrentMouseButtons/Location and calls doIdleStuff.
// One modal view (an open popup menu) may sit over everything and receives
// all presses while it is shown. GUI thread only, except setDirty/setValue on
// views and controls.

#include "toolkit/CViewContainer.h"
#include "toolkit/platform/PlatformWindow.h"

#include <memory>

class AEffGUIEditor;
class HeadlessWindow;

class CFrame : public CViewContainer, public PlatformEvents {
public:
    // Opens the platform window inside `parentWindow` (null: headless).
    CFrame(const CRect& size, void* parentWindow, AEffGUIEditor* editor);
    ~CFrame() override;

    bool isOpen() const { return platform != nullptr; }
    AEffGUIEditor* getEditor() const { return editor; }
    PlatformWindow* getPlatform() const { return platform.get(); }
    HeadlessWindow* getHeadless() const; // null unless headless
    CDrawContext* getBackingStore() const { return backing.get(); }

    // Idle: deliver input (not while a tracking loop runs), redraw, present.
    void idle();
    // Called by tracking loops: the editor's idle when there is one.
    void doIdleStuff();
    // Redraws the dirty views and pending invalid areas; presents them.
    void update();
    // Repaints everything now.
    void redrawAll();
    // Marks an area for repainting (background and the views over it).
    void invalidRect(const CRect& area);

    // Live input state for tracking loops.
    CPoint getCurrentMouseLocation();
    int getCurrentMouseButtons();
    uint32_t getTicks();
    int getKnobMode() const;

    // Keyboard focus (text edits) and the modal overlay (popup menus).
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    void setModalView(CView* view); // takes ownership; null closes the current one
    CView* getModalView() const { return modalView; }
    void viewRemoved(CView* view); // a child is being deleted

    // PlatformEvents.
    void platformMouseDown(CPoint where, int buttonState) override;
    void platformMouseMoved(CPoint where, int buttonState) override;
    bool platformKeyDown(const CKeyCode& key) override;
    void platformExposed(const CRect& area) override;

private:
    void present(const CRect& area);
    void present(const DirtyRegion& region);
    void closeModalView();
    void deleteRetiredViews();

    AEffGUIEditor* editor;
    std::unique_ptr<CDrawContext> backing;    // window-sized ARGB picture
    std::unique_ptr<PlatformWindow> platform; // null when no window could open
    CRect invalid;                            // areas to repaint fully
    DirtyRegion changed;                      // drawn during the current update
    CView* focusView = nullptr;               // receives keys, not owned
    CView* modalView = nullptr;               // owned overlay, drawn last
    std::vector<CView*> retired;              // closed overlays, deleted once off the stack
    int trackingDepth = 0;                    // > 0 while a view's mouse loop runs
    bool inIdle = false;                      // guards against re-entry
};
