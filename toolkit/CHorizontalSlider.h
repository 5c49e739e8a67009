// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CHorizontalSlider: a groove bitmap with a handle bitmap whose left edge
// moves between minPos (value min) and maxPos (value max), in frame pixels.
// Pressing the handle drags it from where it was grabbed; pressing the groove
// centres the handle under the mouse first. Shift makes the drag finer. The
// drag is one gesture (beginEdit at the press, endEdit at the release)
// advanced by the frame's mouse events.

#include "toolkit/CControl.h"

namespace ovinta {

class CHorizontalSlider : public CControl {
public:
    CHorizontalSlider(const CRect& size, CControlListener* listener, int tag, int minPos, int maxPos,
                      CBitmap* handle, CBitmap* groove);
    ~CHorizontalSlider() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;

    void setZoomFactor(float z) { zoomFactor = z > 0.0f ? z : 1.0f; }
    // The handle's left edge for the current value.
    int handleLeft() const;
    CRect handleRect() const;

private:
    float valueForHandleLeft(float left) const;

    CBitmap* handle;
    int minPos;        // handle left edge at the minimum
    int maxPos;        // handle left edge at the maximum
    float zoomFactor = 10.0f;

    // The drag in progress, kept between the frame's mouse events.
    bool dragFine = false;        // Shift held at the last event
    float dragAnchorLeft = 0.0f;  // handle position when the fine mode last changed
    int dragAnchorX = 0;          // mouse x at that moment
    int dragLastX = 0;            // mouse x of the last handled move
};

} // namespace ovinta
