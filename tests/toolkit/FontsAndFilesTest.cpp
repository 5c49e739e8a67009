// SPDX-License-Identifier: GPL-3.0-or-later
// Text conversion for the embedded fonts, and the file selector's round trip.

#include "HeadlessFixture.h"

#include "toolkit/CFileSelector.h"
#include "toolkit/ToolkitFonts.h"

#include <cstring>

namespace ovinta {

TEST(ToolkitFonts, TextBecomesValidUtf8)
{
    char out[64];
    toolkitTextToUtf8("Hall 2", false, out, sizeof out);
    EXPECT_STREQ(out, "Hall 2");
    // Latin-1 e-acute (0xE9) is two bytes in UTF-8: C3 A9.
    toolkitTextToUtf8("caf\xE9", false, out, sizeof out);
    EXPECT_STREQ(out, "caf\xC3\xA9");
    // Valid UTF-8 passes unchanged; a cut sequence is read as Latin-1.
    toolkitTextToUtf8("\xC3\xA9t\xC3", false, out, sizeof out);
    EXPECT_STREQ(out, "\xC3\xA9t\xC3\x83");
    // The symbol font shows Greek for Latin letters: a -> alpha (CE B1), W -> Omega (CE A9).
    toolkitTextToUtf8("aW1", true, out, sizeof out);
    EXPECT_STREQ(out, "\xCE\xB1\xCE\xA9" "1");
}

TEST(ToolkitFonts, ConversionNeverOverrunsItsBuffer)
{
    char out[6];
    std::memset(out, 'x', sizeof out);
    toolkitTextToUtf8("\xE9\xE9\xE9\xE9", false, out, 6); // 8 bytes needed
    EXPECT_EQ(std::strlen(out), 4u);                     // two whole characters fit
    toolkitTextToUtf8(nullptr, false, out, 6);
    EXPECT_STREQ(out, "");
}

TEST(ToolkitFonts, FontTableSizes)
{
    const double expected[] = {12, 18, 14, 12, 11, 10, 9, 13};
    for (int f = 0; f < kNumStandardFonts; ++f)
        EXPECT_EQ(toolkitFontSizePx(static_cast<CFont>(f)), expected[f]) << f;
    EXPECT_NE(toolkitFontFace(kNormalFace), nullptr);
    EXPECT_NE(toolkitFontFace(kBoldFace), nullptr);
    EXPECT_NE(toolkitFontFace(kNormalFace), toolkitFontFace(kBoldFace));
}

TEST(CFileSelector, ReturnsThePlatformAnswerOrNothing)
{
    RecordingEditor ed;
    CFileSelector selector(ed.getFrame());
    FileDialogRequest request;
    request.title = "Select initial filename to save";
    request.initialPath = "/tmp/OvintaIR_";
    request.filterExtension = "wav";
    std::string path = "unchanged";
    EXPECT_FALSE(selector.run(request, path)); // cancelled
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(ed.window().lastFileDialog().title, "Select initial filename to save");
    ed.window().setFileDialogAnswer("/tmp/hall.wav");
    EXPECT_TRUE(selector.run(request, path));
    EXPECT_EQ(path, "/tmp/hall.wav");
    EXPECT_EQ(selector.getLastPath(), "/tmp/hall.wav");
    CFileSelector orphan(nullptr);
    EXPECT_FALSE(orphan.run(request, path));
}

TEST(CFileSelector, StartedDialogAnswersOnceThroughPollOneAtATime)
{
    // The headless back-end's dialog is modal: its answer waits for poll.
    RecordingEditor ed;
    CFileSelector selector(ed.getFrame());
    std::string path = "unchanged";
    ASSERT_TRUE(selector.start({}));
    EXPECT_FALSE(selector.start({}));
    EXPECT_EQ(selector.poll(path), FileDialogSession::kCancelled); // no scripted answer
    EXPECT_EQ(path, "unchanged");
    ed.window().setFileDialogAnswer("/tmp/hall.wav");
    ASSERT_TRUE(selector.start({}));
    EXPECT_EQ(selector.poll(path), FileDialogSession::kChosen);
    EXPECT_EQ(path, "/tmp/hall.wav");
    EXPECT_FALSE(selector.isOpen());
}

} // namespace ovinta
