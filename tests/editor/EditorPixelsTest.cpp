// SPDX-License-Identifier: GPL-3.0-or-later
// What the opened editor shows, read back from the headless window: the
// background picture, a knob's film frame, a button's on frame, the
// selector's state and a value display's text.

#include "EditorFixture.h"

#include "editor/EditorBitmaps.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"

#include <optional>

namespace ovinta {

namespace {

// Owns one reference to a picture of the plug-in's resources.
class Picture {
public:
    explicit Picture(int id) : bitmap(loadEditorBitmap(id)) {}
    ~Picture()
    {
        if (bitmap)
            bitmap->forget();
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    const CBitmap* operator->() const { return bitmap; }
    explicit operator bool() const { return bitmap != nullptr; }

private:
    CBitmap* bitmap;
};

// A point of a w x h area where two opaque frames of a film differ.
std::optional<CPoint> differingPoint(const Picture& film, int w, int h, int frameA, int frameB)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const CColor a = film->getPixel(x, frameA * h + y);
            const CColor b = film->getPixel(x, frameB * h + y);
            if (a.alpha == 255 && b.alpha == 255 && a != b)
                return CPoint(x, y);
        }
    return std::nullopt;
}

CColor opaque(CColor c)
{
    c.alpha = 255;
    return c;
}

} // namespace

TEST_F(EditorTest, WindowShowsTheBackgroundPicture)
{
    openEditor();
    Picture background(layout::kBackgroundBitmap);
    ASSERT_TRUE(background);
    EXPECT_EQ(background->getWidth(), 704);
    EXPECT_EQ(background->getHeight(), 560);
    // Places no control covers: corners, the panel titles' row, the gaps.
    for (CPoint p : {CPoint(1, 1), CPoint(703, 559), CPoint(430, 12), CPoint(700, 200), CPoint(420, 420),
                     CPoint(100, 556)})
        EXPECT_EQ(window->getPixel(p.h, p.v), opaque(background->getPixel(p.h, p.v))) << p.h << "," << p.v;
}

TEST_F(EditorTest, KnobShowsTheFilmFrameOfItsValue)
{
    openEditor();
    Picture film(109);
    ASSERT_TRUE(film);
    const auto at = differingPoint(film, 47, 42, 0, 63);
    ASSERT_TRUE(at.has_value());
    const CPoint corner(440, 41); // knob 2, "Wall absorb"
    effect->setParameter(param::kAbsorb, 0.0f);
    idle();
    EXPECT_EQ(window->getPixel(corner.h + at->h, corner.v + at->v), opaque(film->getPixel(at->h, at->v)));
    effect->setParameter(param::kAbsorb, 1.0f);
    idle();
    EXPECT_EQ(window->getPixel(corner.h + at->h, corner.v + at->v),
              opaque(film->getPixel(at->h, 63 * 42 + at->v)));
}

TEST_F(EditorTest, ButtonShowsItsOnFrameAfterAClick)
{
    openEditor();
    Picture film(103); // Stereo: off on top, on below, 21 rows each
    ASSERT_TRUE(film);
    const auto at = differingPoint(film, 60, 21, 0, 1);
    ASSERT_TRUE(at.has_value());
    effect->setParameter(param::kStereoOnOff, 0.0f);
    idle();
    const CPoint pixel(431 + at->h, 336 + at->v);
    EXPECT_EQ(window->getPixel(pixel.h, pixel.v), opaque(film->getPixel(at->h, at->v)));
    click(centre(param::kStereoOnOff));
    EXPECT_EQ(effect->getParameter(param::kStereoOnOff), 1.0f);
    EXPECT_EQ(window->getPixel(pixel.h, pixel.v), opaque(film->getPixel(at->h, 21 + at->v)));
}

TEST_F(EditorTest, SelectorShowsTheFrameOfItsState)
{
    openEditor();
    Picture film(layout::kOutputsBitmap); // 6 frames of 21 rows
    ASSERT_TRUE(film);
    const auto at = differingPoint(film, 61, 21, 0, 2);
    ASSERT_TRUE(at.has_value());
    const CPoint pixel(631 + at->h, 496 + at->v);
    effect->setParameter(param::kSurround, 0.0f);
    idle();
    EXPECT_EQ(window->getPixel(pixel.h, pixel.v), opaque(film->getPixel(at->h, at->v)));
    click(centre(param::kSurround)); // state 1: frame 2
    EXPECT_EQ(window->getPixel(pixel.h, pixel.v), opaque(film->getPixel(at->h, 2 * 21 + at->v)));
}

TEST_F(EditorTest, ValueDisplayRepaintsItsTextInItsColours)
{
    openEditor();
    const CRect box(649, 309, 687, 320); // "Dry gain"
    auto snapshot = [&] {
        std::vector<CColor> pixels;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                pixels.push_back(window->getPixel(x, y));
        return pixels;
    };
    effect->setParameter(param::kDryOut, 1.0f); // "0 dB"
    idle();
    const auto before = snapshot();
    effect->setParameter(param::kDryOut, 0.0f); // "-inf."
    idle();
    const auto after = snapshot();
    EXPECT_NE(before, after);
    // The box is painted in its background colour and the text is dark.
    const CColor back{216, 228, 199, 255};
    EXPECT_EQ(window->getPixel(box.left, box.top), back);
    EXPECT_EQ(window->getPixel(box.right - 1, box.bottom - 1), back);
    int dark = 0;
    for (const CColor& c : after)
        dark += (c.red < 160 && c.green < 160) ? 1 : 0;
    EXPECT_GT(dark, 5);
    for (const CColor& c : after) // nothing but background, text colour and their blends
        EXPECT_TRUE(c.red >= 111 && c.red <= 216 && c.green >= 90 && c.green <= 228) << int(c.red);
}

} // namespace ovinta
