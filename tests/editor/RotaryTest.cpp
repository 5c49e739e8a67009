// SPDX-License-Identifier: GPL-3.0-or-later
// The wrapping knob and the outputs selector, driven with scripted mouse
// input in a headless frame. Expected values come from the geometry of the
// drag (pixels moved / pixels per turn) and from the film's frame layout.

#include "ControlProbe.h"
#include "editor/controls/CInstSelect.h"
#include "editor/controls/CRotary.h"
#include "toolkit/WindowEditor.h"
#include "toolkit/COffscreenContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

namespace ovinta {

namespace {

// The head-angle knob's size, placed at (10, 10): centre (34, 34).
const CRect kKnobRect = CRect::fromSize(10, 10, 48, 44);
const CPoint kKnobCentre(34, 34);

class RotaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedMode = WindowEditor::getKnobMode();
        WindowEditor::setKnobMode(kLinearMode);
        knob = new CRotary(kKnobRect, &listener, 16, nullptr);
        frame.get().addView(knob);
    }
    void TearDown() override { WindowEditor::setKnobMode(savedMode); }

    // A drag from the knob's centre by (dx, dy) pixels in `steps` steps.
    void drag(int dx, int dy, int steps = 10, int buttons = kLButton)
    {
        frame.window().drag(kKnobCentre, kKnobCentre.offset(dx, dy), steps, buttons);
        frame.run();
    }
    void press(CPoint where, int buttons = kLButton)
    {
        frame.window().click(where, buttons);
        frame.run();
    }

    ProbeFrame frame;
    RecordingListener listener;
    CRotary* knob = nullptr;
    int savedMode = kCircularMode;
};

bool isQuantised(float v)
{
    const float k = v * 32.0f;
    return k == std::floor(k) && v >= 0.0f && v < 1.0f;
}

} // namespace

