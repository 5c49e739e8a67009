// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture of the plug-in loads by number with its size.

#include "DemoPanel.h"
#include "HeadlessFixture.h"

#include "resources/ResourceBitmaps.h"

#include <cstdlib>

namespace ovinta {

namespace {

struct Expected {
    int id, width, height;
};

// The resource table of the editor: width, height (all frames).
const Expected kTable[] = {
    {103, 60, 42},   {104, 60, 42},   {105, 48, 44},   {106, 48, 44},   {107, 48, 44},   {108, 200, 160},
    {109, 47, 2688}, {110, 48, 2816}, {111, 21, 1280}, {112, 408, 408}, {113, 408, 408}, {114, 408, 408},
    {115, 92, 92},   {116, 42, 42},   {117, 42, 42},   {118, 42, 42},   {119, 42, 42},   {120, 46, 46},
    {121, 46, 46},   {125, 60, 44},   {126, 34, 40},   {127, 48, 44},   {128, 48, 44},   {129, 16, 64},
    {130, 61, 126},  {131, 140, 24},  {132, 9, 24},    {133, 47, 2688}, {135, 48, 44},   {136, 48, 44},
    {137, 9, 40},    {138, 408, 408}, {139, 36, 76},   {140, 12, 12},   {141, 12, 12},   {142, 12, 12},
    {143, 12, 12},   {144, 22, 8},    {145, 10, 36},   {146, 18, 40},   {152, 704, 560}, {153, 24, 40},
    {154, 24, 40},
};

// Pictures drawn with white as the transparent colour.
bool keyed(int id) { return (id >= 116 && id <= 121) || id == 129 || id == 137 || (id >= 140 && id <= 146); }

} // namespace

TEST(Resources, EveryPictureLoadsWithItsTableSize)
{
    for (const Expected& e : kTable) {
        CBitmap* b = loadResourceBitmap(e.id);
        ASSERT_NE(b, nullptr) << e.id;
        EXPECT_EQ(b->getWidth(), e.width) << e.id;
        EXPECT_EQ(b->getHeight(), e.height) << e.id;
        b->forget();
    }
    // Numbers that name no picture.
    for (int id : {0, 102, 122, 134, 147, 151, 155, -1})
        EXPECT_EQ(loadResourceBitmap(id), nullptr) << id;
}

TEST(Resources, OpaquePicturesHaveNoTransparentColourAndKeyedOnesHaveIt)
{
    for (const Expected& e : kTable) {
        CBitmap* b = loadResourceBitmap(e.id);
        ASSERT_NE(b, nullptr);
        int white = 0;
        int clear = 0;
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x) {
                const CColor c = b->getPixel(x, y);
                white += c.red == 255 && c.green == 255 && c.blue == 255;
                clear += c.alpha != 255;
            }
        EXPECT_EQ(clear, 0) << e.id; // every picture is stored opaque
        if (keyed(e.id))
            EXPECT_GT(white, 0) << e.id;
        else
            EXPECT_EQ(white, 0) << e.id;
        b->forget();
    }
}

TEST(Resources, KnobFilmFramesDifferFromEachOther)
{
    const struct {
        int id, frameHeight;
    } films[] = {{109, 42}, {133, 42}, {110, 44}, {111, 20}};
    for (const auto& f : films) {
        CBitmap* b = loadResourceBitmap(f.id);
        ASSERT_NE(b, nullptr);
        // Frames 0, 16, 32 and 48 point in four different directions.
        for (int a : {0, 16, 32}) {
            int differing = 0;
            for (int y = 0; y < f.frameHeight; ++y)
                for (int x = 0; x < b->getWidth(); ++x) {
                    const CColor p = b->getPixel(x, a * f.frameHeight + y);
                    const CColor q = b->getPixel(x, (a + 16) * f.frameHeight + y);
                    differing += p.red != q.red || p.green != q.green || p.blue != q.blue;
                }
            EXPECT_GT(differing, 10) << f.id << " frame " << a;
        }
        b->forget();
    }
}

TEST(Resources, HeadKnobPointsDownLeftUpRight)
{
    // The pointer's dark line lies on the side it points to: compare the ink
    // in the four half-planes around the centre of each frame.
    CBitmap* b = loadResourceBitmap(110);
    ASSERT_NE(b, nullptr);
    auto darkness = [&](int frame, int dx, int dy) {
        double sum = 0;
        for (int r = 2; r <= 6; ++r) {
            const CColor c = b->getPixel(24 + dx * r, frame * 44 + 22 + dy * r);
            sum += 255 * 3 - (c.red + c.green + c.blue);
        }
        return sum;
    };
    const struct {
        int frame, dx, dy;
    } rows[] = {{0, 0, 1}, {16, -1, 0}, {32, 0, -1}, {48, 1, 0}};
    for (const auto& row : rows) {
        const double toward = darkness(row.frame, row.dx, row.dy);
        const double away = darkness(row.frame, -row.dx, -row.dy);
        EXPECT_GT(toward, away + 200) << "frame " << row.frame;
    }
    b->forget();
}

TEST(Resources, DemoPanelPaintsEveryControl)
{
    RecordingEditor ed(704, 560);
    const int made = buildDemoPanel(ed.getFrame(), &ed);
    EXPECT_GE(made, 70);
    ed.idle();
    CBitmap* bg = loadResourceBitmap(152);
    ASSERT_NE(bg, nullptr);
    // Each control changed some pixels of the background under it.
    int covered = 0;
    ed.getFrame()->forEachView([&](CView* v) {
        const CRect r = v->getViewSize();
        bool changed = false;
        for (int y = r.top; y < r.bottom && !changed; ++y)
            for (int x = r.left; x < r.right && !changed; ++x)
                changed = !sameColour(ed.window().getPixel(x, y), bg->getPixel(x, y));
        covered += changed;
    });
    EXPECT_EQ(covered, made);
    bg->forget();
    if (const char* dir = std::getenv("OVINTA_PREVIEW_DIR"))
        ed.window().writePng((std::string(dir) + "/panel.png").c_str());
}

} // namespace ovinta
