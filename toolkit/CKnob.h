// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CKnob: a rotary control. Drawn as an optional background bitmap with a
// pointer line (or handle bitmap) at startAngle + value * rangeAngle (radians,
// 0 at 3 o'clock, counter-clockwise). A drag turns it linearly (200 pixels
// for the full range, 1.5 times finer with Shift) or follows the mouse around
// the centre, depending on the editor's knob mode and Alt. The drag is one
// gesture (beginEdit at the press, endEdit at the release) advanced by the
// frame's mouse events; the listener hears every change.

#include "toolkit/CControl.h"

namespace ovinta {

class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int tag, CBitmap* background, CBitmap* handle,
          CPoint handleOffset = {});
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;

    void setStartAngle(float radians) { startAngle = radians; }
    void setRangeAngle(float radians) { rangeAngle = radians; }
    void setZoomFactor(float z) { zoomFactor = z > 0.0f ? z : 1.0f; }
    void setInsetValue(int inset) { insetValue = inset; }
    void setColorHandle(CColor c) { colorHandle = c; }

    // The value a pointer towards `where` (frame pixels) stands for.
    float valueFromPoint(CPoint where) const;
    // The pointer's tip for the current value, in frame pixels.
    CPoint pointerTip() const;

protected:
    // True when a drag with these buttons should move linearly.
    bool linearDrag(int buttons) const;
    // Value change per pixel of a linear drag with these buttons (Shift: finer).
    float linearCoefficient(int buttons) const;
    // The value a linear drag lands on, and the value a circular drag gives
    // for the mouse at `where`; knobs with other value rules override them.
    virtual float linearDragValue(float dragged) const { return dragged; }
    virtual float circularDragValue(CPoint where) const { return valueFromPoint(where); }

    CBitmap* handle = nullptr;
    CPoint handleOffset;
    float radius;                 // pixels from the centre to the edge
    float startAngle;             // radians, pointer at value = min
    float rangeAngle;             // radians swept from min to max (negative: clockwise)
    float zoomFactor = 1.5f;      // finer movement with Shift
    int insetValue = 3;           // pointer stops this far from the edge
    CColor colorHandle{230, 230, 230, 255};

private:
    // A move of the drag to `where` with `buttons` held.
    void applyDrag(CDrawContext* context, CPoint where, int buttons);

    // The drag in progress, kept between the frame's mouse events.
    bool dragLinear = false; // linear or circular, chosen at the press
    CPoint dragStart;        // the press point
    float dragEntry = 0.0f;  // value at the press, re-based when the speed changes
    float dragCoef = 0.0f;   // value per pixel of a linear drag
    int dragButtons = 0;     // buttons and modifiers at the last handled move
    CPoint dragLast;         // position of the last handled move
};

} // namespace ovinta
