// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 back-end under a private Xvfb server: the child window shows the
// same pixels as the headless frame, takes presses and drags, and closes
// cleanly.

#include "DemoPanel.h"
#include "HeadlessFixture.h"

#include "toolkit/CKnob.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/platform/X11TestSupport.h"
#include "tests/VirtualDisplay.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace ovinta {

namespace {

// One Xvfb server for the whole test program, with DISPLAY pointing at it.
class XvfbServer : public ::testing::Environment {
public:
    void SetUp() override
    {
        server = std::make_unique<VirtualDisplay>();
        if (!server->running())
            return;
        display = server->displayName();
        setenv("DISPLAY", display.c_str(), 1);
    }
    void TearDown() override { server.reset(); }
    static inline std::string display;

private:
    std::unique_ptr<VirtualDisplay> server;
};

const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XvfbServer);

// An editor whose frame opens on a given parent window.
class ParentedEditor : public RecordingEditor {
public:
    explicit ParentedEditor(void* parent) : RecordingEditor(1, 1)
    {
        delete frame;
        setEditorSize(704, 560);
        frame = new CFrame(CRect(0, 0, 704, 560), parent, this);
    }
};

int openFileCount()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

#define SKIP_WITHOUT_SERVER()                                                                                          \
    if (XvfbServer::display.empty())                                                                                   \
    GTEST_SKIP() << "no Xvfb server available"

} // namespace

