// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CAnimKnob: a knob drawn as one frame of a vertical film (frame 0 at the
// top for the minimum, the last frame for the maximum).

#include "toolkit/CKnob.h"

namespace ovinta {

class CAnimKnob : public CKnob {
public:
    // `frameCount` frames of `frameHeight` pixels; frameHeight 0 means the
    // control's height.
    CAnimKnob(const CRect& size, CControlListener* listener, int tag, int frameCount, int frameHeight,
              CBitmap* film, CPoint filmOffset = {});

    void draw(CDrawContext* context) override;

    // The film frame shown for the current value: the nearest one.
    int currentFrame() const;
    int getFrameCount() const { return frameCount; }
    int getFrameHeight() const { return frameHeight; }

protected:
    int frameCount;   // frames in the film, >= 1
    int frameHeight;  // pixels per frame
    CPoint filmOffset;
};

} // namespace ovinta
