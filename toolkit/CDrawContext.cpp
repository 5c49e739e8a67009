// SPDX-License-Identifier: GPL-3.0-or-later
// CDrawContext: cairo calls behind the toolkit's drawing operations.

#include "toolkit/CDrawContext.h"

#include "toolkit/ToolkitFonts.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ovinta {

namespace {

constexpr double kHalf = 0.5;          // pixel centre offset
constexpr double kDashPattern[] = {3.0, 3.0};
constexpr size_t kTextBufferSize = 512; // UTF-8 bytes drawn per string at most

// Offset that puts a stroke of this width on whole pixels: odd widths are
// centred on pixel centres, even widths on pixel edges.
double strokeOffset(int width) { return (width & 1) ? kHalf : 0.0; }

} // namespace

CDrawContext::CDrawContext(cairo_surface_t* s) : surface(cairo_surface_reference(s))
{
    width = cairo_image_surface_get_width(surface);
    height = cairo_image_surface_get_height(surface);
    cr = cairo_create(surface);
    clip = CRect(0, 0, width, height);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

CDrawContext::~CDrawContext()
{
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void CDrawContext::setFont(CFont f, CTxtFace fc)
{
    font = (f >= 0 && f < kNumStandardFonts) ? f : kSystemFont;
    face = fc == kBoldFace ? kBoldFace : kNormalFace;
}

void CDrawContext::setClipRect(const CRect& r)
{
    clip = r.normalized().intersect(CRect(0, 0, width, height));
    cairo_reset_clip(cr);
    cairo_rectangle(cr, clip.left, clip.top, clip.width(), clip.height());
    cairo_clip(cr);
}

void CDrawContext::resetClipRect() { setClipRect(CRect(0, 0, width, height)); }

void CDrawContext::applyColor(CColor c)
{
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::applyStraightAntialias()
{
    cairo_set_antialias(cr, drawMode == kAntiAliasMode ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
}

void CDrawContext::applyCurveAntialias()
{
    cairo_set_antialias(cr, drawMode == kAliasingMode ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
}

void CDrawContext::applyStroke()
{
    applyColor(frameColor);
    cairo_set_line_width(cr, lineWidth);
    // One-pixel lines end where the next one starts; wide pens are round like
    // a drawn stroke, so joined wall segments show no notch.
    const bool wide = lineWidth > 1;
    cairo_set_line_cap(cr, wide ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, wide ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    if (lineStyle == kLineOnOffDash)
        cairo_set_dash(cr, kDashPattern, 2, 0.0);
    else
        cairo_set_dash(cr, nullptr, 0, 0.0);
}

void CDrawContext::touchLine(CPoint a, CPoint b)
{
    const int m = lineWidth / 2 + 1;
    touch(CRect(std::min(a.h, b.h) - m, std::min(a.v, b.v) - m, std::max(a.h, b.h) + m + 1, std::max(a.v, b.v) + m + 1));
}

CRect CDrawContext::takeDrawnArea()
{
    CRect r = drawnArea;
    drawnArea = CRect();
    return r;
}

void CDrawContext::lineTo(CPoint p)
{
    touchLine(pen, p);
    const double o = strokeOffset(lineWidth);
    applyStroke();
    applyStraightAntialias();
    cairo_move_to(cr, pen.h + o, pen.v + o);
    if (p == pen)
        cairo_close_path(cr); // a zero-length round-capped stroke still shows a dot
    else
        cairo_line_to(cr, p.h + o, p.v + o);
    cairo_stroke(cr);
    pen = p;
}

void CDrawContext::tracePoints(std::span<const CPoint> points, double offset)
{
    cairo_move_to(cr, points[0].h + offset, points[0].v + offset);
    for (size_t i = 1; i < points.size(); ++i) {
        cairo_line_to(cr, points[i].h + offset, points[i].v + offset);
        touchLine(points[i - 1], points[i]);
    }
}

void CDrawContext::drawPolyline(std::span<const CPoint> points)
{
    if (points.size() < 2)
        return;
    const double o = strokeOffset(lineWidth);
    applyStroke();
    applyStraightAntialias();
    tracePoints(points, o);
    cairo_stroke(cr);
    pen = points.back();
}

void CDrawContext::drawLines(std::span<const CPoint> ends)
{
    if (ends.size() < 2)
        return;
    const double o = strokeOffset(lineWidth);
    applyStroke();
    applyStraightAntialias();
    for (size_t i = 0; i + 1 < ends.size(); i += 2) {
        const CPoint a = ends[i], b = ends[i + 1];
        touchLine(a, b);
        cairo_move_to(cr, a.h + o, a.v + o);
        if (a == b)
            cairo_close_path(cr);
        else
            cairo_line_to(cr, b.h + o, b.v + o);
    }
    cairo_stroke(cr);
    pen = ends[ends.size() - 1 - ends.size() % 2];
}

void CDrawContext::strokeAlignedRect(const CRect& r)
{
    const double inset = lineWidth / 2.0;
    cairo_rectangle(cr, r.left + inset, r.top + inset, r.width() - lineWidth, r.height() - lineWidth);
    cairo_stroke(cr);
}

void CDrawContext::frameRect(const CRect& rect)
{
    const CRect r = rect.normalized();
    if (r.width() < lineWidth || r.height() < lineWidth)
        return;
    touch(r);
    applyStroke();
    applyStraightAntialias();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    strokeAlignedRect(r);
}

void CDrawContext::fillRect(const CRect& rect)
{
    const CRect r = rect.normalized();
    touch(r);
    applyColor(fillColor);
    applyStraightAntialias();
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_fill(cr);
}

void CDrawContext::drawPolygon(std::span<const CPoint> points)
{
    if (points.size() < 2)
        return;
    const double o = strokeOffset(lineWidth);
    applyStroke();
    applyStraightAntialias();
    tracePoints(points, o);
    touchLine(points.back(), points[0]);
    cairo_close_path(cr);
    cairo_stroke(cr);
}

void CDrawContext::fillPolygon(std::span<const CPoint> points)
{
    if (points.size() < 3)
        return;
    // Vertices are pixel centres, like line ends, so an outline drawn over a
    // fill lies on the fill's edge pixels.
    applyColor(fillColor);
    applyStraightAntialias();
    tracePoints(points, kHalf);
    cairo_close_path(cr);
    cairo_fill(cr);
}

namespace {
// Adds an elliptical path of radii (rx, ry) around (cx, cy), from a0 to a1 radians.
void ellipsePath(cairo_t* cr, double cx, double cy, double rx, double ry, double a0, double a1, bool negative)
{
    if (rx <= 0.0 || ry <= 0.0)
        return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    if (negative)
        cairo_arc_negative(cr, 0.0, 0.0, 1.0, a0, a1);
    else
        cairo_arc(cr, 0.0, 0.0, 1.0, a0, a1);
    cairo_restore(cr);
}
} // namespace

void CDrawContext::drawEllipse(const CRect& box)
{
    const CRect r = box.normalized();
    touch(r);
    applyStroke();
    applyCurveAntialias();
    const double half = lineWidth / 2.0;
    ellipsePath(cr, (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, r.width() / 2.0 - half,
                r.height() / 2.0 - half, 0.0, 2.0 * std::numbers::pi, false);
    cairo_stroke(cr);
}

void CDrawContext::fillEllipse(const CRect& box)
{
    const CRect r = box.normalized();
    touch(r);
    applyColor(fillColor);
    applyCurveAntialias();
    ellipsePath(cr, (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, r.width() / 2.0, r.height() / 2.0, 0.0,
                2.0 * std::numbers::pi, false);
    cairo_fill(cr);
}

void CDrawContext::drawArc(const CRect& box, float startDeg, float endDeg)
{
    const CRect r = box.normalized();
    if (!std::isfinite(startDeg) || !std::isfinite(endDeg))
        return;
    touch(r);
    applyStroke();
    applyCurveAntialias();
    const double half = lineWidth / 2.0;
    const double toRad = std::numbers::pi / 180.0;
    // Screen y grows downwards, so counter-clockwise on screen is negative in cairo.
    ellipsePath(cr, (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, r.width() / 2.0 - half,
                r.height() / 2.0 - half, -static_cast<double>(startDeg) * toRad, -static_cast<double>(endDeg) * toRad, true);
    cairo_stroke(cr);
}

void CDrawContext::drawString(const char* text, const CRect& box, CHoriTxtAlign align)
{
    cairo_font_face_t* ff = toolkitFontFace(face);
    const CRect r = box.normalized();
    if (!ff || r.isEmpty())
        return;
    touch(r);
    char utf8[kTextBufferSize];
    toolkitTextToUtf8(text, font == kSymbolFont, utf8, sizeof utf8);
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip(cr);
    cairo_set_font_face(cr, ff);
    cairo_set_font_size(cr, toolkitFontSizePx(font));
    cairo_set_antialias(cr, drawMode == kAliasingMode ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8, &te);
    double x = r.left;
    if (align == kCenterText)
        x = r.left + (r.width() - te.x_advance) / 2.0;
    else if (align == kRightText)
        x = r.right - te.x_advance;
    const double y = r.top + (r.height() + fe.ascent - fe.descent) / 2.0;
    applyColor(fontColor);
    cairo_move_to(cr, std::round(x), std::round(y));
    cairo_show_text(cr, utf8);
    cairo_restore(cr);
}

int CDrawContext::getStringWidth(const char* text)
{
    cairo_font_face_t* ff = toolkitFontFace(face);
    if (!ff)
        return 0;
    char utf8[kTextBufferSize];
    toolkitTextToUtf8(text, font == kSymbolFont, utf8, sizeof utf8);
    cairo_save(cr);
    cairo_set_font_face(cr, ff);
    cairo_set_font_size(cr, toolkitFontSizePx(font));
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8, &te);
    cairo_restore(cr);
    return static_cast<int>(std::lround(te.x_advance));
}

void CDrawContext::drawSurface(cairo_surface_t* src, const CRect& dest, CPoint srcOffset)
{
    const CRect d = dest.normalized();
    if (!src || d.isEmpty())
        return;
    touch(d);
    cairo_save(cr);
    cairo_set_source_surface(cr, src, d.left - srcOffset.h, d.top - srcOffset.v);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, d.left, d.top, d.width(), d.height());
    cairo_fill(cr);
    cairo_restore(cr);
}

CColor CDrawContext::getPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return kTransparentCColor;
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    uint32_t px = *reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride + x * 4);
    uint8_t a = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32 ? static_cast<uint8_t>(px >> 24) : 255;
    auto channel = [&](int shift) -> uint8_t {
        unsigned v = (px >> shift) & 0xFF;
        return static_cast<uint8_t>(a == 0 ? 0 : (a == 255 ? v : (v * 255 + a / 2) / a));
    };
    return CColor{channel(16), channel(8), channel(0), a};
}

} // namespace ovinta
