// SPDX-License-Identifier: GPL-3.0-or-later
// Controls on a headless frame, driven by scripted mouse input.

#include "HeadlessFixture.h"

#include "toolkit/CAnimKnob.h"
#include "toolkit/CAutoAnimation.h"
#include "toolkit/CHorizontalSlider.h"
#include "toolkit/CKickButton.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/CParamDisplay.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/DirtyRegion.h"

#include <atomic>
#include <cstdio>
#include <limits>
#include <thread>
#include <unistd.h>

namespace ovinta {

namespace {
// Frame shown = the red level of the film pixel divided by 4.
int shownFrame(HeadlessWindow& w, int x, int y) { return w.getPixel(x, y).red / 4; }
} // namespace

TEST(CAnimKnob, ShowsTheFilmFrameNearestToItsValue)
{
    RecordingEditor ed;
    CBitmap* film = makeTestFilm(20, 10, 64);
    auto* knob = new CAnimKnob(CRect(30, 40, 50, 50), &ed, 3, 64, 10, film);
    film->forget();
    ed.getFrame()->addView(knob);
    const struct {
        float value;
        int frame; // round(value * 63)
    } rows[] = {{0.0f, 0}, {1.0f, 63}, {0.5f, 32}, {0.25f, 16}, {0.1f, 6}, {-3.0f, 0}, {7.0f, 63}};
    for (const auto& row : rows) {
        knob->setValue(row.value);
        ed.idle();
        EXPECT_EQ(shownFrame(ed.window(), 35, 45), row.frame) << row.value;
    }
}

TEST(CAnimKnob, LinearDragOf100PixelsMovesHalfTheRange)
{
    RecordingEditor ed;
    WindowEditor::setKnobMode(kLinearMode);
    CBitmap* film = makeTestFilm(20, 10, 64);
    auto* knob = new CAnimKnob(CRect(30, 40, 50, 50), &ed, 9, 64, 10, film);
    film->forget();
    knob->setValue(0.2f);
    ed.getFrame()->addView(knob);
    // Right 60 and up 40: (x - x0) + (y0 - y) = 100 pixels of 200.
    ed.window().drag(CPoint(35, 45), CPoint(95, 5), 10);
    ed.runInput();
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-5f);
    ASSERT_GE(ed.log.size(), 3u);
    EXPECT_EQ(ed.log.front(), "begin 9");
    EXPECT_EQ(ed.log.back(), "end 9");
    // Every step told the listener, and the values only grew.
    EXPECT_GE(ed.values.size(), 5u);
    for (size_t i = 1; i < ed.values.size(); ++i)
        EXPECT_GT(ed.values[i], ed.values[i - 1]);
    // A drag far past the end stops at the maximum.
    ed.window().drag(CPoint(35, 45), CPoint(435, 45), 4);
    ed.runInput();
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    WindowEditor::setKnobMode(kCircularMode);
}

TEST(CAnimKnob, WindowFollowsTheKnobDuringTheDrag)
{
    RecordingEditor ed;
    WindowEditor::setKnobMode(kLinearMode);
    CBitmap* film = makeTestFilm(20, 10, 64);
    auto* knob = new CAnimKnob(CRect(30, 40, 50, 50), &ed, 9, 64, 10, film);
    film->forget();
    knob->setValue(0.0f);
    ed.getFrame()->addView(knob);
    ed.idle();
    // Ten steps of 20 pixels, one host idle each: every idle shows the
    // frame the knob has reached, while the button is still held.
    ed.window().pressAt(CPoint(35, 45), kLButton);
    ed.idle();
    for (int step = 1; step <= 10; ++step) {
        ed.window().holdAt(CPoint(35 + 20 * step, 45), kLButton);
        ed.idle();
        EXPECT_NEAR(shownFrame(ed.window(), 35, 45), 6.3 * step, 0.5) << step; // 63 frames, 0.1 per step
    }
    ed.window().releaseAt(CPoint(235, 45));
    ed.idle();
    EXPECT_EQ(ed.log.back(), "end 9");
    WindowEditor::setKnobMode(kCircularMode);
}

