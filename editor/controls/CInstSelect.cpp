// SPDX-License-Identifier: GPL-3.0-or-later
// CInstSelect: film position and the click cycle.

#include "editor/controls/CInstSelect.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

CInstSelect::CInstSelect(const CRect& r, CControlListener* l, int t, int count, int height, CBitmap* film,
                         CPoint offset)
    : CAutoAnimation(r, l, t, count, height, film, offset)
{
    openWindow();
}

CInstSelect::~CInstSelect() = default;

int CInstSelect::filmPosition() const
{
    // State s shows frame 2s, its pressed look frame 2s + 1. A value from
    // the host outside the states is kept inside the film.
    const double position = std::trunc(static_cast<double>(getValue()) * 2.0 * frameHeight);
    const double last = static_cast<double>(totalHeight - frameHeight);
    return static_cast<int>(std::clamp(position, 0.0, last));
}

void CInstSelect::draw(CDrawContext* context)
{
    if (!windowOpened || !background)
        return;
    const CPoint offset(filmOffset.h, filmOffset.v + filmPosition());
    if (transparent)
        background->drawTransparent(context, size, offset);
    else
        background->draw(context, size, offset);
    setDirty(false);
}

CMouseEventResult CInstSelect::mouse(CDrawContext*, CPoint&, int buttons)
{
    if (!mouseEnabled || !frame || !(buttons & kLButton))
        return kMouseEventNotHandled;
    // Pressed look until every button is up; the state changes then.
    held = true;
    setValue(getValue() + 0.5f);
    return kMouseEventTrack;
}

CMouseEventResult CInstSelect::onMouseMoved(CDrawContext* context, CPoint, int buttons)
{
    if (!held)
        return kMouseEventNotHandled;
    if (buttons & kButtonMask)
        return kMouseEventTrack;
    advance(context); // the release came unseen
    return kMouseEventHandled;
}

CMouseEventResult CInstSelect::onMouseUp(CDrawContext* context, CPoint, int buttons)
{
    if (!held)
        return kMouseEventNotHandled;
    if (buttons & kButtonMask)
        return kMouseEventTrack;
    advance(context);
    return kMouseEventHandled;
}

void CInstSelect::onMouseCancel()
{
    // No release: back to the state it showed before the press.
    if (!held)
        return;
    held = false;
    setValue(getValue() - 0.5f);
}

void CInstSelect::advance(CDrawContext* context)
{
    held = false;
    float next = getValue() + 0.5f;
    if (next >= static_cast<float>(frameCount / 2))
        next = 0.0f;
    setValue(next);
    notifyListener(context);
    setDirty();
}

} // namespace ovinta
