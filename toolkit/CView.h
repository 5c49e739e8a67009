#pragma once
// CView: a rectangle of the frame that draws itself and may take the mouse.
// Positions are frame pixels. The dirty flag and the values of controls may be
// set from the host's parameter thread (stores only); drawing and mouse
// handling happen on the GUI thread.

#include "toolkit/CDrawContext.h"
#include "toolkit/platform/PlatformWindow.h"

#include <atomic>

class CFrame;
class CViewContainer;

class CView {
public:
    explicit CView(const CRect& size);
    virtual ~CView() = default;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    // GUI thread: painting and input. draw is called by the frame with the
    // dirty flag already cleared.
    virtual void draw(CDrawContext* context);
    // A press at `where` (frame pixels). buttons <= 0 means "ask the frame";
    // tracking loops poll the frame and call its doIdleStuff.
    virtual void mouse(CDrawContext* context, CPoint& where, int buttons = -1);
    virtual bool onKeyDown(const CKeyCode& key);
    virtual void mouseMoved(CPoint) {} // hover, for overlays
    virtual void looseFocus() {}  // another view took the keyboard
    virtual bool hitTest(CPoint where) const { return size.pointInside(where); }

    // Any thread: request a redraw at the next idle.
    virtual void setDirty(bool dirty = true) { dirtyFlag.store(dirty, std::memory_order_relaxed); }
    virtual bool isDirty() const { return dirtyFlag.load(std::memory_order_relaxed); }

    void setMouseEnabled(bool enabled) { mouseEnabled = enabled; }
    bool getMouseEnabled() const { return mouseEnabled; }
    // Transparent views are drawn over a fresh copy of the frame background.
    void setTransparency(bool t) { transparent = t; }
    bool getTransparency() const { return transparent; }
    void setVisible(bool v);
    bool isVisible() const { return visible; }

    const CRect& getViewSize() const { return size; }
    void setViewSize(const CRect& r);
    int getWidth() const { return size.width(); }
    int getHeight() const { return size.height(); }

    CFrame* getFrame() const { return frame; }
    virtual void attached(CFrame* f) { frame = f; }

protected:
    CRect size;
    CFrame* frame = nullptr;
    bool mouseEnabled = true;
    bool transparent = false;
    bool visible = true;

private:
    std::atomic<bool> dirtyFlag{true};
};
