// SPDX-License-Identifier: GPL-3.0-or-later
// CKickButton: press, hold, release.

#include "toolkit/CKickButton.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

namespace ovinta {

CKickButton::CKickButton(const CRect& r, CControlListener* l, int t, CBitmap* film) : CControl(r, l, t, film)
{
    setDefaultValue(0.0f);
}

void CKickButton::draw(CDrawContext* context)
{
    drawTwoStateFilm(context);
}

CMouseEventResult CKickButton::mouse(CDrawContext* context, CPoint&, int buttons)
{
    if (!frame)
        return kMouseEventNotHandled;
    buttons = takeClick(context, buttons, kLButton);
    if (buttons == 0)
        return kMouseEventNotHandled;
    held = true;
    beginEdit();
    setValue(1.0f);
    notifyListener(context);
    return kMouseEventTrack;
}

CMouseEventResult CKickButton::onMouseMoved(CDrawContext* context, CPoint where, int buttons)
{
    if (!held)
        return kMouseEventNotHandled;
    if (!(buttons & kLButton)) { // the left button came up unseen
        release(context);
        return kMouseEventHandled;
    }
    // While held, the button shows pressed only with the mouse over it.
    setValue(size.pointInside(where) ? 1.0f : 0.0f);
    return kMouseEventTrack;
}

CMouseEventResult CKickButton::onMouseUp(CDrawContext* context, CPoint, int buttons)
{
    if (!held)
        return kMouseEventNotHandled;
    if (buttons & kLButton) // another button came up
        return kMouseEventTrack;
    release(context);
    return kMouseEventHandled;
}

void CKickButton::onMouseCancel()
{
    // No release, no action: only the look and the gesture end.
    if (!held)
        return;
    held = false;
    setValue(0.0f);
    endEdit();
}

void CKickButton::release(CDrawContext* context)
{
    held = false;
    setValue(0.0f);
    notifyListener(context);
    endEdit();
}

} // namespace ovinta
