// SPDX-License-Identifier: GPL-3.0-or-later
// OVAnimScreen: drawing the edit view. The grid and the walls are drawn into
// the cached picture when the engine says the view is dirty; the markers,
// their rings, the head arrow, the temporary ray overlays and the drag
// preview are drawn over a copy of it on every draw. Nothing here allocates:
// walls and rays are copied into the screen's own arrays.

#include "editor/screens/OVAnimScreen.h"

#include "editor/screens/ScreenPanel.h"
#include "resources/EditorLayout.h"
#include "toolkit/CBitmap.h"

#include <cmath>
#include <span>

namespace ovinta {

namespace {

constexpr int kPixelsPerMetre = 8;
constexpr int kMarkerOrigin = 2;      // markers and rays: 8 m + 2
constexpr int kMirrorLineX = 203;
constexpr int kPlanMetres = 50;
constexpr int kPhases = 16;

constexpr CColor kWallOuter{180, 140, 75, 255};
constexpr CColor kWallInner{255, 225, 150, 255};
constexpr CColor kMirrorLine{237, 243, 207, 255};
constexpr CColor kRayOverlay{200, 200, 200, 255};
constexpr CColor kNoticeText{255, 225, 150, 255};

// Top rows of the sprites in the marker strip.
constexpr int kListenerSprite = 0, kSource1Sprite = 16, kSource2Sprite = 32, kMonoSprite = 48;

int markerPixel(float metres)
{
    return kPixelsPerMetre * static_cast<int>(metres) + kMarkerOrigin;
}

int roundedPixel(float v)
{
    return static_cast<int>(v + 0.5f);
}

} // namespace

void OVAnimScreen::drawWall(CDrawContext& c, const GridWall& w)
{
    const CPoint a(gridPixel(static_cast<float>(w.x1)), gridPixel(static_cast<float>(w.y1)));
    const CPoint b(gridPixel(static_cast<float>(w.x2)), gridPixel(static_cast<float>(w.y2)));
    c.setFrameColor(kWallOuter);
    c.setLineWidth(7);
    c.drawLine(a, b);
    c.setFrameColor(kWallInner);
    c.setLineWidth(3);
    c.drawLine(a, b);
    c.setLineWidth(1);
    drawEndDot(c, a);
    drawEndDot(c, b);
}

// The 10 x 10 circle on a wall's end. Smooth circles are the costly part of
// a room's picture, so one is drawn once and copied to every end.
void OVAnimScreen::drawEndDot(CDrawContext& c, CPoint centre)
{
    if (endDot == nullptr) {
        endDot = new CBitmap(10, 10);
        CDrawContext dot(endDot->getSurface());
        dot.setFillColor(kWallInner);
        dot.fillEllipse(CRect(0, 0, 10, 10));
    }
    endDot->draw(&c, CRect(centre.h - 5, centre.v - 5, centre.h + 5, centre.v + 5));
}

void OVAnimScreen::drawEditPicture()
{
    // The room drawn now is the loaded one; edits of an earlier room can no
    // longer be undone.
    syncHistoryWithRoom();
    if (gridBitmap)
        gridBitmap->draw(&picture, CRect(0, 0, picture.getWidth(), picture.getHeight()));
    else
        screenpanel::paint(picture);
    // Every wall's wide outer line first, then every inner line, then the
    // end circles: two strokes for the whole room, and joined walls show
    // one continuous band.
    const int count = port.copyWalls(walls);
    for (int i = 0; i < count; ++i) {
        const Wall& w = walls[i];
        wallEnds[2 * i] = CPoint(gridPixel(w.x1), gridPixel(w.y1));
        wallEnds[2 * i + 1] = CPoint(gridPixel(w.x2), gridPixel(w.y2));
    }
    const std::span<const CPoint> ends(wallEnds, static_cast<size_t>(2 * count));
    picture.setFrameColor(kWallOuter);
    picture.setLineWidth(7);
    picture.drawLines(ends);
    picture.setFrameColor(kWallInner);
    picture.setLineWidth(3);
    picture.drawLines(ends);
    picture.setLineWidth(1);
    for (const CPoint& end : ends)
        drawEndDot(picture, end);
}

void OVAnimScreen::drawOverlay(CDrawContext& c)
{
    if (mirrorOn()) {
        c.setFrameColor(kMirrorLine);
        c.setLineWidth(1);
        c.setLineStyle(kLineOnOffDash);
        c.drawLine(CPoint(kMirrorLineX, 0), CPoint(kMirrorLineX, c.getHeight()));
        c.setLineStyle(kLineSolid);
    }
    drawMarkers(c);
    drawHeadArrow(c);
    drawTempOverlay(c);
    drawDragPreview(c);
    drawNotice(c);
}

void OVAnimScreen::drawMarkers(CDrawContext& c)
{
    const EditorValues v = port.values();
    const bool stereo = v.stereoOn != 0;
    struct Mark {
        float x, y;
        int sprite;
        CColor colour;
        int phase;
    };
    const Mark marks[] = {
        {v.sourceX[0], v.sourceY[0], stereo ? kSource1Sprite : kMonoSprite,
         stereo ? layout::kSource1StereoColour : layout::kSourceMonoColour, sourcePhase},
        {v.sourceX[1], v.sourceY[1], kSource2Sprite, layout::kSource2StereoColour, sourcePhase},
        {v.listenerX, v.listenerY, kListenerSprite, layout::kListenerColour, listenerPhase},
    };
    c.setLineWidth(1);
    for (int k = 0; k < 3; ++k) {
        if (k == 1 && !stereo)
            continue;
        const Mark& m = marks[k];
        const int x = kPixelsPerMetre * static_cast<int>(m.x);
        const int y = kPixelsPerMetre * static_cast<int>(m.y);
        if (markerBitmap)
            markerBitmap->drawTransparent(&c, CRect::fromSize(x - 5, y - 5, 16, 16), CPoint(0, m.sprite));
        const int h = m.phase / 2;
        c.setFrameColor(m.colour);
        c.drawEllipse(CRect(x - 6 - h, y - 6 - h, x + 11 + h, y + 11 + h));
    }
    sourcePhase = (sourcePhase + 2) % kPhases;
    listenerPhase = (listenerPhase + kPhases - 1) % kPhases;
}

void OVAnimScreen::drawHeadArrow(CDrawContext& c)
{
    const EditorValues v = port.values();
    const float s = v.headSin, co = v.headCos;
    const int ox = markerPixel(v.listenerX), oy = markerPixel(v.listenerY);
    const CPoint points[3] = {
        CPoint(ox + roundedPixel(-5.0f * co), oy + roundedPixel(-5.0f * s)),
        CPoint(ox + roundedPixel(16.0f * s), oy + roundedPixel(-16.0f * co)),
        CPoint(ox + roundedPixel(5.0f * co), oy + roundedPixel(5.0f * s)),
    };
    c.setFrameColor(layout::kListenerColour);
    c.setLineWidth(1);
    c.drawPolyline(points);
}

void OVAnimScreen::drawTempOverlay(CDrawContext& c)
{
    const int mode = port.temporaryView();
    if (port.temporaryViewTicks() <= 0 || (mode != kTemporaryScatter && mode != kTemporaryRays))
        return;
    const int count = port.copyRayViews(rays, port.values().activeRays);
    const EditorValues v = port.values();
    c.setFrameColor(kRayOverlay);
    c.setLineWidth(1);
    for (int k = 0; k < count; ++k) {
        const RayOverlay& r = rays[k];
        if (mode == kTemporaryScatter) {
            if (r.firstHitX == 0.0f && r.firstHitY == 0.0f)
                continue;
            const float x = static_cast<float>(kPixelsPerMetre) * r.firstHitX + static_cast<float>(kMarkerOrigin);
            const float y = static_cast<float>(kPixelsPerMetre) * r.firstHitY + static_cast<float>(kMarkerOrigin);
            c.drawLine(CPoint(static_cast<int>(x), static_cast<int>(y)),
                       CPoint(static_cast<int>(x + r.firstLevel * r.firstDirX),
                              static_cast<int>(y + r.firstLevel * r.firstDirY)));
        } else {
            const int source = r.source != 0 ? 1 : 0;
            const float ox = static_cast<float>(markerPixel(v.sourceX[source]));
            const float oy = static_cast<float>(markerPixel(v.sourceY[source]));
            c.drawLine(CPoint(static_cast<int>(ox + 20.0f * r.startDirX), static_cast<int>(oy + 20.0f * r.startDirY)),
                       CPoint(static_cast<int>(ox + 30.0f * r.startDirX), static_cast<int>(oy + 30.0f * r.startDirY)));
        }
    }
}

void OVAnimScreen::drawDragPreview(CDrawContext& c)
{
    if (gesture != Gesture::Tool)
        return;
    if (rubberBand && (endX != startX || endY != startY)) {
        const int t = tool.load(std::memory_order_relaxed);
        const bool mirror = mirrorOn();
        if (t == kBoxesTool) {
            const GridWall sides[4] = {{startX, startY, endX, startY},
                                       {endX, startY, endX, endY},
                                       {endX, endY, startX, endY},
                                       {startX, endY, startX, startY}};
            for (const GridWall& w : sides) {
                drawWall(c, w);
                if (mirror)
                    drawWall(c, GridWall{kPlanMetres - w.x1, w.y1, kPlanMetres - w.x2, w.y2});
            }
        } else {
            drawWall(c, GridWall{startX, startY, endX, endY});
            if (mirror)
                drawWall(c, GridWall{kPlanMetres - startX, startY, kPlanMetres - endX, endY});
        }
    } else if (vertexPicked) {
        const int x = gridPixel(static_cast<float>(endX)), y = gridPixel(static_cast<float>(endY));
        c.setFrameColor(kWhiteCColor);
        c.setLineWidth(1);
        c.drawEllipse(CRect(x - 7, y - 7, x + 7, y + 7));
    }
}

void OVAnimScreen::drawNotice(CDrawContext& c)
{
    if (!roomFullNoticeShown())
        return;
    c.setFillColor(screenpanel::kPanel);
    c.fillRect(CRect(104, 190, 304, 218));
    c.setFrameColor(kNoticeText);
    c.frameRect(CRect(104, 190, 304, 218));
    c.setFontColor(kNoticeText);
    c.setFont(kNormalFontBig);
    c.drawString("Room is full: 256 walls", CRect(104, 190, 304, 218));
}

} // namespace ovinta
