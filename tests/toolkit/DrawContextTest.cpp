// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing primitives on an offscreen picture, checked pixel by pixel.

#include "toolkit/COffscreenContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace ovinta {

namespace {

constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kBlue{0, 0, 255, 255};

bool same(CColor a, CColor b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

// Pixels of `c` in the picture.
int countColour(const CDrawContext& dc, CColor c)
{
    int n = 0;
    for (int y = 0; y < dc.getHeight(); ++y)
        for (int x = 0; x < dc.getWidth(); ++x)
            n += same(dc.getPixel(x, y), c);
    return n;
}

// Pixels that are no longer the black background.
int countInked(const CDrawContext& dc, const CRect& area)
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += !same(dc.getPixel(x, y), kBlackCColor);
    return n;
}

} // namespace

TEST(CDrawContext, FilledRectangleCoversExactlyItsArea)
{
    COffscreenContext dc(40, 30);
    dc.setFillColor(kRed);
    dc.fillRect(CRect(5, 7, 17, 20)); // 12 x 13
    EXPECT_EQ(countColour(dc, kRed), 12 * 13);
    EXPECT_TRUE(same(dc.getPixel(5, 7), kRed));
    EXPECT_TRUE(same(dc.getPixel(16, 19), kRed));
    EXPECT_FALSE(same(dc.getPixel(17, 19), kRed));
    EXPECT_FALSE(same(dc.getPixel(16, 20), kRed));
    EXPECT_FALSE(same(dc.getPixel(4, 7), kRed));
    // Corners given the other way round fill the same area.
    COffscreenContext swapped(40, 30);
    swapped.setFillColor(kRed);
    swapped.fillRect(CRect(17, 20, 5, 7));
    EXPECT_EQ(countColour(swapped, kRed), 12 * 13);
}

TEST(CDrawContext, OnePixelLinesAreCrispAndLeaveOutTheirEnd)
{
    COffscreenContext dc(30, 30);
    dc.setFrameColor(kRed);
    dc.drawLine(CPoint(3, 10), CPoint(13, 10));
    // Exactly the ten pixels x = 3..12 on row 10, every one fully red.
    EXPECT_EQ(countColour(dc, kRed), 10);
    EXPECT_EQ(countInked(dc, CRect(0, 0, 30, 30)), 10);
    for (int x = 3; x < 13; ++x)
        EXPECT_TRUE(same(dc.getPixel(x, 10), kRed)) << x;
    dc.setFrameColor(kBlue);
    dc.drawLine(CPoint(20, 2), CPoint(20, 9));
    EXPECT_EQ(countColour(dc, kBlue), 7);
}

TEST(CDrawContext, WideLinesAreCentredOnThePixelLine)
{
    COffscreenContext dc(60, 40);
    dc.setFrameColor(kRed);
    dc.setLineWidth(3);
    dc.drawLine(CPoint(10, 20), CPoint(50, 20));
    // Rows 19..21 are covered in the middle of the line, rows 18 and 22 not.
    for (int y : {19, 20, 21})
        EXPECT_TRUE(same(dc.getPixel(30, y), kRed)) << y;
    EXPECT_TRUE(same(dc.getPixel(30, 18), kBlackCColor));
    EXPECT_TRUE(same(dc.getPixel(30, 22), kBlackCColor));
}

TEST(CDrawContext, FrameRectOutlinesTheOuterPixels)
{
    COffscreenContext dc(30, 30);
    dc.setFrameColor(kRed);
    dc.frameRect(CRect(2, 3, 12, 9)); // 10 x 6
    // Perimeter of a 10 x 6 block of pixels: 2*10 + 2*(6 - 2).
    EXPECT_EQ(countColour(dc, kRed), 28);
    EXPECT_TRUE(same(dc.getPixel(2, 3), kRed));
    EXPECT_TRUE(same(dc.getPixel(11, 8), kRed));
    EXPECT_TRUE(same(dc.getPixel(5, 5), kBlackCColor));
}

TEST(CDrawContext, DashedLineHasGaps)
{
    COffscreenContext dc(40, 10);
    dc.setFrameColor(kRed);
    dc.setLineStyle(kLineOnOffDash);
    dc.drawLine(CPoint(0, 5), CPoint(36, 5));
    const int red = countColour(dc, kRed);
    // Half of the 36 pixels, give or take one dash end.
    EXPECT_GE(red, 15);
    EXPECT_LE(red, 21);
}

TEST(CDrawContext, FilledPolygonMatchesItsArea)
{
    COffscreenContext dc(50, 50);
    dc.setFillColor(kRed);
    // Right triangle with legs of 40 pixels between pixel centres: the
    // centres strictly inside number 40 * 41 / 2 = 820, with the 41 on the
    // long edge 861; a pixel is filled when its centre is covered.
    const CPoint tri[] = {{5, 5}, {45, 5}, {5, 45}};
    dc.fillPolygon(tri);
    EXPECT_GE(countColour(dc, kRed), 820);
    EXPECT_LE(countColour(dc, kRed), 861);
    // An axis-aligned square polygon covers exactly like fillRect.
    COffscreenContext sq(50, 50);
    sq.setFillColor(kBlue);
    const CPoint square[] = {{10, 10}, {30, 10}, {30, 30}, {10, 30}};
    sq.fillPolygon(square);
    EXPECT_EQ(countColour(sq, kBlue), 400);
}

