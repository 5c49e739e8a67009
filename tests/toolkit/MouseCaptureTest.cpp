// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse gestures on the headless frame: the pressing view keeps the mouse
// until its release, wherever the pointer goes, and a gesture that loses its
// release or its view ends once, cleanly.

#include "HeadlessFixture.h"

#include "toolkit/CKickButton.h"
#include "toolkit/CKnob.h"
#include "toolkit/COnOffButton.h"

#include <algorithm>
#include <functional>

namespace ovinta {

namespace {

// A linear knob (tag 5, 200 pixels for its range, centre (40, 50)), a kick
// button (tag 7) and an on/off button (tag 6) in a 200 x 120 window. The
// knob may sit inside a container of its own.
struct Panel {
    explicit Panel(bool nested = false)
    {
        WindowEditor::setKnobMode(kLinearMode);
        knob = new CKnob(CRect(30, 40, 50, 60), &ed, 5, nullptr, nullptr);
        knob->setValue(0.0f);
        if (nested) {
            box = new CViewContainer(CRect(0, 30, 80, 70));
            box->addView(knob);
            ed.getFrame()->addView(box);
        } else {
            ed.getFrame()->addView(knob);
        }
        CBitmap* film = makeTestFilm(30, 10, 2);
        kick = new CKickButton(CRect(100, 80, 130, 90), &ed, 7, film);
        button = new COnOffButton(CRect(100, 10, 130, 20), &ed, 6, film);
        film->forget();
        ed.getFrame()->addView(kick);
        ed.getFrame()->addView(button);
        ed.idle();
    }
    ~Panel() { WindowEditor::setKnobMode(kCircularMode); }
    long count(const std::string& entry) const { return std::count(ed.log.begin(), ed.log.end(), entry); }

    RecordingEditor ed;
    CKnob* knob = nullptr;
    CKickButton* kick = nullptr;
    COnOffButton* button = nullptr;
    CViewContainer* box = nullptr;
};

const CPoint kKnobCentre(40, 50);
const CPoint kKickCentre(115, 85);

} // namespace

TEST(MouseCapture, ThePressingViewKeepsTheMouseUntilItsRelease)
{
    Panel p;
    HeadlessWindow& w = p.ed.window();
    w.pressAt(kKnobCentre, kLButton);
    w.holdAt(CPoint(300, -40), kLButton); // outside the window: 260 + 90 pixels, past the end
    w.holdAt(CPoint(115, 15), kLButton);  // over the on/off button: 75 + 35 = 110 pixels
    w.releaseAt(CPoint(115, 15));         // and released there
    p.ed.runInput();
    EXPECT_NEAR(p.knob->getValue(), 110.0f / 200.0f, 1e-5f);
    ASSERT_EQ(p.ed.values.size(), 2u);
    EXPECT_FLOAT_EQ(p.ed.values[0], 1.0f);
    EXPECT_EQ(p.button->getValue(), 0.0f); // the release over it is not a click
    EXPECT_EQ(p.ed.log.front(), "begin 5");
    EXPECT_EQ(p.ed.log.back(), "end 5");
    EXPECT_EQ(p.ed.getFrame()->getMouseCapture(), nullptr);

    // The next press belongs to the view under it again.
    w.click(CPoint(115, 15));
    p.ed.runInput();
    EXPECT_EQ(p.button->getValue(), 1.0f);
}

TEST(MouseCapture, AGestureWhoseReleaseIsLostEndsAtTheNextEvent)
{
    const struct {
        const char* name;
        CPoint press;
        std::function<void(HeadlessWindow&)> loseRelease;
        std::vector<float> heard; // by the listener, in order
        const char* lastEntry;
    } cases[] = {
        // 20 pixels of 200: 0.1, and nothing after the gesture ended.
        {"knob, motion with no button", kKnobCentre, [](HeadlessWindow& w) { w.moveTo(CPoint(90, 50)); }, {0.1f},
         "end 5"},
        {"knob, a press without the left button", kKnobCentre,
         [](HeadlessWindow& w) { w.pressAt(CPoint(90, 50), kRButton); }, {0.1f}, "end 5"},
        // The kick button reports its release as if the button came up.
        {"kick button, motion with no button", kKickCentre, [](HeadlessWindow& w) { w.moveTo(kKickCentre); },
         {1.0f, 0.0f}, "end 7"},
    };
    for (const auto& c : cases) {
        Panel p;
        HeadlessWindow& w = p.ed.window();
        w.pressAt(c.press, kLButton);
        w.holdAt(c.press.offset(20, 0), kLButton);
        c.loseRelease(w);
        // Held-button motion after the end moves nothing.
        w.holdAt(c.press.offset(100, 0), kLButton);
        w.releaseAt(c.press.offset(100, 0));
        p.ed.runInput();
        ASSERT_EQ(p.ed.values.size(), c.heard.size()) << c.name;
        for (size_t i = 0; i < c.heard.size(); ++i)
            EXPECT_NEAR(p.ed.values[i], c.heard[i], 1e-5f) << c.name;
        EXPECT_EQ(p.ed.log.back(), c.lastEntry) << c.name;
        EXPECT_EQ(p.count(c.lastEntry), 1) << c.name;
        EXPECT_EQ(p.ed.getFrame()->getMouseCapture(), nullptr) << c.name;
    }
}

TEST(MouseCapture, RemovingTheViewOrClosingTheFrameMidGestureEndsItOnce)
{
    const struct {
        const char* name;
        bool nested;
        std::function<void(Panel&)> act;
    } cases[] = {
        {"knob removed", false, [](Panel& p) { p.ed.getFrame()->removeView(p.knob); }},
        {"its container removed", true, [](Panel& p) { p.ed.getFrame()->removeView(p.box); }},
        {"frame closed", false, [](Panel& p) { p.ed.close(); }},
    };
    for (const auto& c : cases) {
        Panel p(c.nested);
        p.ed.window().pressAt(kKnobCentre, kLButton);
        p.ed.window().holdAt(kKnobCentre.offset(20, 0), kLButton);
        p.ed.runInput();
        ASSERT_EQ(p.ed.log.back(), "value 5 0.100000") << c.name;
        c.act(p);
        EXPECT_EQ(p.ed.log.back(), "end 5") << c.name;
        // The rest of the gesture reaches no deleted view (the sanitizers
        // watch) and ends nothing more.
        if (p.ed.getFrame()) {
            EXPECT_EQ(p.ed.getFrame()->getMouseCapture(), nullptr) << c.name;
            p.ed.window().holdAt(kKnobCentre.offset(40, 0), kLButton);
            p.ed.window().releaseAt(kKnobCentre.offset(40, 0));
            p.ed.runInput();
        }
        EXPECT_EQ(p.count("end 5"), 1) << c.name;
        EXPECT_EQ(p.ed.values.size(), 1u) << c.name;
    }
}

} // namespace ovinta
