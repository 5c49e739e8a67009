// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CDrawContext: every drawing call of the toolkit and the editor goes through
// it. It wraps a cairo context on an image surface (the frame's backing store
// or an offscreen picture), so every platform shows the same pixels.
// GUI thread only.
//
// Pixel rules: straight geometry is exact. Lines run between pixel centres and
// leave out their end pixel (a line from (0, 0) to (4, 0) covers x 0..3);
// rectangles fill [left, right) x [top, bottom); outlines of width 1 lie on the
// rectangle's outer pixels. Curves (ellipses, arcs) and text are smoothed unless
// the draw mode is kAliasingMode; straight lines and fills are smoothed only in
// kAntiAliasMode.

#include "toolkit/CRect.h"

#include <cstdint>
#include <span>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace ovinta {

// The toolkit's font table: index 0..7.
enum CFont {
    kSystemFont = 0,       // 12 px
    kNormalFontVeryBig,    // 18 px
    kNormalFontBig,        // 14 px
    kNormalFont,           // 12 px
    kNormalFontSmall,      // 11 px
    kNormalFontSmaller,    // 10 px
    kNormalFontVerySmall,  // 9 px
    kSymbolFont,           // 13 px, Greek letters for the Latin ones
    kNumStandardFonts
};
enum CTxtFace { kNormalFace = 0, kBoldFace = 1 };
enum CLineStyle { kLineSolid = 0, kLineOnOffDash };
enum CDrawMode {
    kCopyMode = 0,     // exact straight geometry, smooth curves (the default)
    kAntiAliasMode,    // everything smooth
    kAliasingMode,     // everything exact, curves included
};

class CDrawContext {
public:
    // Draws on `surface` (an ARGB32 or RGB24 image surface); takes a reference.
    explicit CDrawContext(cairo_surface_t* surface);
    virtual ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    cairo_surface_t* getSurface() const { return surface; } // for bitmaps and back-ends

    // State.
    void setFrameColor(CColor c) { frameColor = c; }
    CColor getFrameColor() const { return frameColor; }
    void setFillColor(CColor c) { fillColor = c; }
    CColor getFillColor() const { return fillColor; }
    void setFontColor(CColor c) { fontColor = c; }
    CColor getFontColor() const { return fontColor; }
    void setLineWidth(int w) { lineWidth = w < 1 ? 1 : w; }
    int getLineWidth() const { return lineWidth; }
    void setLineStyle(CLineStyle s) { lineStyle = s; }
    void setDrawMode(CDrawMode m) { drawMode = m; }
    CDrawMode getDrawMode() const { return drawMode; }
    void setFont(CFont font, CTxtFace face = kNormalFace);
    void setClipRect(const CRect& r);
    CRect getClipRect() const { return clip; }
    void resetClipRect(); // the whole surface

    // Lines, in the frame colour, line width and line style.
    void moveTo(CPoint p) { pen = p; }
    void lineTo(CPoint p);
    void drawLine(CPoint from, CPoint to) { moveTo(from); lineTo(to); }
    void drawPolyline(std::span<const CPoint> points);
    // Separate segments in one stroke: points 0-1, 2-3, ... (a last odd
    // point is left out). Many lines cost little more than one.
    void drawLines(std::span<const CPoint> ends);

    // Shapes: frameRect/drawPolygon/drawEllipse/drawArc outline in the frame
    // colour, fillRect/fillPolygon/fillEllipse fill in the fill colour.
    void frameRect(const CRect& r);
    void fillRect(const CRect& r);
    void drawPolygon(std::span<const CPoint> points);
    void fillPolygon(std::span<const CPoint> points);
    void drawEllipse(const CRect& box);
    void fillEllipse(const CRect& box);
    // Arc of the ellipse in `box`, counter-clockwise from startDeg to endDeg,
    // 0 degrees at 3 o'clock.
    void drawArc(const CRect& box, float startDeg, float endDeg);

    // Text in the font colour, clipped to `box`, vertically centred.
    void drawString(const char* text, const CRect& box, CHoriTxtAlign align = kCenterText);
    int getStringWidth(const char* text);

    // Copies `src` (an image surface) with its top-left pixel `srcOffset` into
    // `dest`; alpha in the source blends over what is there.
    void drawSurface(cairo_surface_t* src, const CRect& dest, CPoint srcOffset);

    // Reads one pixel back (un-premultiplied; tests and tools).
    CColor getPixel(int x, int y) const;

    // The area touched by drawing since the last call, within the clip; the
    // frame shows exactly this area after a redraw.
    CRect takeDrawnArea();

protected:
    cairo_t* cr = nullptr;
    cairo_surface_t* surface = nullptr;

private:
    void applyColor(CColor c);
    void applyStraightAntialias();
    void applyCurveAntialias();
    void applyStroke();
    void strokeAlignedRect(const CRect& r);
    void touch(const CRect& r) { drawnArea = drawnArea.unite(r.intersect(clip)); }
    void touchLine(CPoint a, CPoint b);
    // Adds the open path through points (offset by `offset` pixels) and marks it dirty.
    void tracePoints(std::span<const CPoint> points, double offset);

    int width = 0;
    int height = 0;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kBlackCColor;
    int lineWidth = 1;              // pixels, >= 1
    CLineStyle lineStyle = kLineSolid;
    CDrawMode drawMode = kCopyMode;
    CFont font = kSystemFont;
    CTxtFace face = kNormalFace;
    CRect clip;                     // current clip, within the surface
    CPoint pen;                     // end of the last line
    CRect drawnArea;                // union of what was drawn since takeDrawnArea
};

} // namespace ovinta
