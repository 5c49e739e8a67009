// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CKickButton: a momentary button drawn from a 2-frame film. The value is 1
// while it is held down with the mouse over it and 0 after release; the
// listener hears both edges, inside one gesture (beginEdit .. endEdit).

#include "toolkit/CControl.h"

namespace ovinta {

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int tag, CBitmap* film);

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;
    CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons) override;
    void onMouseCancel() override;

private:
    void release(CDrawContext* context);

    bool held = false; // between the press and the release
};

} // namespace ovinta
