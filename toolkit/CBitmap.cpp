// SPDX-License-Identifier: GPL-3.0-or-later
// CBitmap: loading, the white key and drawing.

#include "toolkit/CBitmap.h"

#include "toolkit/PngCodec.h"

#include <cairo.h>

#include <cstdint>

namespace ovinta {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu; // premultiplied ARGB32

CColor readPixel(cairo_surface_t* s, int x, int y)
{
    if (!s || x < 0 || y < 0 || x >= cairo_image_surface_get_width(s) || y >= cairo_image_surface_get_height(s))
        return kTransparentCColor;
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(s);
    const uint32_t px = reinterpret_cast<const uint32_t*>(row)[x];
    const unsigned a = px >> 24;
    auto channel = [&](int shift) -> uint8_t {
        const unsigned v = (px >> shift) & 0xFF;
        return static_cast<uint8_t>(a == 0 ? 0 : (v * 255 + a / 2) / a);
    };
    return CColor{channel(16), channel(8), channel(0), static_cast<uint8_t>(a)};
}

} // namespace

CBitmap::CBitmap(int w, int h)
{
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w > 0 ? w : 1, h > 0 ? h : 1);
    width = cairo_image_surface_get_width(surface);
    height = cairo_image_surface_get_height(surface);
    keyed = cairo_surface_reference(surface);
}

CBitmap::CBitmap(cairo_surface_t* adopted) : surface(adopted)
{
    width = cairo_image_surface_get_width(surface);
    height = cairo_image_surface_get_height(surface);
    makeKeyedCopy();
}

CBitmap::~CBitmap()
{
    cairo_surface_destroy(keyed);
    cairo_surface_destroy(surface);
}

CBitmap* CBitmap::fromPng(const unsigned char* data, size_t size)
{
    cairo_surface_t* s = decodePng(data, size);
    return s ? new CBitmap(s) : nullptr;
}

void CBitmap::forget()
{
    if (--refCount <= 0)
        delete this;
}

void CBitmap::makeKeyedCopy()
{
    // Only bitmaps that contain white need a second surface.
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    bool hasWhite = false;
    for (int y = 0; y < height && !hasWhite; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < width && !hasWhite; ++x)
            hasWhite = row[x] == kOpaqueWhite;
    }
    if (!hasWhite) {
        keyed = cairo_surface_reference(surface);
        return;
    }
    keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(keyed);
    unsigned char* out = cairo_image_surface_get_data(keyed);
    const int outStride = cairo_image_surface_get_stride(keyed);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        auto* o = reinterpret_cast<uint32_t*>(out + static_cast<ptrdiff_t>(y) * outStride);
        for (int x = 0; x < width; ++x)
            o[x] = in[x] == kOpaqueWhite ? 0u : in[x];
    }
    cairo_surface_mark_dirty(keyed);
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, CPoint offset)
{
    if (context)
        context->drawSurface(surface, dest, offset);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& dest, CPoint offset)
{
    if (context)
        context->drawSurface(keyed, dest, offset);
}

CColor CBitmap::getPixel(int x, int y) const { return readPixel(surface, x, y); }

CColor CBitmap::getTransparentPixel(int x, int y) const { return readPixel(keyed, x, y); }

} // namespace ovinta
