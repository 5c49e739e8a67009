// COnOffButton: toggle on press.

#include "toolkit/COnOffButton.h"

#include "toolkit/CBitmap.h"

COnOffButton::COnOffButton(const CRect& r, CControlListener* l, int t, CBitmap* film) : CControl(r, l, t, film)
{
    setDefaultValue(0.0f);
}

void COnOffButton::draw(CDrawContext* context)
{
    if (!background)
        return;
    const int frameHeight = background->getHeight() / 2;
    const CPoint offset(0, getValue() > 0.5f ? frameHeight : 0);
    if (transparent)
        background->drawTransparent(context, size, offset);
    else
        background->draw(context, size, offset);
}

void COnOffButton::mouse(CDrawContext* context, CPoint&, int buttons)
{
    buttons = takeClick(context, buttons, kLButton);
    if (buttons == 0)
        return;
    setValue(getValue() > 0.5f ? 0.0f : 1.0f);
    beginEdit();
    notifyListener(context);
    endEdit();
    setDirty();
}
