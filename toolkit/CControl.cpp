// SPDX-License-Identifier: GPL-3.0-or-later
// CControl: value, tag, listener and gesture brackets.

#include "toolkit/CControl.h"

#include "toolkit/WindowEditor.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

CControl::CControl(const CRect& r, CControlListener* l, int t, CBitmap* bg) : CView(r), listener(l), tag(t)
{
    setBackground(bg);
}

CControl::~CControl()
{
    if (background)
        background->forget();
}

void CControl::setValue(float v)
{
    // NaN or infinity from a host or a chunk must not reach the drawing
    // maths; finite values outside the range are kept (some controls use them).
    if (std::isnan(v))
        v = vmin;
    else if (std::isinf(v))
        v = v > 0.0f ? vmax : vmin;
    if (value.exchange(v, std::memory_order_relaxed) != v)
        setDirty();
}

void CControl::bounceValue()
{
    const float v = getValue();
    if (v > vmax)
        setValue(vmax);
    else if (v < vmin || std::isnan(v))
        setValue(vmin);
}

void CControl::setBackground(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (background)
        background->forget();
    background = bitmap;
    setDirty();
}

void CControl::beginEdit()
{
    if (frame && frame->getEditor())
        frame->getEditor()->beginEdit(tag);
}

void CControl::endEdit()
{
    if (frame && frame->getEditor())
        frame->getEditor()->endEdit(tag);
}

bool CControl::checkDefaultValue(CDrawContext* context, int buttons)
{
    if ((buttons & (kButtonMask | kModifierMask)) != (kControl | kLButton))
        return false;
    beginEdit();
    setValue(defaultValue);
    notifyListener(context);
    endEdit();
    return true;
}

void CControl::notifyListener(CDrawContext* context)
{
    if (listener)
        listener->valueChanged(context, this);
}

float CControl::getValueNormalized() const
{
    const float range = getMax() - getMin();
    return range != 0.0f ? std::clamp((getValue() - getMin()) / range, 0.0f, 1.0f) : 0.0f;
}

void CControl::drawTwoStateFilm(CDrawContext* context)
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

int CControl::takeClick(CDrawContext* context, int buttons, int wanted)
{
    if (!mouseEnabled || !(buttons & wanted))
        return 0;
    if (listener && (buttons & kModifierMask) && listener->controlModifierClicked(context, this, buttons) != 0)
        return 0;
    return buttons;
}

void CControl::beginDrag()
{
    dragging = true;
    beginEdit();
}

bool CControl::continueDrag(int buttons)
{
    if (!dragging)
        return false;
    if (!(buttons & kLButton)) { // the left button came up unseen
        endDrag();
        return false;
    }
    return true;
}

CMouseEventResult CControl::onMouseUp(CDrawContext*, CPoint, int buttons)
{
    if (!dragging)
        return kMouseEventNotHandled;
    if (buttons & kLButton) // another button came up
        return kMouseEventTrack;
    endDrag();
    return kMouseEventHandled;
}

void CControl::onMouseCancel()
{
    if (dragging)
        endDrag();
}

void CControl::endDrag()
{
    dragging = false;
    endEdit();
}

} // namespace ovinta
