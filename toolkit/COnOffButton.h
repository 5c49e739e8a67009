// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// COnOffButton: a two-state button drawn from a 2-frame film (off on top, on
// below). Each press toggles the value between 0 and 1 and tells the
// listener inside a begin/end gesture.

#include "toolkit/CControl.h"

namespace ovinta {

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int tag, CBitmap* film);

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
};

} // namespace ovinta
