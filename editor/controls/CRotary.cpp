// SPDX-License-Identifier: GPL-3.0-or-later
// CRotary and CAnimRotary: the wrapping knob's value rules and film frames.

#include "editor/controls/CRotary.h"

#include "base/Convert.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace ovinta {

namespace {
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr float kInverseTwoPi = 0.15915494f;
constexpr float kStartAngle = 3.926991f;  // 5 pi / 4
constexpr float kRangeAngle = -4.712389f; // -3 pi / 2
constexpr float kFineZoom = 1.5f;
} // namespace

float wrap32(float u)
{
    // Far values saturate in the integer conversion; the low five bits of a
    // saturated value are as good as any for a knob that wraps.
    const int32_t position = truncToInt(static_cast<double>(u) * 32.0);
    return static_cast<float>(position & 31) * 0.03125f;
}

// ---- CRotary ----------------------------------------------------------------------

CRotary::CRotary(const CRect& r, CControlListener* l, int t, CBitmap* bg) : CKnob(r, l, t, bg, nullptr)
{
    radius = static_cast<float>(r.width()) / 2.0f;
    setStartAngle(kStartAngle);
    setRangeAngle(kRangeAngle);
    setZoomFactor(kFineZoom);
}

CRotary::~CRotary() = default;

float CRotary::circularValue(CPoint where) const
{
    const float x = static_cast<float>(where.h - size.left);
    const float y = static_cast<float>(where.v - size.top);
    float theta = std::atan2(radius - y, x - radius);
    if (theta < 0.0f)
        theta += kTwoPi;
    return wrap32((kTwoPi - theta) * kInverseTwoPi - 0.25f);
}

// ---- CAnimRotary ---------------------------------------------------------------------

CAnimRotary::CAnimRotary(const CRect& r, CControlListener* l, int t, int count, int height, CBitmap* film,
                         CPoint offset)
    : CRotary(r, l, t, film), frameCount(count > 0 ? count : 1), frameHeight(height > 0 ? height : 1),
      filmOffset(offset)
{
}

CAnimRotary::~CAnimRotary() = default;

int CAnimRotary::filmPosition() const
{
    const float v = getValue();
    if (!(v > 0.0f))
        return 0;
    const int lastFrame = (frameCount - 1) * frameHeight;
    const int p = truncToInt(static_cast<double>(v) * (frameCount - 1) * frameHeight);
    if (p >= lastFrame)
        return lastFrame; // a value of 1 or more shows the last frame
    // The first frame boundary above p: for the 32 positions k/32 of a
    // 64-frame film this is frame 2k, where rounding down would give 2k - 1.
    const int next = (p / frameHeight + 1) * frameHeight;
    return next <= lastFrame ? next : p;
}

void CAnimRotary::draw(CDrawContext* context)
{
    if (!background)
        return;
    const CPoint offset(filmOffset.h, filmOffset.v + filmPosition());
    if (transparent)
        background->drawTransparent(context, size, offset);
    else
        background->draw(context, size, offset);
    setDirty(false);
}

} // namespace ovinta
