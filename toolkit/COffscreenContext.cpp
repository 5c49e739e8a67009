// SPDX-License-Identifier: GPL-3.0-or-later
// COffscreenContext: an RGB24 image surface with its own cairo context.

#include "toolkit/COffscreenContext.h"

#include <cairo.h>

namespace ovinta {

namespace {
// The context takes its own reference, so the creator's one is dropped.
cairo_surface_t* newSurface(int width, int height)
{
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, width > 0 ? width : 1, height > 0 ? height : 1);
}
struct SurfaceHolder {
    cairo_surface_t* s;
    ~SurfaceHolder() { cairo_surface_destroy(s); }
};
} // namespace

COffscreenContext::COffscreenContext(int widthPx, int heightPx, CColor background)
    : CDrawContext(SurfaceHolder{newSurface(widthPx, heightPx)}.s)
{
    // The temporary holder above has already released the creator's
    // reference; the base class keeps its own.
    setFillColor(background);
    fillRect(CRect(0, 0, getWidth(), getHeight()));
}

void COffscreenContext::copyFrom(CDrawContext* dest, const CRect& destRect, CPoint srcOffset)
{
    if (dest && dest != this)
        dest->drawSurface(surface, destRect, srcOffset);
}

bool COffscreenContext::writePng(const char* path) const
{
    cairo_surface_flush(getSurface());
    return path != nullptr && cairo_surface_write_to_png(getSurface(), path) == CAIRO_STATUS_SUCCESS;
}

} // namespace ovinta
