// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CAutoAnimation: a control that shows one frame of a vertical film while
// its "window" is open. The value is the frame number. A click on a closed
// animation opens it; a click on an open one steps to the next frame.

#include "toolkit/CControl.h"

namespace ovinta {

class CAutoAnimation : public CControl {
public:
    CAutoAnimation(const CRect& size, CControlListener* listener, int tag, int frameCount, int frameHeight,
                   CBitmap* film, CPoint filmOffset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;

    void openWindow() { windowOpened = true; setDirty(); }
    void closeWindow() { windowOpened = false; setDirty(); }
    bool isWindowOpened() const { return windowOpened; }
    void nextPixmap();     // wraps to frame 0 after the last
    void previousPixmap(); // wraps to the last frame before frame 0

protected:
    // The frame number shown for value `v`, within the film.
    int frameAt(float v) const;

    bool windowOpened = false;
    int frameHeight;       // pixels per frame
    int frameCount;        // frames in the film, >= 1
    int totalHeight;       // frameCount * frameHeight
    CPoint filmOffset;
};

} // namespace ovinta
