#pragma once
// CHorizontalSlider: a groove bitmap with a handle bitmap whose left edge
// moves between minPos (value min) and maxPos (value max), in frame pixels.
// Pressing the handle drags it from where it was grabbed; pressing the groove
// centres the handle under the mouse first. Shift makes the drag finer.

#include "toolkit/CControl.h"

class CHorizontalSlider : public CControl {
public:
    CHorizontalSlider(const CRect& size, CControlListener* listener, int tag, int minPos, int maxPos,
                      CBitmap* handle, CBitmap* groove);
    ~CHorizontalSlider() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int buttons = -1) override;

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
};
