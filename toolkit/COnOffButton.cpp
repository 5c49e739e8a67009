// SPDX-License-Identifier: GPL-3.0-or-later
// COnOffButton: toggle on press.

#include "toolkit/COnOffButton.h"

#include "toolkit/CBitmap.h"

namespace ovinta {

COnOffButton::COnOffButton(const CRect& r, CControlListener* l, int t, CBitmap* film) : CControl(r, l, t, film)
{
    setDefaultValue(0.0f);
}

void COnOffButton::draw(CDrawContext* context)
{
    drawTwoStateFilm(context);
}

CMouseEventResult COnOffButton::mouse(CDrawContext* context, CPoint&, int buttons)
{
    buttons = takeClick(context, buttons, kLButton);
    if (buttons == 0)
        return kMouseEventNotHandled;
    setValue(getValue() > 0.5f ? 0.0f : 1.0f);
    beginEdit();
    notifyListener(context);
    endEdit();
    setDirty();
    return kMouseEventHandled;
}

} // namespace ovinta
