// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plain geometry and colour records of the toolkit: CPoint, CRect (left/top
// inclusive, right/bottom exclusive, in frame pixels) and CColor (RGB 0..255
// plus alpha).

#include <algorithm>
#include <cstdint>

namespace ovinta {

struct CPoint {
    int h = 0; // x, pixels to the right
    int v = 0; // y, pixels downwards

    constexpr CPoint() = default;
    constexpr CPoint(int x, int y) : h(x), v(y) {}
    constexpr bool operator==(const CPoint&) const = default;
    constexpr CPoint offset(int dx, int dy) const { return {h + dx, v + dy}; }
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;  // first column outside
    int bottom = 0; // first row outside

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    static constexpr CRect fromSize(int l, int t, int width, int height) { return {l, t, l + width, t + height}; }
    constexpr bool operator==(const CRect&) const = default;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool pointInside(CPoint p) const { return p.h >= left && p.h < right && p.v >= top && p.v < bottom; }

    constexpr CRect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr CRect inset(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
    // Left <= right and top <= bottom, swapping corners given the other way round.
    constexpr CRect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    constexpr CRect intersect(const CRect& o) const
    {
        CRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        return r.isEmpty() ? CRect{} : r;
    }
    // Smallest rectangle holding both; an empty operand contributes nothing.
    constexpr CRect unite(const CRect& o) const
    {
        if (isEmpty())
            return o;
        if (o.isEmpty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    constexpr bool rectOverlap(const CRect& o) const { return !intersect(o).isEmpty(); }
};

struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255; // 255 opaque

    constexpr bool operator==(const CColor&) const = default;
};

constexpr CColor kBlackCColor{0, 0, 0, 255};
constexpr CColor kWhiteCColor{255, 255, 255, 255};
constexpr CColor kTransparentCColor{255, 255, 255, 0};

// Mouse buttons and modifier keys, combined in one button-state word.
enum : int {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kApple = 64,
};
constexpr int kButtonMask = kLButton | kMButton | kRButton;
constexpr int kModifierMask = kShift | kControl | kAlt | kApple;

// Horizontal text alignment inside a box.
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

} // namespace ovinta
