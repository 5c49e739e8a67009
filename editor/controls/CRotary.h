// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CRotary: a knob whose value wraps around instead of stopping at its ends,
// quantised to 32 positions (k/32, k = 0..31). A linear drag of 200 pixels
// (300 with Shift) turns it once around; in circular mode the pointer follows
// the mouse around the centre, 0 pointing down, increasing clockwise.
// CAnimRotary draws it from a film that turns once around (the head-angle
// knob). GUI thread, except setValue.

#include "toolkit/CKnob.h"

namespace ovinta {

// Quantise and wrap: (trunc(u * 32) AND 31) / 32, the AND acting on the
// two's-complement integer, so negative values wrap upwards.
float wrap32(float u);

class CRotary : public CKnob {
public:
    CRotary(const CRect& size, CControlListener* listener, int tag, CBitmap* background);
    ~CRotary() override;

    // The value the circular mode gives for a mouse at `where` (frame pixels).
    float circularValue(CPoint where) const;

protected:
    // Drags wrap around instead of stopping at the ends.
    float linearDragValue(float dragged) const override { return wrap32(dragged); }
    float circularDragValue(CPoint where) const override { return circularValue(where); }
};

class CAnimRotary : public CRotary {
public:
    CAnimRotary(const CRect& size, CControlListener* listener, int tag, int frameCount, int frameHeight,
                CBitmap* film, CPoint filmOffset = {});
    ~CAnimRotary() override;

    void draw(CDrawContext* context) override;

    // Vertical offset into the film for the current value (before filmOffset).
    int filmPosition() const;

private:
    int frameCount;  // frames in the film, >= 1
    int frameHeight; // pixels per frame, >= 1
    CPoint filmOffset;
};

} // namespace ovinta