TEST(CKnob, CircularDragFollowsTheMouseAroundTheCentre)
{
    RecordingEditor ed(200, 200);
    WindowEditor::setKnobMode(kCircularMode);
    auto* knob = new CKnob(CRect(50, 50, 150, 150), &ed, 4, nullptr, nullptr);
    ed.getFrame()->addView(knob);
    // Straight up from the centre is the middle of a 270-degree sweep that
    // starts at 7:30 and turns clockwise.
    ed.window().pressAt(CPoint(100, 60), kLButton);
    ed.window().holdAt(CPoint(100, 20), kLButton);
    ed.window().releaseAt(CPoint(100, 20));
    ed.runInput();
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-3f);
    // Straight right (3 o'clock) is 225 of 270 degrees.
    ed.window().pressAt(CPoint(140, 100), kLButton);
    ed.window().holdAt(CPoint(190, 100), kLButton);
    ed.window().releaseAt(CPoint(190, 100));
    ed.runInput();
    EXPECT_NEAR(knob->getValue(), 225.0f / 270.0f, 1e-3f);
}

TEST(CKnob, ControlClickSetsTheDefaultValue)
{
    RecordingEditor ed;
    auto* knob = new CKnob(CRect(10, 10, 50, 50), &ed, 16, nullptr, nullptr);
    knob->setDefaultValue(0.5f);
    knob->setValue(0.9f);
    ed.getFrame()->addView(knob);
    ed.window().click(CPoint(30, 30), kLButton | kControl);
    ed.runInput();
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(ed.values.size(), 1u);
}

TEST(COnOffButton, ToggleOnClickInsideAGesture)
{
    RecordingEditor ed;
    CBitmap* film = makeTestFilm(30, 10, 2);
    auto* button = new COnOffButton(CRect(10, 10, 40, 20), &ed, 23, film);
    film->forget();
    ed.getFrame()->addView(button);
    ed.idle();
    EXPECT_EQ(shownFrame(ed.window(), 20, 15), 0);

    ed.window().click(CPoint(20, 15));
    ed.runInput();
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(shownFrame(ed.window(), 20, 15), 1);
    const std::vector<std::string> expected{"begin 23", "value 23 1.000000", "end 23"};
    EXPECT_EQ(ed.log, expected);

    ed.window().click(CPoint(20, 15));
    ed.runInput();
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(shownFrame(ed.window(), 20, 15), 0);
    // A right click or a click beside the button does nothing.
    ed.window().click(CPoint(20, 15), kRButton);
    ed.window().click(CPoint(60, 15));
    ed.runInput();
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(ed.log.size(), 6u);
}

TEST(CKickButton, ReportsPressAndRelease)
{
    RecordingEditor ed;
    CBitmap* film = makeTestFilm(24, 10, 2);
    auto* kick = new CKickButton(CRect(10, 10, 34, 20), &ed, 68, film);
    film->forget();
    ed.getFrame()->addView(kick);
    ed.window().pressAt(CPoint(20, 15), kLButton);
    ed.window().holdAt(CPoint(21, 15), kLButton);
    ed.window().holdAt(CPoint(22, 16), kLButton);
    ed.window().releaseAt(CPoint(22, 16));
    ed.runInput();
    const std::vector<float> expected{1.0f, 0.0f};
    EXPECT_EQ(ed.values, expected);
    EXPECT_EQ(ed.log.front(), "begin 68");
    EXPECT_EQ(ed.log.back(), "end 68");
    EXPECT_FLOAT_EQ(kick->getValue(), 0.0f);
}

TEST(CHorizontalSlider, DragMovesTheHandleWithTheMouse)
{
    RecordingEditor ed;
    CBitmap* handle = makeTestFilm(9, 24, 1);
    CBitmap* groove = new CBitmap(140, 24);
    // Handle left edge runs from x 10 to 141: 131 pixels for the range.
    auto* slider = new CHorizontalSlider(CRect(10, 10, 150, 34), &ed, 20, 10, 141, handle, groove);
    handle->forget();
    groove->forget();
    ed.getFrame()->addView(slider);
    EXPECT_EQ(slider->handleLeft(), 10);

    // Grab the handle 4 pixels in and move 65 pixels right.
    ed.window().drag(CPoint(14, 20), CPoint(79, 20), 5);
    ed.runInput();
    EXPECT_NEAR(slider->getValue(), 65.0f / 131.0f, 1e-5f);
    EXPECT_EQ(slider->handleLeft(), 75);

    // A press on the groove centres the handle under the mouse: left = 120 - 4.
    ed.window().click(CPoint(120, 20));
    ed.runInput();
    EXPECT_NEAR(slider->getValue(), (116.0f - 10.0f) / 131.0f, 1e-5f);
    // Past the end the handle stops at maxPos.
    ed.window().drag(CPoint(120, 20), CPoint(190, 20), 3);
    ed.runInput();
    EXPECT_FLOAT_EQ(slider->getValue(), 1.0f);
    EXPECT_EQ(slider->handleLeft(), 141);
}

