// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CView: a rectangle of the frame that draws itself and may take the mouse.
// Positions are frame pixels. The dirty flag and the values of controls may be
// set from the host's parameter thread (stores only); drawing and mouse
// handling happen on the GUI thread.
//
// Mouse input is event-driven. A press goes to mouse(); a view that wants the
// rest of the gesture (a drag, a held button) answers kMouseEventTrack and the
// frame captures the mouse for it: every later motion goes to onMouseMoved
// and every release to onMouseUp, wherever the pointer is, until the view
// answers something else or no button is held any more. Each handler returns
// at once; what the gesture needs between events (press point, entry value,
// last buttons) lives in the view. onMouseCancel ends a gesture that stops
// without a release: the view is being removed or the frame is closing.
// Without a capture, motion goes to the modal overlay (hover).

#include "toolkit/CDrawContext.h"
#include "toolkit/platform/PlatformWindow.h"

#include <atomic>

namespace ovinta {

class CFrame;
class CViewContainer;

// A view's answer to a mouse event. kMouseEventTrack: keep (or take) the
// mouse until the gesture ends.
enum CMouseEventResult { kMouseEventNotHandled = 0, kMouseEventHandled, kMouseEventTrack };

class CView {
public:
    explicit CView(const CRect& size);
    virtual ~CView() = default;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    // GUI thread: painting and input. draw is called by the frame with the
    // dirty flag already cleared.
    virtual void draw(CDrawContext* context);
    // A press at `where` (frame pixels); `buttons` holds the buttons down
    // (the new one included) and the modifier keys.
    virtual CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons);
    // The pointer moved, or the held buttons or modifiers changed, during this
    // view's gesture (or, for the modal overlay, while nothing is captured).
    virtual CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons);
    // A button came up during this view's gesture; `buttons` is what is still
    // held. A lost release arrives here as well, with no button held.
    virtual CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons);
    // The gesture ends without a release; the view stays alive for this call.
    virtual void onMouseCancel() {}
    virtual bool onKeyDown(const CKeyCode& key);
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

} // namespace ovinta
