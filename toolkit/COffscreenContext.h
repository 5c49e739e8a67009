// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// COffscreenContext: a draw context on its own image surface, for pictures
// that are built once and copied to the window many times (the screens).
// GUI thread only.

#include "toolkit/CDrawContext.h"

namespace ovinta {

class COffscreenContext : public CDrawContext {
public:
    // An opaque picture of width x height pixels filled with `background`.
    COffscreenContext(int widthPx, int heightPx, CColor background = kBlackCColor);

    // Copies this picture, from its pixel `srcOffset`, into `destRect` of `dest`.
    void copyFrom(CDrawContext* dest, const CRect& destRect, CPoint srcOffset = {});
    // Writes the picture as a PNG file (snapshots for the documentation).
    bool writePng(const char* path) const;
};

} // namespace ovinta