TEST(CHorizontalSlider, ShiftMakesTheDragTenTimesFiner)
{
    RecordingEditor ed;
    CBitmap* handle = makeTestFilm(9, 24, 1);
    auto* slider = new CHorizontalSlider(CRect(10, 10, 150, 34), &ed, 20, 10, 141, handle, nullptr);
    handle->forget();
    ed.getFrame()->addView(slider);
    ed.window().drag(CPoint(14, 20), CPoint(114, 20), 4, kLButton | kShift);
    ed.runInput();
    EXPECT_NEAR(slider->getValue(), 10.0f / 131.0f, 1e-5f);
}

TEST(CParamDisplay, FormatsThroughItsHookAndPaintsItsBox)
{
    RecordingEditor ed;
    auto* display = new CParamDisplay(CRect(10, 10, 90, 30));
    display->setBackColor(CColor{216, 228, 199, 255});
    display->setFrameColor(CColor{216, 228, 199, 255});
    display->setFontColor(CColor{111, 90, 90, 255});
    ed.getFrame()->addView(display);
    char text[kDisplayTextSize];
    display->setValue(0.5f);
    display->formatValue(text);
    EXPECT_STREQ(text, "0.50");
    display->setStringConvert([](float v, char* t) { std::snprintf(t, 32, "%dms", static_cast<int>(v * 1000)); });
    display->setValue(0.25f);
    display->formatValue(text);
    EXPECT_STREQ(text, "250ms");
    ed.idle();
    // Background colour at the edge, darker text ink in the middle row.
    EXPECT_TRUE(sameColour(ed.window().getPixel(12, 12), (CColor{216, 228, 199, 255})));
    int ink = 0;
    for (int x = 10; x < 90; ++x)
        ink += ed.window().getPixel(x, 20).red < 180;
    EXPECT_GT(ink, 3);
}

TEST(CTextEdit, TypingEditsAndReturnCommits)
{
    RecordingEditor ed;
    auto* edit = new CTextEdit(CRect(10, 10, 150, 30), &ed, 7, "Hall");
    ed.getFrame()->addView(edit);
    ed.window().click(CPoint(20, 20));
    ed.runInput();
    EXPECT_TRUE(edit->isEditing());
    ed.window().typeKey(CKeyCode{0, kKeyBack, 0});
    for (char c : std::string(" B"))
        ed.window().typeKey(CKeyCode{c, 0, 0});
    ed.window().typeKey(CKeyCode{0, kKeyReturn, 0});
    ed.runInput();
    EXPECT_STREQ(edit->getText(), "Hal B");
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(ed.values.size(), 1u);
    // Escape throws the edit away.
    ed.window().click(CPoint(20, 20));
    ed.window().typeKey(CKeyCode{'x', 0, 0});
    ed.window().typeKey(CKeyCode{0, kKeyEscape, 0});
    ed.runInput();
    EXPECT_STREQ(edit->getText(), "Hal B");
}

TEST(CAutoAnimation, ShowsItsFrameOnlyWhileOpen)
{
    RecordingEditor ed;
    CBitmap* film = makeTestFilm(20, 10, 6);
    auto* anim = new CAutoAnimation(CRect(10, 10, 30, 20), &ed, 45, 6, 10, film);
    film->forget();
    ed.getFrame()->addView(anim);
    anim->setValue(4.0f);
    ed.idle();
    EXPECT_TRUE(sameColour(ed.window().getPixel(15, 15), kBlackCColor));
    anim->openWindow();
    ed.idle();
    EXPECT_EQ(shownFrame(ed.window(), 15, 15), 4);
    anim->nextPixmap();
    EXPECT_FLOAT_EQ(anim->getValue(), 5.0f);
    anim->nextPixmap();
    EXPECT_FLOAT_EQ(anim->getValue(), 0.0f);
    anim->previousPixmap();
    EXPECT_FLOAT_EQ(anim->getValue(), 5.0f);
}

