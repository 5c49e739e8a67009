// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CBitmap: a reference-counted picture (a cairo image surface). Bitmaps come
// from PNG data (see resources/) or start blank. Each bitmap also keeps a
// keyed copy in which pure white pixels are fully transparent, made once when
// the bitmap is loaded, for controls that draw "with white as the transparent
// colour". GUI thread only.

#include "toolkit/CDrawContext.h"

#include <cstddef>

namespace ovinta {

class CBitmap {
public:
    // A blank (transparent) bitmap.
    CBitmap(int width, int height);
    // Decodes PNG data; null when the data is not a readable PNG image.
    static CBitmap* fromPng(const unsigned char* data, size_t size);

    // Reference counting: a new bitmap holds one reference; forget() releases
    // one and deletes the bitmap with the last.
    void remember() { ++refCount; }
    void forget();
    int getNbReference() const { return refCount; }

    int getWidth() const { return width; }
    int getHeight() const { return height; }

    // Copies the part at `offset` (bitmap pixels) into `dest`; alpha blends.
    void draw(CDrawContext* context, const CRect& dest, CPoint offset = {});
    // The same with white shown as transparent.
    void drawTransparent(CDrawContext* context, const CRect& dest, CPoint offset = {});

    CColor getPixel(int x, int y) const;            // as loaded
    CColor getTransparentPixel(int x, int y) const; // after the white key

    cairo_surface_t* getSurface() const { return surface; }

private:
    explicit CBitmap(cairo_surface_t* adopted);
    ~CBitmap();
    void makeKeyedCopy();

    cairo_surface_t* surface = nullptr; // ARGB32, premultiplied
    cairo_surface_t* keyed = nullptr;   // white -> transparent; may be `surface` itself
    int width = 0;
    int height = 0;
    int refCount = 1;
};

} // namespace ovinta
