// CKickButton: press, hold, release.

#include "toolkit/CKickButton.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

CKickButton::CKickButton(const CRect& r, CControlListener* l, int t, CBitmap* film) : CControl(r, l, t, film)
{
    setDefaultValue(0.0f);
}

void CKickButton::draw(CDrawContext* context)
{
    drawTwoStateFilm(context);
}

void CKickButton::mouse(CDrawContext* context, CPoint& where, int buttons)
{
    if (!frame)
        return;
    buttons = takeClick(context, buttons, kLButton);
    if (buttons == 0)
        return;
    beginEdit();
    setValue(1.0f);
    notifyListener(context);
    // While held, the button shows pressed only with the mouse over it.
    while (frame->getCurrentMouseButtons() & kLButton) {
        where = frame->getCurrentMouseLocation();
        const float shown = size.pointInside(where) ? 1.0f : 0.0f;
        if (shown != getValue())
            setValue(shown);
        frame->doIdleStuff();
    }
    setValue(0.0f);
    notifyListener(context);
    endEdit();
}