TEST(CFrame, RedrawsOnlyDirtyViewsAndPaintsBackgroundUnderTransparentOnes)
{
    RecordingEditor ed;
    CBitmap* bg = makeTestFilm(200, 120, 1); // red 0, green 20, blue 30
    ed.getFrame()->setBackground(bg);
    bg->forget();
    CBitmap* film = makeTestFilm(20, 10, 2);
    auto* button = new COnOffButton(CRect(10, 10, 30, 20), &ed, 1, film);
    film->forget();
    button->setTransparency(true);
    ed.getFrame()->addView(button);
    ed.idle();
    const int presents = ed.window().presentCount();
    ed.idle(); // nothing dirty: nothing presented
    EXPECT_EQ(ed.window().presentCount(), presents);
    button->setValue(1.0f); // from any thread: only marks dirty
    ed.idle();
    EXPECT_EQ(ed.window().presentCount(), presents + 1);
    EXPECT_EQ(shownFrame(ed.window(), 15, 15), 1);
    EXPECT_TRUE(sameColour(ed.window().getPixel(100, 100), (CColor{0, 20, 30, 255})));
}

TEST(CControl, HostThreadValuesReachTheScreenWhileTheGuiRedraws)
{
    // The host's parameter thread only stores values and dirty flags; the
    // GUI thread draws. The last value stored must be the one shown.
    RecordingEditor ed;
    CBitmap* film = makeTestFilm(20, 10, 64);
    auto* knob = new CAnimKnob(CRect(30, 40, 50, 50), &ed, 3, 64, 10, film);
    film->forget();
    ed.getFrame()->addView(knob);
    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int i = 0; i < 50000; ++i)
            knob->setValue(static_cast<float>(i % 64) / 63.0f);
        knob->setValue(40.0f / 63.0f);
        done.store(true, std::memory_order_release);
    });
    while (!done.load(std::memory_order_acquire))
        ed.idle();
    host.join();
    ed.idle();
    EXPECT_EQ(shownFrame(ed.window(), 35, 45), 40);
}

TEST(DirtyRegion, KeepsDistantAreasApartAndMergesTouchingOnes)
{
    DirtyRegion r;
    r.add(CRect(0, 0, 10, 10));
    r.add(CRect(100, 100, 110, 110));
    EXPECT_EQ(r.size(), 2);
    r.add(CRect(10, 0, 20, 10)); // shares an edge with the first
    EXPECT_EQ(r.size(), 2);
    r.add(CRect(15, 5, 105, 105)); // joins everything
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0], CRect(0, 0, 110, 110));
    r.add(CRect());
    EXPECT_EQ(r.size(), 1);
    // Past the limit everything becomes one bounding rectangle.
    DirtyRegion many;
    for (int i = 0; i <= DirtyRegion::kMaxRects; ++i)
        many.add(CRect::fromSize(i * 20, 0, 5, 5));
    EXPECT_EQ(many.size(), 1);
    EXPECT_EQ(many[0], CRect(0, 0, DirtyRegion::kMaxRects * 20 + 5, 5));
}

TEST(CFrame, PresentsTwoDistantChangesSeparately)
{
    RecordingEditor ed(300, 100);
    CBitmap* film = makeTestFilm(10, 10, 2);
    auto* left = new COnOffButton(CRect(0, 0, 10, 10), &ed, 1, film);
    auto* right = new COnOffButton(CRect(290, 90, 300, 100), &ed, 2, film);
    film->forget();
    ed.getFrame()->addView(left);
    ed.getFrame()->addView(right);
    ed.idle();
    const int before = ed.window().presentCount();
    left->setValue(1.0f);
    right->setValue(1.0f);
    ed.idle();
    EXPECT_EQ(ed.window().presentCount(), before + 2);
    EXPECT_EQ(shownFrame(ed.window(), 5, 5), 1);
    EXPECT_EQ(shownFrame(ed.window(), 295, 95), 1);
}

