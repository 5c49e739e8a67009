// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CInstSelect: a click-to-cycle selector showing one captioned state of a
// film in which every state has a normal and a pressed frame. The value's
// whole part is the state; +0.5 while the mouse button is held shows the
// pressed frame. Each click advances to the next state (after the last, the
// first) and reports it when the last mouse button comes up. The editor uses it for the number of
// outputs: states 0, 1, 2 = 2, 4, 5 outputs. GUI thread, except setValue.

#include "toolkit/CAutoAnimation.h"

namespace ovinta {

class CInstSelect : public CAutoAnimation {
public:
    // `frameCount` frames of `frameHeight` pixels: states = frameCount / 2.
    CInstSelect(const CRect& size, CControlListener* listener, int tag, int frameCount, int frameHeight,
                CBitmap* film, CPoint filmOffset = {});
    ~CInstSelect() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;
    CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons) override;
    void onMouseCancel() override;

    // Vertical offset into the film for the current value (before filmOffset).
    int filmPosition() const;

private:
    void advance(CDrawContext* context);

    bool held = false; // pressed, the pressed look showing
};

} // namespace ovinta