TEST(CDrawContext, EllipseFillAndOutlineFollowTheCircle)
{
    COffscreenContext dc(64, 64);
    dc.setFillColor(kRed);
    dc.setDrawMode(kAliasingMode);
    dc.fillEllipse(CRect(2, 2, 62, 62)); // radius 30
    EXPECT_NEAR(countColour(dc, kRed), std::numbers::pi * 30 * 30, 60);
    // The outline of a circle of radius 20 inks about its circumference.
    COffscreenContext ring(64, 64);
    ring.setFrameColor(kBlue);
    ring.setDrawMode(kAliasingMode);
    ring.drawEllipse(CRect(12, 12, 52, 52));
    const int inked = countInked(ring, CRect(0, 0, 64, 64));
    EXPECT_NEAR(inked, 2 * std::numbers::pi * 19.5, 30);
    EXPECT_TRUE(same(ring.getPixel(32, 32), kBlackCColor));
}

TEST(CDrawContext, ArcCoversOnlyItsQuarter)
{
    COffscreenContext dc(64, 64);
    dc.setFrameColor(kRed);
    dc.setDrawMode(kAliasingMode);
    dc.drawArc(CRect(2, 2, 62, 62), 0.0f, 90.0f); // 3 o'clock to 12 o'clock
    EXPECT_GT(countInked(dc, CRect(32, 0, 64, 32)), 30);
    EXPECT_EQ(countInked(dc, CRect(0, 34, 64, 64)), 0);
    EXPECT_EQ(countInked(dc, CRect(0, 0, 30, 64)), 0);
}

TEST(CDrawContext, ClipKeepsDrawingInside)
{
    COffscreenContext dc(40, 40);
    dc.setClipRect(CRect(10, 10, 20, 20));
    dc.setFillColor(kRed);
    dc.fillRect(CRect(0, 0, 40, 40));
    EXPECT_EQ(countColour(dc, kRed), 100);
    dc.resetClipRect();
    dc.fillRect(CRect(0, 0, 2, 2));
    EXPECT_EQ(countColour(dc, kRed), 104);
}

TEST(CDrawContext, TextUsesTheEmbeddedFontInsideItsBox)
{
    COffscreenContext dc(120, 40);
    dc.setFontColor(kWhiteCColor);
    dc.setFont(kNormalFontVeryBig, kBoldFace);
    const CRect box(10, 10, 110, 30);
    dc.drawString("Ovinta", box, kCenterText);
    EXPECT_GT(countInked(dc, box), 60);
    EXPECT_EQ(countInked(dc, CRect(0, 0, 120, 10)), 0);
    EXPECT_EQ(countInked(dc, CRect(0, 30, 120, 40)), 0);
    // Bigger and bolder text is wider; an empty string has no width.
    dc.setFont(kNormalFontVerySmall, kNormalFace);
    const int small = dc.getStringWidth("Ovinta");
    dc.setFont(kNormalFontVeryBig, kBoldFace);
    const int big = dc.getStringWidth("Ovinta");
    EXPECT_GT(small, 15);
    EXPECT_GT(big, small * 3 / 2);
    EXPECT_EQ(dc.getStringWidth(""), 0);
}

TEST(CDrawContext, TextAlignmentMovesTheInk)
{
    auto inkCentre = [](CHoriTxtAlign align) {
        COffscreenContext dc(200, 20);
        dc.setFontColor(kWhiteCColor);
        dc.drawString("abc", CRect(0, 0, 200, 20), align);
        long sum = 0;
        long n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 200; ++x)
                if (!same(dc.getPixel(x, y), kBlackCColor)) {
                    sum += x;
                    ++n;
                }
        return n ? static_cast<int>(sum / n) : -1;
    };
    EXPECT_LT(inkCentre(kLeftText), 20);
    EXPECT_NEAR(inkCentre(kCenterText), 100, 6);
    EXPECT_GT(inkCentre(kRightText), 180);
}

TEST(CDrawContext, BadTextIsDrawnNotFatal)
{
    COffscreenContext dc(100, 20);
    dc.setFontColor(kWhiteCColor);
    // A lone Latin-1 byte and a cut UTF-8 sequence must not break the context.
    dc.drawString("caf\xE9 \xC3", CRect(0, 0, 100, 20), kLeftText);
    dc.drawString(nullptr, CRect(0, 0, 100, 20), kLeftText);
    dc.setFillColor(kRed);
    dc.fillRect(CRect(90, 0, 100, 20));
    EXPECT_TRUE(same(dc.getPixel(95, 10), kRed));
    EXPECT_GT(countInked(dc, CRect(0, 0, 60, 20)), 20);
}

TEST(CDrawContext, DrawnAreaTracksWhatWasTouched)
{
    COffscreenContext dc(100, 100);
    dc.takeDrawnArea();
    dc.setFillColor(kRed);
    dc.fillRect(CRect(10, 20, 30, 40));
    dc.fillRect(CRect(50, 60, 55, 65));
    EXPECT_EQ(dc.takeDrawnArea(), CRect(10, 20, 55, 65));
    EXPECT_TRUE(dc.takeDrawnArea().isEmpty());
}

TEST(COffscreenContext, StartsWithItsBackgroundAndCopiesASubRectangle)
{
    COffscreenContext src(20, 20, CColor{0, 128, 0, 255});
    src.setFillColor(kRed);
    src.fillRect(CRect(10, 10, 20, 20));
    COffscreenContext dest(50, 50);
    src.copyFrom(&dest, CRect(30, 30, 40, 40), CPoint(10, 10));
    EXPECT_EQ(countColour(dest, kRed), 100);
    EXPECT_TRUE(same(dest.getPixel(30, 30), kRed));
    EXPECT_TRUE(same(dest.getPixel(29, 30), kBlackCColor));
    EXPECT_TRUE(same(src.getPixel(0, 0), (CColor{0, 128, 0, 255})));
}

} // namespace ovinta