TEST(CControl, ValuesFromTheHostThatAreNotNumbersAreTamed)
{
    RecordingEditor ed;
    CBitmap* film = makeTestFilm(20, 10, 64);
    auto* knob = new CAnimKnob(CRect(0, 0, 20, 10), &ed, 1, 64, 10, film);
    auto* anim = new CAutoAnimation(CRect(30, 0, 50, 10), &ed, 45, 6, 10, film);
    auto* plain = new CKnob(CRect(60, 0, 100, 40), &ed, 2, nullptr, nullptr);
    film->forget();
    anim->openWindow();
    ed.getFrame()->addView(knob);
    ed.getFrame()->addView(anim);
    ed.getFrame()->addView(plain);
    const float inf = std::numeric_limits<float>::infinity();
    knob->setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
    knob->setValue(inf);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    anim->setValue(1e30f);
    plain->setValue(-inf);
    EXPECT_FLOAT_EQ(plain->getValue(), 0.0f);
    ed.idle();
    EXPECT_EQ(shownFrame(ed.window(), 5, 5), 63);
    EXPECT_EQ(shownFrame(ed.window(), 35, 5), 5); // the film's last frame
    plain->setValue(1e30f);                       // far past the end: pointer at the end
    const CPoint tip = plain->pointerTip();
    EXPECT_GT(tip.h, 80); // 5 o'clock lies right of the centre
    EXPECT_GT(tip.v, 20); // and below it
}

namespace {
// Counts its own destruction.
class CountedView : public CView {
public:
    CountedView(const CRect& r, int& deaths) : CView(r), deathCount(deaths) {}
    ~CountedView() override { ++deathCount; }
    CMouseEventResult mouse(CDrawContext*, CPoint&, int) override
    {
        ++presses;
        return kMouseEventHandled;
    }
    int presses = 0;

private:
    int& deathCount;
};
} // namespace

TEST(CViewContainer, NestedViewsAreHitDrawnAndDeletedWithTheirContainer)
{
    RecordingEditor ed;
    int deaths = 0;
    auto* box = new CViewContainer(CRect(50, 20, 150, 100));
    box->setBackgroundColor(CColor{0, 0, 200, 255});
    auto* inner = new CountedView(CRect(60, 30, 80, 50), deaths);
    box->addView(inner);
    box->addView(new CountedView(CRect(100, 60, 120, 80), deaths));
    ed.getFrame()->addView(box);
    ed.idle();
    // The container paints its own background around its children.
    EXPECT_TRUE(sameColour(ed.window().getPixel(140, 90), (CColor{0, 0, 200, 255})));
    EXPECT_EQ(ed.getFrame()->getViewAt(CPoint(65, 35)), inner);
    EXPECT_EQ(ed.getFrame()->getViewAt(CPoint(90, 55)), nullptr); // the container itself takes no press
    ed.window().click(CPoint(65, 35));
    ed.runInput();
    EXPECT_EQ(inner->presses, 1);
    ed.getFrame()->removeView(box);
    EXPECT_EQ(deaths, 2);
}

TEST(CFrame, RemovingTheFocusedEditDropsTheFocus)
{
    RecordingEditor ed;
    auto* edit = new CTextEdit(CRect(10, 10, 150, 30), &ed, 7, "Hall");
    ed.getFrame()->addView(edit);
    ed.window().click(CPoint(20, 20));
    ed.runInput();
    ASSERT_EQ(ed.getFrame()->getFocusView(), edit);
    ed.getFrame()->removeView(edit);
    EXPECT_EQ(ed.getFrame()->getFocusView(), nullptr);
    ed.window().typeKey(CKeyCode{'x', 0, 0}); // goes nowhere, safely
    ed.runInput();
    EXPECT_TRUE(ed.values.empty());
}

TEST(HeadlessWindow, WritesItsPictureAsAPngThatReadsBackTheSame)
{
    RecordingEditor ed(40, 30);
    CBitmap* film = makeTestFilm(20, 10, 2);
    auto* button = new COnOffButton(CRect(5, 5, 25, 15), &ed, 1, film);
    film->forget();
    button->setValue(1.0f);
    ed.getFrame()->addView(button);
    ed.idle();
    const std::string path = ::testing::TempDir() + "ovinta_headless_" + std::to_string(::getpid()) + ".png";
    ASSERT_TRUE(ed.window().writePng(path.c_str()));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> bytes;
    for (int c; (c = std::fgetc(f)) != EOF;)
        bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
    std::remove(path.c_str());
    CBitmap* back = CBitmap::fromPng(bytes.data(), bytes.size());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getWidth(), 40);
    EXPECT_EQ(back->getHeight(), 30);
    for (CPoint p : {CPoint(0, 0), CPoint(10, 10), CPoint(24, 14), CPoint(39, 29)})
        EXPECT_TRUE(sameColour(back->getPixel(p.h, p.v), ed.window().getPixel(p.h, p.v))) << p.h << "," << p.v;
    EXPECT_EQ(back->getPixel(10, 10).red, 4); // the "on" frame
    back->forget();
}

} // namespace ovinta
