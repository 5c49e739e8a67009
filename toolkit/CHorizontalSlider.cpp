// CHorizontalSlider: handle geometry and the drag loop.

#include "toolkit/CHorizontalSlider.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cmath>

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

void CHorizontalSlider::mouse(CDrawContext* context, CPoint& where, int buttons)
{
    if (!frame)
        return;
    buttons = takeClick(context, buttons, kLButton);
    if (buttons == 0)
        return;
    if (checkDefaultValue(context, buttons))
        return;

    beginEdit();
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
    float anchorLeft = static_cast<float>(handleLeft()); // handle position when the fine mode changed
    int anchorX = where.h;
    int lastX = where.h;
    bool fine = (buttons & kShift) != 0;
    while (true) {
        const int b = frame->getCurrentMouseButtons();
        if (!(b & kLButton))
            break;
        where = frame->getCurrentMouseLocation();
        if (const bool nowFine = (b & kShift) != 0; nowFine != fine) {
            fine = nowFine;
            anchorLeft = static_cast<float>(handleLeft());
            anchorX = lastX;
        }
        if (where.h != lastX) {
            lastX = where.h;
            const float moved = static_cast<float>(where.h - anchorX) / (fine ? zoomFactor : 1.0f);
            const float old = getValue();
            setValue(valueForHandleLeft(anchorLeft + moved));
            if (getValue() != old)
                notifyListener(context);
        }
        frame->doIdleStuff();
    }
    endEdit();
}