TEST(Wrap32, QuantisesToThirtyTwoPositionsAndWrapsBothWays)
{
    EXPECT_EQ(wrap32(0.0f), 0.0f);
    EXPECT_EQ(wrap32(0.5f), 0.5f);
    EXPECT_EQ(wrap32(0.99f), 31.0f / 32.0f);  // 31.68 -> 31
    EXPECT_EQ(wrap32(1.0f), 0.0f);            // a full turn is the start again
    EXPECT_EQ(wrap32(1.3f), 9.0f / 32.0f);    // 41.6 -> 41 -> 41 - 32
    // Negative values round toward zero first: -7.68 -> -7, which is 25 mod 32.
    EXPECT_EQ(wrap32(-0.24f), 25.0f / 32.0f);
    EXPECT_EQ(wrap32(-1.0f), 0.0f);
    // Values no knob can reach still give a position.
    EXPECT_TRUE(isQuantised(wrap32(1.0e12f)));
    EXPECT_TRUE(isQuantised(wrap32(-1.0e12f)));
    EXPECT_EQ(wrap32(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST_F(RotaryTest, LinearDragOfTwoHundredPixelsTurnsOnceAround)
{
    knob->setValue(0.25f);
    drag(200, 0, 20);
    EXPECT_EQ(knob->getValue(), 0.25f);
    // On the way it passed the top of its range and wrapped through 0.
    std::set<float> seen(listener.values.begin(), listener.values.end());
    EXPECT_TRUE(seen.count(0.0f));
    EXPECT_TRUE(seen.count(0.9375f)); // 0.25 + 140/200 = 0.95 -> 30/32
    for (float v : listener.values)
        EXPECT_TRUE(isQuantised(v)) << v;
}

TEST_F(RotaryTest, MovingRightOrUpTurnsForwardAndLeftOrDownBack)
{
    knob->setValue(0.0f);
    drag(50, 0); // a quarter turn
    EXPECT_EQ(knob->getValue(), 0.25f);
    drag(0, -25); // an eighth more, moving up
    EXPECT_EQ(knob->getValue(), 0.375f);
    drag(0, 100); // half a turn back, moving down: 0.375 - 0.5 wraps to 0.875
    EXPECT_EQ(knob->getValue(), 0.875f);
    // Every change was reported, and only changes.
    for (std::size_t i = 1; i < listener.values.size(); ++i)
        EXPECT_NE(listener.values[i], listener.values[i - 1]);
}

TEST_F(RotaryTest, ShiftMakesTheDragOneAndAHalfTimesFiner)
{
    knob->setValue(0.0f);
    drag(75, 0, 10, kLButton | kShift); // 75 of 300 pixels
    EXPECT_EQ(knob->getValue(), 0.25f);
    knob->setValue(0.0f);
    drag(300, 0, 30, kLButton | kShift);
    EXPECT_EQ(knob->getValue(), 0.0f);
}

TEST_F(RotaryTest, PressingShiftMidDragDoesNotJump)
{
    knob->setValue(0.0f);
    HeadlessWindow& w = frame.window();
    w.pressAt(kKnobCentre, kLButton);
    w.holdAt(kKnobCentre.offset(40, 0), kLButton);          // 40/200 = 0.2 -> 6/32
    w.holdAt(kKnobCentre.offset(70, 0), kLButton | kShift); // Shift seen here: 70/200 = 0.35 -> 11/32
    w.holdAt(kKnobCentre.offset(100, 0), kLButton | kShift); // 30 more pixels at 1/300: 0.45 -> 14/32
    w.releaseAt(kKnobCentre.offset(100, 0));
    frame.run();
    // Counting all 100 pixels at the fine rate would step back to 0.333
    // (10/32) when Shift goes down.
    EXPECT_EQ(listener.values, (std::vector<float>{6.0f / 32.0f, 11.0f / 32.0f, 14.0f / 32.0f}));

    // Releasing Shift mid-drag is just as smooth.
    listener.values.clear();
    knob->setValue(0.0f);
    w.pressAt(kKnobCentre, kLButton | kShift);
    w.holdAt(kKnobCentre.offset(60, 0), kLButton | kShift); // 60/300 = 0.2 -> 6/32
    w.holdAt(kKnobCentre.offset(90, 0), kLButton);          // Shift up: 90/300 = 0.3 -> 9/32
    w.holdAt(kKnobCentre.offset(110, 0), kLButton);         // 20 more at 1/200: 0.4 -> 12/32
    w.releaseAt(kKnobCentre.offset(110, 0));
    frame.run();
    EXPECT_EQ(listener.values, (std::vector<float>{6.0f / 32.0f, 9.0f / 32.0f, 12.0f / 32.0f}));

    // Shift pressed while the mouse rests re-bases at the next move, which
    // still counts at the old speed; the speed changes from there on.
    listener.values.clear();
    knob->setValue(0.0f);
    w.pressAt(kKnobCentre, kLButton);
    w.holdAt(kKnobCentre.offset(40, 0), kLButton);           // 40/200 = 0.2 -> 6/32
    w.holdAt(kKnobCentre.offset(40, 0), kLButton | kShift);  // Shift down, no move
    w.holdAt(kKnobCentre.offset(70, 0), kLButton | kShift);  // 70/200 = 0.35 -> 11/32
    w.holdAt(kKnobCentre.offset(100, 0), kLButton | kShift); // 30 more at 1/300: 0.45 -> 14/32
    w.releaseAt(kKnobCentre.offset(100, 0));
    frame.run();
    EXPECT_EQ(listener.values, (std::vector<float>{6.0f / 32.0f, 11.0f / 32.0f, 14.0f / 32.0f}));
}

TEST_F(RotaryTest, ControlClickSetsTheDefaultPointerUp)
{
    knob->setValue(0.125f);
    press(kKnobCentre, kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(listener.values, std::vector<float>{0.5f});
}

TEST_F(RotaryTest, CircularModeFollowsTheMouseAroundTheCentre)
{
    WindowEditor::setKnobMode(kCircularMode);
    // Exactly below the centre is 0.
    press(CPoint(34, 50));
    EXPECT_EQ(knob->getValue(), 0.0f);
    // At the middle of position k, clockwise from "down" on the screen:
    // direction (-sin a, cos a) with a = 2 pi (k + 0.5) / 32, 18 pixels out.
    for (int k : {1, 5, 8, 13, 16, 21, 24, 31}) {
        const double a = 2.0 * std::numbers::pi * (k + 0.5) / 32.0;
        const CPoint at(kKnobCentre.h + static_cast<int>(std::lround(-18.0 * std::sin(a))),
                        kKnobCentre.v + static_cast<int>(std::lround(18.0 * std::cos(a))));
        press(at);
        // Between right (0.75) and down the angle gives a negative turn,
        // which the truncation rounds up to the next position.
        const int expected = k < 24 ? k : (k + 1) % 32;
        EXPECT_EQ(knob->getValue(), static_cast<float>(expected) / 32.0f) << "position " << k;
    }
    // Alt turns circular mode into linear: no jump to the press point.
    knob->setValue(0.0f);
    press(CPoint(12, 34), kLButton | kAlt); // the left edge: 0.25 when circular
    EXPECT_EQ(knob->getValue(), 0.0f);
}

TEST_F(RotaryTest, LinearModeWithAltFollowsTheMouse)
{
    knob->setValue(0.0f);
    press(CPoint(34, 12), kLButton | kAlt); // straight up: half a turn
    EXPECT_EQ(knob->getValue(), 0.5f);
}

TEST_F(RotaryTest, DisabledOrRightButtonPressesChangeNothing)
{
    knob->setValue(0.125f);
    press(CPoint(12, 34), kRButton);
    knob->setMouseEnabled(false);
    drag(60, 0);
    EXPECT_EQ(knob->getValue(), 0.125f);
    EXPECT_TRUE(listener.values.empty());
}

// ---- CAnimRotary ----------------------------------------------------------------

TEST(CAnimRotary, ThirtyTwoPositionsLandOnTheEvenFramesOfTheFilm)
{
    CBitmap* film = numberedFilm(48, 44, 64);
    CAnimRotary knob(CRect(0, 0, 48, 44), nullptr, 16, 64, 44, film);
    film->forget(); // the knob holds its own reference
    COffscreenContext picture(48, 44);
    for (int k = 0; k < 32; ++k) {
        knob.setValue(static_cast<float>(k) / 32.0f);
        knob.draw(&picture);
        EXPECT_EQ(frameShownAt(picture, 24, 22), 2 * k) << "position " << k;
    }
    knob.setValue(1.0f); // only the host can send this: the last frame
    knob.draw(&picture);
    EXPECT_EQ(frameShownAt(picture, 24, 22), 63);
    knob.setValue(-3.0f);
    knob.draw(&picture);
    EXPECT_EQ(frameShownAt(picture, 24, 22), 0);
    knob.setValue(250.0f);
    knob.draw(&picture);
    EXPECT_EQ(frameShownAt(picture, 24, 22), 63);
}

// ---- CInstSelect --------------------------------------------------------------------

namespace {
// Records which film position every draw showed.
class ProbeSelect : public CInstSelect {
public:
    using CInstSelect::CInstSelect;
    void draw(CDrawContext* context) override
    {
        shown.push_back(filmPosition() / 21);
        CInstSelect::draw(context);
    }
    std::vector<int> shown;
};
} // namespace

TEST(CInstSelect, EachClickAdvancesTwoFourFiveOutputsAndBack)
{
    ProbeFrame frame;
    RecordingListener listener;
    CBitmap* film = numberedFilm(61, 21, 6);
    auto* select = new ProbeSelect(CRect(10, 10, 71, 31), &listener, 45, 6, 21, film);
    film->forget();
    frame.get().addView(select);
    for (int click = 0; click < 4; ++click) {
        frame.window().click(CPoint(40, 20));
        frame.run();
    }
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 2.0f, 0.0f, 1.0f}));
    frame.run();
    EXPECT_EQ(frame.window().getPixel(40, 20).red, 2); // state 1: frame 2
}

TEST(CInstSelect, HeldButtonShowsThePressedFrameAndReportsOnRelease)
{
    ProbeFrame frame;
    RecordingListener listener;
    CBitmap* film = numberedFilm(61, 21, 6);
    auto* select = new ProbeSelect(CRect(10, 10, 71, 31), &listener, 45, 6, 21, film);
    film->forget();
    frame.get().addView(select);
    select->setValue(2.0f); // five outputs
    frame.run();
    select->shown.clear();

    // One host idle after the press and after each motion while held.
    HeadlessWindow& w = frame.window();
    w.pressAt(CPoint(40, 20), kLButton);
    frame.run();
    w.holdAt(CPoint(41, 20), kLButton);
    frame.run();
    EXPECT_TRUE(listener.values.empty()); // nothing reported while held
    w.releaseAt(CPoint(41, 20));
    frame.run();
    // While held: state 2's pressed look, frame 5. After release: state 0.
    ASSERT_FALSE(select->shown.empty());
    EXPECT_EQ(select->shown.front(), 5);
    EXPECT_EQ(select->shown.back(), 0);
    EXPECT_EQ(listener.values, std::vector<float>{0.0f});
}

TEST(CInstSelect, OutOfRangeValuesStayInsideTheFilm)
{
    CBitmap* film = numberedFilm(61, 21, 6);
    CInstSelect select(CRect(0, 0, 61, 21), nullptr, 45, 6, 21, film);
    film->forget();
    COffscreenContext picture(61, 21);
    select.setValue(40.0f);
    select.draw(&picture);
    EXPECT_EQ(frameShownAt(picture, 30, 10), 5);
    select.setValue(-2.0f);
    select.draw(&picture);
    EXPECT_EQ(frameShownAt(picture, 30, 10), 0);
}

} // namespace ovinta
