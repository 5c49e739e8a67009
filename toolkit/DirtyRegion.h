// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DirtyRegion: the areas redrawn in one idle step, kept as a few separate
// rectangles so that two small changes far apart (a meter on the right, a
// screen on the left) are shown without copying everything between them.

#include "toolkit/CRect.h"

#include <array>

namespace ovinta {

class DirtyRegion {
public:
    static constexpr int kMaxRects = 8; // beyond this everything merges into one

    // Adds `r`; rectangles that overlap or touch it are merged with it.
    void add(const CRect& r);
    void clear() { count = 0; }
    bool isEmpty() const { return count == 0; }
    int size() const { return count; }
    const CRect& operator[](int i) const { return rects[i]; }
    CRect bounds() const;
    bool overlaps(const CRect& r) const;

private:
    std::array<CRect, kMaxRects> rects;
    int count = 0;
};

} // namespace ovinta
