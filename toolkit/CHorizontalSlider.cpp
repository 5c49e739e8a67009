// SPDX-License-Identifier: GPL-3.0-or-later
// CHorizontalSlider: handle geometry and the drag gesture.

#include "toolkit/CHorizontalSlider.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

CHorizontalSlider::CHorizontalSlider(const CRect& r, CControlListener* l, int t, int minP, int maxP, CBitmap* h,
                                     CBitmap* groove)
    : CControl(r, l, t, groove), handle(h), minPos(minP), maxPos(maxP)
{
    if (handle)
        handle->remember();
}

CHorizontalSlider::~CHorizontalSlider()
{
    if (handle)
        handle->forget();
}

int CHorizontalSlider::handleLeft() const
{
    const float t = getValueNormalized();
    return minPos + static_cast<int>(std::lround(t * static_cast<float>(maxPos - minPos)));
}

CRect CHorizontalSlider::handleRect() const
{
    const int w = handle ? handle->getWidth() : 8;
    return CRect(handleLeft(), size.top, handleLeft() + w, size.bottom);
}

float CHorizontalSlider::valueForHandleLeft(float left) const
{
    const float span = static_cast<float>(maxPos - minPos);
    const float t = span != 0.0f ? (left - static_cast<float>(minPos)) / span : 0.0f;
    return getMin() + std::clamp(t, 0.0f, 1.0f) * (getMax() - getMin());
}

void CHorizontalSlider::draw(CDrawContext* context)
{
    if (background)
        background->draw(context, size);
    if (handle)
        handle->drawTransparent(context, handleRect());
}

CMouseEventResult CHorizontalSlider::mouse(CDrawContext* context, CPoint& where, int buttons)
{
    if (!frame)
        return kMouseEventNotHandled;
    buttons = takeClick(context, buttons, kLButton);
    if (buttons == 0)
        return kMouseEventNotHandled;
    if (checkDefaultValue(context, buttons))
        return kMouseEventHandled;

    beginDrag();
    const int handleWidth = handleRect().width();
    // Where the handle was grabbed, pixels from its left edge.
    int grab = where.h - handleLeft();
    if (grab < 0 || grab >= handleWidth) {
        grab = handleWidth / 2;
        const float old = getValue();
        setValue(valueForHandleLeft(static_cast<float>(where.h - grab)));
        if (getValue() != old)
            notifyListener(context);
    }
    dragAnchorLeft = static_cast<float>(handleLeft());
    dragAnchorX = where.h;
    dragLastX = where.h;
    dragFine = (buttons & kShift) != 0;
    return kMouseEventTrack;
}

CMouseEventResult CHorizontalSlider::onMouseMoved(CDrawContext* context, CPoint where, int buttons)
{
    if (!isDragging())
        return kMouseEventNotHandled;
    if (!continueDrag(buttons))
        return kMouseEventHandled;
    if (const bool nowFine = (buttons & kShift) != 0; nowFine != dragFine) {
        // The speed changes from where the handle is now.
        dragFine = nowFine;
        dragAnchorLeft = static_cast<float>(handleLeft());
        dragAnchorX = dragLastX;
    }
    if (where.h != dragLastX) {
        dragLastX = where.h;
        const float moved = static_cast<float>(where.h - dragAnchorX) / (dragFine ? zoomFactor : 1.0f);
        const float old = getValue();
        setValue(valueForHandleLeft(dragAnchorLeft + moved));
        if (getValue() != old)
            notifyListener(context);
    }
    return kMouseEventTrack;
}

} // namespace ovinta
