// SPDX-License-Identifier: GPL-3.0-or-later
// CAnimKnob: picks the film frame for the value.

#include "toolkit/CAnimKnob.h"

#include "toolkit/CBitmap.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int t, int count, int height, CBitmap* film,
                     CPoint offset)
    : CKnob(r, l, t, film, nullptr), frameCount(std::max(count, 1)),
      frameHeight(height > 0 ? height : r.height()), filmOffset(offset)
{
}

int CAnimKnob::currentFrame() const
{
    const float range = getMax() - getMin();
    const float t = range != 0.0f ? (getValue() - getMin()) / range : 0.0f;
    const long f = std::lround(std::clamp(t, 0.0f, 1.0f) * static_cast<float>(frameCount - 1));
    return static_cast<int>(f);
}

void CAnimKnob::draw(CDrawContext* context)
{
    if (!background)
        return;
    const CPoint offset(filmOffset.h, filmOffset.v + currentFrame() * frameHeight);
    if (transparent)
        background->drawTransparent(context, size, offset);
    else
        background->draw(context, size, offset);
}

} // namespace ovinta
