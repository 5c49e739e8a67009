// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmaps: PNG decoding, the white key, sub-rectangles and films.

#include "toolkit/CBitmap.h"
#include "toolkit/COffscreenContext.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <vector>

namespace ovinta {

namespace {

cairo_status_t append(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// A 4 x 6 PNG, encoded by cairo: column 0 white, column 1 red, column 2 half
// transparent blue, column 3 near-white (254); rows 3..5 are the same but green
// in column 1 (a second "frame").
std::vector<unsigned char> samplePng()
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 6);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < 6; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        row[0] = 0xFFFFFFFF;
        row[1] = y < 3 ? 0xFFFF0000 : 0xFF00FF00;
        row[2] = 0x80000080; // premultiplied: alpha 128, blue 128 -> blue 255
        row[3] = 0xFFFEFEFE;
    }
    cairo_surface_mark_dirty(s);
    std::vector<unsigned char> out;
    cairo_surface_write_to_png_stream(s, append, &out);
    cairo_surface_destroy(s);
    return out;
}

bool same(CColor a, CColor b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

} // namespace

TEST(CBitmap, DecodesPngWithItsSizeAndColours)
{
    const std::vector<unsigned char> png = samplePng();
    CBitmap* b = CBitmap::fromPng(png.data(), png.size());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getWidth(), 4);
    EXPECT_EQ(b->getHeight(), 6);
    EXPECT_TRUE(same(b->getPixel(1, 0), (CColor{255, 0, 0, 255})));
    EXPECT_TRUE(same(b->getPixel(1, 4), (CColor{0, 255, 0, 255})));
    const CColor half = b->getPixel(2, 0);
    EXPECT_NEAR(half.alpha, 128, 1);
    EXPECT_NEAR(half.blue, 255, 2);
    b->forget();
}

TEST(CBitmap, WhiteBecomesTransparentOnlyInTheKeyedCopy)
{
    const std::vector<unsigned char> png = samplePng();
    CBitmap* b = CBitmap::fromPng(png.data(), png.size());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getPixel(0, 0).alpha, 255);
    EXPECT_EQ(b->getTransparentPixel(0, 0).alpha, 0);
    // Near-white and coloured pixels keep their alpha.
    EXPECT_EQ(b->getTransparentPixel(3, 0).alpha, 255);
    EXPECT_EQ(b->getTransparentPixel(1, 0).alpha, 255);

    // Drawn over blue: plain drawing shows white, the keyed drawing the blue.
    COffscreenContext plain(4, 6, CColor{0, 0, 255, 255});
    b->draw(&plain, CRect(0, 0, 4, 6));
    EXPECT_TRUE(same(plain.getPixel(0, 2), kWhiteCColor));
    COffscreenContext keyed(4, 6, CColor{0, 0, 255, 255});
    b->drawTransparent(&keyed, CRect(0, 0, 4, 6));
    EXPECT_TRUE(same(keyed.getPixel(0, 2), (CColor{0, 0, 255, 255})));
    EXPECT_TRUE(same(keyed.getPixel(1, 2), (CColor{255, 0, 0, 255})));
    b->forget();
}

TEST(CBitmap, DrawsTheRequestedFrameOfAFilm)
{
    const std::vector<unsigned char> png = samplePng();
    CBitmap* b = CBitmap::fromPng(png.data(), png.size());
    ASSERT_NE(b, nullptr);
    COffscreenContext dc(10, 10);
    // Frame 1 (rows 3..5), column 1 only, placed at (5, 5).
    b->draw(&dc, CRect(5, 5, 6, 8), CPoint(1, 3));
    EXPECT_TRUE(same(dc.getPixel(5, 5), (CColor{0, 255, 0, 255})));
    EXPECT_TRUE(same(dc.getPixel(5, 7), (CColor{0, 255, 0, 255})));
    EXPECT_TRUE(same(dc.getPixel(6, 5), kBlackCColor));
    EXPECT_TRUE(same(dc.getPixel(5, 8), kBlackCColor));
    // Asking beyond the picture draws nothing there.
    b->draw(&dc, CRect(0, 0, 3, 3), CPoint(3, 5));
    EXPECT_TRUE(same(dc.getPixel(2, 2), kBlackCColor));
    b->forget();
}

TEST(CBitmap, RejectsDataThatIsNotAPng)
{
    const unsigned char junk[] = "\x89PNG\r\n\x1a\nthis is not an image at all";
    EXPECT_EQ(CBitmap::fromPng(junk, sizeof junk), nullptr);
    EXPECT_EQ(CBitmap::fromPng(nullptr, 100), nullptr);
    std::vector<unsigned char> png = samplePng();
    png.resize(png.size() / 2); // truncated
    EXPECT_EQ(CBitmap::fromPng(png.data(), png.size()), nullptr);
}

TEST(CBitmap, LivesUntilTheLastReferenceIsForgotten)
{
    CBitmap* b = new CBitmap(8, 8);
    b->remember();
    EXPECT_EQ(b->getNbReference(), 2);
    b->forget();
    EXPECT_EQ(b->getNbReference(), 1);
    EXPECT_EQ(b->getWidth(), 8);
    b->forget();
}

} // namespace ovinta
