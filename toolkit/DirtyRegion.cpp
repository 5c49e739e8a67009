// SPDX-License-Identifier: GPL-3.0-or-later
// DirtyRegion: merging of redrawn areas.

#include "toolkit/DirtyRegion.h"

namespace ovinta {

namespace {
// Overlapping or sharing an edge.
bool touches(const CRect& a, const CRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}
} // namespace

void DirtyRegion::add(const CRect& r)
{
    if (r.isEmpty())
        return;
    CRect merged = r;
    // Merging can make the result touch rectangles it missed before, so the
    // scan restarts after every merge.
    for (int i = 0; i < count;) {
        if (touches(rects[i], merged)) {
            merged = merged.unite(rects[i]);
            rects[i] = rects[--count];
            i = 0;
        } else {
            ++i;
        }
    }
    if (count == kMaxRects) {
        merged = merged.unite(bounds());
        count = 0;
    }
    rects[count++] = merged;
}

CRect DirtyRegion::bounds() const
{
    CRect b;
    for (int i = 0; i < count; ++i)
        b = b.unite(rects[i]);
    return b;
}

bool DirtyRegion::overlaps(const CRect& r) const
{
    for (int i = 0; i < count; ++i)
        if (rects[i].rectOverlap(r))
            return true;
    return false;
}

} // namespace ovinta
