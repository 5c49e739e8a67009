// SPDX-License-Identifier: GPL-3.0-or-later
// CKnob: pointer geometry and the drag gesture.

#include "toolkit/CKnob.h"

#include "toolkit/WindowEditor.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ovinta {

namespace {
constexpr float kLinearRangePixels = 200.0f;
constexpr float kPi = std::numbers::pi_v<float>;
float fl(int v) { return static_cast<float>(v); }
} // namespace

CKnob::CKnob(const CRect& r, CControlListener* l, int t, CBitmap* bg, CBitmap* h, CPoint offset)
    : CControl(r, l, t, bg), handle(h), handleOffset(offset), radius(fl(r.width()) / 2.0f),
      startAngle(5.0f * kPi / 4.0f), rangeAngle(-3.0f * kPi / 2.0f)
{
    if (handle)
        handle->remember();
}

CKnob::~CKnob()
{
    if (handle)
        handle->forget();
}

CPoint CKnob::pointerTip() const
{
    const float t = getValueNormalized();
    const float a = startAngle + t * rangeAngle;
    const float r = radius - static_cast<float>(insetValue);
    const float cx = fl(size.left) + fl(size.width()) / 2.0f;
    const float cy = fl(size.top) + fl(size.height()) / 2.0f;
    return CPoint(static_cast<int>(std::lround(cx + r * std::cos(a))), static_cast<int>(std::lround(cy - r * std::sin(a))));
}

float CKnob::valueFromPoint(CPoint where) const
{
    const float dx = fl(where.h) - (fl(size.left) + fl(size.width()) / 2.0f);
    const float dy = (fl(size.top) + fl(size.height()) / 2.0f) - fl(where.v);
    float a = std::atan2(dy, dx);
    // Angle travelled from the start, in the direction of the range.
    float travelled = rangeAngle < 0.0f ? startAngle - a : a - startAngle;
    travelled = std::fmod(travelled, 2.0f * kPi);
    if (travelled < 0.0f)
        travelled += 2.0f * kPi;
    const float span = std::fabs(rangeAngle);
    float t = travelled / span;
    if (travelled > span) // in the dead zone: snap to the nearer end
        t = (travelled - span) < (2.0f * kPi - travelled) ? 1.0f : 0.0f;
    return getMin() + t * (getMax() - getMin());
}

void CKnob::draw(CDrawContext* context)
{
    if (background) {
        if (transparent)
            background->drawTransparent(context, size);
        else
            background->draw(context, size);
    }
    const CPoint tip = pointerTip();
    if (handle) {
        const int w = handle->getWidth();
        const int h = handle->getHeight();
        handle->drawTransparent(context, CRect::fromSize(tip.h - w / 2, tip.v - h / 2, w, h), handleOffset);
        return;
    }
    const CPoint centre(size.left + size.width() / 2, size.top + size.height() / 2);
    context->setFrameColor(colorHandle);
    context->setLineWidth(1);
    context->setDrawMode(kAntiAliasMode);
    context->drawLine(centre, tip);
    context->setDrawMode(kCopyMode);
}

bool CKnob::linearDrag(int buttons) const
{
    const bool linearMode = (frame ? frame->getKnobMode() : WindowEditor::getKnobMode()) == kLinearMode;
    return linearMode != ((buttons & kAlt) != 0);
}

float CKnob::linearCoefficient(int buttons) const
{
    return (getMax() - getMin()) / (kLinearRangePixels * ((buttons & kShift) ? zoomFactor : 1.0f));
}

CMouseEventResult CKnob::mouse(CDrawContext* context, CPoint& where, int buttons)
{
    if (!frame)
        return kMouseEventNotHandled;
    buttons = takeClick(context, buttons, kLButton);
    if (buttons == 0)
        return kMouseEventNotHandled;
    if (checkDefaultValue(context, buttons))
        return kMouseEventHandled;

    dragLinear = linearDrag(buttons);
    dragStart = where;
    dragEntry = getValue();
    dragCoef = linearCoefficient(buttons);
    dragButtons = buttons;
    beginDrag();
    // The press point is the drag's first position: a circular drag turns
    // the knob towards it at once, a linear one lands on its value rules.
    applyDrag(context, where, buttons);
    return kMouseEventTrack;
}

CMouseEventResult CKnob::onMouseMoved(CDrawContext* context, CPoint where, int buttons)
{
    if (!isDragging())
        return kMouseEventNotHandled;
    if (!continueDrag(buttons))
        return kMouseEventHandled;
    // Only a new position counts as a move; a change of buttons or
    // modifiers alone waits for the next one.
    if (where != dragLast)
        applyDrag(context, where, buttons);
    return kMouseEventTrack;
}

void CKnob::applyDrag(CDrawContext* context, CPoint where, int buttons)
{
    dragLast = where;
    const float old = getValue();
    if (dragLinear) {
        const float diff = static_cast<float>((where.h - dragStart.h) + (dragStart.v - where.v));
        if (buttons != dragButtons) {
            // Re-base so that pressing or releasing Shift mid-drag changes
            // the speed without a jump.
            const float changed = linearCoefficient(buttons);
            dragEntry += diff * (dragCoef - changed);
            dragCoef = changed;
        }
        setValue(linearDragValue(dragEntry + diff * dragCoef));
    } else {
        setValue(circularDragValue(where));
    }
    bounceValue();
    if (getValue() != old)
        notifyListener(context);
    // Compared at the next handled move, however many events lie between:
    // Shift pressed while the mouse rests still re-bases.
    dragButtons = buttons;
}

} // namespace ovinta