TEST(X11Window, ChildWindowShowsTheSamePixelsAsTheHeadlessFrame)
{
    SKIP_WITHOUT_SERVER();
    X11TestHost host(704, 560);
    ASSERT_TRUE(host.isOpen());
    ParentedEditor onScreen(host.parentHandle());
    ASSERT_TRUE(onScreen.getFrame()->isOpen());
    EXPECT_EQ(host.childCount(), 1);
    buildDemoPanel(onScreen.getFrame(), &onScreen);
    onScreen.idle();

    RecordingEditor inMemory(704, 560);
    buildDemoPanel(inMemory.getFrame(), &inMemory);
    inMemory.idle();

    void* child = onScreen.getFrame()->getPlatform()->nativeHandle();
    const std::vector<uint32_t> shown = host.readPixels(child, 704, 560);
    ASSERT_EQ(shown.size(), 704u * 560u);
    int different = 0;
    for (int y = 0; y < 560; ++y)
        for (int x = 0; x < 704; ++x) {
            const CColor c = inMemory.window().getPixel(x, y);
            const uint32_t expected = (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
            different += shown[static_cast<size_t>(y) * 704 + x] != expected;
        }
    EXPECT_EQ(different, 0);
}

TEST(X11Window, SyntheticPressReachesTheControl)
{
    SKIP_WITHOUT_SERVER();
    X11TestHost host(704, 560);
    ASSERT_TRUE(host.isOpen());
    ParentedEditor ed(host.parentHandle());
    ASSERT_TRUE(ed.getFrame()->isOpen());
    CBitmap* film = makeTestFilm(60, 21, 2);
    auto* button = new COnOffButton(CRect(431, 336, 491, 357), &ed, 23, film);
    film->forget();
    ed.getFrame()->addView(button);
    ed.idle();
    void* child = ed.getFrame()->getPlatform()->nativeHandle();
    host.sendPress(child, 440, 340, 1);
    // The press arrives during one of the next idle calls.
    for (int i = 0; i < 50 && button->getValue() < 0.5f; ++i) {
        ed.idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    const std::vector<std::string> expected{"begin 23", "value 23 1.000000", "end 23"};
    EXPECT_EQ(ed.log, expected);
    // The window shows the "on" frame (red level 4) after the redraw.
    const std::vector<uint32_t> shown = host.readPixels(child, 704, 560);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ((shown[static_cast<size_t>(346) * 704 + 460] >> 16) & 0xFF, 4u);
}

namespace {
// The brightest blue level on the row 20 pixels above the knob's centre
// (130, 130), two pixels either side of its vertical.
uint32_t brightnessAbove(X11TestHost& host, void* window)
{
    const std::vector<uint32_t> shown = host.readPixels(window, 704, 560);
    uint32_t most = 0;
    for (int x = 128; x <= 132 && !shown.empty(); ++x)
        most = std::max(most, shown[static_cast<size_t>(110) * 704 + x] & 0xFFu);
    return most;
}
} // namespace

TEST(X11Window, HeldDragKeepsEveryIdleShortAndTheKnobFollowing)
{
    SKIP_WITHOUT_SERVER();
    X11TestHost host(704, 560);
    ASSERT_TRUE(host.isOpen());
    ParentedEditor ed(host.parentHandle());
    ASSERT_TRUE(ed.getFrame()->isOpen());
    WindowEditor::setKnobMode(kLinearMode);
    auto* knob = new CKnob(CRect(100, 100, 160, 160), &ed, 5, nullptr, nullptr);
    knob->setValue(0.0f);
    ed.getFrame()->addView(knob);
    ed.idle();
    void* child = ed.getFrame()->getPlatform()->nativeHandle();
    ASSERT_LT(brightnessAbove(host, child), 20u); // the pointer rests at 7:30

    using Clock = std::chrono::steady_clock;
    double slowestMs = 0.0;
    // Host idle calls, timed, until `done` or 50 calls.
    auto idleUntil = [&](auto done) {
        for (int i = 0; i < 50 && !done(); ++i) {
            const auto start = Clock::now();
            ed.idle();
            slowestMs = std::max(slowestMs, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    host.sendPress(child, 130, 130, 1);
    idleUntil([&] { return !ed.log.empty(); });
    ASSERT_EQ(ed.log, std::vector<std::string>{"begin 5"});
    // Right in steps of 20 pixels with the button held: 0.1 of the range each.
    for (int step = 1; step <= 5; ++step) {
        host.sendMotion(child, 130 + 20 * step, 130, 1);
        const float expected = 0.1f * static_cast<float>(step);
        idleUntil([&] { return std::fabs(knob->getValue() - expected) < 1e-4f; });
        EXPECT_NEAR(knob->getValue(), expected, 1e-4f) << step;
    }
    idleUntil([] { return false; }); // more idle calls with the button still held
    EXPECT_LT(slowestMs, 20.0);
    std::printf("slowest idle while the button was held: %.2f ms\n", slowestMs);
    EXPECT_EQ(ed.log.back(), "value 5 0.500000"); // no endEdit yet
    // The window shows the pointer at half the range: straight up from the
    // centre, where it was dark at the start.
    EXPECT_GT(brightnessAbove(host, child), 80u);

    host.sendRelease(child, 230, 130, 1);
    idleUntil([&] { return ed.log.back() == "end 5"; });
    EXPECT_EQ(ed.log.back(), "end 5");
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-4f);
    WindowEditor::setKnobMode(kCircularMode);
}

TEST(X11Window, APressAfterALostReleaseEndsTheOldGestureFirst)
{
    SKIP_WITHOUT_SERVER();
    X11TestHost host(704, 560);
    ASSERT_TRUE(host.isOpen());
    ParentedEditor ed(host.parentHandle());
    ASSERT_TRUE(ed.getFrame()->isOpen());
    WindowEditor::setKnobMode(kLinearMode);
    auto* knob = new CKnob(CRect(100, 100, 160, 160), &ed, 5, nullptr, nullptr);
    knob->setValue(0.0f);
    ed.getFrame()->addView(knob);
    ed.idle();
    void* child = ed.getFrame()->getPlatform()->nativeHandle();
    auto idleUntilLogHas = [&](size_t entries) {
        for (int i = 0; i < 50 && ed.log.size() < entries; ++i) {
            ed.idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    host.sendPress(child, 130, 130, 1);
    host.sendMotion(child, 150, 130, 1);
    idleUntilLogHas(2);
    // The release never arrives; the next press comes with the button up
    // before it, so the old gesture ends before the new one begins.
    host.sendPress(child, 150, 130, 1);
    idleUntilLogHas(4);
    EXPECT_EQ(ed.log, (std::vector<std::string>{"begin 5", "value 5 0.100000", "end 5", "begin 5"}));
    host.sendRelease(child, 150, 130, 1);
    idleUntilLogHas(5);
    EXPECT_EQ(ed.log.back(), "end 5");
    WindowEditor::setKnobMode(kCircularMode);
}

TEST(X11Window, ClosingAndReopeningLeavesNothingBehind)
{
    SKIP_WITHOUT_SERVER();
    X11TestHost host(704, 560);
    ASSERT_TRUE(host.isOpen());
    {
        // The first open loads fonts and caches once; measure after it.
        ParentedEditor warmUp(host.parentHandle());
        buildDemoPanel(warmUp.getFrame(), &warmUp);
        warmUp.idle();
    }
    const int filesBefore = openFileCount();
    for (int round = 0; round < 10; ++round) {
        auto ed = std::make_unique<ParentedEditor>(host.parentHandle());
        ASSERT_TRUE(ed->getFrame()->isOpen());
        buildDemoPanel(ed->getFrame(), ed.get());
        ed->idle();
        EXPECT_EQ(host.childCount(), 1);
        ed->close();
        EXPECT_EQ(ed->getFrame(), nullptr);
        EXPECT_EQ(host.childCount(), 0) << round;
    }
    // Each window has its own display connection; all of them are closed.
    EXPECT_EQ(openFileCount(), filesBefore);
}

TEST(X11Window, UnknownParentGivesAClosedFrameNotACrash)
{
    SKIP_WITHOUT_SERVER();
    ParentedEditor ed(reinterpret_cast<void*>(uintptr_t{0x7ffffff0}));
    EXPECT_FALSE(ed.getFrame()->isOpen());
    ed.idle(); // harmless without a window
}

TEST(X11Window, HostDestroyingItsWindowFirstIsSurvived)
{
    SKIP_WITHOUT_SERVER();
    X11TestHost host(704, 560);
    ASSERT_TRUE(host.isOpen());
    auto ed = std::make_unique<ParentedEditor>(host.parentHandle());
    ASSERT_TRUE(ed->getFrame()->isOpen());
    buildDemoPanel(ed->getFrame(), ed.get());
    ed->idle();
    host.destroyWindow(); // our child goes with it
    // Drawing, input and closing on the dead window: X errors are ignored
    // instead of ending the process.
    markAllDirty(ed->getFrame());
    ed->idle();
    ed->close();
    EXPECT_EQ(ed->getFrame(), nullptr);
}

} // namespace ovinta
