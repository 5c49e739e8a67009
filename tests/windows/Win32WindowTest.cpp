// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 back-end: messages posted to the child
// window come out of processEvents as the toolkit's presses, moves,
// releases and keys; the user folders have Windows names (run under wine
// on a virtual X server).

#include "toolkit/platform/PlatformWindow.h"
#include "toolkit/platform/UserFolders.h"
#include "toolkit/platform/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovinta {

namespace {

using namespace win32test;

// Writes each event as a short text: "down 10,20 1", "key c97 v0 m0".
class Recorder : public PlatformEvents {
public:
    void platformMouseDown(CPoint p, int state) override { add("down", p, state); }
    void platformMouseMoved(CPoint p, int state) override { add("move", p, state); }
    void platformMouseUp(CPoint p, int state) override { add("up", p, state); }
    bool platformKeyDown(const CKeyCode& k) override
    {
        events.push_back("key c" + std::to_string(k.character) + " v" + std::to_string(k.virt) + " m" +
                         std::to_string(k.modifiers));
        return true;
    }
    void platformExposed(const CRect&) override {}

    std::vector<std::string> events;

private:
    void add(const char* what, CPoint p, int state)
    {
        events.push_back(std::string(what) + " " + std::to_string(p.h) + "," + std::to_string(p.v) + " " +
                         std::to_string(state));
    }
};

struct InputCase {
    const char* name;
    std::function<void(void*)> post;
    std::vector<std::string> expected;
};

// kLButton 1, kMButton 2, kRButton 4, kShift 8, kControl 16.
const InputCase kCases[] = {
    {"left drag: press, one move, release",
     [](void* w) {
         postPress(w, Button::Left, 10, 20, kLButton);
         postMove(w, 12, 25, kLButton);
         postRelease(w, Button::Left, 12, 25, 0);
     },
     {"down 10,20 1", "move 12,25 1", "up 12,25 0"}},
    {"moves with the same state become one move to the last position",
     [](void* w) {
         postMove(w, 1, 1, 0);
         postMove(w, 2, 2, 0);
         postMove(w, 3, 3, 0);
     },
     {"move 3,3 0"}},
    {"a changed state is a move of its own",
     [](void* w) {
         postPress(w, Button::Left, 5, 5, kLButton);
         postMove(w, 6, 6, kLButton);
         postMove(w, 7, 7, kLButton | kRButton);
         postRelease(w, Button::Left, 7, 7, 0);
     },
     {"down 5,5 1", "move 6,6 1", "move 7,7 5", "up 7,7 0"}},
    {"shift and control come with the press",
     [](void* w) {
         postPress(w, Button::Left, 1, 2, kLButton, true, true);
         postRelease(w, Button::Left, 1, 2, 0);
     },
     {"down 1,2 25", "up 1,2 0"}},
    {"right button",
     [](void* w) {
         postPress(w, Button::Right, 3, 4, kRButton);
         postRelease(w, Button::Right, 3, 4, 0);
     },
     {"down 3,4 4", "up 3,4 0"}},
    {"positions left of and above the window during a drag stay negative",
     [](void* w) {
         postPress(w, Button::Left, 2, 2, kLButton);
         postMove(w, -30, -40, kLButton);
         postRelease(w, Button::Left, -30, -40, 0);
     },
     {"down 2,2 1", "move -30,-40 1", "up -30,-40 0"}},
    {"a release without a press here is not reported",
     [](void* w) { postRelease(w, Button::Left, 9, 9, 0); },
     {}},
    {"printable characters and the editing keys",
     [](void* w) {
         postChar(w, 'a');
         postChar(w, 0xE9); // e acute, Latin-1
         postKey(w, Key::Back);
         postKey(w, Key::Return);
         postKey(w, Key::Escape);
         postKey(w, Key::Left);
         postKey(w, Key::Delete);
     },
     {"key c97 v0 m0", "key c233 v0 m0", "key c0 v1 m0", "key c0 v3 m0", "key c0 v4 m0", "key c0 v5 m0",
      "key c0 v7 m0"}},
    {"control characters and other keys are not text",
     [](void* w) {
         postChar(w, 8);  // the Backspace character follows its key-down
         postChar(w, 13); // and so does Return's
         postKey(w, Key::F1);
     },
     {}},
    {"losing the capture mid-drag ends the gesture with a release",
     [](void* w) {
         postPress(w, Button::Left, 4, 4, kLButton);
         postCaptureLost(w);
     },
     {"down 4,4 1", "up 0"}},
};

// One host window for every case: showing a window takes wine seconds.
Win32TestHost& sharedHost()
{
    static Win32TestHost host(200, 100, L"input test");
    return host;
}

class Win32WindowTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(Win32WindowTest, TranslatesPostedInput)
{
    Win32TestHost& host = sharedHost();
    ASSERT_TRUE(host.isOpen());
    Recorder recorder;
    auto window = openPlatformWindow(host.parentHandle(), CPoint(200, 100), recorder);
    ASSERT_NE(window, nullptr);
    GetParam().post(window->nativeHandle());
    window->processEvents();
    std::vector<std::string> got = recorder.events;
    // After a lost capture the release is where the pointer is, which
    // depends on the screen: an expected "up STATE" compares the state only.
    const std::string& last = GetParam().expected.empty() ? std::string() : GetParam().expected.back();
    if (last.rfind("up ", 0) == 0 && last.find(',') == std::string::npos && !got.empty())
        got.back() = "up " + got.back().substr(got.back().rfind(' ') + 1);
    EXPECT_EQ(got, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Win32WindowTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<InputCase>& param) {
                             std::string name;
                             for (const char* c = param.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(Win32Window, IsRefusedWithoutAParentWindowOrSize)
{
    Recorder recorder;
    int notAWindow = 0;
    EXPECT_EQ(openPlatformWindow(&notAWindow, CPoint(10, 10), recorder), nullptr);
    ASSERT_TRUE(sharedHost().isOpen());
    EXPECT_EQ(openPlatformWindow(sharedHost().parentHandle(), CPoint(0, 10), recorder), nullptr);
}

} // namespace

TEST(Win32Window, OutlivesTheHostWindowWithoutTakingTheHostsMessages)
{
    Recorder recorder;
    auto parent = std::make_unique<Win32TestHost>(100, 100, L"destroyed first");
    ASSERT_TRUE(parent->isOpen());
    auto window = openPlatformWindow(parent->parentHandle(), CPoint(100, 100), recorder);
    ASSERT_NE(window, nullptr);
    win32test::postPress(window->nativeHandle(), Button::Left, 1, 1, kLButton);
    parent.reset(); // the host closes its window before the editor
    sharedHost().postMark();
    window->processEvents();
    const uint8_t pixels[4] = {};
    window->present(PixelView{pixels, 1, 1, 4}, CRect(0, 0, 1, 1));
    window.reset();
    EXPECT_TRUE(sharedHost().takeMark()) << "processEvents took a message of another window";
    EXPECT_TRUE(recorder.events.empty());
}

// The folders the export page offers, as Windows names them.
TEST(Win32UserFolders, ModuleFolderIsTheExecutablesFolderWithASeparator)
{
    const std::string folder = moduleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(isWritableFolder(folder)); // the build folder
}

TEST(Win32UserFolders, OnlyExistingFoldersAreWritable)
{
    EXPECT_FALSE(isWritableFolder(""));
    EXPECT_FALSE(isWritableFolder(moduleFolder() + "no such folder\\"));
    EXPECT_FALSE(isWritableFolder(moduleFolder() + "win32_window_test.exe")); // a file
}

TEST(Win32UserFolders, SaveFolderExistsAndEndsWithASeparator)
{
    const std::string folder = userSaveFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(isWritableFolder(folder));
}

} // namespace ovinta
