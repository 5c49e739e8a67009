// SPDX-License-Identifier: GPL-3.0-or-later
// CAutoAnimation: film frames by number.

#include "toolkit/CAutoAnimation.h"

#include "toolkit/CBitmap.h"

#include <algorithm>

namespace ovinta {

CAutoAnimation::CAutoAnimation(const CRect& r, CControlListener* l, int t, int count, int height, CBitmap* film,
                               CPoint offset)
    : CControl(r, l, t, film), frameHeight(height > 0 ? height : r.height()), frameCount(std::max(count, 1)),
      totalHeight(frameCount * frameHeight), filmOffset(offset)
{
    setMax(static_cast<float>(frameCount - 1));
    setDefaultValue(0.0f);
}

void CAutoAnimation::draw(CDrawContext* context)
{
    if (!windowOpened || !background)
        return;
    const int frameIndex = frameAt(getValue());
    const CPoint offset(filmOffset.h, filmOffset.v + frameIndex * frameHeight);
    if (transparent)
        background->drawTransparent(context, size, offset);
    else
        background->draw(context, size, offset);
}

int CAutoAnimation::frameAt(float v) const
{
    // Clamped as a float first: converting an out-of-range float is undefined.
    return static_cast<int>(std::clamp(v, 0.0f, static_cast<float>(frameCount - 1)));
}

void CAutoAnimation::nextPixmap()
{
    const int next = frameAt(getValue()) + 1;
    setValue(static_cast<float>(next >= frameCount ? 0 : next));
}

void CAutoAnimation::previousPixmap()
{
    const int prev = frameAt(getValue()) - 1;
    setValue(static_cast<float>(prev < 0 ? frameCount - 1 : prev));
}

CMouseEventResult CAutoAnimation::mouse(CDrawContext* context, CPoint&, int buttons)
{
    if (!mouseEnabled || !(buttons & kLButton))
        return kMouseEventNotHandled;
    if (!windowOpened) {
        setValue(0.0f);
        openWindow();
    } else {
        nextPixmap();
    }
    beginEdit();
    notifyListener(context);
    endEdit();
    return kMouseEventHandled;
}

} // namespace ovinta
